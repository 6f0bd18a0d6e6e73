#include "AppTestSupport.h"

#include <QButtonGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>

#include "app/ExceptionBox.h"
#include "display/OscFpsLimiter.h"
#include "display/OscScopeView.h"
#include "link/Zelvo.h"
#include "link/ZelvoMemoryConnection.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "osc/OscErrorBoundary.h"
#include "osc/OscFormat.h"
#include "osc/OscTypes.h"

namespace {

// The driver made active on a connection that records what it sends.
class DriverPanelTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    Main().Zelvo().SetConnection(&Link);
    Link.Open();
    Main().SetActiveScope(&Main().Zelvo());
    Main().VisualizeSettings();
    Link.ClearSent();
  }
  void TearDown() override {
    Main().Zelvo().SetConnection(&Main().ZelvoUsbConnection());
    AppTest::TearDown();
  }
  TZelvo& Driver() { return Main().Zelvo(); }
  TOscSignal& Channel(int I) { return Driver().Signals()[I]; }
  int SettingsFramesSent() const {
    int N = 0;
    for (const auto& F : Link.SentFrames())
      N += F[1] == CChangeScopeSettingsCommand;
    return N;
  }
  const TChannelStrip& Strip(int I) { return Main().Strip(I); }
  const TSideBar& Side() { return Main().SideBar(); }

  TZelvoMemoryConnection Link;
};

} // namespace

TEST_F(AppTest, StartsOnTheDemoDevice) {
  EXPECT_EQ(Main().ActiveScope(), &Main().ZelvoDemo());
  EXPECT_TRUE(Main().pnlDemoMode()->isVisible());
  EXPECT_EQ(Main().pnlDemoMode()->text(),
            "Demo mode, press Connect to connect to your scope via WLAN or USB.");
  EXPECT_EQ(Main().SideBar().pnlTimeBaseValue()->text(), QString::fromUtf8("500µs/div"));
  EXPECT_EQ(Main().windowTitle(), "Zelvo v1.3.0.0 - Quillon");
  EXPECT_EQ(Main().Zelvo().Connection(), &Main().ZelvoUsbConnection());
  EXPECT_FALSE(Main().ZelvoUsbConnection().Connected());
  EXPECT_EQ(Main().Zelvo().TimeBase(), tb2ms);
  for (int I = 0; I < 2; ++I) {
    EXPECT_EQ(Main().Strip(I).cbValueType()->text(), "Vdc");
    EXPECT_EQ(Main().Strip(I).lblValue()->text(), "-");
  }
  EXPECT_EQ(Main().FpsLimiter().Limit(), 60);
  EXPECT_EQ(Main().minimumSize(), QSize(500, 370));
  EXPECT_EQ(Main().statusBar()->height(), 19);
  EXPECT_EQ(Main().StatusPanel(0)->width(), 70);
  EXPECT_EQ(Main().StatusPanel(1)->width(), 80);
  EXPECT_EQ(Main().StatusPanel(2)->width(), 80);
  EXPECT_FALSE(Main().actExport->isEnabled());
  EXPECT_FALSE(Main().actWifiCfg->isEnabled());
  EXPECT_FALSE(Main().actOptions->isVisible());
}

TEST_F(AppTest, MenusHoldTheActionsInTheirPlaces) {
  auto Captions = [](QMenu* Menu) {
    QStringList L;
    for (QAction* A : Menu->actions())
      L << (A->isSeparator() ? "-" : A->text());
    return L;
  };
  QList<QAction*> Top = Main().menuBar()->actions();
  ASSERT_EQ(Top.size(), 5);
  EXPECT_EQ(Top[0]->text(), "&File");
  EXPECT_EQ(Captions(Top[0]->menu()),
            QStringList({"&Connect", "-", "&Open capture...", "&Export...", "Save p&icture...", "-",
                         "&Record...", "&Stop recording", "O&pen recording...", "-", "E&xit"}));
  EXPECT_EQ(Captions(Top[0]->menu()->actions()[0]->menu()),
            QStringList({"&WiFi...", "&USB...", "-", "&Demo"}));
  EXPECT_EQ(Top[1]->text(), "&Edit");
  EXPECT_EQ(Captions(Top[1]->menu()), QStringList({"&Copy picture"}));
  EXPECT_EQ(Top[2]->text(), "&View");
  EXPECT_EQ(Captions(Top[2]->menu()),
            QStringList({"&Spectrum", "Spectrum &window", "-", "&Math", "&XY", "-",
                         "&Keep as reference", "&Clear reference"}));
  EXPECT_EQ(Captions(Top[2]->menu()->actions()[1]->menu()),
            QStringList({"Rectangular", "Hann", "Hamming", "Blackman-Harris", "Flat top"}));
  EXPECT_EQ(Captions(Top[2]->menu()->actions()[3]->menu()),
            QStringList({"Off", "CH1+CH2", "CH1-CH2", "CH2-CH1", "CH1×CH2"}));
  EXPECT_EQ(Captions(Top[3]->menu()), QStringList({"&Options...", "&Wifi settings...", "-",
                                                   "&Calibrate your ZELVO", "&Debug mode on/off"}));
  EXPECT_EQ(Captions(Top[4]->menu()), QStringList({"&Index...", "-", "&About..."}));
  EXPECT_EQ(Captions(Main().SideBar().btnConnect()->menu()),
            QStringList({"&WiFi...", "&USB...", "-", "&Demo"}));
  EXPECT_EQ(Main().actExport->shortcut(), QKeySequence("Ctrl+X"));
  EXPECT_EQ(Main().actOpenCapture->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(Main().actDebug->shortcut(), QKeySequence("Ctrl+D"));
  EXPECT_TRUE(Main().actDisconnect->shortcut().isEmpty());
}

TEST_F(DriverPanelTest, VoltsPerDivisionStepsAreLimitedAndAlwaysSent) {
  Channel(0).SetVoltsPerDivision(vdiv20V);
  Link.ClearSent();
  Click(Strip(0).btnVDivInc());
  EXPECT_EQ(Channel(0).VoltsPerDivision(), vdivNone);
  EXPECT_EQ(Strip(0).pnlVDiv()->text(), "None");
  EXPECT_EQ(SettingsFramesSent(), 1);

  Channel(1).SetVoltsPerDivision(vdiv5mV);
  Link.ClearSent();
  Click(Strip(1).btnVDivDec());
  EXPECT_EQ(Channel(1).VoltsPerDivision(), vdiv5mV);
  EXPECT_EQ(SettingsFramesSent(), 1);

  Click(Strip(1).btnVDivInc());
  EXPECT_EQ(Channel(1).VoltsPerDivision(), vdiv10mV);
  EXPECT_EQ(Strip(1).pnlVDiv()->text(), "10mV/div");
}

TEST_F(DriverPanelTest, TimeBaseStepsAreLimitedAndAlwaysSent) {
  Driver().SetTimeBase(tb1us);
  Link.ClearSent();
  Click(Side().btnTimebaseInc());
  EXPECT_EQ(Driver().TimeBase(), tb1us);
  EXPECT_EQ(SettingsFramesSent(), 1);
  Driver().SetTimeBase(tb1s);
  Link.ClearSent();
  Click(Side().btnTimebaseDec());
  EXPECT_EQ(Driver().TimeBase(), tb1s);
  EXPECT_EQ(SettingsFramesSent(), 1);
  EXPECT_EQ(Side().pnlTimeBaseValue()->text(), "1s/div");
  Click(Side().btnTimebaseInc());
  EXPECT_EQ(Driver().TimeBase(), tb500ms);
  EXPECT_EQ(Side().pnlTimeBaseValue()->text(), "500ms/div");
}

TEST_F(DriverPanelTest, ProbeButtonScalesTheRangeAndSendsNothing) {
  Channel(0).SetVoltsPerDivision(vdiv500mV);
  Main().VisualizeSettings();
  Link.ClearSent();
  Click(Strip(0).btnZoom());
  EXPECT_EQ(Channel(0).Multiplier(), multX10);
  EXPECT_EQ(Strip(0).btnZoom()->text(), "Probe X10");
  EXPECT_TRUE(Strip(0).btnZoom()->isChecked());
  EXPECT_EQ(Strip(0).pnlVDiv()->text(), "5V/div");
  Click(Strip(0).btnZoom());
  EXPECT_EQ(Channel(0).Multiplier(), multX1);
  EXPECT_EQ(Strip(0).btnZoom()->text(), "Probe X1");
  EXPECT_TRUE(Link.SentFrames().empty());
}

TEST_F(DriverPanelTest, TriggerButtonsSetTheTrigger) {
  Click(Side().btnTriggerCh2());
  EXPECT_EQ(Driver().Trigger().Channel(), 1);
  Click(Side().btnSlopeFalling());
  EXPECT_EQ(Driver().Trigger().Slope(), teFallingSlope);
  EXPECT_FALSE(Side().btnSlopeRising()->isChecked());
  Click(Side().btnNormal());
  EXPECT_EQ(Driver().Trigger().Mode(), tmNormal);
  EXPECT_TRUE(Side().btnNormal()->isChecked());
  EXPECT_FALSE(Side().btnRun()->isChecked());
  EXPECT_EQ(SettingsFramesSent(), 3);
  Click(Strip(1).btnGND());
  EXPECT_EQ(Channel(1).Coupling(), inGND);
  EXPECT_TRUE(Strip(1).btnGND()->isChecked());
  EXPECT_FALSE(Strip(1).btnAC()->isChecked());
}

TEST_F(DriverPanelTest, ClickingTheDownModeButtonRaisesIt) {
  ASSERT_EQ(Driver().Trigger().Mode(), tmRun);
  ASSERT_TRUE(Side().btnRun()->isChecked());
  Click(Side().btnRun());
  EXPECT_EQ(Driver().Trigger().Mode(), tmRun);
  EXPECT_FALSE(Side().btnRun()->isChecked());
  EXPECT_EQ(SettingsFramesSent(), 1);
  // The next change notification presses it again.
  Driver().SetHold(true);
  EXPECT_TRUE(Side().btnRun()->isChecked());
}

TEST_F(DriverPanelTest, HoldAndAutoRangeFollowTheDeviceNotTheButton) {
  Driver().SetHold(true);
  Side().btnHold()->setChecked(false);
  Click(Side().btnHold());
  EXPECT_FALSE(Driver().Hold());
  EXPECT_FALSE(Side().btnHold()->isChecked());
  Click(Side().btnAutoRange());
  EXPECT_TRUE(Driver().AutoRange());
  EXPECT_TRUE(Side().btnAutoRange()->isChecked());
  // A new range switches auto-range off, and the button shows it.
  Click(Strip(0).btnVDivDec());
  EXPECT_FALSE(Driver().AutoRange());
  EXPECT_FALSE(Side().btnAutoRange()->isChecked());
}

TEST_F(DriverPanelTest, MovingThePositionBarSendsAgainWhenTheDeviceMovedIt) {
  Channel(0).SetYPosition(40);
  Main().VisualizeSettings();
  EXPECT_EQ(Main().scrollYPosition(0)->value(), 40);
  EXPECT_EQ(SettingsFramesSent(), 1);
  // An unchanged position sends nothing more.
  Main().VisualizeSettings();
  EXPECT_EQ(SettingsFramesSent(), 1);
  // Out of range values are clamped on the bar.
  Channel(1).SetYPosition(300);
  Main().VisualizeSettings();
  EXPECT_EQ(Main().scrollYPosition(1)->value(), 255);
  EXPECT_EQ(Channel(1).YPosition(), 255);
}

TEST_F(DriverPanelTest, VisualizeSettingsShowsTheDevice) {
  struct TCase {
    TOscTimeBase TimeBase;
    TOscVoltsPerDivision VDiv;
    TOscMultiplier Mult;
    TOscInputCoupling Coupling;
    int TriggerChannel;
    TOscTriggerMode Mode;
    TOscBatteryState Battery;
    bool Visible2;
    const char* TimeText;
    const char* VDivText;
    const char* BatteryHint;
  };
  const TCase Cases[] = {
      {tb2ms, vdiv500mV, multX1, inDC, 1, tmOnce, batteryFull, true, "2ms/div", "500mV/div",
       "Battery full"},
      {tb500us, vdiv20V, multX1, inAC, 0, tmNormal, batteryCharging, false, "500µs/div", "20V/div",
       "Battery charging"},
      {tb1s, vdiv25mV, multX10, inGND, 7, tmRun, batteryLow, true, "1s/div", "250mV/div",
       "Battery low"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.TimeText);
    const bool Ch2Before = Side().btnTriggerCh2()->isChecked();
    Driver().SetTimeBase(C.TimeBase);
    Channel(0).SetVoltsPerDivision(C.VDiv);
    Channel(0).SetMultiplier(C.Mult);
    Channel(0).SetCoupling(C.Coupling);
    if (C.TriggerChannel <= 1)
      Driver().Trigger().SetChannel(C.TriggerChannel);
    Driver().Trigger().SetMode(C.Mode);
    Driver().Battery().SetState(C.Battery);
    Channel(1).SetVisible(C.Visible2);
    Main().VisualizeSettings();
    EXPECT_EQ(Side().pnlTimeBaseValue()->text(), QString::fromUtf8(C.TimeText));
    EXPECT_EQ(Strip(0).pnlVDiv()->text(), C.VDivText);
    EXPECT_EQ(Strip(0).btnZoom()->isChecked(), C.Mult == multX10);
    EXPECT_TRUE(Strip(0).Coupling()->button(C.Coupling)->isChecked());
    if (C.TriggerChannel <= 1)
      EXPECT_TRUE(
          (C.TriggerChannel == 0 ? Side().btnTriggerCh1() : Side().btnTriggerCh2())->isChecked());
    else
      EXPECT_EQ(Side().btnTriggerCh2()->isChecked(), Ch2Before);
    EXPECT_TRUE((C.Mode == tmNormal ? Side().btnNormal()
                 : C.Mode == tmRun  ? Side().btnRun()
                                    : Side().btnSingle())
                    ->isChecked());
    EXPECT_EQ(Main().Strip(0).imgBattery()->toolTip(), C.BatteryHint);
    EXPECT_EQ(Main().Strip(1).isVisible(), C.Visible2);
  }
}

TEST_F(DriverPanelTest, ReadoutsFollowTheTimerAndTheMarkers) {
  for (int I = 0; I < CSampleCount; ++I) {
    Channel(0).SetSample(I, I % 2 ? 178 : 78);
    Channel(1).SetSample(I, 128);
  }
  Channel(0).SetVoltsPerDivision(vdiv1V);
  Channel(1).SetVoltsPerDivision(vdiv1V);
  Channel(1).SetMultiplier(multX10);
  for (int I = 0; I < CSampleCount; ++I) { // the range change erased them
    Channel(0).SetSample(I, I % 2 ? 178 : 78);
    Channel(1).SetSample(I, 128);
  }
  Main().SetValueType1(TOscMeasurementType::Vpkpk);
  Driver().UpdateMeasurements();
  Main().tmrValuesTimer();
  EXPECT_EQ(Strip(0).lblValue()->text(), "4.00V");
  EXPECT_EQ(Strip(0).cbValueType()->text(), "Vpp");
  EXPECT_EQ(Main().StatusPanel(0)->text(), QString("%1 fps").arg(Main().FpsLimiter().FrameRate()));

  TOscScopeView& View = Main().OscRenderer3D();
  View.VDivMarkers().Marker1()->SetPosition(100);
  View.VDivMarkers().Marker2()->SetPosition(125);
  EXPECT_EQ(Strip(0).lblMeasurement()->text(), "1.00V");
  EXPECT_EQ(Strip(1).lblMeasurement()->text(), "10.00V");
  View.TimeBaseMarkers().Marker1()->SetPosition(300);
  View.TimeBaseMarkers().Marker2()->SetPosition(300);
  EXPECT_EQ(Side().lblTimeSpan()->text(), QString::fromUtf8("0µs (-)"));
}

TEST_F(DriverPanelTest, HoverShowsBothChannelsWithTheLocalesSeparator) {
  OscSetDecimalSeparator(',');
  Main().OscRenderer3DHover(&Channel(0), 1.234);
  Main().OscRenderer3DHover(&Channel(1), -0.5);
  OscSetDecimalSeparator('.');
  EXPECT_EQ(Main().StatusPanel(1)->text(), "CH1: 1,23V");
  EXPECT_EQ(Main().StatusPanel(2)->text(), "CH2: -0,50V");
}

TEST_F(DriverPanelTest, ValueTypesBelongToEachDevice) {
  QMenu* Menu = Main().ValueTypeMenu(1);
  Menu->actions()[3]->trigger();
  EXPECT_EQ(Main().ValueType2(), TOscMeasurementType::Vpkpk);
  EXPECT_EQ(Main().ValueType1(), TOscMeasurementType::Vdc);
  EXPECT_EQ(Strip(1).cbValueType()->text(), "Vpp");
  Main().actConnectDemo->trigger();
  EXPECT_EQ(Main().ValueType2(), TOscMeasurementType::Vdc);
  Main().SetActiveScope(&Driver());
  EXPECT_EQ(Main().ValueType2(), TOscMeasurementType::Vpkpk);
}

TEST_F(DriverPanelTest, DebugGoesToTheDriverEvenInDemoMode) {
  Main().actConnectDemo->trigger();
  EXPECT_FALSE(Main().actExport->isEnabled());
  Main().actDebug->trigger();
  ASSERT_EQ(Link.SentFrames().size(), 1u);
  EXPECT_EQ(Link.SentFrames()[0][1], CEnableDebug);
  EXPECT_TRUE(Main().actDebug->isChecked());
  Main().actDebug->trigger();
  EXPECT_EQ(Link.SentFrames().back()[1], CDisableDebug);
  Main().SetActiveScope(&Driver());
  EXPECT_TRUE(Main().actExport->isEnabled());
}

TEST_F(DriverPanelTest, InDemoModeHandlersChangeTheDemoAndSendNothing) {
  Main().actConnectDemo->trigger();
  Main().ZelvoDemo().SetHold(true); // no ticks to interfere
  Main().VisualizeSettings();
  Link.ClearSent();
  Click(Strip(0).btnVDivDec());
  Click(Side().btnTimebaseDec());
  EXPECT_EQ(Main().ZelvoDemo().TimeBase(), tb1ms);
  EXPECT_TRUE(Link.SentFrames().empty());
}

TEST(ExceptionBoxText, AppendsAFullStopAfterCharactersThatSortAfterIt) {
  const std::pair<const char*, const char*> Cases[] = {
      {"Index out of range", "Index out of range."},
      {"Done.", "Done."},
      {"Ends in a comma,", "Ends in a comma,"},
      {"", ""},
      {"Value 5", "Value 5."},
  };
  for (const auto& [In, Out] : Cases)
    EXPECT_EQ(ExceptionBoxText(In), Out) << In;
}

TEST_F(AppTest, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn) {
  QString Title, Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  TModalScript Script;
  Script.Then([&](QWidget* Modal) {
    auto* Box = qobject_cast<QMessageBox*>(Modal);
    ASSERT_NE(Box, nullptr);
    Title = Box->windowTitle();
    Text = Box->text();
    Icon = Box->icon();
    Box->accept();
  });
  QTimer::singleShot(0, &Main(),
                     [] { OscGuarded([] { throw EOscOutOfRangeError("Index out of range"); }); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Text.isEmpty(); }, 5000));
  EXPECT_EQ(Text, "Index out of range.");
  EXPECT_EQ(Title, ExceptionBoxTitle());
  EXPECT_EQ(Icon, QMessageBox::Critical);
  EXPECT_TRUE(Main().isVisible());
}
