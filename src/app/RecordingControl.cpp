#include "app/RecordingControl.h"

#include <QFile>
#include <QLocale>
#include <QMessageBox>

#include "app/FileDialogs.h"
#include "app/GuardedConnect.h"
#include "l10n/OscMessages.h"
#include "link/ZelvoRecorder.h"
#include "osc/OscErrorBoundary.h"

TRecordingControl::TRecordingControl(TFileFolder& Folder, QWidget* Window)
    : FFolder(Folder), FWindow(Window) {
  // The recorder writes at most every flush interval while frames arrive;
  // the timer brings the last ones of a quiet spell to the file as well.
  FFlushTimer.setInterval(static_cast<int>(CZelvoRecordingFlushInterval / 1000));
  ConnectGuarded(&FFlushTimer, &QTimer::timeout, this, [this] { Tick(); });
}

TRecordingControl::~TRecordingControl() {
  if (FRecorder)
    FRecorder->SetOnError({});
}

void TRecordingControl::Execute(TZelvoConnection& Link) {
  const QString FileName =
      ChooseFileToSave(FWindow, FFolder, tr("Zelvo recording (*.zrec)"), QStringLiteral("zrec"));
  if (FileName.isEmpty())
    return;
  try {
    Start(Link, FileName);
  } catch (...) {
    QMessageBox::critical(
        FWindow, tr("Error"),
        OscTranslatedMessage(QString::fromUtf8(OscExceptionMessage(std::current_exception()))));
  }
}

void TRecordingControl::Start(TZelvoConnection& Link, const QString& FileName) {
  Stop();
  FRecorder = std::make_unique<TZelvoRecorder>(Link, QFile::encodeName(FileName).toStdString());
  FLink = &Link;
  FRecorder->SetOnError([this](TZelvoRecorder*, const std::string& Message) {
    // May run inside the link's receive path, where no box may open.
    QTimer::singleShot(0, this, [this, Text = QString::fromStdString(Message)] {
      OscGuarded([&] { Failed(Text); });
    });
  });
  FFlushTimer.start();
  emit Changed();
}

void TRecordingControl::Stop() {
  if (!FRecorder)
    return;
  FFlushTimer.stop();
  // A failing last write reports itself through the error callback.
  FRecorder->Stop();
  FRecorder.reset();
  emit Changed();
}

void TRecordingControl::Follow(const TZelvoConnection* Link) {
  if (FRecorder && FLink != Link)
    Stop();
}

bool TRecordingControl::Recording() const {
  return FRecorder && FRecorder->Recording();
}

const TZelvoRecorder* TRecordingControl::Recorder() const {
  return Recording() ? FRecorder.get() : nullptr;
}

QString TRecordingControl::Text() const {
  if (!Recording())
    return {};
  return tr("recording %1 frames, %2")
      .arg(FRecorder->Frames())
      .arg(QLocale().formattedDataSize(FRecorder->Bytes(), 1, QLocale::DataSizeSIFormat));
}

void TRecordingControl::Tick() {
  if (!FRecorder)
    return;
  FRecorder->FlushIfDue();
  emit Changed();
}

void TRecordingControl::Failed(const QString& Message) {
  if (FRecorder && !FRecorder->Recording()) {
    FFlushTimer.stop();
    FRecorder.reset();
    emit Changed();
  }
  QMessageBox::critical(FWindow, tr("Error"),
                        tr("The recording stopped: %1").arg(OscTranslatedMessage(Message)));
}
