// The built zelvo-capture program: what a script sees of it, its exit codes,
// standard output and standard error, against the simulator in this process.

#include <QProcess>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

#include "CaptureFixture.h"

namespace {

struct TProgramRun {
  int Code = -1;
  std::string Out;
  std::string Err;
};

// Keeps this process's event loop turning while the program runs, so that the
// in-process simulator can answer it.
TProgramRun RunProgram(const QStringList& Args) {
  QProcess P;
  P.start(ZELVO_CAPTURE_PROGRAM, Args);
  TProgramRun R;
  if (!P.waitForStarted(5000))
    return R;
  if (!QTest::qWaitFor([&] { return P.state() == QProcess::NotRunning; }, 30000)) {
    P.kill();
    P.waitForFinished();
    return R;
  }
  R.Code = P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -2;
  R.Out = P.readAllStandardOutput().toStdString();
  R.Err = P.readAllStandardError().toStdString();
  return R;
}

TEST(ZelvoCaptureProgram, HelpListsEveryOptionAndTheExitCodes) {
  const TProgramRun R = RunProgram({"--help"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Err, "");
  for (const char* Text : {"--host", "--serial", "--timebase", "--trigger-level", "--locale",
                           "Exit codes:", "  6  a capture file or the recording cannot be written"})
    EXPECT_NE(R.Out.find(Text), std::string::npos) << Text;
}

TEST(ZelvoCaptureProgram, ExitCodesReachTheCaller) {
  quint16 Closed;
  {
    QTcpServer S;
    ASSERT_TRUE(S.listen(QHostAddress::LocalHost, 0));
    Closed = S.serverPort();
  }
  const struct {
    QStringList Args;
    int Code;
    const char* Cause;
  } Cases[] = {
      {{"--out", "x"}, ceBadOptions, "give either --host or --serial"},
      {{"--host", "127.0.0.1", "--port", QString::number(Closed), "--out", "x"},
       ceConnectionFailed,
       "Connection refused"},
      {{"--serial", "/nonexistent/tty", "--out", "x"}, cePortUnavailable, "serial port"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Args.join(' ').toStdString());
    const TProgramRun R = RunProgram(C.Args);
    EXPECT_EQ(R.Code, C.Code);
    EXPECT_EQ(R.Out, "");
    EXPECT_EQ(R.Err.rfind("zelvo-capture: ", 0), 0u) << R.Err;
    EXPECT_NE(R.Err.find(C.Cause), std::string::npos) << R.Err;
    EXPECT_EQ(std::count(R.Err.begin(), R.Err.end(), '\n'), 1) << R.Err;
  }
}

class ZelvoCaptureProgramSim : public CaptureFixture, public ::testing::Test {};

TEST_F(ZelvoCaptureProgramSim, CapturesFromTheSimulatorOverTcp) {
  const QStringList Link = Start(TLinkKind::Tcp);
  const QString Base = Path("prog");
  const TProgramRun R =
      RunProgram(Link + QStringList{"--out", Base, "--timebase", "2ms", "--ch1-vdiv", "1V"});
  ASSERT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Err, "");
  std::unique_ptr<TZelvo> Ref = Replay(SentCapture(0));
  ASSERT_EQ(Ref->TimeBase(), tb2ms);
  Ref->SaveToFile(Path("ref.csv").toStdString());
  Ref->SaveParametersToFile(Path("ref.json").toStdString());
  EXPECT_EQ(ReadBytes(Base + ".csv"), ReadBytes(Path("ref.csv")));
  EXPECT_EQ(ReadBytes(Base + ".json"), ReadBytes(Path("ref.json")));
  EXPECT_EQ(Lines(R.Out), ReadoutLines(*Ref));
}

} // namespace
