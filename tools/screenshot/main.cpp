// zelvo-screenshot: starts the program's windows, lets the traces run for a
// moment and saves a picture of one scene: the main window, a menu or a
// dialog as the user opens it, on the demo device or connected to the
// in-process scope simulator. The README's screenshot and the manual's
// pictures are made with it from the real program (scripts/screenshot.sh).
//   zelvo-screenshot SETTINGS.ini OUT.png [SCENE]     (default scene: main)

#include <QAbstractButton>
#include <QApplication>
#include <QHostAddress>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "app/Analysis.h"
#include "app/ApplicationSettings.h"
#include "app/DarkSkin.h"
#include "app/MainForm.h"
#include "app/MathStrip.h"
#include "app/ReferenceControl.h"
#include "app/VersionInfo.h"
#include "app/ZelvoWindows.h"
#include "display/OscSpectrumView.h"
#include "link/Zelvo.h"
#include "link/ZelvoRecorder.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "sim/ZelvoSimulator.h"

namespace {

// What the picture shows: the main window (with any menu open over it), or
// the modal window the scene opens.
enum class TGrab { MainWindow, Modal };

struct TScene {
  const char* Name;
  bool Connected; // to the simulator over TCP, else on the demo device
  TGrab Grab;
  // Opens what the picture shows; may run a modal window's loop.
  std::function<void(TMainForm&)> Open;
};

// Opens the drop-down menu of a button as a click on its arrow does, without
// entering the menu's own loop.
void PopUpMenuOf(TMainForm& Main, const char* Button) {
  auto* B = Main.findChild<QToolButton*>(QLatin1String(Button));
  if (B != nullptr && B->menu() != nullptr)
    B->menu()->popup(B->mapToGlobal(QPoint(0, B->height())));
}

// Clicks a front-panel button by its name, as the user would.
void Click(TMainForm& Main, const QString& Button, int Times) {
  if (auto* B = Main.findChild<QAbstractButton*>(Button))
    for (int I = 0; I < Times; ++I)
      B->click();
}

// Traces that fill the view and readouts that say something: 200 us/div,
// 1 V/div and 500 mV/div instead of the driver's 2 ms and 10 V, Vpp and Vrms.
void ShowReadableTraces(TMainForm& Main) {
  Click(Main, QStringLiteral("btnTimebaseInc"), 3);
  Click(Main, QStringLiteral("btnVDivDec1"), 3);
  Click(Main, QStringLiteral("btnVDivDec2"), 4);
  Main.SetValueType1(TOscMeasurementType::Vpkpk);
  Main.SetValueType2(TOscMeasurementType::Vrms);
}

// The spectrum view below the scope view with the marker on channel 2's
// peak, and the math channel on: the demo's 150 Hz and 300 Hz sines and
// their sum.
void ShowSpectrumAndMath(TMainForm& Main) {
  Main.Analysis().actSpectrum->trigger();
  TOscSpectrumView& View = Main.SpectrumView();
  if (const TOscSpectrumLevels* Ch2 = View.Levels(1))
    View.SetMarkerBin(Ch2->Peak().Bin);
  if (QAction* Sum = Main.MathStrip().ModeMenu()->actions().value(mmAdd))
    Sum->trigger();
}

// The demo's capture kept as reference, then channel 1 at twice the volts per
// division: its reference, dimmed behind it, is twice as tall.
void KeepReference(TMainForm& Main) {
  Main.Reference().actKeepReference->trigger();
  Click(Main, QStringLiteral("btnVDivInc1"), 1);
}

// Where the scenes keep the files they open, for the program's run.
QTemporaryDir& Files() {
  static QTemporaryDir Dir;
  return Dir;
}

// The demo's capture written as the export writes it, then opened.
void OpenCapture(TMainForm& Main) {
  const QString Base = Files().filePath(QStringLiteral("zelvo_09-12-2026_14-05-33"));
  Main.ZelvoDemo().SaveToFile((Base + ".csv").toStdString());
  Main.ZelvoDemo().SaveParametersToFile((Base + ".json").toStdString());
  Main.OpenCapture(Base + ".csv");
}

// What the simulator sends for a moment, recorded, then played back: the
// picture shows the replay's bar while it plays.
void ReplayRecording(TMainForm& Main) {
  ShowReadableTraces(Main);
  const QString File = Files().filePath(QStringLiteral("zelvo_09-12-2026_14-05-33.zrec"));
  auto Recorder = std::make_shared<TZelvoRecorder>(Main.ZelvoTcpConnection(), File.toStdString());
  QTimer::singleShot(600, &Main, [&Main, Recorder, File] {
    Recorder->Stop();
    Main.OpenRecording(File);
  });
}

const TScene CScenes[] = {
    {"main", false, TGrab::MainWindow, [](TMainForm&) {}},
    {"connect-menu", false, TGrab::MainWindow, [](TMainForm& M) { PopUpMenuOf(M, "btnConnect"); }},
    {"value-menu", false, TGrab::MainWindow,
     [](TMainForm& M) { PopUpMenuOf(M, "cbValueTypeCH1"); }},
    {"wifi-dialog", false, TGrab::Modal, [](TMainForm& M) { M.actConnectTcp->trigger(); }},
    {"usb-dialog", false, TGrab::Modal, [](TMainForm& M) { M.actConnectUsb->trigger(); }},
    {"about", false, TGrab::Modal, [](TMainForm& M) { M.actAbout->trigger(); }},
    {"spectrum", false, TGrab::MainWindow, ShowSpectrumAndMath},
    {"xy", false, TGrab::MainWindow, [](TMainForm& M) { M.Analysis().actXY->trigger(); }},
    {"reference", false, TGrab::MainWindow, KeepReference},
    {"connected", true, TGrab::MainWindow, ShowReadableTraces},
    {"wifi-settings", true, TGrab::Modal, [](TMainForm& M) { M.actWifiCfg->trigger(); }},
    {"calibration-warning", true, TGrab::Modal, [](TMainForm& M) { M.actCalibrate->trigger(); }},
    {"calibrating", true, TGrab::Modal, [](TMainForm& M) { M.Zelvo().Calibrate(); }},
    {"capture", false, TGrab::MainWindow, OpenCapture},
    {"replay", true, TGrab::MainWindow, ReplayRecording},
};

const TScene* FindScene(const char* Name) {
  for (const TScene& S : CScenes)
    if (std::strcmp(S.Name, Name) == 0)
      return &S;
  return nullptr;
}

// The screen as the user sees it there: native OpenGL windows and popups
// are only in a grab of the screen.
bool SaveScreen(QWidget& Window, QRect Area, const char* FileName) {
  const QPixmap Shot =
      Window.screen()->grabWindow(0, Area.x(), Area.y(), Area.width(), Area.height());
  return Shot.save(QString::fromLocal8Bit(FileName));
}

} // namespace

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  const TScene* Scene = argc == 3 || argc == 4 ? FindScene(argc == 4 ? argv[3] : "main") : nullptr;
  if (Scene == nullptr) {
    std::fprintf(stderr, "usage: zelvo-screenshot SETTINGS.ini OUT.png [SCENE]\nscenes:");
    for (const TScene& S : CScenes)
      std::fprintf(stderr, " %s", S.Name);
    std::fprintf(stderr, "\n");
    return 2;
  }
  const char* Out = argv[2];
  ApplyDarkSkin(App);
  // A settings file of its own: the picture shows the defaults.
  TApplicationSettings Settings{QString::fromLocal8Bit(argv[1])};
  TVersionInfo VersionInfo;
  TZelvoWindows Windows(Settings, VersionInfo);
  TMainForm& Main = Windows.MainForm();
  Main.show();

  std::unique_ptr<TZelvoSimulator> Sim;
  if (Scene->Connected) {
    // The scope's own port when it is free, so that the picture shows it.
    Sim = std::make_unique<TZelvoSimulator>(TZelvoSimConfig{});
    quint16 Port = 0;
    try {
      Port = Sim->ListenTcp(QHostAddress::LocalHost, 2000);
    } catch (const std::exception&) {
      Port = Sim->ListenTcp(QHostAddress::LocalHost, 0);
    }
    Main.ConnectTcp(QStringLiteral("127.0.0.1"), Port);
  }

  int Result = 1;
  const auto Finish = [&](bool Saved) {
    Result = Saved ? 0 : 1;
    if (QWidget* Modal = QApplication::activeModalWidget())
      Modal->close();
    if (QWidget* Popup = QApplication::activePopupWidget())
      Popup->close();
    QTimer::singleShot(0, &App, &QApplication::quit);
  };
  // Waits for what the scene opened, lets it paint, then saves the picture.
  QTimer Poll;
  int Polls = 0;
  QObject::connect(&Poll, &QTimer::timeout, [&] {
    ++Polls;
    QWidget* Shown = Scene->Grab == TGrab::Modal ? QApplication::activeModalWidget() : &Main;
    if (Shown == nullptr || !Shown->isVisible()) {
      if (Polls > 100) {
        std::fprintf(stderr, "zelvo-screenshot: scene %s showed no window\n", Scene->Name);
        Poll.stop();
        Finish(false);
      }
      return;
    }
    Poll.stop();
    // A readout refresh (every 400 ms) and a few frames later.
    QTimer::singleShot(1000, &App, [&, Shown] {
      QRect Area = Shown->frameGeometry();
      if (QWidget* Popup = QApplication::activePopupWidget())
        Area |= Popup->frameGeometry();
      Finish(SaveScreen(*Shown, Area, Out));
    });
  });
  // The traces run for a moment (and the scope answers) before the scene opens.
  QTimer::singleShot(1500, &App, [&] {
    Poll.start(50);
    Scene->Open(Main);
  });
  App.exec();
  return Result;
}
