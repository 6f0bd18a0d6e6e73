#pragma once

// Two fixed notice windows without code of their own, created once at start
// and reused: the ground-level warning shown after a USB connection, and the
// window shown while the scope calibrates itself (it has no buttons; the
// scope's report of the end closes it).

#include <QDialog>

class TWarningDialog : public QDialog {
public:
  explicit TWarningDialog(QWidget* Parent = nullptr);
  void setVisible(bool Visible) override;
};

class TCalibrationForm : public QDialog {
public:
  explicit TCalibrationForm(QWidget* Parent = nullptr);
  void setVisible(bool Visible) override;
};
