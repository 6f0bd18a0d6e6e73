#include "app/UserManual.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

void ShowWhy(QWidget* Parent, const QString& Text) {
  QMessageBox::warning(Parent, QCoreApplication::translate("UserManual", "User manual"), Text);
}

} // namespace

QString UserManualIndex() {
  const QString Installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                            QStringLiteral("/" ZELVO_MANUAL_FROM_BINDIR));
  if (QFileInfo::exists(Installed))
    return Installed;
  const QString Built = QStringLiteral(ZELVO_BUILD_MANUAL_INDEX);
  return QFileInfo::exists(Built) ? Built : Installed;
}

bool OpenUserManual(QWidget* Parent, const QString& Index) {
  const QString Shown = QDir::toNativeSeparators(Index);
  if (!QFileInfo(Index).isFile()) {
    ShowWhy(Parent, QCoreApplication::translate("UserManual",
                                                "The user manual is not installed: %1 is missing.")
                        .arg(Shown));
    return false;
  }
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(Index).absoluteFilePath())))
    return true;
  ShowWhy(Parent, QCoreApplication::translate(
                      "UserManual", "No program could open the user manual. Open %1 in a web "
                                    "browser.")
                      .arg(Shown));
  return false;
}
