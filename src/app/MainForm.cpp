#include "app/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AboutDialog.h"
#include "app/Analysis.h"
#include "app/ApplicationSettings.h"
#include "app/CaptureExport.h"
#include "app/ConfigDialog.h"
#include "app/ExceptionBox.h"
#include "app/GuardedConnect.h"
#include "app/LinkSupervisor.h"
#include "app/MarkerReadouts.h"
#include "app/MathStrip.h"
#include "app/PanelWidgets.h"
#include "app/RecordingControl.h"
#include "app/ReplayBar.h"
#include "app/ScopeStatusBar.h"
#include "app/UserManual.h"
#include "app/VersionInfo.h"
#include "app/WifiDialog.h"
#include "display/OscFpsLimiter.h"
#include "display/OscScopeView.h"
#include "display/OscScopeViewFactory.h"
#include "display/OscSpectrumView.h"
#include "link/Zelvo.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoReplayConnection.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "osc/OscCapture.h"
#include "osc/OscFormat.h"

namespace {

constexpr int CWindowWidth = 881;
constexpr int CWindowHeight = 604;
constexpr int CValueTimerInterval = 400; // ms

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

TMainForm::TMainForm(TApplicationSettings& Settings, const TVersionInfo& VersionInfo,
                     QWidget* Parent)
    : QMainWindow(Parent), FSettings(Settings) {
  // 1. Before anything that may raise from an event handler exists.
  InstallGlobalExceptionHandler(this);

  // 2. The owned objects and the window around them.
  CreateOwnedObjects();
  CreateActions();
  CreateMenus();
  CreateLayout();
  WireView();
  WireFrontPanel();
  FAnalysis->Attach(*FOscRenderer3D, *FSpectrumView, *FMathStrip, *FViewMenu);
  WireKeep();
  FTmrValues = new QTimer(this);
  FTmrValues->setInterval(CValueTimerInterval);
  ConnectGuarded(FTmrValues, &QTimer::timeout, this, [this] { tmrValuesTimer(); });
  FTmrValues->start();
  FExport = new TCaptureExport(FFileFolder, this);

  setWindowIcon(ProgramIcon());
  setMinimumSize(500, 370);
  resize(CWindowWidth, CWindowHeight);
  if (const QScreen* Screen = QGuiApplication::primaryScreen())
    move(Screen->availableGeometry().center() - rect().center());

  // 3. - 7.; the value-type menus were built with the strips.
  setWindowTitle(MainWindowCaption(VersionInfo));
  SetActiveScope(FZelvoDemo.get());
  LoadPreferences();
  FAnalysis->LoadChoices();
  VisualizeSettings();
  ConnectGuarded(FLinkSupervisor.get(), &TLinkSupervisor::Changed, this,
                 [this] { VisualizeLink(); });
  ConnectGuarded(FLinkSupervisor.get(), &TLinkSupervisor::ErrorToShow, this,
                 [this] { ZelvoTcpConnectionError(); });
  VisualizeLink();
}

TMainForm::~TMainForm() = default;

void TMainForm::CreateOwnedObjects() {
  FFpsLimiter = std::make_unique<TOscFpsLimiter>();
  FFpsLimiter->SetLimit(60);
  FZelvoUsbConnection = std::make_unique<TZelvoUsbConnection>();
  FZelvoUsbConnection->SetPort("ttyACM0");
  FZelvoUsbConnection->SetBaudRate(TZelvoUsbConnection::CBaudRate);
  FZelvoUsbConnection->SetOnConnect([this](TZelvoConnection*) { DoConnected(); });
  FZelvoTcpConnection = std::make_unique<TZelvoTcpConnection>();
  FZelvoTcpConnection->SetPort(CZelvoDefaultPort);
  FZelvoTcpConnection->SetOnConnect([this](TZelvoConnection*) { DoConnected(); });
  FZelvoReplayConnection = std::make_unique<TZelvoReplayConnection>();
  FZelvo = std::make_unique<TZelvo>();
  FZelvo->SetTimeBase(tb2ms);
  FZelvo->SetOnChange([this](TOscDevice*) { VisualizeSettings(); });
  FZelvo->SetOnCalibrate([this](TOscDevice*) { ZelvoCalibrate(); });
  FZelvo->SetOnCalibrated([this](TOscDevice*) { ZelvoCalibrated(); });
  FZelvo->SetConnection(FZelvoUsbConnection.get());
  FZelvoDemo = std::make_unique<TZelvoDemo>();
  FZelvoDemo->SetTimeBase(tb500us);
  FZelvoDemo->SetOnChange([this](TOscDevice*) { VisualizeSettings(); });
  FCaptureDevice = std::make_unique<TOscCaptureDevice>();
  FCaptureDevice->SetOnChange([this](TOscDevice*) { VisualizeSettings(); });
  FAnalysis = std::make_unique<TAnalysis>(
      FSettings, std::vector<TOscDevice*>{FZelvo.get(), FZelvoDemo.get(), FCaptureDevice.get()});
  // The enable rules depend on the TCP link's state.
  FLinkObserver = std::make_unique<TZelvoConnectionObserver>();
  FLinkObserver->SetOnConnect([this](TZelvoConnection*) { UpdateActions(); });
  FLinkObserver->SetOnDisconnect([this](TZelvoConnection*) { UpdateActions(); });
  FZelvoTcpConnection->RegisterObserver(FLinkObserver.get());
  FZelvoUsbConnection->RegisterObserver(FLinkObserver.get());
  FZelvoReplayConnection->RegisterObserver(FLinkObserver.get());
  // It takes the TCP link's errors and tells which ones to show.
  FLinkSupervisor = std::make_unique<TLinkSupervisor>(*FZelvoTcpConnection, *FZelvoUsbConnection);
  FRecording = std::make_unique<TRecordingControl>(FFileFolder, this);
}

void TMainForm::CreateActions() {
  auto Make = [this](const QString& Caption, const QKeySequence& Shortcut = {}) {
    auto* A = new QAction(Caption, this);
    A->setShortcut(Shortcut);
    addAction(A);
    return A;
  };
  actConnectTcp = Make(tr("&WiFi..."));
  actConnectUsb = Make(tr("&USB..."));
  actConnectDemo = Make(tr("&Demo"));
  actDisconnect = Make(tr("&Disconnect"));
  actExport = Make(tr("&Export..."), QKeySequence(Qt::CTRL | Qt::Key_X));
  actFileExit = Make(tr("E&xit"));
  actOptions = Make(tr("&Options..."));
  actOptions->setVisible(false);
  actWifiCfg = Make(tr("&Wifi settings..."));
  actCalibrate = Make(tr("&Calibrate your ZELVO"));
  actDebug = Make(tr("&Debug mode on/off"), QKeySequence(Qt::CTRL | Qt::Key_D));
  actDebug->setCheckable(true);
  actHelpIndex = Make(tr("&Index..."), QKeySequence(Qt::Key_F1));
  actAbout = Make(tr("&About..."));
  CreateKeepActions();

  ConnectGuarded(actConnectUsb, &QAction::triggered, this, [this] { actConnectUsbExecute(); });
  ConnectGuarded(actConnectTcp, &QAction::triggered, this, [this] { actConnectTcpExecute(); });
  ConnectGuarded(actConnectDemo, &QAction::triggered, this, [this] { actConnectDemoExecute(); });
  ConnectGuarded(actDisconnect, &QAction::triggered, this, [this] { actDisconnectExecute(); });
  ConnectGuarded(actFileExit, &QAction::triggered, this, [this] { close(); });
  ConnectGuarded(actCalibrate, &QAction::triggered, this, [this] { actCalibrateExecute(); });
  ConnectGuarded(actExport, &QAction::triggered, this, [this] { actExportExecute(); });
  ConnectGuarded(actWifiCfg, &QAction::triggered, this,
                 [this] { ExecuteWifiSettings(*FZelvo, this); });
  ConnectGuarded(actDebug, &QAction::triggered, this,
                 [this] { FZelvo->TransmitDebug(actDebug->isChecked()); });
  ConnectGuarded(actHelpIndex, &QAction::triggered, this, [this] { OpenUserManual(this); });
  ConnectGuarded(actAbout, &QAction::triggered, this, [this] { FDialogs.About->exec(); });
  ConnectGuarded(actOptions, &QAction::triggered, this, [this] {
    FDialogs.Config->exec();
    LoadPreferences();
  });
}

void TMainForm::CreateMenus() {
  QMenu* File = menuBar()->addMenu(tr("&File"));
  QMenu* Connect = File->addMenu(tr("&Connect"));
  Connect->addAction(actConnectTcp);
  Connect->addAction(actConnectUsb);
  Connect->addSeparator();
  Connect->addAction(actConnectDemo);
  File->addSeparator();
  File->addAction(actOpenCapture);
  File->addAction(actExport);
  File->addAction(actSavePicture);
  File->addSeparator();
  File->addAction(actRecord);
  File->addAction(actStopRecording);
  File->addAction(actOpenRecording);
  File->addSeparator();
  File->addAction(actFileExit);

  FEditMenu = menuBar()->addMenu(tr("&Edit"));
  FEditMenu->addAction(actCopyPicture);

  // Filled by the analysis once its views exist.
  FViewMenu = menuBar()->addMenu(tr("&View"));

  QMenu* Tools = menuBar()->addMenu(tr("&Tools"));
  Tools->addAction(actOptions);
  Tools->addAction(actWifiCfg);
  Tools->addSeparator();
  Tools->addAction(actCalibrate);
  Tools->addAction(actDebug);

  QMenu* Help = menuBar()->addMenu(tr("&Help"));
  Help->addAction(actHelpIndex);
  Help->addSeparator();
  Help->addAction(actAbout);

  pmConnection = new QMenu(this);
  pmConnection->addAction(actConnectTcp);
  pmConnection->addAction(actConnectUsb);
  pmConnection->addSeparator();
  pmConnection->addAction(actConnectDemo);

  for (QMenu* M : {File, Tools, pmConnection})
    ConnectGuarded(M, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
}

void TMainForm::CreateLayout() {
  auto* Central = new QWidget(this);
  auto* Column = new QVBoxLayout(Central);
  Column->setContentsMargins(0, 0, 0, 0);
  Column->setSpacing(0);

  FDemoMode =
      new QLabel(tr("Demo mode, press Connect to connect to your scope via WLAN or USB."), Central);
  FDemoMode->setObjectName("pnlDemoMode");
  FDemoMode->setFixedHeight(24);
  FDemoMode->setAlignment(Qt::AlignCenter);
  FDemoMode->setVisible(false);
  Column->addWidget(FDemoMode);
  FCaptureBanner = new QLabel(Central);
  FCaptureBanner->setObjectName("pnlCapture");
  FCaptureBanner->setFixedHeight(24);
  FCaptureBanner->setAlignment(Qt::AlignCenter);
  FCaptureBanner->setVisible(false);
  Column->addWidget(FCaptureBanner);
  FReplayBar = new TReplayBar(*FZelvoReplayConnection, Central);
  Column->addWidget(FReplayBar);

  // The scope view with its position bars on top, the spectrum below it.
  auto* Splitter = new QSplitter(Qt::Vertical, Central);
  Splitter->setChildrenCollapsible(false);
  auto* ScopeArea = new QWidget(Splitter);
  for (int Channel = 0; Channel < 2; ++Channel)
    FStrips[Channel] = new TChannelStrip(Channel, ScopeArea, Central);
  FSideBar = new TSideBar(pmConnection, FAnalysis->actSpectrum, Central);
  FMathStrip = new TMathStrip(Central);
  Column->addWidget(FStrips[0]);

  FOscRenderer3D = OscCreateScopeView(ScopeArea);
  FOscRenderer3D->setObjectName("OscRenderer3D");
  auto* Scope = new QHBoxLayout(ScopeArea);
  Scope->setContentsMargins(0, 0, 0, 0);
  Scope->setSpacing(0);
  Scope->addWidget(FStrips[0]->scrollYPosition());
  Scope->addWidget(MakeColorLine(ChannelColor(0), Qt::Vertical, ScopeArea));
  Scope->addWidget(FOscRenderer3D, 1);
  Scope->addWidget(MakeColorLine(ChannelColor(1), Qt::Vertical, ScopeArea));
  Scope->addWidget(FStrips[1]->scrollYPosition());
  FSpectrumView = new TOscSpectrumView(Splitter);
  FSpectrumView->setVisible(false);
  Splitter->addWidget(ScopeArea);
  Splitter->addWidget(FSpectrumView);
  // Shown, the spectrum takes a third of the height.
  Splitter->setStretchFactor(0, 2);
  Splitter->setStretchFactor(1, 1);

  auto* Middle = new QHBoxLayout;
  Middle->setSpacing(0);
  Middle->addWidget(FSideBar);
  Middle->addWidget(Splitter, 1);
  Column->addLayout(Middle, 1);
  Column->addWidget(FStrips[1]);
  Column->addWidget(FMathStrip);
  setCentralWidget(Central);

  FStatusBar = new TScopeStatusBar(this);
  setStatusBar(FStatusBar);
  FStatusBar->ShowSoftwareDrawing(FOscRenderer3D->SoftwareDrawing());
}

void TMainForm::WireView() {
  FOscRenderer3D->SetOscilloscope(FZelvo.get());
  FOscRenderer3D->SetFlip(false);
  FOscRenderer3D->SetFpsLimiter(FFpsLimiter.get());
  FOscRenderer3D->SetOnChange([this](TOscScopeView*) { VisualizeSettings(); });
  FOscRenderer3D->SetOnHover([this](TOscScopeView*, TOscSignal* Signal, double Voltage) {
    OscRenderer3DHover(Signal, Voltage);
  });
}

void TMainForm::WireFrontPanel() {
  // A frozen device's setting controls are disabled, but a scroll bar still
  // reports the moves Visualize makes: the settings a panel reports then go
  // nowhere. The value types are the readouts' choice and always go.
  auto Unfrozen = [this](auto Work) {
    return [this, Work](auto... Args) {
      if (!Frozen())
        Work(Args...);
    };
  };
  for (int Channel = 0; Channel < 2; ++Channel) {
    TChannelStrip* S = FStrips[Channel];
    ConnectGuarded(S, &TChannelStrip::VoltsPerDivisionStepped, this,
                   Unfrozen([this, Channel](int Diff) {
                     Diff < 0 ? btnVDivIncClick(Channel) : btnVDivDecClick(Channel);
                   }));
    ConnectGuarded(
        S, &TChannelStrip::CouplingClicked, this,
        Unfrozen([this, Channel](TOscInputCoupling Tag) { InputCouplingClick(Channel, Tag); }));
    ConnectGuarded(S, &TChannelStrip::ProbeClicked, this,
                   Unfrozen([this, Channel](TOscMultiplier M) { btnZoomClick(Channel, M); }));
    ConnectGuarded(
        S, &TChannelStrip::YPositionChanged, this,
        Unfrozen([this, Channel](int Position) { scrollYPositionChange(Channel, Position); }));
    ConnectGuarded(S, &TChannelStrip::ValueTypeChosen, this,
                   [this, Channel](TOscMeasurementType T) { ValueTypeChange(Channel, T); });
  }
  ConnectGuarded(FSideBar, &TSideBar::TimeBaseStepped, this, Unfrozen([this](int Diff) {
                   Diff < 0 ? btnTimebaseIncClick() : btnTimebaseDecClick();
                 }));
  ConnectGuarded(FSideBar, &TSideBar::TriggerChannelClicked, this,
                 Unfrozen([this](int Tag) { TriggerChannelClick(Tag); }));
  ConnectGuarded(FSideBar, &TSideBar::TriggerSlopeClicked, this,
                 Unfrozen([this](TOscTriggerSlope Tag) { TriggerSlopeClick(Tag); }));
  ConnectGuarded(FSideBar, &TSideBar::TriggerModeClicked, this,
                 Unfrozen([this](TOscTriggerMode Tag) { TriggerModeClick(Tag); }));
  ConnectGuarded(FSideBar, &TSideBar::HoldClicked, this, Unfrozen([this] { HoldClick(); }));
  ConnectGuarded(FSideBar, &TSideBar::AutoRangeClicked, this,
                 Unfrozen([this] { AutoRangeClick(); }));
}

QLabel* TMainForm::StatusPanel(int Index) const {
  return FStatusBar->Panel(Index);
}

TOscMeasurementType TMainForm::ValueType1() const {
  return ActiveScope()->Signals()[0].Measurement().ValueType();
}

void TMainForm::SetValueType1(TOscMeasurementType Value) {
  ValueTypeChange(0, Value);
}

TOscMeasurementType TMainForm::ValueType2() const {
  return ActiveScope()->Signals()[1].Measurement().ValueType();
}

void TMainForm::SetValueType2(TOscMeasurementType Value) {
  ValueTypeChange(1, Value);
}

void TMainForm::LoadPreferences() {
  FFpsLimiter->SetLimit(FSettings.MaxFps());
}

void TMainForm::VisualizeSettings() {
  TOscDevice* Device = ActiveScope();
  if (Device == nullptr)
    return;
  FSideBar->Visualize(*Device);
  FStrips[0]->Visualize(Device->Signals()[0]);
  FStrips[1]->Visualize(Device->Signals()[1]);
  FStrips[0]->ShowBattery(Device->Battery().State());
  VisualizeMarkerReadouts();
  VisualizeFrozen();
}

void TMainForm::VisualizeMarkerReadouts() {
  const TOscDevice& Device = *ActiveScope();
  const int VoltageDistance = FOscRenderer3D->VDivMarkers().Distance();
  for (int Channel = 0; Channel < 2; ++Channel)
    FStrips[Channel]->ShowMarkerVoltage(
        MarkerVoltageText(VoltageDistance, Device.Signals()[Channel]));
  // XY hides the time markers: they measure nothing then.
  FSideBar->ShowTimeSpan(FOscRenderer3D->XY()
                             ? QString(CInvalidValue)
                             : TimeSpanText(FOscRenderer3D->TimeBaseMarkers().Distance(), Device));
}

void TMainForm::VisualizeLink() {
  QString Text;
  bool Trouble = false;
  if (ActiveScope() == FZelvoDemo.get()) {
    Text = tr("Demo");
  } else if (ActiveScope() == FCaptureDevice.get()) {
    Text = tr("Capture file");
  } else if (FZelvo->Connection() == FZelvoReplayConnection.get()) {
    Text = FReplayBar->Text();
    Trouble = FReplayBar->Trouble();
  } else {
    Text = FLinkSupervisor->Text();
    Trouble = FLinkSupervisor->Trouble();
  }
  // The scope's link may be recorded behind the demo or a capture file too.
  if (FRecording->Recording())
    Text = tr("%1; %2").arg(Text, FRecording->Text());
  FStatusBar->ShowLink(Text, Trouble);
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

void TMainForm::TriggerSlopeClick(TOscTriggerSlope Tag) {
  ActiveScope()->Trigger().SetSlope(Tag);
  ActiveScope()->TransmitSettings();
}

void TMainForm::TriggerModeClick(TOscTriggerMode Tag) {
  ActiveScope()->Trigger().SetMode(Tag);
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

void TMainForm::InputCouplingClick(int Channel, TOscInputCoupling Tag) {
  ActiveScope()->Signals()[Channel].SetCoupling(Tag);
  ActiveScope()->TransmitSettings();
}

void TMainForm::btnZoomClick(int Channel, TOscMultiplier Multiplier) {
  // The probe lives on the computer's side: nothing goes to the scope.
  ActiveScope()->Signals()[Channel].SetMultiplier(Multiplier);
}

void TMainForm::scrollYPositionChange(int Channel, int Position) {
  ActiveScope()->Signals()[Channel].SetYPosition(Position);
  ActiveScope()->TransmitSettings();
}

void TMainForm::ValueTypeChange(int Channel, TOscMeasurementType Type) {
  // Only the kind changes here; the text follows the device's next refresh.
  ActiveScope()->Signals()[Channel].Measurement().SetValueType(Type);
  VisualizeSettings();
}

void TMainForm::tmrValuesTimer() {
  TOscDevice* Device = ActiveScope();
  if (Device == nullptr)
    return;
  for (int Channel = 0; Channel < 2; ++Channel)
    FStrips[Channel]->ShowValue(
        QString::fromStdString(Device->Signals()[Channel].Measurement().ToString()));
  FAnalysis->ShowValue();
  FStatusBar->ShowFrameRate(FFpsLimiter->FrameRate());
}

void TMainForm::OscRenderer3DHover(TOscSignal* Signal, double Voltage) {
  FStatusBar->ShowHover(Signal == &FOscRenderer3D->Oscilloscope()->Signals()[0] ? 0 : 1, Voltage);
}
