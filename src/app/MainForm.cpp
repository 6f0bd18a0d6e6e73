#include "app/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <type_traits>

#include "app/AboutDialog.h"
#include "app/ApplicationSettings.h"
#include "app/ConfigDialog.h"
#include "app/ExceptionBox.h"
#include "app/Glyphs.h"
#include "app/LinkSupervisor.h"
#include "app/UsbDialog.h"
#include "app/VersionInfo.h"
#include "app/WifiDialog.h"
#include "display/OscFpsLimiter.h"
#include "display/OscScopeView.h"
#include "display/OscScopeViewFactory.h"
#include "link/Zelvo.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "osc/OscErrorBoundary.h"
#include "osc/OscFormat.h"
#include "osc/OscScales.h"

const char* const COscValueType[13] = {"Vdc",   "Vmin",   "Vmax",   "Vpp",   "Vrms",
                                       "Vtrms", "dBm",    "dBgain", "Wrms2", "Wrms4",
                                       "Wrms8", "Wrms16", "Wrms32"};
const char* const CMultiplier[2] = {"Probe X1", "Probe X10"};
const char* const CBatteryHint[3] = {"Battery low", "Battery charging", "Battery full"};

namespace {

constexpr int CWindowWidth = 881;
constexpr int CWindowHeight = 604;
constexpr int CStatusBarHeight = 19;
constexpr int CStatusPanelWidths[3] = {70, 80, 80}; // the link panel takes the rest
constexpr int CValueTimerInterval = 400;            // ms
constexpr const char* CDemoModeText =
    "Demo mode, press Connect to connect to your scope via WLAN or USB.";

QString Text(const std::string& Utf8) {
  return QString::fromStdString(Utf8);
}

TGlyph BatteryGlyph(TOscBatteryState State) {
  switch (State) {
  case batteryCharging:
    return TGlyph::BatteryCautionCharging;
  case batteryFull:
    return TGlyph::BatteryCharged;
  default:
    return TGlyph::BatteryEmpty;
  }
}

// "Press": set the button down, which raises the others of an exclusive group.
void Press(QAbstractButton* Button) {
  Button->setChecked(true);
}

} // namespace

// The resources live in a static library, whose initialiser the linker would
// drop unless something refers to it.
static QIcon ProgramIcon() {
  Q_INIT_RESOURCE(zelvo);
  return QIcon(":/icons/zelvo.svg");
}

TOscVoltsPerDivision OffsetVDiv(TOscVoltsPerDivision VoltsPerDivision, int Diff) {
  return static_cast<TOscVoltsPerDivision>(
      OscLimitValue(vdivNone, static_cast<int>(VoltsPerDivision) + Diff, vdiv5mV));
}

TOscTimeBase OffsetTimeBase(TOscTimeBase TimeBase, int Diff) {
  return static_cast<TOscTimeBase>(OscLimitValue(tb1us, static_cast<int>(TimeBase) + Diff, tb1s));
}

template <class TSender, class TSignal, class TWork>
void TMainForm::Wire(TSender* Sender, TSignal Signal, TWork Work) {
  connect(Sender, Signal, this, [Work](auto&&... Args) {
    OscGuarded([&] {
      // Handlers take the signal's arguments only where they need them.
      if constexpr (std::is_invocable_v<TWork, decltype(Args)...>)
        Work(Args...);
      else
        Work();
    });
  });
}

TMainForm::TMainForm(TApplicationSettings& Settings, const TVersionInfo& VersionInfo,
                     QWidget* Parent)
    : QMainWindow(Parent), FSettings(Settings) {
  // 1. Before anything that may raise from an event handler exists.
  InstallGlobalExceptionHandler(this);

  // 2. The owned objects.
  FFpsLimiter = std::make_unique<TOscFpsLimiter>();
  FFpsLimiter->SetLimit(60);
  FZelvoUsbConnection = std::make_unique<TZelvoUsbConnection>();
  FZelvoUsbConnection->SetPort("ttyACM0");
  FZelvoUsbConnection->SetBaudRate(TZelvoUsbConnection::CBaudRate);
  FZelvoUsbConnection->SetOnConnect([this](TZelvoConnection*) { DoConnected(); });
  FZelvoTcpConnection = std::make_unique<TZelvoTcpConnection>();
  FZelvoTcpConnection->SetPort(CZelvoDefaultPort);
  FZelvoTcpConnection->SetOnConnect([this](TZelvoConnection*) { DoConnected(); });
  FZelvoTcpConnection->SetOnError([this](TZelvoConnection*) { ZelvoTcpConnectionError(); });
  FZelvo = std::make_unique<TZelvo>();
  FZelvo->SetTimeBase(tb2ms);
  FZelvo->SetOnChange([this](TOscDevice*) { VisualizeSettings(); });
  FZelvo->SetOnCalibrate([this](TOscDevice*) { ZelvoCalibrate(); });
  FZelvo->SetOnCalibrated([this](TOscDevice*) { ZelvoCalibrated(); });
  FZelvo->SetConnection(FZelvoUsbConnection.get());
  FZelvoDemo = std::make_unique<TZelvoDemo>();
  FZelvoDemo->SetTimeBase(tb500us);
  FZelvoDemo->SetOnChange([this](TOscDevice*) { VisualizeSettings(); });
  // The enable rules depend on the TCP link's state.
  FLinkObserver = std::make_unique<TZelvoConnectionObserver>();
  FLinkObserver->SetOnConnect([this](TZelvoConnection*) { UpdateActions(); });
  FLinkObserver->SetOnDisconnect([this](TZelvoConnection*) { UpdateActions(); });
  FZelvoTcpConnection->RegisterObserver(FLinkObserver.get());
  FZelvoUsbConnection->RegisterObserver(FLinkObserver.get());
  FLinkSupervisor = std::make_unique<TLinkSupervisor>(*FZelvoTcpConnection, *FZelvoUsbConnection);

  CreateActions();
  CreateMenus();
  CreateLayout();
  CreateStatusBar();

  FOscRenderer3D->SetOscilloscope(FZelvo.get());
  FOscRenderer3D->SetFlip(false);
  FOscRenderer3D->SetFpsLimiter(FFpsLimiter.get());
  FOscRenderer3D->SetOnChange([this](TOscScopeView*) { VisualizeSettings(); });
  FOscRenderer3D->SetOnHover([this](TOscScopeView*, TOscSignal* Signal, double Voltage) {
    OscRenderer3DHover(Signal, Voltage);
  });

  FTmrValues = new QTimer(this);
  FTmrValues->setInterval(CValueTimerInterval);
  Wire(FTmrValues, &QTimer::timeout, [this] { tmrValuesTimer(); });
  FTmrValues->start();
  WireFrontPanel();

  setWindowIcon(ProgramIcon());
  setMinimumSize(500, 370);
  resize(CWindowWidth, CWindowHeight);
  if (const QScreen* Screen = QGuiApplication::primaryScreen())
    move(Screen->availableGeometry().center() - rect().center());

  // 3. - 7.
  setWindowTitle(MainWindowCaption(VersionInfo));
  SetActiveScope(FZelvoDemo.get());
  LoadPreferences();
  CreateValueTypeMenus();
  VisualizeSettings();
  FLinkSupervisor->SetOnChange([this] { VisualizeLink(); });
  VisualizeLink();
}

TMainForm::~TMainForm() {
  // The dialogs, whose hot-plug reports reach the supervisor, are gone by now.
  FLinkSupervisor->SetOnChange({});
  // The devices and links go before the child widgets: nothing of theirs may
  // call back into a window that is half gone.
  FZelvo->SetOnChange({});
  FZelvo->SetOnCalibrate({});
  FZelvo->SetOnCalibrated({});
  FZelvoDemo->SetOnChange({});
  FOscRenderer3D->SetOnChange({});
  FOscRenderer3D->SetOnHover({});
  FTmrValues->stop();
  FZelvoTcpConnection->SetOnError({});
  FZelvoTcpConnection->SetOnConnect({});
  FZelvoUsbConnection->SetOnConnect({});
}

void TMainForm::CreateActions() {
  auto Make = [this](const char* Caption, const QKeySequence& Shortcut = {}) {
    auto* A = new QAction(QString::fromUtf8(Caption), this);
    A->setShortcut(Shortcut);
    addAction(A);
    return A;
  };
  actConnectTcp = Make("&WiFi...");
  actConnectUsb = Make("&USB...");
  actConnectDemo = Make("&Demo");
  actDisconnect = Make("&Disconnect");
  actExport = Make("&Export...", QKeySequence(Qt::CTRL | Qt::Key_X));
  actFileExit = Make("E&xit");
  actOptions = Make("&Options...");
  actOptions->setVisible(false);
  actWifiCfg = Make("&Wifi settings...");
  actCalibrate = Make("&Calibrate your ZELVO");
  actDebug = Make("&Debug mode on/off", QKeySequence(Qt::CTRL | Qt::Key_D));
  actDebug->setCheckable(true);
  actHelpIndex = Make("&Index...");
  actAbout = Make("&About...");

  Wire(actConnectUsb, &QAction::triggered, [this] { actConnectUsbExecute(); });
  Wire(actConnectTcp, &QAction::triggered, [this] { actConnectTcpExecute(); });
  Wire(actConnectDemo, &QAction::triggered, [this] { actConnectDemoExecute(); });
  Wire(actDisconnect, &QAction::triggered, [this] { actDisconnectExecute(); });
  Wire(actFileExit, &QAction::triggered, [this] { close(); });
  Wire(actCalibrate, &QAction::triggered, [this] { actCalibrateExecute(); });
  Wire(actExport, &QAction::triggered, [this] { actExportExecute(); });
  Wire(actWifiCfg, &QAction::triggered, [this] { ExecuteWifiSettings(*FZelvo, this); });
  Wire(actDebug, &QAction::triggered, [this] { FZelvo->TransmitDebug(actDebug->isChecked()); });
  Wire(actAbout, &QAction::triggered, [this] {
    if (FDialogs.About != nullptr)
      FDialogs.About->exec();
  });
  Wire(actOptions, &QAction::triggered, [this] {
    if (FDialogs.Config != nullptr)
      FDialogs.Config->exec();
    LoadPreferences();
  });
}

void TMainForm::CreateMenus() {
  QMenu* File = menuBar()->addMenu("&File");
  QMenu* Connect = File->addMenu("&Connect");
  Connect->addAction(actConnectTcp);
  Connect->addAction(actConnectUsb);
  Connect->addSeparator();
  Connect->addAction(actConnectDemo);
  File->addSeparator();
  File->addAction(actExport);
  File->addSeparator();
  File->addAction(actFileExit);

  QMenu* Tools = menuBar()->addMenu("&Tools");
  Tools->addAction(actOptions);
  Tools->addAction(actWifiCfg);
  Tools->addSeparator();
  Tools->addAction(actCalibrate);
  Tools->addAction(actDebug);

  QMenu* Help = menuBar()->addMenu("&Help");
  Help->addAction(actHelpIndex);
  Help->addSeparator();
  Help->addAction(actAbout);

  pmConnection = new QMenu(this);
  pmConnection->addAction(actConnectTcp);
  pmConnection->addAction(actConnectUsb);
  pmConnection->addSeparator();
  pmConnection->addAction(actConnectDemo);

  for (QMenu* M : {File, Tools, pmConnection})
    Wire(M, &QMenu::aboutToShow, [this] { UpdateActions(); });
  for (QMenu*& M : FValueTypeMenus)
    M = new QMenu(this);
}

void TMainForm::CreateValueTypeMenus() {
  for (int Channel = 0; Channel < 2; ++Channel) {
    QMenu* Menu = FValueTypeMenus[Channel];
    Menu->setProperty("tag", Channel);
    for (int J = 0; J < 13; ++J) {
      QAction* Item = Menu->addAction(COscValueType[J]);
      Item->setData(J);
      Wire(Item, &QAction::triggered, [this, Channel, J] { ValueTypeChange(Channel, J); });
    }
  }
}

void TMainForm::CreateLayout() {
  auto* Central = new QWidget(this);
  auto* Column = new QVBoxLayout(Central);
  Column->setContentsMargins(0, 0, 0, 0);
  Column->setSpacing(0);

  FDemoMode = new QLabel(CDemoModeText, Central);
  FDemoMode->setObjectName("pnlDemoMode");
  FDemoMode->setFixedHeight(24);
  FDemoMode->setAlignment(Qt::AlignCenter);
  FDemoMode->setVisible(false);
  Column->addWidget(FDemoMode);

  FCH1 = BuildChannelStrip(0, FValueTypeMenus[0], Central);
  FCH2 = BuildChannelStrip(1, FValueTypeMenus[1], Central);
  FSideBar = BuildSideBar(pmConnection, Central);
  Column->addWidget(FCH1.pnlCH);

  auto* Middle = new QHBoxLayout;
  Middle->setSpacing(0);
  Middle->addWidget(FSideBar.pnlSideBar);
  for (int Channel = 0; Channel < 2; ++Channel) {
    auto* Bar = new QScrollBar(Qt::Vertical, Central);
    Bar->setObjectName(QString("scrollYPositionCH%1").arg(Channel + 1));
    Bar->setRange(0, 255);
    Bar->setSingleStep(1);
    Bar->setPageStep(1);
    Bar->setFixedWidth(17);
    FScrollYPosition[Channel] = Bar;
  }
  auto ColorLine = [Central](int Channel) {
    auto* Line = new QFrame(Central);
    Line->setFixedWidth(2);
    Line->setAutoFillBackground(true);
    QPalette P = Line->palette();
    P.setColor(QPalette::Window, ChannelColor(Channel));
    Line->setPalette(P);
    return Line;
  };
  FOscRenderer3D = OscCreateScopeView(Central);
  FOscRenderer3D->setObjectName("OscRenderer3D");
  Middle->addWidget(FScrollYPosition[0]);
  Middle->addWidget(ColorLine(0));
  Middle->addWidget(FOscRenderer3D, 1);
  Middle->addWidget(ColorLine(1));
  Middle->addWidget(FScrollYPosition[1]);
  Column->addLayout(Middle, 1);
  Column->addWidget(FCH2.pnlCH);
  setCentralWidget(Central);
}

void TMainForm::CreateStatusBar() {
  QStatusBar* Bar = statusBar();
  Bar->setFixedHeight(CStatusBarHeight);
  Bar->setSizeGripEnabled(true);
  for (int I = 0; I < 4; ++I) {
    auto* Panel = new QLabel(Bar);
    if (I < 3)
      Panel->setFixedWidth(CStatusPanelWidths[I]);
    Panel->setFrameShape(QFrame::Panel);
    Panel->setFrameShadow(QFrame::Sunken);
    Bar->addWidget(Panel, I < 3 ? 0 : 1);
    FStatusPanels[I] = Panel;
  }
  FStatusPanels[3]->setObjectName("pnlLink");
}

void TMainForm::VisualizeLink() {
  QLabel* Panel = FStatusPanels[3];
  if (Panel == nullptr || FLinkSupervisor == nullptr)
    return;
  const bool Demo = ActiveScope() == FZelvoDemo.get();
  Panel->setText(Demo ? QStringLiteral("Demo") : FLinkSupervisor->Text());
  // The text says what is wrong; the colour makes it seen.
  const bool Trouble = !Demo && FLinkSupervisor->Trouble();
  Panel->setProperty("trouble", Trouble);
  Panel->setStyleSheet(Trouble ? QStringLiteral("QLabel { color: #ff9a3c; font-weight: bold; }")
                               : QString());
}

void TMainForm::WireFrontPanel() {
  for (int Channel = 0; Channel < 2; ++Channel) {
    const TChannelStrip& S = Strip(Channel);
    Wire(S.btnVDivInc, &QToolButton::clicked, [this, Channel] { btnVDivIncClick(Channel); });
    Wire(S.btnVDivDec, &QToolButton::clicked, [this, Channel] { btnVDivDecClick(Channel); });
    Wire(S.btnZoom, &QToolButton::clicked, [this, Channel] { btnZoomClick(Channel); });
    Wire(S.Coupling, &QButtonGroup::idClicked,
         [this, Channel](int Tag) { InputCouplingClick(Channel, Tag); });
    Wire(FScrollYPosition[Channel], &QScrollBar::valueChanged,
         [this, Channel](int) { scrollYPositionChange(Channel); });
  }
  Wire(FSideBar.btnTimebaseInc, &QToolButton::clicked, [this] { btnTimebaseIncClick(); });
  Wire(FSideBar.btnTimebaseDec, &QToolButton::clicked, [this] { btnTimebaseDecClick(); });
  Wire(FSideBar.TriggerChannel, &QButtonGroup::idClicked,
       [this](int Tag) { TriggerChannelClick(Tag); });
  Wire(FSideBar.TriggerSlope, &QButtonGroup::idClicked,
       [this](int Tag) { TriggerSlopeClick(Tag); });
  const std::pair<QToolButton*, TOscTriggerMode> Modes[] = {
      {FSideBar.btnNormal, tmNormal}, {FSideBar.btnRun, tmRun}, {FSideBar.btnSingle, tmOnce}};
  for (const auto& [Button, Mode] : Modes) {
    QToolButton* B = Button;
    const int Tag = Mode;
    Wire(B, &QToolButton::clicked, [this, B, Tag] {
      // The click pressed or raised this button; a press raises the others.
      if (B->isChecked())
        PressTriggerMode(static_cast<TOscTriggerMode>(Tag));
      TriggerModeClick(Tag);
    });
  }
  Wire(FSideBar.btnHold, &QToolButton::clicked, [this] { HoldClick(); });
  Wire(FSideBar.btnAutoRange, &QToolButton::clicked, [this] { AutoRangeClick(); });
}

TOscMeasurementType TMainForm::ValueType1() const {
  return ActiveScope()->Signals()[0].Measurement().ValueType();
}

void TMainForm::SetValueType1(TOscMeasurementType Value) {
  ActiveScope()->Signals()[0].Measurement().SetValueType(Value);
  VisualizeSettings();
}

TOscMeasurementType TMainForm::ValueType2() const {
  return ActiveScope()->Signals()[1].Measurement().ValueType();
}

void TMainForm::SetValueType2(TOscMeasurementType Value) {
  ActiveScope()->Signals()[1].Measurement().SetValueType(Value);
  VisualizeSettings();
}

void TMainForm::LoadPreferences() {
  FFpsLimiter->SetLimit(FSettings.MaxFps());
}

void TMainForm::PressTriggerMode(TOscTriggerMode Mode) {
  FSideBar.btnNormal->setChecked(Mode == tmNormal);
  FSideBar.btnRun->setChecked(Mode == tmRun);
  FSideBar.btnSingle->setChecked(Mode == tmOnce);
}

void TMainForm::VisualizeSettings() {
  TOscDevice* Device = ActiveScope();
  if (Device == nullptr)
    return;
  FSideBar.pnlTimeBaseValue->setText(Text(OscTimeToStr(COscTimeBase[Device->TimeBase()])) + "/div");
  FCH1.cbValueType->setText(COscValueType[static_cast<int>(ValueType1())]);
  FCH2.cbValueType->setText(COscValueType[static_cast<int>(ValueType2())]);
  for (int Channel = 0; Channel < 2; ++Channel)
    Strip(Channel).btnZoom->setText(CMultiplier[Device->Signals()[Channel].Multiplier()]);

  const TOscTrigger& Trigger = Device->Trigger();
  if (Trigger.Channel() == 0)
    Press(FSideBar.btnTriggerCh1);
  else if (Trigger.Channel() == 1)
    Press(FSideBar.btnTriggerCh2);
  Press(Trigger.Slope() == teRisingSlope ? FSideBar.btnSlopeRising : FSideBar.btnSlopeFalling);
  PressTriggerMode(Trigger.Mode());

  VisualizeChannel(0);
  VisualizeChannel(1);
  FSideBar.btnAutoRange->setChecked(Device->AutoRange());
  FSideBar.btnHold->setChecked(Device->Hold());
  VisualizeBattery();
  FCH1.pnlCH->setVisible(Device->Signals()[0].Visible());
  FCH2.pnlCH->setVisible(Device->Signals()[1].Visible());
  FCH1.btnZoom->setChecked(Device->Signals()[0].Multiplier() == multX10);
  FCH2.btnZoom->setChecked(Device->Signals()[1].Multiplier() == multX10);
  VisualizeMarkerReadouts();
}

void TMainForm::VisualizeChannel(int Channel) {
  const TOscSignal& Signal = ActiveScope()->Signals()[Channel];
  const TChannelStrip& S = Strip(Channel);
  // Moving the bar runs its change handler, which sends the settings again.
  FScrollYPosition[Channel]->setValue(OscLimitValue(0, Signal.YPosition(), 255));
  switch (Signal.Coupling()) {
  case inAC:
    Press(S.btnAC);
    break;
  case inDC:
    Press(S.btnDC);
    break;
  case inGND:
    Press(S.btnGND);
    break;
  }
  if (Signal.VoltsPerDivision() == vdivNone)
    S.pnlVDiv->setText("None");
  else
    S.pnlVDiv->setText(
        Text(OscVoltageToStrFormat(
            "%.0f", OscVoltsPerDivisionVoltage(Signal.VoltsPerDivision(), Signal.Multiplier()))) +
        "/div");
}

void TMainForm::VisualizeBattery() {
  const TOscBatteryState State = ActiveScope()->Battery().State();
  if (FBatteryShown == State)
    return;
  FBatteryShown = State;
  FCH1.imgBattery->setPixmap(GlyphIcon(BatteryGlyph(State)).pixmap(24, 24));
  FCH1.imgBattery->setToolTip(CBatteryHint[State]);
  FCH1.imgBattery->update();
}

void TMainForm::VisualizeMarkerReadouts() {
  if (FOscRenderer3D == nullptr)
    return;
  TOscDevice* Device = ActiveScope();
  const int D = FOscRenderer3D->VDivMarkers().Distance();
  FCH1.lblMeasurement->setText(Text(OscVoltageToStr(D * Device->Signals()[0].VoltsPerSample())));
  FCH2.lblMeasurement->setText(Text(OscVoltageToStr(D * Device->Signals()[1].VoltsPerSample())));
  const double TimeSpan = FOscRenderer3D->TimeBaseMarkers().Distance() * Device->SampleRate();
  const QString Frequency =
      TimeSpan == 0 ? QString(CInvalidValue) : Text(OscFrequencyToStr(1 / TimeSpan));
  FSideBar.lblTimeSpan->setText(QString("%1 (%2)").arg(Text(OscTimeToStr(TimeSpan)), Frequency));
}

void TMainForm::btnVDivIncClick(int Channel) {
  TOscSignal& Signal = ActiveScope()->Signals()[Channel];
  Signal.SetVoltsPerDivision(OffsetVDiv(Signal.VoltsPerDivision(), -1));
  ActiveScope()->TransmitSettings();
}

void TMainForm::btnVDivDecClick(int Channel) {
  TOscSignal& Signal = ActiveScope()->Signals()[Channel];
  Signal.SetVoltsPerDivision(OffsetVDiv(Signal.VoltsPerDivision(), +1));
  ActiveScope()->TransmitSettings();
}

void TMainForm::btnTimebaseIncClick() {
  ActiveScope()->SetTimeBase(OffsetTimeBase(ActiveScope()->TimeBase(), -1));
  ActiveScope()->TransmitSettings();
}

void TMainForm::btnTimebaseDecClick() {
  ActiveScope()->SetTimeBase(OffsetTimeBase(ActiveScope()->TimeBase(), +1));
  ActiveScope()->TransmitSettings();
}

void TMainForm::TriggerChannelClick(int Tag) {
  ActiveScope()->Trigger().SetChannel(Tag);
  ActiveScope()->TransmitSettings();
}

void TMainForm::TriggerSlopeClick(int Tag) {
  ActiveScope()->Trigger().SetSlope(static_cast<TOscTriggerSlope>(Tag));
  ActiveScope()->TransmitSettings();
}

void TMainForm::TriggerModeClick(int Tag) {
  ActiveScope()->Trigger().SetMode(static_cast<TOscTriggerMode>(Tag));
  ActiveScope()->TransmitSettings();
}

void TMainForm::HoldClick() {
  // The device's state decides, not the button's.
  ActiveScope()->SetHold(!ActiveScope()->Hold());
  ActiveScope()->TransmitSettings();
}

void TMainForm::AutoRangeClick() {
  ActiveScope()->SetAutoRange(!ActiveScope()->AutoRange());
  ActiveScope()->TransmitSettings();
}

void TMainForm::InputCouplingClick(int Channel, int Tag) {
  ActiveScope()->Signals()[Channel].SetCoupling(static_cast<TOscInputCoupling>(Tag));
  ActiveScope()->TransmitSettings();
}

void TMainForm::btnZoomClick(int Channel) {
  // The probe lives on the computer's side: nothing goes to the scope.
  ActiveScope()->Signals()[Channel].SetMultiplier(Strip(Channel).btnZoom->isChecked() ? multX10
                                                                                      : multX1);
}

void TMainForm::scrollYPositionChange(int Channel) {
  ActiveScope()->Signals()[Channel].SetYPosition(FScrollYPosition[Channel]->value());
  ActiveScope()->TransmitSettings();
}

void TMainForm::ValueTypeChange(int Channel, int Tag) {
  // Only the kind changes here; the text follows the device's next refresh.
  ActiveScope()->Signals()[Channel].Measurement().SetValueType(
      static_cast<TOscMeasurementType>(Tag));
  VisualizeSettings();
}

void TMainForm::tmrValuesTimer() {
  TOscDevice* Device = ActiveScope();
  if (Device == nullptr)
    return;
  FCH1.lblValue->setText(Text(Device->Signals()[0].Measurement().ToString()));
  FCH2.lblValue->setText(Text(Device->Signals()[1].Measurement().ToString()));
  FStatusPanels[0]->setText(QString("%1 fps").arg(FFpsLimiter->FrameRate()));
}

void TMainForm::OscRenderer3DHover(TOscSignal* Signal, double Voltage) {
  const QString Value = Text(OscFloatToStr(Voltage, 2, false, OscDecimalSeparator()));
  if (Signal == &FOscRenderer3D->Oscilloscope()->Signals()[0])
    FStatusPanels[1]->setText("CH1: " + Value + "V");
  else
    FStatusPanels[2]->setText("CH2: " + Value + "V");
}
