// zelvo-capture in-process against the simulated scope, over loopback TCP and
// a pseudo-terminal: the one settings frame it sends, the capture it picks,
// the files and readouts it writes, and each way it can fail.

#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "CaptureFixture.h"
#include "link/ZelvoRecording.h"
#include "osc/OscFormat.h"

namespace {

class ZelvoCaptureTest : public CaptureFixture, public ::testing::TestWithParam<TLinkKind> {};

struct TSettingsCase {
  const char* Name;
  QStringList Args;
  int Noise;
  // Data bytes 0..11 of the settings frame these options must produce.
  TFrame Data;
  TOscMultiplier Probe1, Probe2;
};

// Worked out by hand for the "set" case: channel 1 at 1 V/div with its zero
// line at 100 (0.04 V a step), channel 2 at 500 mV/div with a x10 probe
// (0.2 V a step), a clean 1 V square wave on channel 2.
void ExpectWorkedByHand(const TFrame& First, const std::string& CsvBytes, const std::string& Json,
                        const std::string& Printed) {
  const std::vector<std::string> Csv = Lines(CsvBytes);
  ASSERT_EQ(Csv.size(), 4096u);
  char Line0[64];
  std::snprintf(Line0, sizeof Line0, "%.2f;%.2f\r", (100 - First[16]) * 0.04,
                (128 - First[17]) * 0.2);
  EXPECT_EQ(Csv[0], Line0);
  EXPECT_EQ(Json,
            R"({"TimeScale":"1ms/div","Trigger":{"Source":2,"Coupling":"AC","Slope":"Falling",)"
            R"("Mode":"Auto","Level":"5.47V"},"Channels":[{"Channel":1,"State":"On",)"
            R"("Scale":"1V/div","Level":"1.09V","Coupling":"DC","Probe":"X1"},{"Channel":2,)"
            R"("State":"On","Scale":"5V/div","Level":"0.00V","Coupling":"AC","Probe":"X10"}]})");
  const std::vector<std::string> Readouts = Lines(Printed);
  ASSERT_EQ(Readouts.size(), 40u);
  EXPECT_EQ(Readouts[20 + 2], "CH2 Vmax 10.00V");
  EXPECT_EQ(Readouts[20 + 3], "CH2 Vpp 20.00V");
  // The 500 Hz square, 100 samples a period at 1 ms/div.
  EXPECT_EQ(Readouts[20 + 13], "CH2 Freq 500.00Hz");
  EXPECT_EQ(Readouts[20 + 14], "CH2 Period 2ms");
  EXPECT_EQ(Readouts[20 + 15], "CH2 Duty 50.0%");
}

TEST_P(ZelvoCaptureTest, WritesTheFirstCaptureTakenWithTheRequestedSettings) {
  const TSettingsCase Cases[] = {
      {"defaults", {}, 1, {0, 0, 0, 2, 128, 0, 2, 128, 8, 128, 1, 0}, multX1, multX1},
      {"set",
       {"--timebase", "1ms", "--ch1-vdiv", "1V", "--ch1-coupling", "DC", "--ch1-position", "100",
        "--ch2-vdiv", "500mV", "--ch2-probe", "x10", "--trigger-channel", "2", "--trigger-slope",
        "falling", "--trigger-level", "100"},
       0,
       {0, 0, 1, 5, 100, 0, 6, 128, 9, 100, 1 + 4 + 8, 0},
       multX1,
       multX10},
      {"off",
       {"--timebase", "20us", "--ch1-vdiv", "off", "--ch2-coupling", "GND", "--ch2-vdiv", "2V",
        "--trigger-mode", "normal", "--ch1-probe", "x10"},
       1,
       {0, 0, 0, 0, 128, 2, 4, 128, 4, 128, 0, 0},
       multX10,
       multX1},
  };
  for (const TSettingsCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Config.NoiseLevel = C.Noise;
    const QStringList Link = Start(GetParam());
    const QString Base = Path(C.Name);
    ASSERT_EQ(RunCapture(Link + C.Args + QStringList{"--out", Base}), ceSuccess) << Err;
    EXPECT_EQ(Err, "");

    // One settings frame, carrying every option, before the sample request.
    const std::vector<TFrame> Settings = ReceivedWithCommand(0x11);
    ASSERT_EQ(Settings.size(), 1u);
    EXPECT_EQ(TFrame(Settings[0].begin() + 4, Settings[0].end() - 2), C.Data);
    ASSERT_GE(Record().Received.size(), 2u);
    EXPECT_EQ(Record().Received[0][1], 0x11);
    EXPECT_EQ(Record().Received[1][1], 0x12);

    // The files and readouts are those of the capture the scope sent, as the
    // program exports and shows them.
    const std::vector<TFrame> Sent = SentCapture(0);
    ASSERT_FALSE(Sent.empty());
    std::unique_ptr<TZelvo> Ref = Replay(Sent, C.Probe1, C.Probe2);
    Ref->SaveToFile(Path("ref.csv").toStdString());
    Ref->SaveParametersToFile(Path("ref.json").toStdString());
    EXPECT_EQ(ReadBytes(Base + ".csv"), ReadBytes(Path("ref.csv")));
    EXPECT_EQ(ReadBytes(Base + ".json"), ReadBytes(Path("ref.json")));
    EXPECT_EQ(Lines(Out), ReadoutLines(*Ref));
    if (std::string(C.Name) == "set")
      ExpectWorkedByHand(Sent.front(), ReadBytes(Base + ".csv"), ReadBytes(Base + ".json"), Out);
  }
}

TEST_P(ZelvoCaptureTest, CountWritesConsecutiveCapturesToNumberedFiles) {
  const QStringList Link = Start(GetParam());
  const QString Base = Path("run");
  ASSERT_EQ(RunCapture(Link + QStringList{"--out", Base, "--count", "3", "--spectrum",
                                          Path("spectrum.csv")}),
            ceSuccess)
      << Err;
  const std::vector<std::string> Printed = Lines(Out);
  ASSERT_EQ(Printed.size(), 3u * 41u);
  for (int K = 0; K < 3; ++K) {
    SCOPED_TRACE(K);
    const QString Name = Base + "-" + QString::number(K + 1);
    std::unique_ptr<TZelvo> Ref = Replay(SentCapture(K));
    Ref->SaveToFile(Path("ref.csv").toStdString());
    EXPECT_EQ(ReadBytes(Name + ".csv"), ReadBytes(Path("ref.csv")));
    EXPECT_EQ(Printed[41 * K], Name.toStdString());
    EXPECT_EQ(std::vector<std::string>(Printed.begin() + 41 * K + 1, Printed.begin() + 41 * K + 41),
              ReadoutLines(*Ref));
    EXPECT_EQ(ReadBytes(Path("spectrum-%1.csv").arg(K + 1)), SpectrumCsv(*Ref, swHann));
  }
  EXPECT_NE(ReadBytes(Base + "-1.csv"), ReadBytes(Base + "-2.csv")) << "noise tells captures apart";
  EXPECT_FALSE(QFile::exists(Base + ".csv"));
  EXPECT_FALSE(QFile::exists(Path("spectrum.csv")));
}

TEST_P(ZelvoCaptureTest, LocaleCommaReachesSamplesAndReadoutsButNotLevels) {
  const QStringList Link = Start(GetParam());
  const QString Base = Path("de");
  ASSERT_EQ(
      RunCapture(Link + QStringList{"--out", Base, "--locale", "de_DE", "--ch1-position", "100"}),
      ceSuccess)
      << Err;
  EXPECT_EQ(OscDecimalSeparator(), '.') << "the run restores the separator";
  const std::string Csv = ReadBytes(Base + ".csv");
  EXPECT_EQ(Csv.find('.'), std::string::npos);
  EXPECT_NE(Csv.find(','), std::string::npos);
  EXPECT_NE(ReadBytes(Base + ".json").find(R"("Level":"10.94V")"), std::string::npos);

  OscSetDecimalSeparator(',');
  std::unique_ptr<TZelvo> Ref = Replay(SentCapture(0));
  Ref->SaveToFile(Path("ref.csv").toStdString());
  const std::vector<std::string> Readouts = ReadoutLines(*Ref);
  OscSetDecimalSeparator('.');
  EXPECT_EQ(Csv, ReadBytes(Path("ref.csv")));
  EXPECT_EQ(Lines(Out), Readouts);
  EXPECT_NE(Out.find("CH1 Vpp 4,"), std::string::npos) << Out;
}

// Both channels' spectra of the capture written, one line per bin, with
// decimal points whatever --locale says.
TEST_P(ZelvoCaptureTest, SpectrumWritesBothChannelsPerBinInTheCLocale) {
  const QStringList Link = Start(GetParam());
  const QString Spectrum = Path("spectrum.csv");
  ASSERT_EQ(RunCapture(Link + QStringList{"--out", Path("cap"), "--ch1-vdiv", "500mV", "--locale",
                                          "de_DE", "--spectrum", Spectrum, "--window", "Flat top"}),
            ceSuccess)
      << Err;
  std::unique_ptr<TZelvo> Ref = Replay(SentCapture(0));
  const std::string Csv = ReadBytes(Spectrum);
  EXPECT_EQ(Csv, SpectrumCsv(*Ref, swFlatTop));
  const std::vector<std::string> Rows = Lines(Csv);
  ASSERT_EQ(Rows.size(), 2050u);
  EXPECT_EQ(Rows[0], "frequency_hz,ch1_dbv,ch2_dbv");
  // 100 kHz sampling at 500 µs/div: bins of 24.4140625 Hz up to 50 kHz.
  EXPECT_EQ(Rows[1].substr(0, 2), "0,");
  EXPECT_EQ(Rows[2].substr(0, 11), "24.4140625,");
  EXPECT_EQ(Rows[2049].substr(0, 6), "50000,");
  for (const std::string& Row : Rows)
    ASSERT_EQ(std::count(Row.begin(), Row.end(), ','), 2) << Row;
  // CH1's 1 kHz sine of 2 V peak lies between bins 40 and 41; the flat top
  // reads its level there all the same.
  double Peak = -300;
  for (std::size_t K = 2; K < Rows.size(); ++K) {
    const std::string& Row = Rows[K];
    double Level = 0;
    std::from_chars(Row.data() + Row.find(',') + 1, Row.data() + Row.size(), Level);
    Peak = std::max(Peak, Level);
  }
  EXPECT_NEAR(Peak, 20 * std::log10(2 / std::sqrt(2.0)), 0.1);
  // The readouts keep the locale's comma.
  const std::vector<std::string> Readouts = Lines(Out);
  ASSERT_EQ(Readouts.size(), 40u);
  EXPECT_EQ(Readouts[13].substr(0, 9), "CH1 Freq ");
  EXPECT_NE(Readouts[13].find(','), std::string::npos) << Readouts[13];
}

// Blocks whose settings block is not the requested one (here garbled by the
// simulator) spoil their capture; the next clean one is written.
TEST_P(ZelvoCaptureTest, CapturesWithBlocksOfOtherSettingsArePassedOver) {
  Config.Faults.BadOrdinals = 0.15;
  Config.Seed = 3;
  const QStringList Link = Start(GetParam());
  const QString Base = Path("clean");
  ASSERT_EQ(RunCapture(Link + QStringList{"--out", Base}), ceSuccess) << Err;
  const std::vector<TFrame> Sent = SentCapture(0);
  ASSERT_FALSE(Sent.empty());
  const auto FirstSample = std::find_if(Record().SentGood.begin(), Record().SentGood.end(),
                                        [](const TFrame& F) { return F[1] == 0x21; });
  ASSERT_NE(FirstSample, Record().SentGood.end());
  EXPECT_NE(*FirstSample, Sent.front()) << "the seed must spoil the first capture";
  std::unique_ptr<TZelvo> Ref = Replay(Sent);
  Ref->SaveToFile(Path("ref.csv").toStdString());
  EXPECT_EQ(ReadBytes(Base + ".csv"), ReadBytes(Path("ref.csv")));
  EXPECT_EQ(Lines(Out), ReadoutLines(*Ref));
}

// A failure: its exit code, and one line on standard error naming the cause.
void ExpectFailure(const CaptureFixture& F, int Code, int Expected, const std::string& Cause) {
  EXPECT_EQ(Code, Expected) << F.Err;
  EXPECT_EQ(F.Err.rfind("zelvo-capture: ", 0), 0u) << F.Err;
  EXPECT_NE(F.Err.find(Cause), std::string::npos) << F.Err;
  EXPECT_EQ(std::count(F.Err.begin(), F.Err.end(), '\n'), 1) << F.Err;
  EXPECT_EQ(F.Out, "");
}

TEST_P(ZelvoCaptureTest, LinkLostBeforeACompleteCaptureExitsWithConnectionFailed) {
  Config.Faults.DropAfter = 3;
  const QStringList Link = Start(GetParam());
  const int Code = RunCapture(Link + QStringList{"--out", Path("lost")});
  ExpectFailure(*this, Code, ceConnectionFailed, " lost");
  EXPECT_FALSE(QFile::exists(Path("lost.csv")));
}

TEST_P(ZelvoCaptureTest, NoCompleteCaptureInTimeExitsWithTimeout) {
  Config.MaxSampleFrames = 3;
  const QStringList Link = Start(GetParam());
  const int Code = RunCapture(Link + QStringList{"--out", Path("slow"), "--timeout", "0.5"});
  ExpectFailure(*this, Code, ceTimeout,
                "timed out after 0.5 s waiting for a complete capture from ");
}

TEST_P(ZelvoCaptureTest, UnwritableFileExitsWithFileNotWritable) {
  const QStringList Link = Start(GetParam());
  const QString Base = Path("missing/dir/cap");
  const int Code = RunCapture(Link + QStringList{"--out", Base});
  ExpectFailure(*this, Code, ceFileNotWritable,
                "cannot write the capture: Cannot create file \"" + Base.toStdString() + ".csv\"");
}

// --record: every frame the simulator sent over the time asked for, in
// order and byte for byte, and one line saying how much.
TEST_P(ZelvoCaptureTest, RecordsEveryFrameForTheSecondsAsked) {
  const QStringList Link = Start(GetParam());
  const QString File = Path("run.zrec");
  ASSERT_EQ(
      RunCapture(Link + QStringList{"--record", File, "--seconds", "0.3", "--timebase", "1ms"}),
      ceSuccess)
      << Err;
  EXPECT_EQ(Err, "");
  TZelvoRecordingReader Reader(File.toStdString());
  std::vector<TFrame> Recorded;
  for (TZelvoRecord R; Reader.Next(R);)
    Recorded.push_back(R.Frame);
  EXPECT_EQ(Reader.DroppedBytes(), 0);
  // 0.3 s at 400 frames a second, a loaded machine allowing; the link may
  // still hold the last few.
  EXPECT_GE(Recorded.size(), 8u);
  const std::vector<TFrame>& Sent = Record().SentGood;
  ASSERT_LE(Recorded.size(), Sent.size());
  EXPECT_TRUE(std::equal(Recorded.begin(), Recorded.end(), Sent.begin()));
  EXPECT_EQ(Out, File.toStdString() + ": " + std::to_string(Recorded.size()) + " frames, " +
                     std::to_string(QFileInfo(File).size()) + " bytes\n");
  // The settings went out as for a capture.
  ASSERT_FALSE(ReceivedWithCommand(0x11).empty());
  EXPECT_EQ(ReceivedWithCommand(0x11).front()[4 + 8], tb1ms);
}

TEST_P(ZelvoCaptureTest, UnwritableRecordingExitsWithFileNotWritable) {
  const QStringList Link = Start(GetParam());
  const QString File = Path("missing/dir/run.zrec");
  const int Code = RunCapture(Link + QStringList{"--record", File, "--seconds", "1"});
  ExpectFailure(*this, Code, ceFileNotWritable,
                "cannot write the recording: Cannot create file \"" + File.toStdString() + "\"");
  EXPECT_TRUE(Record().Received.empty()) << "the link is never opened";
}

INSTANTIATE_TEST_SUITE_P(Links, ZelvoCaptureTest, ::testing::Values(TLinkKind::Tcp, TLinkKind::Pty),
                         LinkName);

class ZelvoCaptureErrorTest : public CaptureFixture, public ::testing::Test {};

TEST_F(ZelvoCaptureErrorTest, RefusedConnectionExitsWithConnectionFailed) {
  quint16 Port;
  {
    QTcpServer Closed;
    ASSERT_TRUE(Closed.listen(QHostAddress::LocalHost, 0));
    Port = Closed.serverPort();
  }
  const int Code = RunCapture(
      {"--host", "127.0.0.1", "--port", QString::number(Port), "--out", Path("refused")});
  ExpectFailure(*this, Code, ceConnectionFailed,
                "cannot connect to 127.0.0.1:" + std::to_string(Port) + ": Connection refused");
}

// A loopback listener that never accepts, its queue already full: the
// connection attempt neither succeeds nor fails.
TEST_F(ZelvoCaptureErrorTest, ConnectionNotMadeInTimeExitsWithTimeout) {
  const int Listener = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(Listener, 0);
  sockaddr_in Address{};
  Address.sin_family = AF_INET;
  Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t Size = sizeof Address;
  ASSERT_EQ(::bind(Listener, reinterpret_cast<sockaddr*>(&Address), Size), 0);
  ASSERT_EQ(::listen(Listener, 0), 0);
  ASSERT_EQ(::getsockname(Listener, reinterpret_cast<sockaddr*>(&Address), &Size), 0);
  const QString Port = QString::number(ntohs(Address.sin_port));
  QTcpSocket Filler[2];
  for (QTcpSocket& F : Filler)
    F.connectToHost(QHostAddress::LocalHost, ntohs(Address.sin_port));
  // A backlog of 0 holds one connection: once the first is in, the queue is
  // full and the capture's own attempt goes unanswered.
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return Filler[0].state() == QAbstractSocket::ConnectedState; }, 5000));
  const int Code =
      RunCapture({"--host", "127.0.0.1", "--port", Port, "--out", Path("x"), "--timeout", "0.5"});
  ::close(Listener);
  ExpectFailure(*this, Code, ceTimeout,
                "timed out after 0.5 s waiting for the connection to 127.0.0.1:" +
                    Port.toStdString());
}

TEST_F(ZelvoCaptureErrorTest, SerialPortThatCannotBeOpenedExitsWithPortUnavailable) {
  const int Code = RunCapture({"--serial", Path("no-such-tty"), "--out", Path("cap")});
  ExpectFailure(*this, Code, cePortUnavailable, "cannot open the serial port: ");
  EXPECT_NE(Err.find("no-such-tty"), std::string::npos) << Err;
}

TEST_F(ZelvoCaptureErrorTest, BadOptionsExitWithBadOptions) {
  const int Code = RunCapture({"--host", "127.0.0.1", "--out", Path("cap"), "--ch1-vdiv", "3V"});
  ExpectFailure(*this, Code, ceBadOptions, "--ch1-vdiv: \"3V\" is not one of off, 20V");
}

} // namespace
