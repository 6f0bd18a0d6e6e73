// File › Record... and File › Open recording... through the real window,
// against the scope simulator: what the scope sends is recorded byte for byte
// and played back through the driver; the replay's bar pauses, steps and
// changes the speed; a paused replay is frozen; choosing anything else ends it.

#include "KeepTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QHostAddress>
#include <QLabel>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "app/RecordingControl.h"
#include "app/ReplayBar.h"
#include "link/Zelvo.h"
#include "link/ZelvoRecorder.h"
#include "link/ZelvoRecording.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoReplayConnection.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "sim/ZelvoSimulator.h"

namespace {

std::vector<TBytes> ReadRecording(const QString& File, std::int64_t* Dropped = nullptr) {
  TZelvoRecordingReader Reader(QFile::encodeName(File).toStdString());
  std::vector<TBytes> Frames;
  TZelvoRecord Record;
  while (Reader.Next(Record))
    Frames.push_back(Record.Frame);
  if (Dropped != nullptr)
    *Dropped = Reader.DroppedBytes();
  return Frames;
}

// Whether Part is a run of consecutive frames of Whole.
bool IsRunOf(const std::vector<TBytes>& Part, const std::vector<TBytes>& Whole) {
  if (Part.empty())
    return false;
  for (std::size_t At = 0; At + Part.size() <= Whole.size(); ++At)
    if (std::equal(Part.begin(), Part.end(), Whole.begin() + static_cast<std::ptrdiff_t>(At)))
      return true;
  return false;
}

class RecordingTest : public AppTest {
protected:
  void SetUp() override {
    TestApp(); // the simulator's sockets and timers need it
    Config.RecordFrames = true;
    Config.NoiseLevel = 0;
    Config.FrameRate = 100;
    Sim = std::make_unique<TZelvoSimulator>(Config);
    SimPort = Sim->ListenTcp(QHostAddress::LocalHost, 0);
    AppTest::SetUp();
    Replay().RegisterObserver(&Player);
    Player.SetOnReceive([this](TZelvoConnection*, const TZelvoPacket& P) {
      Played.emplace_back(P.Raw(), P.Raw() + P.Size());
    });
  }
  void TearDown() override {
    AppTest::TearDown();
    Sim.reset();
  }

  bool ConnectTcp() {
    TModalScript Script;
    Script.Then(ConfirmTcpDialog("127.0.0.1", SimPort));
    Main().actConnectTcp->trigger();
    return QTest::qWaitFor([&] { return Main().ZelvoTcpConnection().Connected(); }, 5000);
  }
  QStringList Run(QAction* Action, const QString& Name) {
    return TriggerChoosingFile(Action, Name);
  }
  // Three captures, 20 ms between frames.
  QString WriteRecording(const QString& Name) {
    const QString File = Dir.filePath(Name);
    TZelvoRecordingWriter Writer(QFile::encodeName(File).toStdString(), 0);
    std::int64_t Time = 0;
    for (int C = 0; C < 3; ++C)
      for (const TBytes& F : CaptureFrames(C)) {
        Written.push_back(F);
        Writer.Append(Time += 20000, F.data(), static_cast<int>(F.size()));
      }
    Writer.Close();
    return File;
  }
  TZelvoReplayConnection& Replay() { return Main().ZelvoReplayConnection(); }
  const TReplayBar& Bar() { return Main().ReplayBar(); }
  QString LinkPanel() { return Main().StatusPanel(3)->text(); }
  // What Record's enable rule says now.
  bool CanRecord() {
    Main().UpdateActions();
    return Main().actRecord->isEnabled();
  }

  TZelvoSimConfig Config;
  std::unique_ptr<TZelvoSimulator> Sim;
  quint16 SimPort = 0;
  TZelvoConnectionObserver Player; // hears what the replay hands the driver
  std::vector<TBytes> Played;
  std::vector<TBytes> Written;
};

} // namespace

TEST_F(RecordingTest, RecordsWhatTheScopeSendsAndPlaysItBack) {
  EXPECT_FALSE(CanRecord()) << "no scope";
  ASSERT_TRUE(ConnectTcp());
  ASSERT_TRUE(CanRecord());
  const QString File = Dir.filePath("run.zrec");
  EXPECT_EQ(Run(Main().actRecord, File), QStringList());
  ASSERT_TRUE(Main().Recording().Recording());
  EXPECT_FALSE(CanRecord());
  EXPECT_TRUE(Main().actStopRecording->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Main().Recording().Recorder()->Frames() >= 24; }, 5000));
  // The link panel says how much, at the next flush.
  EXPECT_TRUE(QTest::qWaitFor([&] { return LinkPanel().contains("recording"); }, 2000))
      << LinkPanel().toStdString();
  Main().actStopRecording->trigger();
  EXPECT_FALSE(Main().Recording().Recording());
  EXPECT_FALSE(LinkPanel().contains("recording")) << LinkPanel().toStdString();

  std::int64_t Dropped = -1;
  const std::vector<TBytes> Recorded = ReadRecording(File, &Dropped);
  EXPECT_EQ(Dropped, 0);
  EXPECT_GE(Recorded.size(), 24u);
  EXPECT_TRUE(IsRunOf(Recorded, Sim->TcpRecord().SentGood));

  // Played through the driver as if from the scope; the scope's link closes.
  const std::uint64_t Captures = Main().Zelvo().Captures();
  EXPECT_EQ(Run(Main().actOpenRecording, File), QStringList());
  EXPECT_FALSE(Main().ZelvoTcpConnection().Connected());
  EXPECT_EQ(Main().Zelvo().Connection(), &Replay());
  EXPECT_EQ(Main().ActiveScope(), &Main().Zelvo());
  EXPECT_TRUE(Bar().isVisible());
  EXPECT_FALSE(CanRecord()) << "a replay is not recorded";
  ASSERT_TRUE(QTest::qWaitFor([&] { return Replay().Finished(); }, 10000));
  EXPECT_TRUE(Played == Recorded);
  EXPECT_GE(Main().Zelvo().Captures(), Captures + 2);
  EXPECT_EQ(LinkPanel(), "Replay finished");
  EXPECT_TRUE(Main().Frozen()) << "nothing more comes";
}

// A write that fails (the file-size limit here, as a full disk would) ends the
// recording with one message naming the file; what was written before stays
// readable.
TEST_F(RecordingTest, AFailingWriteStopsTheRecordingWithOneMessage) {
  ASSERT_TRUE(ConnectTcp());
  const QString File = Dir.filePath("full.zrec");
  struct sigaction Ignore = {}, Old = {};
  Ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &Ignore, &Old);
  rlimit Saved = {};
  getrlimit(RLIMIT_FSIZE, &Saved);
  rlimit Limit = Saved;
  Limit.rlim_cur = 40000;
  setrlimit(RLIMIT_FSIZE, &Limit);

  QStringList Seen;
  TModalScript Script;
  Script.Then(ChooseFile(File)).Otherwise(RecordAndClose(Seen));
  Main().actRecord->trigger();
  const bool Shown = QTest::qWaitFor([&] { return !Seen.isEmpty(); }, 10000);
  setrlimit(RLIMIT_FSIZE, &Saved);
  sigaction(SIGXFSZ, &Old, nullptr);

  ASSERT_TRUE(Shown);
  EXPECT_EQ(Seen, QStringList({"Error: The recording stopped: Cannot write file \"" + File +
                               "\". File too large"}));
  EXPECT_FALSE(Main().Recording().Recording());
  EXPECT_TRUE(CanRecord());
  EXPECT_EQ(std::filesystem::file_size(QFile::encodeName(File).toStdString()), 40000u);
  EXPECT_TRUE(IsRunOf(ReadRecording(File), Sim->TcpRecord().SentGood));
}

// Paused, the replay is frozen: no click reaches the driver or empties its
// channels. Step plays one capture, the speed list sets the speed, and the
// end keeps the last capture.
TEST_F(RecordingTest, TheBarPausesStepsAndSetsTheSpeed) {
  const QString File = WriteRecording("three.zrec");
  EXPECT_EQ(Run(Main().actOpenRecording, File), QStringList());
  ASSERT_TRUE(Replay().Connected());
  EXPECT_TRUE(Bar().lblName()->text().contains("three.zrec"));
  Click(Bar().btnPause());
  ASSERT_TRUE(Replay().Paused());
  EXPECT_TRUE(Main().Frozen());
  EXPECT_EQ(LinkPanel(), "Replay paused");

  const int Sent = Replay().Statistics().PacketsOut();
  const std::string Before = Describe(OscCaptureOf(Main().Zelvo()));
  ClickEverySetting(Main());
  EXPECT_EQ(Replay().Statistics().PacketsOut(), Sent);
  EXPECT_EQ(Describe(OscCaptureOf(Main().Zelvo())), Before);

  const std::uint64_t Captures = Main().Zelvo().Captures();
  Click(Bar().btnStep());
  EXPECT_EQ(Main().Zelvo().Captures(), Captures + 1);
  EXPECT_EQ(Replay().FramesPlayed() % 8, 0);
  EXPECT_TRUE(Replay().Paused());

  QComboBox* Speed = Bar().cbSpeed();
  Speed->setCurrentIndex(Speed->findData(4.0));
  EXPECT_EQ(Replay().Speed(), 4);
  Click(Bar().btnPause());
  EXPECT_FALSE(Replay().Paused());
  EXPECT_FALSE(Main().Frozen());
  EXPECT_TRUE(Main().Strip(0).btnAC()->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Replay().Finished(); }, 5000));
  EXPECT_TRUE(Played == Written);
  EXPECT_TRUE(Bar().lblPosition()->text().contains("end"))
      << Bar().lblPosition()->text().toStdString();
  EXPECT_FALSE(Bar().btnStep()->isEnabled());
  EXPECT_FALSE(Main().Strip(0).btnAC()->isEnabled());
}

// Demo, a capture file, another connection and Disconnect each end the
// replay; a file that is no recording changes nothing.
TEST_F(RecordingTest, ChoosingAnythingElseEndsTheReplay) {
  ASSERT_TRUE(ConnectTcp());
  const QString Bad = Dir.filePath("bad.zrec");
  std::ofstream(QFile::encodeName(Bad).toStdString()) << "not a recording";
  EXPECT_EQ(Run(Main().actOpenRecording, Bad),
            QStringList({"Error: File \"" + Bad + "\" is not a Zelvo recording"}));
  EXPECT_TRUE(Main().ZelvoTcpConnection().Connected());
  EXPECT_EQ(Main().Zelvo().Connection(), &Main().ZelvoTcpConnection());

  const QString File = WriteRecording("three.zrec");
  struct TCase {
    const char* Name;
    std::function<void()> Choose;
    TOscDevice* Shown;
  };
  const TCase Cases[] = {
      {"Demo", [&] { Main().actConnectDemo->trigger(); }, &Main().ZelvoDemo()},
      {"Disconnect", [&] { Main().actDisconnect->trigger(); }, &Main().Zelvo()},
      {"WiFi", [&] { ASSERT_TRUE(ConnectTcp()); }, &Main().Zelvo()},
      {"a capture file",
       [&] {
         Main().Zelvo().SaveToFile(Dir.filePath("c.csv").toStdString());
         Main().Zelvo().SaveParametersToFile(Dir.filePath("c.json").toStdString());
         EXPECT_EQ(Run(Main().actOpenCapture, Dir.filePath("c.csv")), QStringList());
       },
       &Main().CaptureDevice()},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(Run(Main().actOpenRecording, File), QStringList());
    ASSERT_TRUE(Replay().Connected());
    Click(Bar().btnPause());
    C.Choose();
    EXPECT_FALSE(Replay().Connected());
    EXPECT_FALSE(Bar().isVisible());
    EXPECT_EQ(Main().ActiveScope(), C.Shown);
  }
}
