#pragma once

// The program's windows, created once at start in a fixed order (the main
// window first, then the dialogs it shows, with the main window as their Qt
// parent, which owns them) and reused until exit.

#include <memory>

#include "app/SerialPortSource.h"
#include "app/TcpDialog.h"

class TAboutDialog;
class TApplicationSettings;
class TCalibrationForm;
class TConfigDialog;
class TMainForm;
class TUsbDialog;
class TVersionInfo;
class TWarningDialog;

// Where the connection dialogs look for ports and the gateway; empty members
// mean the system's own (tests put fakes here).
struct TZelvoSystem {
  std::unique_ptr<TSerialPortSource> PortSource;
  std::unique_ptr<TUsbEventSource> EventSource;
  TTcpDialog::TGatewayLookup GatewayLookup;
};

class TZelvoWindows {
public:
  // The settings store and version texts must outlive the windows.
  TZelvoWindows(TApplicationSettings& Settings, const TVersionInfo& VersionInfo,
                TZelvoSystem System = {});
  ~TZelvoWindows();
  TZelvoWindows(const TZelvoWindows&) = delete;
  TZelvoWindows& operator=(const TZelvoWindows&) = delete;

  TMainForm& MainForm() const { return *FMainForm; }
  TAboutDialog& AboutDialog() const { return *FAboutDialog; }
  TUsbDialog& UsbDialog() const { return *FUsbDialog; }
  TTcpDialog& TcpDialog() const { return *FTcpDialog; }
  TCalibrationForm& CalibrationForm() const { return *FCalibrationForm; }
  TConfigDialog& ConfigDialog() const { return *FConfigDialog; }
  TWarningDialog& WarningDialog() const { return *FWarningDialog; }

private:
  std::unique_ptr<TMainForm> FMainForm;
  // Children of the main window.
  TAboutDialog* FAboutDialog;
  TUsbDialog* FUsbDialog;
  TTcpDialog* FTcpDialog;
  TCalibrationForm* FCalibrationForm;
  TConfigDialog* FConfigDialog;
  TWarningDialog* FWarningDialog;
};
