#include "app/CaptureExport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/FileDialogs.h"
#include "l10n/OscMessages.h"
#include "osc/OscDevice.h"
#include "osc/OscErrorBoundary.h"

namespace {

std::string FileNameBytes(const QString& Name) {
  return QFile::encodeName(Name).toStdString();
}

} // namespace

TCaptureExport::TCaptureExport(TFileFolder& Folder, QObject* Parent)
    : QObject(Parent), FFolder(Folder) {}

void TCaptureExport::Execute(TOscDevice& Device, QWidget* Window) {
  QString Chosen;
  try {
    QFileDialog Dialog(Window);
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    Dialog.setOption(QFileDialog::DontConfirmOverwrite);
    Dialog.setDirectory(FFolder.Folder() + QDir::separator());
    Dialog.setNameFilter(tr("CSV-file (*.csv)"));
    Dialog.setDefaultSuffix("csv");
    Dialog.selectFile(DatedFileName("csv"));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
      return;
    Chosen = Dialog.selectedFiles().first();
    const QFileInfo Info(Chosen);
    const QString Base = Info.absolutePath() + QDir::separator() + Info.completeBaseName();
    Device.SaveToFile(FileNameBytes(Base + ".csv"));
    Device.SaveParametersToFile(FileNameBytes(Base + ".json"));
    FFolder.Remember(Chosen);
  } catch (...) {
    QMessageBox::critical(Window, tr("Error"),
                          tr("Failed to save to file: %1")
                              .arg(OscTranslatedMessage(QString::fromUtf8(
                                  OscExceptionMessage(std::current_exception())))));
    return;
  }
  QMessageBox::information(Window, tr("Information"),
                           tr("Sample buffer saved to '%1'").arg(Chosen));
}
