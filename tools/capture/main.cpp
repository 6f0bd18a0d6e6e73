// zelvo-capture: takes captures from a Zelvo oscilloscope without the window.

#include <QCoreApplication>

#include <csignal>
#include <iostream>

#include "capture/ZelvoCapture.h"
#include "l10n/Translations.h"

int main(int argc, char** argv) {
  QCoreApplication App(argc, argv);
  QCoreApplication::setApplicationName("zelvo-capture");
  QCoreApplication::setApplicationVersion(ZELVO_FILE_VERSION);
  InstallTranslations(App);
  // A scope that drops the link must end in an error message, not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  return ZelvoCaptureMain(QCoreApplication::arguments(), std::cout, std::cerr);
}
