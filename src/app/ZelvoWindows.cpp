#include "app/ZelvoWindows.h"

#include "app/AboutDialog.h"
#include "app/ConfigDialog.h"
#include "app/MainForm.h"

TZelvoWindows::TZelvoWindows(TApplicationSettings& Settings, const TVersionInfo& VersionInfo)
    : FMainForm(std::make_unique<TMainForm>(Settings, VersionInfo)),
      FAboutDialog(std::make_unique<TAboutDialog>(VersionInfo, FMainForm.get())),
      FConfigDialog(std::make_unique<TConfigDialog>(Settings, FMainForm.get())) {
  TMainFormDialogs Dialogs;
  Dialogs.About = FAboutDialog.get();
  Dialogs.Config = FConfigDialog.get();
  FMainForm->SetDialogs(Dialogs);
}

TZelvoWindows::~TZelvoWindows() = default;
