// zelvo: the desktop companion program of the Zelvo oscilloscope.

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QMessageBox>

#include <cstdio>
#include <cstring>
#include <exception>

#include "app/ApplicationSettings.h"
#include "app/DarkSkin.h"
#include "app/ExceptionBox.h"
#include "app/MainForm.h"
#include "app/StartConnection.h"
#include "app/VersionInfo.h"
#include "app/ZelvoWindows.h"
#include "display/OscGLDriver.h"
#include "l10n/Translations.h"
#include "osc/OscFormat.h"

namespace {

// --help and --version need no window, so they work without a display.
bool AsksForTextOnly(int argc, char** argv) {
  for (int I = 1; I < argc; ++I) {
    const char* A = argv[I];
    if (std::strcmp(A, "-h") == 0 || std::strcmp(A, "--help") == 0 ||
        std::strcmp(A, "--help-all") == 0 || std::strcmp(A, "-v") == 0 ||
        std::strcmp(A, "--version") == 0 || std::strcmp(A, "-?") == 0)
      return true;
  }
  return false;
}

} // namespace

int main(int argc, char** argv) {
  if (AsksForTextOnly(argc, argv))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication App(argc, argv);
  QApplication::setApplicationName("Zelvo");
  QApplication::setApplicationVersion(ZELVO_FILE_VERSION);
  QApplication::setOrganizationName("Quillon");
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("com.quillon.Zelvo");
  InstallTranslations(App);

  QCommandLineParser Parser;
  Parser.setApplicationDescription(
      QCoreApplication::translate("main", "Desktop companion program of the Zelvo oscilloscope."));
  Parser.addHelpOption();
  Parser.addVersionOption();
  AddStartConnectionOptions(Parser);
  Parser.process(App);
  QString Error;
  const TStartConnection Start = ReadStartConnection(Parser, Error);
  if (!Error.isEmpty()) {
    std::fprintf(stderr, "zelvo: %s\n", qPrintable(Error));
    return 2;
  }

  ApplyDarkSkin(App);
  // Numbers are shown with the user's decimal separator.
  const QString Point = QLocale::system().decimalPoint();
  OscSetDecimalSeparator(Point.isEmpty() ? '.' : Point.at(0).toLatin1());
  try {
    TApplicationSettings Settings;
    TVersionInfo VersionInfo;
    TZelvoWindows Windows(Settings, VersionInfo);
    Windows.MainForm().show();
    OscKeepGLDriversLoaded();
    StartConnectionLater(Windows.MainForm(), Start);
    return App.exec();
  } catch (const std::exception& E) {
    // A window that cannot be created at start ends the program.
    QMessageBox::critical(nullptr, ExceptionBoxTitle(), ExceptionBoxText(E.what()));
    return 1;
  }
}
