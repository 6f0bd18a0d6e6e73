// The spectrum view's cost per capture, as the main window shows it below the
// scope view (750 x 200 pixels) on the demo device's two sines: computing both
// channels' spectra, painting the view, and both as one capture brings them.
// Painting is done at once (repaint) into the view's window on the X server.
//
// Run under Xvfb:
//   xvfb-run -a -s "-screen 0 1920x1080x24"
//     build/release/bench/display/display_SpectrumView_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "display/OscSpectrumView.h"
#include "link/qt/ZelvoDemo.h"
#include "osc/OscDevice.h"

namespace {

QApplication& Application() {
  static int Argc = 1;
  static char Name[] = "display_SpectrumView_bench";
  static char* Argv[] = {Name, nullptr};
  static QApplication* App = new QApplication(Argc, Argv);
  return *App;
}

struct TScene {
  QApplication& App = Application();
  TZelvoDemo Demo;
  TOscSpectrumView View;

  TScene() {
    Demo.Timer().stop(); // captures come from the bench, not the demo's timer
    Demo.TimerTick();
    View.resize(750, 200);
    View.SetOscilloscope(&Demo);
    View.show();
    (void)QTest::qWaitForWindowExposed(&View);
  }
};

// What a capture costs the view: the spectra computed again, the view painted.
void BM_CaptureComputeAndPaint(benchmark::State& State) {
  TScene S;
  for (auto _ : State) {
    S.Demo.UpdateMeasurements();
    S.View.Refresh();
    S.View.repaint();
  }
  State.counters["spectra"] = static_cast<double>(S.View.Computations());
}

void BM_Compute(benchmark::State& State) {
  TScene S;
  for (auto _ : State) {
    S.Demo.UpdateMeasurements();
    S.View.Refresh();
  }
}

void BM_Paint(benchmark::State& State) {
  TScene S;
  for (auto _ : State)
    S.View.repaint();
}

} // namespace

BENCHMARK(BM_CaptureComputeAndPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Compute)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Paint)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
