#pragma once

// The program's one main window. It owns the scope driver, the demo device,
// both transports, the scope view, the frame-rate limiter and the readout
// timer for the whole run, wires them to each other, and shows the active
// device's state in the front panel. It wires and shows; the computing is
// the model's.

#include <QMainWindow>

#include <memory>

#include "osc/OscMeasurement.h"
#include "osc/OscTypes.h"

#include "app/MainFormPanels.h"

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QTimer;
class TAboutDialog;
class TLinkSupervisor;
class TApplicationSettings;
class TCalibrationForm;
class TConfigDialog;
class TTcpDialog;
class TUsbDialog;
class TWarningDialog;
class TOscDevice;
class TOscFpsLimiter;
class TOscScopeView;
class TOscSignal;
class TVersionInfo;
class TZelvo;
class TZelvoConnectionObserver;
class TZelvoDemo;
class TZelvoTcpConnection;
class TZelvoUsbConnection;

// The windows the main window shows; created after it and owned elsewhere.
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

// Names shown for the value types, indexed by TOscMeasurementType.
extern const char* const COscValueType[13];
// Probe button captions, indexed by TOscMultiplier.
extern const char* const CMultiplier[2];
// Battery hints, indexed by TOscBatteryState.
extern const char* const CBatteryHint[3];

class TMainForm : public QMainWindow {
public:
  // Installs the program-wide exception handler first, then builds the
  // window with the demo device active and the stored frame-rate limit.
  TMainForm(TApplicationSettings& Settings, const TVersionInfo& VersionInfo,
            QWidget* Parent = nullptr);
  ~TMainForm() override;

  // Also follows the USB dialog's hot-plug monitor, for a lost serial link.
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
  TOscScopeView& OscRenderer3D() const { return *FOscRenderer3D; }
  TOscFpsLimiter& FpsLimiter() const { return *FFpsLimiter; }
  QTimer& tmrValues() const { return *FTmrValues; }
  TLinkSupervisor& LinkSupervisor() const { return *FLinkSupervisor; }

  const TChannelStrip& Strip(int Channel) const { return Channel == 0 ? FCH1 : FCH2; }
  const TSideBar& SideBar() const { return FSideBar; }
  QLabel* pnlDemoMode() const { return FDemoMode; }
  QScrollBar* scrollYPosition(int Channel) const { return FScrollYPosition[Channel]; }
  // 0 frame rate, 1 and 2 the hovered voltages, 3 the link's state.
  QLabel* StatusPanel(int Index) const { return FStatusPanels[Index]; }
  QMenu* ValueTypeMenu(int Channel) const { return FValueTypeMenus[Channel]; }

  QAction* actConnectTcp = nullptr;
  QAction* actConnectUsb = nullptr;
  QAction* actConnectDemo = nullptr;
  QAction* actDisconnect = nullptr;
  QAction* actExport = nullptr;
  QAction* actFileExit = nullptr;
  QAction* actOptions = nullptr;
  QAction* actWifiCfg = nullptr;
  QAction* actCalibrate = nullptr;
  QAction* actDebug = nullptr;
  QAction* actHelpIndex = nullptr;
  QAction* actAbout = nullptr;

  // Handlers of the front panel, each acting on the active device.
  void btnVDivIncClick(int Channel);
  void btnVDivDecClick(int Channel);
  void btnTimebaseIncClick();
  void btnTimebaseDecClick();
  void TriggerChannelClick(int Tag);
  void TriggerSlopeClick(int Tag);
  void TriggerModeClick(int Tag);
  void HoldClick();
  void AutoRangeClick();
  void InputCouplingClick(int Channel, int Tag);
  void btnZoomClick(int Channel);
  void scrollYPositionChange(int Channel);
  void ValueTypeChange(int Channel, int Tag);
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
  void ZelvoTcpConnectionError();
  // Calibration and export.
  void actCalibrateExecute();
  void ZelvoCalibrate();
  void ZelvoCalibrated();
  void actExportExecute();

private:
  void CreateActions();
  void CreateMenus();
  void CreateValueTypeMenus();
  void CreateLayout();
  void CreateStatusBar();
  void WireFrontPanel();
  // Connects a Qt signal to a handler of ours through the exception boundary.
  template <class TSender, class TSignal, class TWork>
  void Wire(TSender* Sender, TSignal Signal, TWork Work);
  void PressTriggerMode(TOscTriggerMode Mode);
  void VisualizeChannel(int Channel);
  void VisualizeBattery();
  void VisualizeMarkerReadouts();
  // The link panel: "Demo" while the demo device is shown.
  void VisualizeLink();
  // Steps shared by the WiFi action and ConnectTcp, before the port is set.
  void AttachTcp(const QString& Host);
  void OpenTcp();

  TApplicationSettings& FSettings;
  TMainFormDialogs FDialogs;

  std::unique_ptr<TOscFpsLimiter> FFpsLimiter;
  std::unique_ptr<TZelvoUsbConnection> FZelvoUsbConnection;
  std::unique_ptr<TZelvoTcpConnection> FZelvoTcpConnection;
  std::unique_ptr<TZelvo> FZelvo;
  std::unique_ptr<TZelvoDemo> FZelvoDemo;
  std::unique_ptr<TZelvoConnectionObserver> FLinkObserver;
  // Declared after the links: it goes first and unregisters from them.
  std::unique_ptr<TLinkSupervisor> FLinkSupervisor;
  TOscScopeView* FOscRenderer3D = nullptr; // a child widget
  QTimer* FTmrValues = nullptr;

  QMenu* pmConnection = nullptr;
  QMenu* FValueTypeMenus[2] = {};
  QLabel* FDemoMode = nullptr;
  TChannelStrip FCH1;
  TChannelStrip FCH2;
  TSideBar FSideBar;
  QScrollBar* FScrollYPosition[2] = {};
  QLabel* FStatusPanels[4] = {};
  int FBatteryShown = -1;
};
