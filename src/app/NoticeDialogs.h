#pragma once

// Two fixed notice windows without code of their own, created once at start
// and reused: the ground-level warning shown after a USB connection, and the
// window shown while the scope calibrates itself (it has no buttons; the
// scope's report of the end closes it).

#include "app/FixedDialog.h"

class TWarningDialog : public TFixedDialog {
  Q_OBJECT

public:
  explicit TWarningDialog(QWidget* Parent = nullptr);
};

class TCalibrationForm : public TFixedDialog {
  Q_OBJECT

public:
  explicit TCalibrationForm(QWidget* Parent = nullptr);
};
