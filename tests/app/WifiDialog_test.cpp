// The scope's WiFi settings dialog and the action's flow around it: the
// dialog's controls and close rules, the frames the flow sends on a recorded
// link, and the round trip against the scope simulator over loopback TCP.

#include "AppTestSupport.h"

#include "ModalScript.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdint>
#include <ostream>
#include <vector>

#include "app/WifiDialog.h"
#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"
#include "link/ZelvoMemoryConnection.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "osc/OscTypes.h"
#include "sim/ZelvoSimulator.h"

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& Text, std::ostream* Os) {
  *Os << '"' << Text.toStdString() << '"';
}

namespace {

using TFrame = std::vector<std::uint8_t>;

TFrame Bytes(TZelvoPacket Packet) {
  Packet.Finalize();
  return {Packet.Raw(), Packet.Raw() + Packet.Size()};
}

// Message boxes shown while it lives are recorded and answered with OK.
class TBoxWatch {
public:
  TBoxWatch() {
    FScript.Otherwise([this](QWidget* Modal) {
      auto* Box = qobject_cast<QMessageBox*>(Modal);
      if (Box == nullptr)
        return;
      Titles.push_back(Box->windowTitle());
      Texts.push_back(Box->text());
      Icons.push_back(Box->icon());
      Box->button(QMessageBox::Ok)->click();
    });
  }

  QStringList Titles;
  QStringList Texts;
  std::vector<QMessageBox::Icon> Icons;

private:
  TModalScript FScript;
};

// Runs the action's flow; Drive gets the dialog once it runs modally and must
// close it (a dialog left open fails the test and is closed).
void RunFlow(TZelvo& Zelvo, QWidget* Parent, std::function<void(TWifiDialog&)> Drive) {
  bool Driven = false;
  TModalScript Script;
  Script.Then([&](QWidget* Modal) {
    auto* Dialog = qobject_cast<TWifiDialog*>(Modal);
    ASSERT_NE(Dialog, nullptr) << "the dialog was not shown modally";
    Driven = true;
    Drive(*Dialog);
  });
  ExecuteWifiSettings(Zelvo, Parent);
  EXPECT_TRUE(Driven) << "the dialog was not shown modally";
}

template <class T> T* Child(QWidget& Dialog, const char* Name) {
  auto* W = Dialog.findChild<T*>(QString::fromLatin1(Name));
  EXPECT_NE(W, nullptr) << Name;
  return W;
}

class WifiDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    SSID = Child<QLineEdit>(Dialog, "txtSSID");
    Channel = Child<QComboBox>(Dialog, "cbChannel");
    ASSERT_TRUE(SSID && Channel);
  }

  QApplication& App = TestApp(); // before any widget
  TWifiDialog Dialog;
  QLineEdit* SSID = nullptr;
  QComboBox* Channel = nullptr;
};

} // namespace

TEST_F(WifiDialogTest, ShowsTheFormWithOnlyTheSSIDEditable) {
  EXPECT_EQ(Dialog.windowTitle(), "Wifi Configuration");
  EXPECT_EQ(Dialog.size(), QSize(297, 234));
  EXPECT_EQ(Dialog.minimumSize(), Dialog.maximumSize());
  EXPECT_FALSE(Dialog.windowFlags() & Qt::WindowMinMaxButtonsHint);
  EXPECT_EQ(Child<QGroupBox>(Dialog, "grpSettings")->title(), "Configuration settings");
  const char* const Labels[][2] = {{"lblSSID", "SSID:"},
                                   {"lblChannel", "Channel:"},
                                   {"lblFirmware", "Firmware:"},
                                   {"lblBuild", "Build:"}};
  for (const auto& L : Labels)
    EXPECT_EQ(Child<QLabel>(Dialog, L[0])->text(), L[1]);

  QStringList Items;
  for (int I = 0; I < Channel->count(); ++I)
    Items << Channel->itemText(I);
  EXPECT_EQ(Items, QString("1 2 3 4 5 6 7 8 9 10 11 12 13").split(' '));
  EXPECT_EQ(Channel->currentText(), "1");
  EXPECT_EQ(Dialog.Channel(), 1);

  EXPECT_TRUE(SSID->isEnabled());
  EXPECT_FALSE(SSID->isReadOnly());
  EXPECT_FALSE(Channel->isEnabled());
  EXPECT_FALSE(Child<QLineEdit>(Dialog, "txtFirmware")->isEnabled());
  EXPECT_FALSE(Child<QLineEdit>(Dialog, "txtBuild")->isEnabled());
  auto* OK = Child<QPushButton>(Dialog, "btnOK");
  EXPECT_EQ(OK->text(), "&OK");
  EXPECT_TRUE(OK->isDefault());
  EXPECT_EQ(Child<QPushButton>(Dialog, "btnCancel")->text(), "&Cancel");

  QTest::keyClicks(SSID, QString(33, 'a'));
  EXPECT_EQ(SSID->text(), QString(32, 'a'));
}

TEST_F(WifiDialogTest, ChannelOutside1To13SelectsNone) {
  const int Cases[][2] = {{1, 1}, {13, 13}, {7, 7}, {0, 0}, {14, 0}, {-1, 0}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C[0]);
    Dialog.SetChannel(C[0]);
    EXPECT_EQ(Dialog.Channel(), C[1]);
    EXPECT_EQ(Channel->currentText(), C[1] == 0 ? QString() : QString::number(C[1]));
  }
}

TEST_F(WifiDialogTest, OnlyOKChecksTheSSIDAndAnInvalidOneKeepsTheDialogOpen) {
  enum class TClose { OKButton, EnterKey, CancelButton, EscapeKey, CloseBox };
  struct TCase {
    const char* Name;
    QString Text;
    TClose Close;
    bool Refused;
    int Result;
  };
  const TCase Cases[] = {
      {"valid name, OK", "Scope_1-a", TClose::OKButton, false, QDialog::Accepted},
      {"valid name, Enter", "Zelvo", TClose::EnterKey, false, QDialog::Accepted},
      {"empty", "", TClose::OKButton, true, 0},
      {"space", "my scope", TClose::OKButton, true, 0},
      {"dot, Enter", "lab.1", TClose::EnterKey, true, 0},
      {"non-ASCII Latin-1 letter", QString::fromUtf8("Zélvo"), TClose::OKButton, true, 0},
      {"beyond Latin-1", QString::fromUtf8("Zelvo\u03A9"), TClose::OKButton, true, 0},
      {"invalid, Cancel", "my scope", TClose::CancelButton, false, QDialog::Rejected},
      {"empty, Escape", "", TClose::EscapeKey, false, QDialog::Rejected},
      {"invalid, close box", "lab.1", TClose::CloseBox, false, QDialog::Rejected},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Dialog.setResult(-1);
    Dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog));
    SSID->setText(C.Text);
    SSID->setFocus();
    TBoxWatch Boxes;
    switch (C.Close) {
    case TClose::OKButton:
      QTest::mouseClick(Child<QPushButton>(Dialog, "btnOK"), Qt::LeftButton);
      break;
    case TClose::EnterKey:
      QTest::keyClick(SSID, Qt::Key_Return);
      break;
    case TClose::CancelButton:
      QTest::mouseClick(Child<QPushButton>(Dialog, "btnCancel"), Qt::LeftButton);
      break;
    case TClose::EscapeKey:
      QTest::keyClick(SSID, Qt::Key_Escape);
      break;
    case TClose::CloseBox:
      Dialog.close();
      break;
    }
    if (C.Refused) {
      EXPECT_EQ(Boxes.Titles, QStringList{"Error"});
      EXPECT_EQ(Boxes.Texts, QStringList{"Please enter a valid SSID"});
      EXPECT_EQ(Boxes.Icons, std::vector<QMessageBox::Icon>{QMessageBox::Critical});
      EXPECT_TRUE(Dialog.isVisible());
      EXPECT_EQ(SSID->text(), C.Text);
      EXPECT_EQ(Dialog.result(), -1);
      Dialog.hide();
    } else {
      EXPECT_TRUE(Boxes.Texts.isEmpty());
      EXPECT_FALSE(Dialog.isVisible());
      EXPECT_EQ(Dialog.result(), C.Result);
    }
  }
}

namespace {

// The flow's driver on a link that records every frame sent.
class WifiFlowTest : public ::testing::Test {
protected:
  void SetUp() override {
    TestApp();
    Driver.SetConnection(&Link);
    Link.Open();
    Link.ClearSent();
  }
  void Report(int Channel, const char* SSID, const char* Password, const char* Build,
              const char* Firmware) {
    Link.Feed(Bytes(ZelvoWifiSettingsFrame(Channel, SSID, Password, Build, Firmware)));
  }

  TZelvoMemoryConnection Link;
  TZelvo Driver;
};

} // namespace

TEST_F(WifiFlowTest, SendsTheNewSSIDWithTheReportedChannelAndPassword) {
  struct TCase {
    const char* Name;
    bool Reported; // channel 11, "Zelvo", "secret", build "0417", firmware "1.2.0"
    const char* Typed;
    bool Confirm;
    std::vector<TFrame> Sent;
  };
  const TFrame Request = Bytes(ZelvoRequestFrame(CWifiSettingsRequest));
  const TCase Cases[] = {
      {"reported, OK",
       true,
       "Lab",
       true,
       {Request, Bytes(ZelvoChangeWifiFrame(11, "Lab", "secret"))}},
      {"nothing reported yet: channel 1 goes out",
       false,
       "Lab",
       true,
       {Request, Bytes(ZelvoChangeWifiFrame(1, "Lab", ""))}},
      {"unchanged name, OK",
       true,
       nullptr,
       true,
       {Request, Bytes(ZelvoChangeWifiFrame(11, "Zelvo", "secret"))}},
      {"Cancel: only the request", true, "Lab", false, {Request}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TZelvo Fresh;
    Fresh.SetConnection(&Link);
    Link.ClearSent();
    if (C.Reported)
      Report(11, "Zelvo", "secret", "0417", "1.2.0");
    RunFlow(Fresh, nullptr, [&](TWifiDialog& Dialog) {
      EXPECT_EQ(Dialog.SSID(), C.Reported ? "Zelvo" : "");
      EXPECT_EQ(Dialog.Channel(), C.Reported ? 11 : 0);
      EXPECT_EQ(Child<QLineEdit>(Dialog, "txtFirmware")->text(), C.Reported ? "1.2.0" : "");
      EXPECT_EQ(Child<QLineEdit>(Dialog, "txtBuild")->text(), C.Reported ? "0417" : "");
      if (C.Typed != nullptr)
        Dialog.SetSSID(C.Typed);
      QTest::mouseClick(Child<QPushButton>(Dialog, C.Confirm ? "btnOK" : "btnCancel"),
                        Qt::LeftButton);
    });
    EXPECT_EQ(Link.SentFrames(), C.Sent);
    const bool Sent = C.Confirm;
    EXPECT_EQ(Fresh.WifiSettings().SSID(), Sent && C.Typed ? C.Typed : (C.Reported ? "Zelvo" : ""));
    EXPECT_EQ(Fresh.WifiSettings().Channel(), C.Reported ? 11 : (Sent ? 1 : 0));
    EXPECT_EQ(Fresh.WifiSettings().Password(), C.Reported ? "secret" : "");
  }
}

TEST_F(WifiFlowTest, InvalidSSIDSendsNothingUntilCorrected) {
  Report(3, "Zelvo", "pw", "0417", "1.2.0");
  RunFlow(Driver, nullptr, [&](TWifiDialog& Dialog) {
    auto* OK = Child<QPushButton>(Dialog, "btnOK");
    Dialog.SetSSID("my scope");
    {
      TBoxWatch Boxes;
      QTest::mouseClick(OK, Qt::LeftButton);
      EXPECT_EQ(Boxes.Texts, QStringList{"Please enter a valid SSID"});
    }
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_EQ(Link.SentFrames().size(), 1u) << "only the request";
    Dialog.SetSSID("my_scope");
    QTest::mouseClick(OK, Qt::LeftButton);
  });
  ASSERT_EQ(Link.SentFrames().size(), 2u);
  EXPECT_EQ(Link.SentFrames()[1], Bytes(ZelvoChangeWifiFrame(3, "my_scope", "pw")));
}

TEST_F(WifiFlowTest, AnswerArrivingWhileOpenDoesNotChangeTheDialog) {
  Report(3, "Old", "pw", "0417", "1.2.0");
  RunFlow(Driver, nullptr, [&](TWifiDialog& Dialog) {
    Report(9, "New", "pw2", "0500", "1.3.0");
    QCoreApplication::processEvents();
    EXPECT_EQ(Dialog.SSID(), "Old");
    EXPECT_EQ(Dialog.Channel(), 3);
    QTest::mouseClick(Child<QPushButton>(Dialog, "btnOK"), Qt::LeftButton);
  });
  // The dialog's channel and SSID win; the password is the one held at OK.
  EXPECT_EQ(Link.SentFrames().back(), Bytes(ZelvoChangeWifiFrame(3, "Old", "pw2")));
}

TEST_F(WifiFlowTest, DialogIsDestroyedAfterTheFlowAlsoWhenSendingFails) {
  QWidget Parent;
  Link.SetOnSend([](TZelvoConnection*, const TZelvoPacket& P) {
    if (P.Command() == CChangeWifiSettings)
      throw EOscError("link down");
  });
  EXPECT_THROW(RunFlow(Driver, &Parent,
                       [&](TWifiDialog& Dialog) {
                         ASSERT_EQ(Dialog.parentWidget(), &Parent);
                         Dialog.SetSSID("Lab");
                         QTest::mouseClick(Child<QPushButton>(Dialog, "btnOK"), Qt::LeftButton);
                       }),
               EOscError);
  EXPECT_TRUE(Parent.findChildren<TWifiDialog*>().isEmpty());
  RunFlow(Driver, &Parent, [](TWifiDialog& Dialog) { Dialog.reject(); });
  EXPECT_TRUE(Parent.findChildren<TWifiDialog*>().isEmpty());
}

namespace {

// The program's windows with the driver connected over loopback TCP to the
// in-process scope simulator.
class WifiSimTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    TZelvoSimConfig Config;
    Config.RecordFrames = true;
    Config.NoiseLevel = 0;
    Config.FrameRate = 20;
    Config.WifiChannel = 6;
    Config.Ssid = "Zelvo";
    Config.Password = "12345678";
    Config.Build = "0417";
    Config.Firmware = "1.2.0";
    Sim = std::make_unique<TZelvoSimulator>(Config);
    const quint16 Port = Sim->ListenTcp(QHostAddress::LocalHost, 0);
    TZelvoTcpConnection& Tcp = Main().ZelvoTcpConnection();
    Main().Zelvo().SetConnection(&Tcp);
    Tcp.SetHost("127.0.0.1");
    Tcp.SetPort(Port);
    Tcp.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Tcp.Connected(); }, 5000));
  }
  void TearDown() override {
    Main().ZelvoTcpConnection().Close();
    AppTest::TearDown();
  }
  TZelvoWifiSettings& Settings() { return Main().Zelvo().WifiSettings(); }

  // Outlives the windows: AppTest::TearDown destroys them first.
  std::unique_ptr<TZelvoSimulator> Sim;
};

} // namespace

TEST_F(WifiSimTest, ConfirmedSSIDReachesTheScope) {
  // The program asks for the settings as the link comes up.
  ASSERT_TRUE(QTest::qWaitFor([&] { return Settings().SSID() == "Zelvo"; }, 5000));
  EXPECT_TRUE(Main().actWifiCfg->isEnabled());
  Main().move(20, 20);

  RunFlow(Main().Zelvo(), &Main(), [&](TWifiDialog& Dialog) {
    EXPECT_EQ(Dialog.parentWidget(), &Main());
    // Off the screen's centre, so that only centring on the parent passes; the
    // slack is Qt's guess at window frames where no window manager runs.
    const QPoint Offset = Dialog.frameGeometry().center() - Main().frameGeometry().center();
    EXPECT_LE(Offset.manhattanLength(), 60) << "not centred on the main window";
    EXPECT_EQ(Dialog.SSID(), "Zelvo");
    EXPECT_EQ(Dialog.Channel(), 6);
    EXPECT_EQ(Child<QLineEdit>(Dialog, "txtFirmware")->text(), "1.2.0");
    EXPECT_EQ(Child<QLineEdit>(Dialog, "txtBuild")->text(), "0417");
    Dialog.SetSSID("Lab_2");
    QTest::mouseClick(Child<QPushButton>(Dialog, "btnOK"), Qt::LeftButton);
  });

  ASSERT_TRUE(QTest::qWaitFor([&] { return Sim->Scope().Ssid() == "Lab_2"; }, 5000));
  EXPECT_EQ(Sim->Scope().WifiChannel(), 6);
  EXPECT_EQ(Sim->Scope().Password(), "12345678");

  // The scope's next answer carries the new name.
  Settings().SetSSID("");
  Main().Zelvo().RequestWifiSettings();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Settings().SSID() == "Lab_2"; }, 5000));
  EXPECT_EQ(Settings().Password(), "12345678");
}
