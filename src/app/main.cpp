// zelvo: the desktop companion program of the Zelvo oscilloscope.

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>

#include <cstring>

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

  QCommandLineParser Parser;
  Parser.setApplicationDescription("Desktop companion program of the Zelvo oscilloscope.");
  Parser.addHelpOption();
  Parser.addVersionOption();
  Parser.process(App);

  QLabel Placeholder("The main window is being built.");
  Placeholder.show();
  return App.exec();
}
