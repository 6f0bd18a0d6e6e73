#include "app/UsbDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QStyle>

#include "app/DialogButtons.h"
#include "osc/OscErrorBoundary.h"

TUsbDialog::TUsbDialog(QWidget* Parent)
    : TUsbDialog(Parent, std::make_unique<TQtSerialPortSource>(), CreateUdevEventSource()) {}

TUsbDialog::TUsbDialog(QWidget* Parent, std::unique_ptr<TSerialPortSource> PortSource,
                       std::unique_ptr<TUsbEventSource> EventSource)
    : TFixedDialog(QSize(304, 192), Parent),
      FUSBPnP(std::make_unique<TUSBPnP>(std::move(PortSource), std::move(EventSource))) {
  setWindowTitle(tr("USB Connection"));

  grpSettings = new QGroupBox(tr("Connection settings"), this);
  grpSettings->setObjectName(QStringLiteral("grpSettings"));
  Image1 = new QLabel(grpSettings);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setFixedSize(64, 64);
  Image1->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(64, 64));
  auto* lblPort = new QLabel(tr("Port:"), grpSettings);
  lblPort->setObjectName(QStringLiteral("lblPort"));
  cbPorts = new QComboBox(grpSettings);
  cbPorts->setObjectName(QStringLiteral("cbPorts"));
  cbPorts->setEditable(false);
  lblPort->setBuddy(cbPorts);

  auto* Fields = new QGridLayout(grpSettings);
  Fields->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
  Fields->addWidget(lblPort, 0, 1);
  Fields->addWidget(cbPorts, 1, 1);
  Fields->setColumnStretch(1, 1);
  Fields->setRowStretch(2, 1);

  const TOkCancelButtons Buttons = LayOutWithOkCancel(this, grpSettings);
  btnOK = Buttons.Ok;
  btnCancel = Buttons.Cancel;
  cbPorts->setFocus();
  FitToLayout();

  FUSBPnP->SetHardwareId(QString::fromLatin1(CHardwareId));
  FUSBPnP->SetOnChange([this](TUSBPnP* Sender) { USBPnPChange(Sender); });
  FUSBPnP->Refresh();
}

QString TUsbDialog::Port() const {
  return cbPorts->currentText();
}

void TUsbDialog::SetPort(const QString& Value) {
  cbPorts->setCurrentIndex(cbPorts->findText(Value, Qt::MatchExactly));
}

// A hot-plug replaces the list, so a choice made before it is not kept.
void TUsbDialog::USBPnPChange(TUSBPnP* Sender) {
  cbPorts->clear();
  cbPorts->addItems(Sender->Ports());
  cbPorts->setCurrentIndex(cbPorts->count() > 0 ? 0 : -1);
  emit PortsChanged(Sender->Ports());
}

bool TUsbDialog::FormCloseQuery() {
  if (cbPorts->count() == 0) {
    QMessageBox::critical(this, tr("Error"), tr("No devices could be found"), QMessageBox::Ok);
    return false;
  }
  if (cbPorts->currentIndex() < 0) {
    QMessageBox::critical(this, tr("Error"), tr("Please select a device"), QMessageBox::Ok);
    return false;
  }
  return true;
}

void TUsbDialog::done(int Result) {
  OscGuarded([&] {
    if (Result == QDialog::Accepted && !FormCloseQuery())
      return;
    QDialog::done(Result);
  });
}
