#pragma once

// The program's windows, created once at start in a fixed order (the main
// window first, then the dialogs it shows) and reused until exit.

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
  // Declared first so that it goes last, after the dialogs it parents.
  std::unique_ptr<TMainForm> FMainForm;
  std::unique_ptr<TAboutDialog> FAboutDialog;
  std::unique_ptr<TUsbDialog> FUsbDialog;
  std::unique_ptr<TTcpDialog> FTcpDialog;
  std::unique_ptr<TCalibrationForm> FCalibrationForm;
  std::unique_ptr<TConfigDialog> FConfigDialog;
  std::unique_ptr<TWarningDialog> FWarningDialog;
};
