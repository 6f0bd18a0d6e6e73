#include "app/ZelvoWindows.h"

#include "app/AboutDialog.h"
#include "app/ConfigDialog.h"
#include "app/MainForm.h"
#include "app/NoticeDialogs.h"
#include "app/UsbDialog.h"

namespace {

std::unique_ptr<TUsbDialog> MakeUsbDialog(TZelvoSystem& System, QWidget* Parent) {
  if (!System.PortSource)
    return std::make_unique<TUsbDialog>(Parent);
  return std::make_unique<TUsbDialog>(Parent, std::move(System.PortSource),
                                      std::move(System.EventSource));
}

} // namespace

TZelvoWindows::TZelvoWindows(TApplicationSettings& Settings, const TVersionInfo& VersionInfo,
                             TZelvoSystem System)
    : FMainForm(std::make_unique<TMainForm>(Settings, VersionInfo)),
      FAboutDialog(std::make_unique<TAboutDialog>(VersionInfo, FMainForm.get())),
      FUsbDialog(MakeUsbDialog(System, FMainForm.get())),
      FTcpDialog(std::make_unique<TTcpDialog>(FMainForm.get(), System.GatewayLookup)),
      FCalibrationForm(std::make_unique<TCalibrationForm>(FMainForm.get())),
      FConfigDialog(std::make_unique<TConfigDialog>(Settings, FMainForm.get())),
      FWarningDialog(std::make_unique<TWarningDialog>(FMainForm.get())) {
  TMainFormDialogs Dialogs;
  Dialogs.About = FAboutDialog.get();
  Dialogs.Usb = FUsbDialog.get();
  Dialogs.Tcp = FTcpDialog.get();
  Dialogs.Calibration = FCalibrationForm.get();
  Dialogs.Config = FConfigDialog.get();
  Dialogs.Warning = FWarningDialog.get();
  FMainForm->SetDialogs(Dialogs);
}

TZelvoWindows::~TZelvoWindows() = default;
