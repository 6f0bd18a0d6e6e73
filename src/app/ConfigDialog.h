#pragma once

// The preferences dialog: edits the frame-rate limit. Created once and reused;
// the spin box keeps what was typed across a Cancel, and OK stores the value
// at once.

#include "app/FixedDialog.h"

class QPushButton;
class QSpinBox;
class TApplicationSettings;

class TConfigDialog : public TFixedDialog {
  Q_OBJECT

public:
  // Settings must outlive the dialog.
  explicit TConfigDialog(TApplicationSettings& Settings, QWidget* Parent = nullptr);

  // The spin box shows the stored limit. Called once, by the constructor.
  void LoadPreferences();
  // Stores the spin box's value.
  void SavePreferences();

  // Closing with Accepted stores the value first; an error on the way goes
  // to the program's handler and the dialog closes all the same.
  void done(int Result) override;

private:
  TApplicationSettings& FSettings;
  QSpinBox* txtMaxFps = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
};
