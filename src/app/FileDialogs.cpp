#include "app/FileDialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

QString TFileFolder::Folder() const {
  if (!FLast.isEmpty())
    return FLast;
  // Minimal systems name a documents folder that does not exist.
  const QString Documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!Documents.isEmpty() && QFileInfo(Documents).isDir())
    return Documents;
  return QDir::homePath();
}

void TFileFolder::Remember(const QString& FileName) {
  const QString Path = QFileInfo(FileName).absolutePath();
  if (QFileInfo(Path).isWritable())
    FLast = Path;
}

QString ChooseFileToOpen(QWidget* Window, TFileFolder& Folder, const QString& Filter) {
  QFileDialog Dialog(Window);
  Dialog.setAcceptMode(QFileDialog::AcceptOpen);
  Dialog.setFileMode(QFileDialog::ExistingFile);
  Dialog.setDirectory(Folder.Folder());
  Dialog.setNameFilter(Filter);
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
    return {};
  const QString Chosen = Dialog.selectedFiles().first();
  Folder.Remember(Chosen);
  return Chosen;
}

QString ChooseFileToSave(QWidget* Window, TFileFolder& Folder, const QString& Filter,
                         const QString& Suffix) {
  QFileDialog Dialog(Window);
  Dialog.setAcceptMode(QFileDialog::AcceptSave);
  Dialog.setFileMode(QFileDialog::AnyFile);
  Dialog.setDirectory(Folder.Folder());
  Dialog.setNameFilter(Filter);
  Dialog.setDefaultSuffix(Suffix);
  Dialog.selectFile(DatedFileName(Suffix));
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
    return {};
  const QString Chosen = Dialog.selectedFiles().first();
  Folder.Remember(Chosen);
  return Chosen;
}

QString DatedFileName(const QString& Suffix) {
  return QString("zelvo_%1.%2")
      .arg(QDateTime::currentDateTime().toString("dd-MM-yyyy_hh-mm-ss"), Suffix);
}
