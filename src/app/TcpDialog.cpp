#include "app/TcpDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "app/DialogButtons.h"
#include "app/GatewayAddress.h"
#include "osc/OscTypes.h"

TTcpDialog::TTcpDialog(QWidget* Parent, TGatewayLookup GatewayLookup)
    : TFixedDialog(QSize(289, 169), Parent) {
  setWindowTitle(tr("WiFi Connection"));

  grpSettings = new QGroupBox(tr("Settings"), this);
  grpSettings->setObjectName(QStringLiteral("grpSettings"));
  auto* lblHost = new QLabel(tr("Host:"), grpSettings);
  lblHost->setObjectName(QStringLiteral("lblHost"));
  cbHost = new QComboBox(grpSettings);
  cbHost->setObjectName(QStringLiteral("cbHost"));
  cbHost->setEditable(true);
  cbHost->setInsertPolicy(QComboBox::NoInsert);
  for (const char* Preset : CPresetHosts)
    cbHost->addItem(QString::fromLatin1(Preset));
  lblHost->setBuddy(cbHost);
  auto* lblPort = new QLabel(tr("Port:"), grpSettings);
  lblPort->setObjectName(QStringLiteral("lblPort"));
  txtPort = new QLineEdit(QString::fromLatin1(CDefaultPort), grpSettings);
  txtPort->setObjectName(QStringLiteral("txtPort"));
  lblPort->setBuddy(txtPort);
  lblSelectOrEnter = new QLabel(tr("Select or enter the IP-address of your ZELVO"), grpSettings);
  lblSelectOrEnter->setObjectName(QStringLiteral("lblSelectOrEnter"));
  lblSelectOrEnter->setWordWrap(true);

  auto* Fields = new QGridLayout(grpSettings);
  Fields->addWidget(lblHost, 0, 0);
  Fields->addWidget(cbHost, 0, 1);
  Fields->addWidget(lblPort, 1, 0);
  Fields->addWidget(txtPort, 1, 1);
  Fields->addWidget(lblSelectOrEnter, 2, 0, 1, 2);
  Fields->setColumnStretch(1, 1);

  const TOkCancelButtons Buttons = LayOutWithOkCancel(this, grpSettings);
  btnOK = Buttons.Ok;
  btnCancel = Buttons.Cancel;
  cbHost->setFocus();

  // A computer without a network adapter must still reach the demo and let
  // the user type an address, so a failed lookup proposes nothing rather than
  // stopping the program's start.
  QString Gateway;
  try {
    Gateway = GatewayLookup ? GatewayLookup() : GetGatewayAddress();
  } catch (const EOscError&) {
    Gateway.clear();
  }
  cbHost->setCurrentIndex(-1);
  cbHost->setEditText(Gateway);
  FitToLayout();
}

QString TTcpDialog::Host() const {
  return cbHost->currentText();
}

int TTcpDialog::Port() const {
  const QString Text = txtPort->text();
  bool Ok = false;
  const int Value = Text.toInt(&Ok, 10);
  if (!Ok)
    throw EOscError(tr("'%1' is not a valid integer value").arg(Text).toStdString());
  return Value;
}
