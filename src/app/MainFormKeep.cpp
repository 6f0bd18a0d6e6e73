// The main window's part in keeping what the scope showed: File › Open
// capture... shows a capture file as a device of its own, File › Record...
// records what the scope sends, File › Open recording... plays a recording
// through the scope driver with its control bar, View › Keep as reference
// holds a capture behind the live traces, and File › Save picture... and
// Edit › Copy picture keep the view as an image. The flows are the classes'
// (TRecordingControl, TReplayBar, TOscCaptureDevice, TReferenceControl,
// TScopePicture); the window decides which device is shown and which link
// the driver uses, as it does for the connections, and gives the pictures
// the texts it shows.

#include "app/MainForm.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>

#include "app/GuardedConnect.h"
#include "app/LinkSupervisor.h"
#include "app/RecordingControl.h"
#include "app/ReferenceControl.h"
#include "app/ReplayBar.h"
#include "display/OscScopeView.h"
#include "l10n/OscMessages.h"
#include "link/Zelvo.h"
#include "link/ZelvoRecording.h"
#include "link/qt/ZelvoReplayConnection.h"
#include "osc/OscCapture.h"
#include "osc/OscErrorBoundary.h"

void TMainForm::CreateKeepActions() {
  actOpenCapture = new QAction(tr("&Open capture..."), this);
  actOpenCapture->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  actOpenRecording = new QAction(tr("O&pen recording..."), this);
  actRecord = new QAction(tr("&Record..."), this);
  actStopRecording = new QAction(tr("&Stop recording"), this);
  actSavePicture = new QAction(tr("Save p&icture..."), this);
  actCopyPicture = new QAction(tr("&Copy picture"), this);
  actCopyPicture->setShortcut(QKeySequence::Copy);
  for (QAction* A : {actOpenCapture, actOpenRecording, actRecord, actStopRecording, actSavePicture,
                     actCopyPicture})
    addAction(A);
  ConnectGuarded(actOpenCapture, &QAction::triggered, this, [this] { actOpenCaptureExecute(); });
  ConnectGuarded(actOpenRecording, &QAction::triggered, this,
                 [this] { actOpenRecordingExecute(); });
  ConnectGuarded(actRecord, &QAction::triggered, this, [this] { actRecordExecute(); });
  ConnectGuarded(actStopRecording, &QAction::triggered, this,
                 [this] { actStopRecordingExecute(); });
  ConnectGuarded(actSavePicture, &QAction::triggered, this, [this] { actSavePictureExecute(); });
  ConnectGuarded(actCopyPicture, &QAction::triggered, this, [this] { actCopyPictureExecute(); });
}

void TMainForm::WireKeep() {
  // Both need the view, which exists from here on.
  FPicture = new TScopePicture(*FOscRenderer3D, FFileFolder, this);
  FReference = new TReferenceControl(*FOscRenderer3D, this);
  // In the View menu: the reference is something the view shows, as the
  // math trace and XY are.
  FViewMenu->addSeparator();
  FViewMenu->addAction(FReference->actKeepReference);
  FViewMenu->addAction(FReference->actClearReference);
  ConnectGuarded(FRecording.get(), &TRecordingControl::Changed, this, [this] {
    UpdateActions();
    VisualizeLink();
  });
  // Pausing, stepping and the end freeze or free the front panel.
  ConnectGuarded(FReplayBar, &TReplayBar::Changed, this, [this] {
    UpdateActions();
    VisualizeSettings();
    VisualizeLink();
  });
}

bool TMainForm::Frozen() const {
  const TOscDevice* Device = ActiveScope();
  if (Device == FCaptureDevice.get())
    return true;
  // Nothing more comes to a replay paused or at its end, so settings sent
  // would only empty the channels.
  const TZelvoReplayConnection& Replay = *FZelvoReplayConnection;
  return Device == FZelvo.get() && FZelvo->Connection() == &Replay && Replay.Connected() &&
         (Replay.Paused() || Replay.Finished());
}

void TMainForm::VisualizeFrozen() {
  const bool Value = Frozen();
  FStrips[0]->SetFrozen(Value);
  FStrips[1]->SetFrozen(Value);
  FSideBar->SetFrozen(Value);
  // Dragging the trigger level sets it and sends the settings.
  FOscRenderer3D->TriggerMarker().SetOptions(Value ? TOscMarkerOptions{}
                                                   : TOscMarkerOptions{oscDraggable});
}

void TMainForm::ShowFileError() {
  QMessageBox::critical(
      this, tr("Error"),
      OscTranslatedMessage(QString::fromUtf8(OscExceptionMessage(std::current_exception()))));
}

void TMainForm::StopReplay() {
  if (FZelvoReplayConnection->Connected())
    FZelvoReplayConnection->Close();
}

void TMainForm::actOpenCaptureExecute() {
  const QString FileName =
      ChooseFileToOpen(this, FFileFolder, tr("Capture (*.csv *.json);;All files (*)"));
  if (!FileName.isEmpty())
    OpenCapture(FileName);
}

bool TMainForm::OpenCapture(const QString& FileName) {
  try {
    // Reads both files whole before the device changes.
    FCaptureDevice->Open(QFile::encodeName(FileName).toStdString());
  } catch (...) {
    ShowFileError();
    return false;
  }
  FCaptureBanner->setText(
      tr("Capture %1 from a file; press Connect to connect to your scope via WLAN or USB.")
          .arg(QFileInfo(FileName).fileName()));
  FCaptureBanner->setToolTip(QFileInfo(FileName).absoluteFilePath());
  // As Demo: a scope's link that is up stays up, a repair ends.
  FLinkSupervisor->Stop();
  StopReplay();
  SetActiveScope(FCaptureDevice.get());
  VisualizeSettings();
  return true;
}

void TMainForm::actOpenRecordingExecute() {
  const QString FileName =
      ChooseFileToOpen(this, FFileFolder, tr("Zelvo recording (*.zrec);;All files (*)"));
  if (!FileName.isEmpty())
    OpenRecording(FileName);
}

bool TMainForm::OpenRecording(const QString& FileName) {
  const std::string Name = QFile::encodeName(FileName).toStdString();
  try {
    // Its header first: a file that is no recording leaves the link as it is.
    const TZelvoRecordingReader Check(Name);
  } catch (...) {
    ShowFileError();
    return false;
  }
  // As another connection: the old link closes first.
  FLinkSupervisor->Stop();
  if (FZelvo->Connection() != nullptr)
    FZelvo->Connection()->Close();
  SetActiveScope(FZelvo.get());
  FZelvo->SetConnection(FZelvoReplayConnection.get());
  FRecording->Follow(FZelvoReplayConnection.get());
  FZelvoReplayConnection->SetFileName(Name);
  try {
    FZelvoReplayConnection->Open();
  } catch (...) {
    // Gone or changed since its header was read.
    ShowFileError();
    return false;
  }
  return true;
}

void TMainForm::actRecordExecute() {
  if (FZelvo->Connection() != nullptr)
    FRecording->Execute(*FZelvo->Connection());
}

void TMainForm::actStopRecordingExecute() {
  FRecording->Stop();
}

TPictureTexts TMainForm::PictureTexts() const {
  TPictureTexts Texts;
  Texts.Caption = windowTitle();
  Texts.Time = QDateTime::currentDateTime();
  for (int Channel = 0; Channel < 2; ++Channel)
    Texts.Readouts[Channel] = FStrips[Channel]->ReadoutTexts();
  Texts.TimeBase = FSideBar->pnlTimeBaseValue()->text();
  return Texts;
}

void TMainForm::actSavePictureExecute() {
  FPicture->Save(PictureTexts());
}

void TMainForm::actCopyPictureExecute() {
  FPicture->Copy(PictureTexts());
}
