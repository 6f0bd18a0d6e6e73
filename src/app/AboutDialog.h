#pragma once

// The about box: product name, copyright line and file version. Created once
// at start and shown modally on demand.

#include "app/FixedDialog.h"

class QLabel;
class QPushButton;
class TVersionInfo;

class TAboutDialog : public TFixedDialog {
  Q_OBJECT

public:
  // Info must outlive the dialog.
  explicit TAboutDialog(const TVersionInfo& Info, QWidget* Parent = nullptr);

  // Fills the three labels from the version information.
  void UpdateVersionInfo();

private:
  const TVersionInfo& FInfo;
  QLabel* lblProductName = nullptr;
  QLabel* lblCopyright = nullptr;
  QLabel* lblFileVersion = nullptr;
  QPushButton* btnOK = nullptr;
};
