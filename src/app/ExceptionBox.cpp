#include "app/ExceptionBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include <cstdio>

#include "l10n/OscMessages.h"
#include "osc/OscErrorBoundary.h"

QString ExceptionBoxText(const QString& Message) {
  const QString Shown = OscTranslatedMessage(Message);
  if (!Shown.isEmpty() && Shown.back() > QChar('.'))
    return Shown + '.';
  return Shown;
}

QString ExceptionBoxTitle() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void InstallGlobalExceptionHandler(QWidget* Parent) {
  QPointer<QWidget> Owner(Parent);
  OscSetExceptionHandler([Owner](std::exception_ptr Error) {
    // The box runs a nested loop in which received frames keep being handled;
    // a scope that keeps sending bad frames must not stack up boxes without
    // end, so errors raised while one box is open go to standard error.
    static bool Showing = false;
    const QString Text = ExceptionBoxText(QString::fromUtf8(OscExceptionMessage(Error)));
    if (Showing) {
      std::fprintf(stderr, "%s\n", Text.toLocal8Bit().constData());
      return;
    }
    Showing = true;
    QMessageBox Box(QMessageBox::Critical, ExceptionBoxTitle(), Text, QMessageBox::Ok,
                    Owner.data());
    Box.exec();
    Showing = false;
  });
}
