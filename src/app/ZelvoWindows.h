#pragma once

// The program's windows, created once at start in a fixed order (the main
// window first, then the dialogs it shows) and reused until exit.

#include <memory>

class TAboutDialog;
class TApplicationSettings;
class TConfigDialog;
class TMainForm;
class TVersionInfo;

class TZelvoWindows {
public:
  // The settings store and version texts must outlive the windows.
  TZelvoWindows(TApplicationSettings& Settings, const TVersionInfo& VersionInfo);
  ~TZelvoWindows();
  TZelvoWindows(const TZelvoWindows&) = delete;
  TZelvoWindows& operator=(const TZelvoWindows&) = delete;

  TMainForm& MainForm() const { return *FMainForm; }
  TAboutDialog& AboutDialog() const { return *FAboutDialog; }
  TConfigDialog& ConfigDialog() const { return *FConfigDialog; }

private:
  // Declared first so that it goes last, after the dialogs it parents.
  std::unique_ptr<TMainForm> FMainForm;
  std::unique_ptr<TAboutDialog> FAboutDialog;
  std::unique_ptr<TConfigDialog> FConfigDialog;
};
