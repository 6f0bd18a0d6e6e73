#include "app/ZelvoWindows.h"

#include "app/AboutDialog.h"
#include "app/ConfigDialog.h"
#include "app/MainForm.h"
#include "app/NoticeDialogs.h"
#include "app/UsbDialog.h"

namespace {

TUsbDialog* MakeUsbDialog(TZelvoSystem& System, QWidget* Parent) {
  if (!System.PortSource)
    return new TUsbDialog(Parent);
  return new TUsbDialog(Parent, std::move(System.PortSource), std::move(System.EventSource));
}

} // namespace

TZelvoWindows::TZelvoWindows(TApplicationSettings& Settings, const TVersionInfo& VersionInfo,
                             TZelvoSystem System)
    : FMainForm(std::make_unique<TMainForm>(Settings, VersionInfo)),
      FAboutDialog(new TAboutDialog(VersionInfo, FMainForm.get())),
      FUsbDialog(MakeUsbDialog(System, FMainForm.get())),
      FTcpDialog(new TTcpDialog(FMainForm.get(), System.GatewayLookup)),
      FCalibrationForm(new TCalibrationForm(FMainForm.get())),
      FConfigDialog(new TConfigDialog(Settings, FMainForm.get())),
      FWarningDialog(new TWarningDialog(FMainForm.get())) {
  TMainFormDialogs Dialogs;
  Dialogs.About = FAboutDialog;
  Dialogs.Usb = FUsbDialog;
  Dialogs.Tcp = FTcpDialog;
  Dialogs.Calibration = FCalibrationForm;
  Dialogs.Config = FConfigDialog;
  Dialogs.Warning = FWarningDialog;
  FMainForm->SetDialogs(Dialogs);
}

TZelvoWindows::~TZelvoWindows() = default;
