#include "AppTestSupport.h"
#include "ModalScript.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>

#include "display/OscScopeView.h"

#include <fstream>
#include <sstream>

#include "app/ExceptionBox.h"
#include "app/NoticeDialogs.h"
#include "app/TcpDialog.h"
#include "app/UsbDialog.h"
#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"
#include "link/ZelvoMemoryConnection.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "sim/ZelvoSimulator.h"

namespace {

// The program's windows with the scope simulator as the only scope around.
class ConnectionTest : public AppTest {
protected:
  void SetUp() override {
    TestApp(); // the simulator's sockets and timers need it
    Config.RecordFrames = true;
    Config.NoiseLevel = 0;
    Config.FrameRate = 100;
    Config.LineRate = 0;
    Config.CalibrationMs = 600;
    Sim = std::make_unique<TZelvoSimulator>(Config);
    SimPort = Sim->ListenTcp(QHostAddress::LocalHost, 0);
    AppTest::SetUp();
  }
  void TearDown() override {
    AppTest::TearDown();
    Sim.reset();
  }
  TZelvoSystem System() override {
    TZelvoSystem S;
    S.PortSource = std::make_unique<TListedPorts>(Ports);
    S.GatewayLookup = [] { return QString("127.0.0.1"); };
    return S;
  }

  bool ConnectTcp() {
    TModalScript Script;
    Script.Then(ConfirmTcpDialog("127.0.0.1", SimPort));
    Main().actConnectTcp->trigger();
    return QTest::qWaitFor([&] { return Main().ZelvoTcpConnection().Connected(); }, 5000);
  }
  std::vector<TCommand> CommandsReceivedBySim() const {
    std::vector<TCommand> C;
    for (const auto& F : Sim->TcpRecord().Received)
      C.push_back(F[1]);
    return C;
  }

  TZelvoSimConfig Config;
  std::unique_ptr<TZelvoSimulator> Sim;
  quint16 SimPort = 0;
  std::vector<TSerialPortEntry> Ports;
};

} // namespace

TEST_F(ConnectionTest, WifiConnectShowsTheScope) {
  ASSERT_TRUE(ConnectTcp());
  EXPECT_FALSE(Main().pnlDemoMode()->isVisible());
  EXPECT_EQ(Main().ActiveScope(), &Main().Zelvo());
  Main().UpdateActions();
  EXPECT_TRUE(Main().actWifiCfg->isEnabled());
  EXPECT_TRUE(Main().actExport->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return CommandsReceivedBySim().size() >= 3; }, 5000))
      << CommandsReceivedBySim().size() << " " << Main().ZelvoTcpConnection().Host() << ":"
      << Main().ZelvoTcpConnection().Port() << " sim " << SimPort << " accepted "
      << Sim->TcpClientsAccepted();
  const std::vector<TCommand> All = CommandsReceivedBySim();
  const std::vector<TCommand> First(All.begin(), All.begin() + 3);
  EXPECT_EQ(First, (std::vector<TCommand>{CChangeScopeSettingsCommand, CRequestSamplesCommand,
                                          CWifiSettingsRequest}));
  // The scope's captures reach the traces and the readouts.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Main().Strip(0).lblValue()->text() != "-"; }, 5000));

  // Demo keeps the scope connection open.
  Main().actConnectDemo->trigger();
  Main().UpdateActions();
  EXPECT_TRUE(Main().ZelvoTcpConnection().Connected());
  EXPECT_TRUE(Main().actWifiCfg->isEnabled());
  EXPECT_FALSE(Main().actExport->isEnabled());
}

TEST_F(ConnectionTest, RefusedWifiConnectionIsReported) {
  QTcpServer Closed;
  ASSERT_TRUE(Closed.listen(QHostAddress::LocalHost, 0));
  const quint16 Port = Closed.serverPort();
  Closed.close();
  QStringList Seen;
  TModalScript Script;
  Script.Then(ConfirmTcpDialog("127.0.0.1", Port)).Then(RecordAndClose(Seen));
  Main().actConnectTcp->trigger();
  // The banner goes at once; the error follows later.
  EXPECT_FALSE(Main().pnlDemoMode()->isVisible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Seen.isEmpty(); }, 5000));
  EXPECT_EQ(Seen, QStringList({"Error: An error occured when trying to connect"}));
  EXPECT_EQ(Main().ActiveScope(), &Main().Zelvo());
}

TEST_F(ConnectionTest, CancelChangesNothing) {
  ASSERT_TRUE(ConnectTcp());
  Main().actConnectDemo->trigger();
  for (QAction* Action : {Main().actConnectTcp, Main().actConnectUsb}) {
    TModalScript Script;
    Script.Then([](QWidget* Modal) { qobject_cast<QDialog*>(Modal)->reject(); });
    Action->trigger();
    EXPECT_EQ(Script.Handled(), 1);
    EXPECT_EQ(Main().ActiveScope(), static_cast<TOscDevice*>(&Main().ZelvoDemo()));
    EXPECT_EQ(Main().Zelvo().Connection(), &Main().ZelvoTcpConnection());
    EXPECT_TRUE(Main().ZelvoTcpConnection().Connected());
  }
}

TEST_F(ConnectionTest, UsbConnectIsFollowedByTheWarningEveryTime) {
  const QString Pty = Sim->OpenPty();
  Ports.push_back({Pty, true, 0x6B1D, 0xE4F7});
  Windows->UsbDialog().USBPnP().Refresh();
  ASSERT_TRUE(ConnectTcp());
  for (int Round = 0; Round < 2; ++Round) {
    SCOPED_TRACE(Round);
    QStringList Seen;
    TModalScript Script;
    Script.Then([](QWidget* Modal) { qobject_cast<QDialog*>(Modal)->accept(); })
        .Then(RecordAndClose(Seen));
    Main().actConnectUsb->trigger();
    EXPECT_EQ(Seen, QStringList({"WarningDialog"}));
    // The old TCP link was closed first; the driver is on the serial port.
    EXPECT_FALSE(Main().ZelvoTcpConnection().Connected());
    EXPECT_EQ(Main().Zelvo().Connection(), &Main().ZelvoUsbConnection());
    EXPECT_TRUE(Main().ZelvoUsbConnection().Connected());
    EXPECT_FALSE(Main().pnlDemoMode()->isVisible());
  }
}

TEST_F(ConnectionTest, APortThatCannotOpenIsReported) {
  Ports.push_back({"/nonexistent/ttyZelvo", true, 0x6B1D, 0xE4F7});
  Windows->UsbDialog().USBPnP().Refresh();
  QStringList Seen;
  TModalScript Script;
  Script.Then([](QWidget* Modal) { qobject_cast<QDialog*>(Modal)->accept(); })
      .Then(RecordAndClose(Seen));
  Main().actConnectUsb->trigger();
  EXPECT_EQ(Seen, QStringList({"Error: Unable to connect to /nonexistent/ttyZelvo."}));
  EXPECT_EQ(Main().ActiveScope(), &Main().Zelvo());
  EXPECT_EQ(Main().Zelvo().Connection(), &Main().ZelvoUsbConnection());
  EXPECT_FALSE(Main().ZelvoUsbConnection().Connected());
  EXPECT_FALSE(Main().pnlDemoMode()->isVisible());
}

// The window opens from inside the handling of a received frame and closes on
// a later one, handled in its own loop; the traces go on behind it.
TEST_F(ConnectionTest, CalibrationWindowOpensAndClosesByItself) {
  ASSERT_TRUE(ConnectTcp());
  bool Shown = false;
  long FramesWhileShown = 0;
  QStringList Seen;
  TModalScript Script;
  Script.Then(RecordAndClose(Seen)).Then([&](QWidget* Modal) {
    Shown = qobject_cast<TCalibrationForm*>(Modal) != nullptr;
    const long Before = Sim->TcpRecord().SampleFramesSent;
    (void)QTest::qWaitFor([&] { return !Modal->isVisible(); }, 5000);
    FramesWhileShown = Sim->TcpRecord().SampleFramesSent - Before;
  });
  Main().actCalibrate->trigger();
  EXPECT_EQ(Seen, QStringList({"Warning: Please make sure all probes are disconnected prior to "
                               "calibration."}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Script.Done(); }, 5000))
      << Seen.join("|").toStdString() << " handled " << Script.Handled() << " cmds "
      << testing::PrintToString(CommandsReceivedBySim());
  EXPECT_TRUE(Shown);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Windows->CalibrationForm().isVisible(); }, 5000));
  EXPECT_GT(FramesWhileShown, 0);
  EXPECT_FALSE(Main().Zelvo().Calibrating());
}

TEST_F(ConnectionTest, CalibrationCancelSendsNothing) {
  ASSERT_TRUE(ConnectTcp());
  TModalScript Script;
  Script.Then([](QWidget* Modal) { CloseModal(Modal, false); });
  const int Sent = Main().ZelvoTcpConnection().Statistics().PacketsOut();
  Main().actCalibrate->trigger();
  EXPECT_EQ(Script.Handled(), 1);
  // Whatever goes out is counted as it is sent, before the action returns.
  EXPECT_EQ(Main().ZelvoTcpConnection().Statistics().PacketsOut(), Sent);
}

namespace {

// The driver active on a silent link, holding a capture of known samples.
class ExportTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    Main().Zelvo().SetConnection(&Link);
    Main().SetActiveScope(&Main().Zelvo());
    Main().Zelvo().Signals()[0].SetVoltsPerDivision(vdiv1V);
    for (int I = 0; I < CSampleCount; ++I) {
      Main().Zelvo().Signals()[0].SetSample(I, I % 256);
      Main().Zelvo().Signals()[1].SetSample(I, 255 - I % 256);
    }
  }
  void TearDown() override {
    Main().Zelvo().SetConnection(&Main().ZelvoUsbConnection());
    AppTest::TearDown();
  }
  // Exports through the file dialog, choosing Name; returns the message shown.
  QString Export(const QString& Name, std::function<void()> BeforeAccept = {}) {
    QStringList Seen;
    TModalScript Script;
    Script
        .Then([Name, BeforeAccept](QWidget* Modal) {
          auto* Dialog = qobject_cast<QFileDialog*>(Modal);
          ASSERT_NE(Dialog, nullptr);
          Dialog->selectFile(Name);
          if (BeforeAccept)
            BeforeAccept();
          static_cast<QDialog*>(Dialog)->accept();
        })
        .Then(RecordAndClose(Seen));
    Main().actExport->trigger();
    return Seen.value(0);
  }
  static std::string Bytes(const QString& Path) {
    std::ifstream F(QFile::encodeName(Path).toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(F), std::istreambuf_iterator<char>()};
  }

  TZelvoMemoryConnection Link;
};

} // namespace

TEST_F(ExportTest, WritesBothFilesUnderTheChosenBase) {
  const QString Chosen = Dir.filePath("a.b.txt");
  EXPECT_EQ(Export(Chosen), "Information: Sample buffer saved to '" + Chosen + "'");
  std::ostringstream Samples;
  Main().Zelvo().SaveToStream(Samples);
  EXPECT_EQ(Bytes(Dir.filePath("a.b.csv")), Samples.str());
  ASSERT_TRUE(QFile::exists(Dir.filePath("a.b.json")));
  const std::string Json = Bytes(Dir.filePath("a.b.json"));
  EXPECT_EQ(Json.rfind("{\"TimeScale\":\"2ms/div\"", 0), 0u) << Json;
  EXPECT_FALSE(QFile::exists(Chosen));
}

TEST_F(ExportTest, ANameWithoutExtensionGetsTheDefaultOne) {
  EXPECT_EQ(Export(Dir.filePath("capture")),
            "Information: Sample buffer saved to '" + Dir.filePath("capture.csv") + "'");
  EXPECT_TRUE(QFile::exists(Dir.filePath("capture.csv")));
  EXPECT_TRUE(QFile::exists(Dir.filePath("capture.json")));
}

TEST_F(ExportTest, AFolderThatCannotBeWrittenIsReported) {
  // The folder is there while the name is chosen and gone when it is written.
  ASSERT_TRUE(QDir(Dir.path()).mkdir("gone"));
  const QString Missing = QDir(Dir.path()).absoluteFilePath("gone/capture.csv");
  const QString Shown = Export(Missing, [&] { QDir(Dir.path()).rmdir("gone"); });
  EXPECT_TRUE(
      Shown.startsWith("Error: Failed to save to file: Cannot create file \"" + Missing + "\". "))
      << Shown.toStdString() << " / " << Missing.toStdString();
  EXPECT_FALSE(QFile::exists(Dir.filePath("gone/capture.json")));
}

// The program's own folder is /usr/bin once installed: the dialog starts in
// the documents folder, the home folder where there is none, and then where
// the last export went.
TEST_F(ExportTest, TheDialogProposesADatedNameWhereTheUserMayWrite) {
  const QByteArray Home = qgetenv("HOME"), Config = qgetenv("XDG_CONFIG_HOME");
  const auto Restore = qScopeGuard([&] {
    qputenv("HOME", Home);
    Config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", Config);
  });
  const QString NewHome = Dir.filePath("home");
  ASSERT_TRUE(QDir().mkpath(NewHome));
  qputenv("HOME", QFile::encodeName(NewHome));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(NewHome + "/.config"));
  auto Proposal = [this](QString& Folder, QString& Proposed, QStringList& Filters) {
    TModalScript Script;
    Script.Then([&](QWidget* Modal) {
      auto* Dialog = qobject_cast<QFileDialog*>(Modal);
      Proposed = Dialog->selectedFiles().value(0);
      Folder = Dialog->directory().absolutePath();
      Filters = Dialog->nameFilters();
      Dialog->reject();
    });
    Main().actExport->trigger();
  };
  QString Folder, Proposed;
  QStringList Filters;
  Proposal(Folder, Proposed, Filters);
  EXPECT_EQ(Folder, NewHome) << "no documents folder";
  EXPECT_TRUE(QRegularExpression(".*/zelvo_\\d\\d-\\d\\d-\\d{4}_\\d\\d-\\d\\d-\\d\\d\\.csv")
                  .match(Proposed)
                  .hasMatch())
      << Proposed.toStdString();
  EXPECT_EQ(Filters, QStringList({"CSV-file (*.csv)"}));

  ASSERT_TRUE(QDir().mkpath(NewHome + "/Documents"));
  Proposal(Folder, Proposed, Filters);
  EXPECT_EQ(Folder, NewHome + "/Documents");

  ASSERT_TRUE(QDir().mkpath(Dir.filePath("elsewhere")));
  Export(Dir.filePath("elsewhere/capture.csv"));
  Proposal(Folder, Proposed, Filters);
  EXPECT_EQ(Folder, Dir.filePath("elsewhere")) << "the folder of the last export";
}

namespace {

enum class TLink { Wifi, Usb };

class BadFrameTest : public ConnectionTest, public ::testing::WithParamInterface<TLink> {
protected:
  TZelvoConnection& Connect() {
    if (GetParam() == TLink::Wifi) {
      EXPECT_TRUE(ConnectTcp());
      return Main().ZelvoTcpConnection();
    }
    Ports.push_back({Sim->OpenPty(), true, 0x6B1D, 0xE4F7});
    Windows->UsbDialog().USBPnP().Refresh();
    QStringList Seen;
    TModalScript Script;
    Script.Then([](QWidget* Modal) { CloseModal(Modal, true); }).Then(RecordAndClose(Seen));
    Main().actConnectUsb->trigger();
    EXPECT_EQ(Seen, QStringList({"WarningDialog"}));
    return Main().ZelvoUsbConnection();
  }
};

} // namespace

// A frame too short for its payload raises inside the link's delivery; the
// program's box shows it, and the link goes on reading behind and after it.
TEST_P(BadFrameTest, IsShownAndTheLinkKeepsReading) {
  TZelvoConnection& Link = Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Link.Statistics().PacketsIn() > 5; }, 5000));
  QStringList Seen;
  int ReadWhileShown = 0;
  TModalScript Script;
  Script.Then([&](QWidget* Modal) {
    const int Before = Link.Statistics().PacketsIn();
    (void)QTest::qWaitFor([&] { return Link.Statistics().PacketsIn() > Before + 2; }, 5000);
    ReadWhileShown = Link.Statistics().PacketsIn() - Before;
    Seen << ModalText(Modal);
    CloseModal(Modal, true);
  });
  // 02 20 08 00 00 00 D6 0A: a settings report without its settings.
  Sim->SendTogether({ZelvoRequestFrame(CScopeSettingsCommand)});
  ASSERT_TRUE(QTest::qWaitFor([&] { return Script.Done(); }, 5000));
  EXPECT_EQ(Seen, QStringList({ExceptionBoxTitle() + ": Index out of range."}));
  EXPECT_GT(ReadWhileShown, 0);
  const long long Drawn = Main().OscRenderer3D().FramesDrawn();
  const int After = Link.Statistics().PacketsIn();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Link.Statistics().PacketsIn() > After + 5; }, 5000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Main().OscRenderer3D().FramesDrawn() > Drawn; }, 5000));
  if (GetParam() == TLink::Wifi) {
    EXPECT_LT(Main().ZelvoTcpConnection().Client().bytesAvailable(), 4096);
  }
}

INSTANTIATE_TEST_SUITE_P(Links, BadFrameTest, ::testing::Values(TLink::Wifi, TLink::Usb),
                         [](const ::testing::TestParamInfo<TLink>& I) {
                           return I.param == TLink::Wifi ? "Wifi" : "Usb";
                         });
