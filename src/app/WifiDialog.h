#pragma once

// The scope's WiFi access-point settings as a dialog, and the flow of the
// "Wifi settings..." action around it. Only the SSID can be edited; the
// channel, firmware and build are shown as the scope last reported them.

#include <QString>

#include "app/FixedDialog.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TZelvo;

class TWifiDialog : public TFixedDialog {
  Q_OBJECT

public:
  static constexpr int CMaxSSIDLength = 32;
  static constexpr int CChannelCount = 13;

  explicit TWifiDialog(QWidget* Parent = nullptr);

  QString SSID() const;
  void SetSSID(const QString& Value);
  // 1..13, or 0 when no channel is selected; a value outside 1..13 selects
  // none.
  int Channel() const;
  void SetChannel(int Value);
  void SetFirmware(const QString& Value);
  void SetBuild(const QString& Value);

  // Whether the SSID is a valid access-point name; if not, tells the user in
  // an error box.
  bool InputIsValid();
  // Only a close with OK is checked: Cancel, Escape and the close box never
  // validate.
  bool FormCloseQuery(int Result);
  void done(int Result) override;

private:
  QGroupBox* grpSettings;
  QLineEdit* txtSSID;
  QComboBox* cbChannel;
  QLineEdit* txtFirmware;
  QLineEdit* txtBuild;
  QPushButton* btnOK;
  QPushButton* btnCancel;
};

// The "Wifi settings..." action: asks the scope for its settings (the answer
// updates the driver later, not this dialog), shows what the driver holds now
// in a dialog created for this use, and on OK stores the channel and SSID in
// the driver's settings and sends them with the unchanged password. Errors
// from the driver or its transport propagate; the dialog is destroyed in any
// case.
void ExecuteWifiSettings(TZelvo& Zelvo, QWidget* Parent);
