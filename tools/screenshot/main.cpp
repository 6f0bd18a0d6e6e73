// zelvo-screenshot: starts the program's windows on the demo device, lets the
// traces run for a moment and saves a picture of the main window, so that the
// README's screenshot is made from the real program.

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "app/ApplicationSettings.h"
#include "app/DarkSkin.h"
#include "app/MainForm.h"
#include "app/VersionInfo.h"
#include "app/ZelvoWindows.h"

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: zelvo-screenshot SETTINGS.ini OUT.png\n");
    return 2;
  }
  ApplyDarkSkin(App);
  // A settings file of its own: the picture shows the defaults.
  TApplicationSettings Settings{QString::fromLocal8Bit(argv[1])};
  TVersionInfo VersionInfo;
  TZelvoWindows Windows(Settings, VersionInfo);
  TMainForm& Main = Windows.MainForm();
  Main.show();
  int Result = 1;
  QTimer::singleShot(1500, &App, [&] {
    // The view draws on a native OpenGL window, which only a grab of the
    // screen sees.
    const QRect Frame = Main.frameGeometry();
    const QPixmap Shot =
        Main.screen()->grabWindow(0, Frame.x(), Frame.y(), Frame.width(), Frame.height());
    Result = Shot.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    App.quit();
  });
  App.exec();
  return Result;
}
