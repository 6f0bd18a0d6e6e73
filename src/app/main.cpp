// zelvo: the desktop companion program of the Zelvo oscilloscope.

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QMessageBox>

#include <cstdio>
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

void SetProgramNames() {
  QCoreApplication::setApplicationName("Zelvo");
  QCoreApplication::setApplicationVersion(ZELVO_FILE_VERSION);
  QCoreApplication::setOrganizationName("Quillon");
}

void AddOptions(QCommandLineParser& Parser) {
  Parser.setApplicationDescription(
      QCoreApplication::translate("main", "Desktop companion program of the Zelvo oscilloscope."));
  Parser.addHelpOption();
  Parser.addVersionOption();
  AddStartConnectionOptions(Parser);
}

// --help and --version print their text and end the program here, with only a
// core application: no display is needed, and nothing of the window system
// (Qt's note on a missing runtime folder, say) comes before the text asked
// for. Options of the window system (-platform ...) are left for later.
// Returns whether --help-all was asked for.
bool AnswerTextOnlyOptions(int& argc, char** argv) {
  QCoreApplication Core(argc, argv);
  SetProgramNames();
  InstallTranslations(Core);
  QCommandLineParser Parser;
  AddOptions(Parser);
  (void)Parser.parse(QCoreApplication::arguments());
  if (Parser.isSet("help-all"))
    return true;
  if (Parser.isSet("help"))
    Parser.showHelp(0);
  if (Parser.isSet("version"))
    Parser.showVersion();
  return false;
}

// Qt lists the window system's own options (-platform ...) only for an
// application of the window system; the offscreen platform needs no display
// for it (a -platform given on the command line still wins). Its notes (on a
// missing runtime folder, say) are not what was asked for.
int AnswerHelpAll(int& argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QGuiApplication App(argc, argv);
  SetProgramNames();
  InstallTranslations(App);
  QCommandLineParser Parser;
  AddOptions(Parser);
  Parser.process(App);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  if (AnswerTextOnlyOptions(argc, argv))
    return AnswerHelpAll(argc, argv);
  QApplication App(argc, argv);
  SetProgramNames();
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("com.quillon.Zelvo");
  InstallTranslations(App);

  QCommandLineParser Parser;
  AddOptions(Parser);
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
