// The main window's actions that change what it is connected to, and the
// calibration and export flows: which device is shown, which transport the
// scope driver talks through, and what the user is told about it.

#include "app/MainForm.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include "app/Analysis.h"
#include "app/CaptureExport.h"
#include "app/GuardedConnect.h"
#include "app/LinkSupervisor.h"
#include "app/NoticeDialogs.h"
#include "app/RecordingControl.h"
#include "app/ReferenceControl.h"
#include "app/TcpDialog.h"
#include "app/UsbDialog.h"
#include "display/OscScopeView.h"
#include "link/Zelvo.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "osc/OscCapture.h"
#include "osc/OscErrorBoundary.h"

TOscDevice* TMainForm::ActiveScope() const {
  return FOscRenderer3D->Oscilloscope();
}

void TMainForm::SetDialogs(const TMainFormDialogs& Dialogs) {
  FDialogs = Dialogs;
  ConnectGuarded(FDialogs.Usb, &TUsbDialog::PortsChanged, FLinkSupervisor.get(),
                 [this](const QStringList& Ports) { FLinkSupervisor->PortsChanged(Ports); });
}

void TMainForm::SetActiveScope(TOscDevice* Value) {
  FOscRenderer3D->SetOscilloscope(Value);
  FAnalysis->ShowDevice(Value);
  FDemoMode->setVisible(Value == FZelvoDemo.get());
  FCaptureBanner->setVisible(Value == FCaptureDevice.get());
  UpdateActions();
  VisualizeLink();
}

void TMainForm::UpdateActions() {
  actWifiCfg->setEnabled(FZelvo->Connection() == FZelvoTcpConnection.get() &&
                         FZelvoTcpConnection->Connected());
  actExport->setEnabled(ActiveScope() != FZelvoDemo.get());
  // What the scope sends is recorded, not what a replay plays.
  const TZelvoConnection* Link = FZelvo->Connection();
  const bool ScopeLink =
      (Link == FZelvoTcpConnection.get() || Link == FZelvoUsbConnection.get()) && Link->Connected();
  actRecord->setEnabled(ScopeLink && !FRecording->Recording());
  actStopRecording->setEnabled(FRecording->Recording());
  if (FReference != nullptr)
    FReference->UpdateActions();
}

void TMainForm::actConnectDemoExecute() {
  FLinkSupervisor->Stop();
  StopReplay();
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
  // Shown from the event loop: a box opened inside the socket's own error
  // report would hold back its disconnect, and with it the repair.
  QTimer::singleShot(0, this, [this] {
    OscGuarded([this] {
      QMessageBox::critical(this, tr("Error"), tr("An error occured when trying to connect"));
    });
  });
}

void TMainForm::actConnectUsbExecute() {
  if (FDialogs.Usb->exec() != QDialog::Accepted)
    return;
  ConnectUsb(FDialogs.Usb->Port());
}

void TMainForm::ConnectUsb(const QString& Port) {
  FLinkSupervisor->Stop();
  if (FZelvo->Connection() != nullptr)
    FZelvo->Connection()->Close();
  SetActiveScope(FZelvo.get());
  FZelvo->SetConnection(FZelvoUsbConnection.get());
  FRecording->Follow(FZelvoUsbConnection.get());
  FZelvoUsbConnection->SetPort(Port.toStdString());
  try {
    // The serial link reports the connection before Open returns, so the
    // WiFi request has gone out by the time the warning shows.
    FZelvoUsbConnection->Open();
    FLinkSupervisor->Watch(*FZelvoUsbConnection);
    FDialogs.Warning->exec();
  } catch (...) {
    if (!FZelvoUsbConnection->Connected())
      FLinkSupervisor->ConnectFailed(*FZelvoUsbConnection);
    QMessageBox::critical(
        this, tr("Error"),
        tr("Unable to connect to %1.").arg(QString::fromStdString(FZelvoUsbConnection->Port())));
  }
}

void TMainForm::actConnectTcpExecute() {
  if (FDialogs.Tcp->exec() != QDialog::Accepted)
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
  FRecording->Follow(FZelvoTcpConnection.get());
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
  if (QMessageBox::warning(this, tr("Warning"),
                           tr("Please make sure all probes are disconnected prior to calibration."),
                           QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok)
    ActiveScope()->Calibrate();
}

void TMainForm::ZelvoCalibrate() {
  // Runs inside the handling of a received frame; the frame that reports the
  // end is handled in this window's own loop and closes it.
  if (!FDialogs.Calibration->isVisible())
    FDialogs.Calibration->exec();
}

void TMainForm::ZelvoCalibrated() {
  if (FDialogs.Calibration->isVisible())
    FDialogs.Calibration->done(QDialog::Accepted);
}

void TMainForm::actExportExecute() {
  FExport->Execute(*ActiveScope(), this);
}
