// The main window's actions that change what it is connected to, and the
// calibration and export flows: which device is shown, which transport the
// scope driver talks through, and what the user is told about it.

#include "app/MainForm.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include "app/LinkSupervisor.h"
#include "app/NoticeDialogs.h"
#include "app/TcpDialog.h"
#include "app/UsbDialog.h"
#include "display/OscScopeView.h"
#include "link/Zelvo.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "osc/OscErrorBoundary.h"

namespace {

std::string FileNameBytes(const QString& Name) {
  return QFile::encodeName(Name).toStdString();
}

} // namespace

TOscDevice* TMainForm::ActiveScope() const {
  return FOscRenderer3D->Oscilloscope();
}

void TMainForm::SetDialogs(const TMainFormDialogs& Dialogs) {
  FDialogs = Dialogs;
  if (FDialogs.Usb != nullptr)
    FDialogs.Usb->SetOnPortsChange(
        [this](const QStringList& Ports) { FLinkSupervisor->PortsChanged(Ports); });
}

void TMainForm::SetActiveScope(TOscDevice* Value) {
  FOscRenderer3D->SetOscilloscope(Value);
  FDemoMode->setVisible(Value == FZelvoDemo.get());
  UpdateActions();
  VisualizeLink();
}

void TMainForm::UpdateActions() {
  actWifiCfg->setEnabled(FZelvo->Connection() == FZelvoTcpConnection.get() &&
                         FZelvoTcpConnection->Connected());
  actExport->setEnabled(ActiveScope() != FZelvoDemo.get());
}

void TMainForm::actConnectDemoExecute() {
  FLinkSupervisor->Stop();
  SetActiveScope(FZelvoDemo.get());
}

void TMainForm::actDisconnectExecute() {
  FLinkSupervisor->Stop();
  if (FZelvo->Connection() != nullptr)
    FZelvo->Connection()->Close();
}

void TMainForm::DoConnected() {
  FZelvo->RequestWifiSettings();
}

void TMainForm::ZelvoTcpConnectionError() {
  // A lost link is being repaired: its failed attempts show in the link panel.
  if (!FLinkSupervisor->TakeError())
    return;
  // Shown from the event loop: a box opened inside the socket's own error
  // report would hold back its disconnect, and with it the repair.
  QTimer::singleShot(0, this, [this] {
    OscGuarded([this] {
      QMessageBox::critical(this, "Error", "An error occured when trying to connect");
    });
  });
}

void TMainForm::actConnectUsbExecute() {
  if (FDialogs.Usb == nullptr || FDialogs.Usb->exec() != QDialog::Accepted)
    return;
  ConnectUsb(FDialogs.Usb->Port());
}

void TMainForm::ConnectUsb(const QString& Port) {
  FLinkSupervisor->Stop();
  if (FZelvo->Connection() != nullptr)
    FZelvo->Connection()->Close();
  SetActiveScope(FZelvo.get());
  FZelvo->SetConnection(FZelvoUsbConnection.get());
  FZelvoUsbConnection->SetPort(Port.toStdString());
  try {
    // The serial link reports the connection before Open returns, so the
    // WiFi request has gone out by the time the warning shows.
    FZelvoUsbConnection->Open();
    FLinkSupervisor->Watch(*FZelvoUsbConnection);
    if (FDialogs.Warning != nullptr)
      FDialogs.Warning->exec();
  } catch (...) {
    if (!FZelvoUsbConnection->Connected())
      FLinkSupervisor->ConnectFailed(*FZelvoUsbConnection);
    QMessageBox::critical(this, "Error",
                          QString("Unable to connect to %1.")
                              .arg(QString::fromStdString(FZelvoUsbConnection->Port())));
  }
}

void TMainForm::actConnectTcpExecute() {
  if (FDialogs.Tcp == nullptr || FDialogs.Tcp->exec() != QDialog::Accepted)
    return;
  AttachTcp(FDialogs.Tcp->Host());
  // A port text that is no number raises here and reaches the program's
  // handler; the link is then not opened.
  FZelvoTcpConnection->SetPort(FDialogs.Tcp->Port());
  OpenTcp();
}

void TMainForm::ConnectTcp(const QString& Host, int Port) {
  AttachTcp(Host);
  FZelvoTcpConnection->SetPort(Port);
  OpenTcp();
}

void TMainForm::AttachTcp(const QString& Host) {
  FLinkSupervisor->Stop();
  // The driver is shown before the old transport closes, the reverse of USB.
  SetActiveScope(FZelvo.get());
  if (FZelvo->Connection() != nullptr)
    FZelvo->Connection()->Close();
  FZelvo->SetConnection(FZelvoTcpConnection.get());
  FZelvoTcpConnection->SetHost(Host.toStdString());
}

void TMainForm::OpenTcp() {
  try {
    FZelvoTcpConnection->Open();
  } catch (...) {
    // An address the link cannot use: the program's handler shows why.
    FLinkSupervisor->ConnectFailed(*FZelvoTcpConnection);
    throw;
  }
  FLinkSupervisor->Watch(*FZelvoTcpConnection);
}

void TMainForm::actCalibrateExecute() {
  if (QMessageBox::warning(this, "Warning",
                           "Please make sure all probes are disconnected prior to calibration.",
                           QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok)
    ActiveScope()->Calibrate();
}

void TMainForm::ZelvoCalibrate() {
  // Runs inside the handling of a received frame; the frame that reports the
  // end is handled in this window's own loop and closes it.
  if (FDialogs.Calibration != nullptr && !FDialogs.Calibration->isVisible())
    FDialogs.Calibration->exec();
}

void TMainForm::ZelvoCalibrated() {
  if (FDialogs.Calibration != nullptr && FDialogs.Calibration->isVisible())
    FDialogs.Calibration->done(QDialog::Accepted);
}

void TMainForm::actExportExecute() {
  QString Chosen;
  try {
    QFileDialog Dialog(this);
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    Dialog.setOption(QFileDialog::DontConfirmOverwrite);
    Dialog.setDirectory(QCoreApplication::applicationDirPath() + QDir::separator());
    Dialog.setNameFilter("CSV-file (*.csv)");
    Dialog.setDefaultSuffix("csv");
    Dialog.selectFile(
        QString("zelvo_%1.csv").arg(QDateTime::currentDateTime().toString("dd-MM-yyyy_hh-mm-ss")));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
      return;
    Chosen = Dialog.selectedFiles().first();
    const QFileInfo Info(Chosen);
    const QString Base = Info.absolutePath() + QDir::separator() + Info.completeBaseName();
    ActiveScope()->SaveToFile(FileNameBytes(Base + ".csv"));
    ActiveScope()->SaveParametersToFile(FileNameBytes(Base + ".json"));
  } catch (...) {
    QMessageBox::critical(
        this, "Error",
        QString("Failed to save to file: %1")
            .arg(QString::fromUtf8(OscExceptionMessage(std::current_exception()))));
    return;
  }
  QMessageBox::information(this, "Information", QString("Sample buffer saved to '%1'").arg(Chosen));
}
