#include "app/WifiDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include <memory>

#include "app/DialogButtons.h"
#include "link/Zelvo.h"
#include "link/ZelvoWifiSettings.h"
#include "osc/OscErrorBoundary.h"

namespace {

// The scope's texts are single bytes; a valid SSID is plain ASCII, so the
// way back loses nothing that could be sent.
QString FromScopeText(const std::string& Text) {
  return QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size()));
}

std::string ToScopeText(const QString& Text) {
  return Text.toLatin1().toStdString();
}

QLabel* AddRow(QGridLayout* Grid, int Row, const QString& Caption, QWidget* Field) {
  auto* Label = new QLabel(Caption, Field->parentWidget());
  Label->setBuddy(Field);
  Grid->addWidget(Label, Row, 0);
  Grid->addWidget(Field, Row, 1);
  return Label;
}

} // namespace

TWifiDialog::TWifiDialog(QWidget* Parent) : TFixedDialog(QSize(297, 234), Parent) {
  setWindowTitle(tr("Wifi Configuration"));

  grpSettings = new QGroupBox(tr("Configuration settings"), this);
  grpSettings->setObjectName(QStringLiteral("grpSettings"));

  txtSSID = new QLineEdit(grpSettings);
  txtSSID->setObjectName(QStringLiteral("txtSSID"));
  txtSSID->setMaxLength(CMaxSSIDLength);

  cbChannel = new QComboBox(grpSettings);
  cbChannel->setObjectName(QStringLiteral("cbChannel"));
  for (int I = 1; I <= CChannelCount; ++I)
    cbChannel->addItem(QString::number(I));
  cbChannel->setCurrentIndex(0);
  cbChannel->setEnabled(false);

  txtFirmware = new QLineEdit(grpSettings);
  txtFirmware->setObjectName(QStringLiteral("txtFirmware"));
  txtFirmware->setEnabled(false);

  txtBuild = new QLineEdit(grpSettings);
  txtBuild->setObjectName(QStringLiteral("txtBuild"));
  txtBuild->setEnabled(false);

  auto* Fields = new QGridLayout(grpSettings);
  AddRow(Fields, 0, tr("SSID:"), txtSSID)->setObjectName(QStringLiteral("lblSSID"));
  AddRow(Fields, 1, tr("Channel:"), cbChannel)->setObjectName(QStringLiteral("lblChannel"));
  AddRow(Fields, 2, tr("Firmware:"), txtFirmware)->setObjectName(QStringLiteral("lblFirmware"));
  AddRow(Fields, 3, tr("Build:"), txtBuild)->setObjectName(QStringLiteral("lblBuild"));
  Fields->setColumnStretch(1, 1);

  const TOkCancelButtons Buttons = LayOutWithOkCancel(this, grpSettings);
  btnOK = Buttons.Ok;
  btnCancel = Buttons.Cancel;
  txtSSID->setFocus();
  FitToLayout();
}

QString TWifiDialog::SSID() const {
  return txtSSID->text();
}

void TWifiDialog::SetSSID(const QString& Value) {
  txtSSID->setText(Value);
}

int TWifiDialog::Channel() const {
  return cbChannel->currentIndex() + 1;
}

void TWifiDialog::SetChannel(int Value) {
  cbChannel->setCurrentIndex(Value >= 1 && Value <= CChannelCount ? Value - 1 : -1);
}

void TWifiDialog::SetFirmware(const QString& Value) {
  txtFirmware->setText(Value);
}

void TWifiDialog::SetBuild(const QString& Value) {
  txtBuild->setText(Value);
}

bool TWifiDialog::InputIsValid() {
  // A character outside Latin-1 becomes '?', which the rule refuses.
  if (IsValidSSID(ToScopeText(SSID())))
    return true;
  QMessageBox::critical(this, tr("Error"), tr("Please enter a valid SSID"), QMessageBox::Ok);
  return false;
}

bool TWifiDialog::FormCloseQuery(int Result) {
  return Result != Accepted || InputIsValid();
}

void TWifiDialog::done(int Result) {
  OscGuarded([&] {
    if (FormCloseQuery(Result))
      QDialog::done(Result);
  });
}

void ExecuteWifiSettings(TZelvo& Zelvo, QWidget* Parent) {
  Zelvo.RequestWifiSettings();
  // Owned here, not by Parent: it goes when this returns or raises.
  auto Dialog = std::make_unique<TWifiDialog>(Parent);
  TZelvoWifiSettings& Settings = Zelvo.WifiSettings();
  Dialog->SetChannel(Settings.Channel());
  Dialog->SetSSID(FromScopeText(Settings.SSID()));
  Dialog->SetFirmware(FromScopeText(Settings.Firmware()));
  Dialog->SetBuild(FromScopeText(Settings.Build()));
  if (Dialog->exec() != QDialog::Accepted)
    return;
  Settings.SetChannel(Dialog->Channel());
  Settings.SetSSID(ToScopeText(Dialog->SSID()));
  Zelvo.TransmitWifiSettings();
}
