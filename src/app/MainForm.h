#pragma once

// The program's one main window and its composition root. It owns the scope
// driver, the demo device, both transports, the scope view, the frame-rate
// limiter and the readout timer for the whole run, creates the panels and
// wires them to the active device: the panels show a device and report clicks,
// the model computes, the window connects.

#include <QMainWindow>

#include <memory>

#include "osc/OscMeasurement.h"
#include "osc/OscTypes.h"

#include "app/ChannelStrip.h"
#include "app/FileDialogs.h"
#include "app/ScopePicture.h"
#include "app/SideBar.h"

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QTimer;
class TAboutDialog;
class TAnalysis;
class TApplicationSettings;
class TCalibrationForm;
class TCaptureExport;
class TConfigDialog;
class TLinkSupervisor;
class TMathStrip;
class TOscCaptureDevice;
class TOscDevice;
class TOscFpsLimiter;
class TOscScopeView;
class TOscSignal;
class TOscSpectrumView;
class TRecordingControl;
class TReferenceControl;
class TReplayBar;
class TScopePicture;
class TScopeStatusBar;
class TTcpDialog;
class TUsbDialog;
class TVersionInfo;
class TWarningDialog;
class TZelvo;
class TZelvoConnectionObserver;
class TZelvoDemo;
class TZelvoReplayConnection;
class TZelvoTcpConnection;
class TZelvoUsbConnection;

// The windows the main window shows, created after it with it as their Qt
// parent, which owns them.
struct TMainFormDialogs {
  TAboutDialog* About = nullptr;
  TUsbDialog* Usb = nullptr;
  TTcpDialog* Tcp = nullptr;
  TCalibrationForm* Calibration = nullptr;
  TConfigDialog* Config = nullptr;
  TWarningDialog* Warning = nullptr;
};

// The step Diff away from VoltsPerDivision, limited to vdivNone..vdiv5mV:
// one step larger than 20 V/div is "no range".
TOscVoltsPerDivision OffsetVDiv(TOscVoltsPerDivision VoltsPerDivision, int Diff);
// The step Diff away from TimeBase, limited to tb1us..tb1s.
TOscTimeBase OffsetTimeBase(TOscTimeBase TimeBase, int Diff);

class TMainForm : public QMainWindow {
  Q_OBJECT

public:
  // Installs the program-wide exception handler first, then builds the
  // window with the demo device active and the stored frame-rate limit.
  TMainForm(TApplicationSettings& Settings, const TVersionInfo& VersionInfo,
            QWidget* Parent = nullptr);
  ~TMainForm() override;

  // Called once, right after the dialogs are created; the actions that show
  // them need them from then on.
  void SetDialogs(const TMainFormDialogs& Dialogs);

  // The device the scope view shows; every control acts on it.
  TOscDevice* ActiveScope() const;
  // Does not refresh the front panel: it follows the next change notification.
  void SetActiveScope(TOscDevice* Value);
  TOscMeasurementType ValueType1() const;
  void SetValueType1(TOscMeasurementType Value);
  TOscMeasurementType ValueType2() const;
  void SetValueType2(TOscMeasurementType Value);

  void LoadPreferences();
  // The enable rules of the actions.
  void UpdateActions();
  // Shows the active device's state in every control.
  void VisualizeSettings();

  // Owned objects, for the dialogs' flows and for tests.
  TZelvo& Zelvo() const { return *FZelvo; }
  TZelvoDemo& ZelvoDemo() const { return *FZelvoDemo; }
  TZelvoUsbConnection& ZelvoUsbConnection() const { return *FZelvoUsbConnection; }
  TZelvoTcpConnection& ZelvoTcpConnection() const { return *FZelvoTcpConnection; }
  TZelvoReplayConnection& ZelvoReplayConnection() const { return *FZelvoReplayConnection; }
  // The device an opened capture file is shown as.
  TOscCaptureDevice& CaptureDevice() const { return *FCaptureDevice; }
  const TRecordingControl& Recording() const { return *FRecording; }
  const TReplayBar& ReplayBar() const { return *FReplayBar; }
  // View › Keep as reference and Clear reference, and the kept capture.
  TReferenceControl& Reference() const { return *FReference; }
  TScopePicture& Picture() const { return *FPicture; }
  TOscScopeView& OscRenderer3D() const { return *FOscRenderer3D; }
  TOscFpsLimiter& FpsLimiter() const { return *FFpsLimiter; }
  QTimer& tmrValues() const { return *FTmrValues; }
  TLinkSupervisor& LinkSupervisor() const { return *FLinkSupervisor; }

  const TChannelStrip& Strip(int Channel) const { return *FStrips[Channel]; }
  const TSideBar& SideBar() const { return *FSideBar; }
  QLabel* pnlDemoMode() const { return FDemoMode; }
  // Names the opened capture's file, shown exactly while it is the device shown.
  QLabel* pnlCapture() const { return FCaptureBanner; }
  QScrollBar* scrollYPosition(int Channel) const { return FStrips[Channel]->scrollYPosition(); }
  // 0 frame rate, 1 and 2 the hovered voltages, 3 the link's state.
  QLabel* StatusPanel(int Index) const;
  QMenu* ValueTypeMenu(int Channel) const { return FStrips[Channel]->ValueTypeMenu(); }
  TOscSpectrumView& SpectrumView() const { return *FSpectrumView; }
  const TMathStrip& MathStrip() const { return *FMathStrip; }
  // The spectrum, the math channels and XY, with their View menu entries.
  TAnalysis& Analysis() const { return *FAnalysis; }

  QAction* actConnectTcp = nullptr;
  QAction* actConnectUsb = nullptr;
  QAction* actConnectDemo = nullptr;
  QAction* actDisconnect = nullptr;
  QAction* actExport = nullptr;
  // Captures and recordings kept on disk.
  QAction* actOpenCapture = nullptr;
  QAction* actOpenRecording = nullptr;
  QAction* actRecord = nullptr;
  QAction* actStopRecording = nullptr;
  // File › Save picture... and Edit › Copy picture: the scope view with the
  // caption, the date and time and the readouts around it.
  QAction* actSavePicture = nullptr;
  QAction* actCopyPicture = nullptr;
  QAction* actFileExit = nullptr;
  QAction* actOptions = nullptr;
  QAction* actWifiCfg = nullptr;
  QAction* actCalibrate = nullptr;
  QAction* actDebug = nullptr;
  QAction* actHelpIndex = nullptr;
  QAction* actAbout = nullptr;

  // The front panel's handlers, each acting on the active device and then
  // sending its settings (the probe excepted: it lives on the computer's side).
  void btnVDivIncClick(int Channel);
  void btnVDivDecClick(int Channel);
  void btnTimebaseIncClick();
  void btnTimebaseDecClick();
  void TriggerChannelClick(int Tag);
  void TriggerSlopeClick(TOscTriggerSlope Tag);
  void TriggerModeClick(TOscTriggerMode Tag);
  void HoldClick();
  void AutoRangeClick();
  void InputCouplingClick(int Channel, TOscInputCoupling Tag);
  void btnZoomClick(int Channel, TOscMultiplier Multiplier);
  void scrollYPositionChange(int Channel, int Position);
  void ValueTypeChange(int Channel, TOscMeasurementType Type);
  void tmrValuesTimer();
  void OscRenderer3DHover(TOscSignal* Signal, double Voltage);

  // Connection actions.
  void actConnectUsbExecute();
  void actConnectTcpExecute();
  void actConnectDemoExecute();
  void actDisconnectExecute();
  // What the dialogs' OK starts, also reached from the command line; USB
  // shows the warning after a connection as the action does.
  void ConnectTcp(const QString& Host, int Port);
  void ConnectUsb(const QString& Port);
  void DoConnected();
  // An error of the TCP link that the supervisor says the user is to see.
  void ZelvoTcpConnectionError();
  // Calibration and export.
  void actCalibrateExecute();
  void ZelvoCalibrate();
  void ZelvoCalibrated();
  void actExportExecute();

  // Captures and recordings on disk. An opened capture, and a replay while
  // paused or at its end, are frozen: the front panel shows their settings
  // and changes nothing (Frozen).
  void actOpenCaptureExecute();
  // Shows the capture of FileName (its samples or its parameters file) as the
  // capture device, as Demo shows the demo device. A pair that cannot be read
  // gives one message naming the file and the line, and changes nothing.
  bool OpenCapture(const QString& FileName);
  void actOpenRecordingExecute();
  // Plays the recording FileName through the scope driver as if the scope
  // sent it. A file that is no recording gives one message and changes nothing.
  bool OpenRecording(const QString& FileName);
  void actRecordExecute();
  void actStopRecordingExecute();
  bool Frozen() const;
  // What a picture of the view says around it: the caption, now, each
  // channel's readouts and the time base, as the window shows them.
  TPictureTexts PictureTexts() const;
  void actSavePictureExecute();
  void actCopyPictureExecute();

private:
  void CreateOwnedObjects();
  void CreateActions();
  void CreateMenus();
  void CreateLayout();
  void WireFrontPanel();
  void WireView();
  void VisualizeMarkerReadouts();
  // The link panel: "Demo" while the demo device is shown.
  void VisualizeLink();
  // Steps shared by the WiFi action and ConnectTcp, before the port is set.
  void AttachTcp(const QString& Host);
  void OpenTcp();
  void CreateKeepActions();
  void WireKeep();
  // Demo or a capture file ends a replay; a scope's link stays as it is.
  void StopReplay();
  // Disables what would change a frozen device's settings.
  void VisualizeFrozen();
  // Shows the message of the exception being handled, translated.
  void ShowFileError();

  TApplicationSettings& FSettings;
  TMainFormDialogs FDialogs;

  // Destroyed in reverse order: the supervisor and the link observer let go
  // of the links first, then the devices, the links and the limiter go, and
  // only then the child widgets, among them the view, which drops its links
  // to the device and the limiter as they go.
  std::unique_ptr<TOscFpsLimiter> FFpsLimiter;
  std::unique_ptr<TZelvoUsbConnection> FZelvoUsbConnection;
  std::unique_ptr<TZelvoTcpConnection> FZelvoTcpConnection;
  std::unique_ptr<TZelvoReplayConnection> FZelvoReplayConnection;
  std::unique_ptr<TZelvo> FZelvo;
  std::unique_ptr<TZelvoDemo> FZelvoDemo;
  std::unique_ptr<TOscCaptureDevice> FCaptureDevice;
  // Holds links to the devices and the views: declared after the devices,
  // destroyed before them and before the child widgets.
  std::unique_ptr<TAnalysis> FAnalysis;
  std::unique_ptr<TZelvoConnectionObserver> FLinkObserver;
  std::unique_ptr<TLinkSupervisor> FLinkSupervisor;
  // Where the file dialogs start; the recording stops before the links go.
  TFileFolder FFileFolder;
  std::unique_ptr<TRecordingControl> FRecording;

  // Child widgets and objects, owned by their Qt parents.
  TOscScopeView* FOscRenderer3D = nullptr;
  TOscSpectrumView* FSpectrumView = nullptr;
  QMenu* FViewMenu = nullptr;
  QMenu* FEditMenu = nullptr;
  QTimer* FTmrValues = nullptr;
  TCaptureExport* FExport = nullptr;
  QMenu* pmConnection = nullptr;
  QLabel* FDemoMode = nullptr;
  QLabel* FCaptureBanner = nullptr;
  TReplayBar* FReplayBar = nullptr;
  TReferenceControl* FReference = nullptr;
  TScopePicture* FPicture = nullptr;
  TChannelStrip* FStrips[2] = {};
  TSideBar* FSideBar = nullptr;
  TMathStrip* FMathStrip = nullptr;
  TScopeStatusBar* FStatusBar = nullptr;
};
