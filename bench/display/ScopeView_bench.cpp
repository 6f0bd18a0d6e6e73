// CPU use, tick rate and display latency of the scope view, as the main window
// runs it: the demo device's two 4096-point traces in an 881 x 604 view, ticked
// by the frame-rate limiter at 60 per second. Each case runs the Qt event loop
// for a 15 s wall-clock window and reports the process's CPU time over it
// (getrusage), in per cent of one core, and per frame drawn. The cases named
// opengl use the OpenGL drawing, those named software the QPainter drawing
// that stands in without OpenGL. The cases named ..._math draw the math
// channel (CH1+CH2) as a third trace, recomputed whenever the samples change,
// as the program does per capture; ..._xy draw CH2 against CH1 instead;
// ..._reference draw a kept copy of both traces behind them.
//
// Run under Xvfb with Mesa's software renderer:
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1920x1080x24"
//     build/release/bench/display/display_ScopeView_bench

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "display/OscFpsLimiter.h"
#include "display/OscScopeView.h"
#include "display/OscScopeViewFactory.h"
#include "link/qt/ZelvoDemo.h"
#include "osc/OscCapture.h"
#include "osc/OscMath.h"

namespace {

constexpr int CWindowMs = 15000;

double CpuSeconds() {
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  return static_cast<double>(U.ru_utime.tv_sec + U.ru_stime.tv_sec) +
         static_cast<double>(U.ru_utime.tv_usec + U.ru_stime.tv_usec) / 1e6;
}

double NowMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

enum class TChange { None, Demo, EveryTick };

// What the view shows besides the two traces over time.
enum class TExtra { None, Math, XY, Reference };

struct TCase {
  TOscDrawing Drawing;
  TExtra Extra = TExtra::None;
};

// The main window's set-up of device, limiter and view.
struct TScene {
  TZelvoDemo Demo;
  TOscMath Math{&Demo};
  TOscFpsLimiter Limiter;
  // Registered before the view's observer, so that it changes the samples
  // just before the view renders the tick.
  TOscFpsObserver Changer;
  TOscFpsObserver Counter;
  const TOscDrawing Drawing;
  std::unique_ptr<TOscScopeView> ViewOwner;
  TOscScopeView& View;
  TChange Change = TChange::Demo;
  long long Ticks = 0;
  int Shift = 0;

  explicit TScene(TOscDrawing ADrawing)
      : Drawing(ADrawing), ViewOwner(OscCreateScopeView(nullptr, ADrawing)), View(*ViewOwner) {
    Demo.SetTimeBase(tb500us);
    Limiter.SetLimit(60);
    Changer.SetOnTick([this](TOscFpsLimiter*) {
      if (Change == TChange::EveryTick)
        RotateSamples();
    });
    Counter.SetOnTick([this](TOscFpsLimiter*) { ++Ticks; });
    Limiter.RegisterObserver(&Changer);
    Limiter.RegisterObserver(&Counter);
    // As the program's analysis does: the math follows each capture.
    Demo.SetOnCapture([this](TOscDevice*) {
      if (Math.Mode() != mmOff)
        Math.Update();
    });
    View.SetFlip(false);
    View.resize(881, 604);
    View.show();
    if (!QTest::qWaitForWindowExposed(&View))
      qFatal("the scope view did not come on screen");
    View.SetOscilloscope(&Demo);
    View.SetMath(&Math);
    View.SetFpsLimiter(&Limiter);
    QTest::qWait(500); // first captures in
  }

  void Show(TExtra Extra) {
    Math.SetMode(Extra == TExtra::Math ? mmAdd : mmOff);
    Math.Update();
    View.SetXY(Extra == TExtra::XY);
    const TOscCapture Kept = OscCaptureOf(Demo);
    View.SetReference(Extra == TExtra::Reference ? &Kept : nullptr);
  }

  // Stores shifted samples silently, as the scope driver stores a block.
  void RotateSamples() {
    Shift = (Shift + 7) % CSampleCount;
    for (int C = 0; C < 2; ++C) {
      TOscSignal& S = Demo.Signals().Signal(C);
      std::vector<TOscSample> Copy(S.Samples(), S.Samples() + S.Count());
      for (int I = 0; I < S.Count(); ++I)
        S.SetSample(I, Copy[static_cast<std::size_t>((I + 7) % S.Count())]);
    }
    if (Math.Mode() != mmOff)
      Math.Update();
  }
};

// One scene at a time: another one's demo and limiter would add their CPU.
std::unique_ptr<TScene> GScene;

TScene& Scene(TOscDrawing Drawing) {
  if (!GScene || GScene->Drawing != Drawing) {
    GScene.reset();
    GScene = std::make_unique<TScene>(Drawing);
  }
  return *GScene;
}

// Opengl cases must not measure the fallback by accident.
bool CheckDrawing(benchmark::State& State, TOscDrawing Drawing) {
  if (Drawing == TOscDrawing::Automatic && Scene(Drawing).View.SoftwareDrawing()) {
    State.SkipWithError("no OpenGL context");
    return false;
  }
  return true;
}

void RunWindow(benchmark::State& State, TCase Case, TChange Change, bool Attached) {
  if (!CheckDrawing(State, Case.Drawing))
    return;
  TScene& S = Scene(Case.Drawing);
  S.Show(Case.Extra);
  S.Change = Change;
  S.Demo.SetHold(Change == TChange::None);
  S.View.SetFpsLimiter(Attached ? &S.Limiter : nullptr);
  QTest::qWait(300);
  for (auto _ : State) {
    const long long Ticks0 = S.Ticks, Frames0 = S.View.FramesDrawn();
    const double Cpu0 = CpuSeconds(), Wall0 = NowMs();
    QEventLoop Loop;
    QTimer::singleShot(CWindowMs, Qt::PreciseTimer, &Loop, &QEventLoop::quit);
    Loop.exec();
    const double Wall = (NowMs() - Wall0) / 1000.0;
    const double Cpu = CpuSeconds() - Cpu0;
    State.SetIterationTime(Wall);
    State.counters["cpu_pct_of_core"] = 100.0 * Cpu / Wall;
    State.counters["ticks_per_s"] = static_cast<double>(S.Ticks - Ticks0) / Wall;
    const auto Frames = static_cast<double>(S.View.FramesDrawn() - Frames0);
    State.counters["frames_per_s"] = Frames / Wall;
    // The whole process's CPU time over the frames drawn, the demo's and the
    // limiter's share included (see BM_BaselineViewDetached).
    if (Frames > 0)
      State.counters["cpu_ms_per_frame"] = 1000.0 * Cpu / Frames;
    State.counters["FrameRate"] = S.Limiter.FrameRate();
  }
  S.View.SetFpsLimiter(&S.Limiter);
}

// The demo device and the limiter alone, the view attached to neither: what
// the other cases cost beyond the view.
void BM_BaselineViewDetached(benchmark::State& State, TCase Case) {
  RunWindow(State, Case, TChange::Demo, false);
}
void BM_TracesChange5PerSecond(benchmark::State& State, TCase Case) {
  RunWindow(State, Case, TChange::Demo, true);
}
void BM_TracesChangeEveryTick(benchmark::State& State, TCase Case) {
  RunWindow(State, Case, TChange::EveryTick, true);
}
void BM_NothingChanges(benchmark::State& State, TCase Case) {
  RunWindow(State, Case, TChange::None, true);
}

// From the end of the demo's timer tick (both channels regenerated: a capture
// complete) to the end of the buffer swap of the first frame drawn after it.
void BM_CaptureToSwapLatency(benchmark::State& State, TCase Case) {
  if (!CheckDrawing(State, Case.Drawing))
    return;
  TScene& S = Scene(Case.Drawing);
  S.Show(Case.Extra);
  S.Change = TChange::Demo;
  S.Demo.SetHold(false);
  S.View.SetFpsLimiter(&S.Limiter);
  double Pending = -1;
  std::vector<double> Latencies;
  // Connected after the demo's own handler, so it runs once the tick is done.
  const auto Conn = QObject::connect(&S.Demo.Timer(), &QTimer::timeout, [&] { Pending = NowMs(); });
  S.View.SetOnAfterSwap([&](TOscScopeView*) {
    if (Pending >= 0) {
      Latencies.push_back(NowMs() - Pending);
      Pending = -1;
    }
  });
  for (auto _ : State) {
    const double Wall0 = NowMs();
    QEventLoop Loop;
    QTimer::singleShot(CWindowMs, Qt::PreciseTimer, &Loop, &QEventLoop::quit);
    Loop.exec();
    State.SetIterationTime((NowMs() - Wall0) / 1000.0);
  }
  QObject::disconnect(Conn);
  S.View.SetOnAfterSwap(nullptr);
  std::sort(Latencies.begin(), Latencies.end());
  if (!Latencies.empty()) {
    const auto At = [&](double Q) {
      return Latencies[static_cast<std::size_t>(Q * static_cast<double>(Latencies.size() - 1))];
    };
    State.counters["captures"] = static_cast<double>(Latencies.size());
    State.counters["median_ms"] = At(0.5);
    State.counters["p90_ms"] = At(0.9);
    State.counters["max_ms"] = Latencies.back();
  }
}

} // namespace

#define ZELVO_VIEW_BENCHMARK(Function, Name, Drawing)                                              \
  BENCHMARK_CAPTURE(Function, Name, Drawing)                                                       \
      ->Iterations(1)                                                                              \
      ->UseManualTime()                                                                            \
      ->Unit(benchmark::kSecond)

constexpr TCase COpenGL{TOscDrawing::Automatic};
constexpr TCase COpenGLMath{TOscDrawing::Automatic, TExtra::Math};
constexpr TCase COpenGLXY{TOscDrawing::Automatic, TExtra::XY};
constexpr TCase COpenGLReference{TOscDrawing::Automatic, TExtra::Reference};
constexpr TCase CSoftware{TOscDrawing::Software};
constexpr TCase CSoftwareMath{TOscDrawing::Software, TExtra::Math};
constexpr TCase CSoftwareXY{TOscDrawing::Software, TExtra::XY};
constexpr TCase CSoftwareReference{TOscDrawing::Software, TExtra::Reference};

ZELVO_VIEW_BENCHMARK(BM_BaselineViewDetached, opengl, COpenGL);
ZELVO_VIEW_BENCHMARK(BM_TracesChange5PerSecond, opengl, COpenGL);
ZELVO_VIEW_BENCHMARK(BM_TracesChangeEveryTick, opengl, COpenGL);
ZELVO_VIEW_BENCHMARK(BM_NothingChanges, opengl, COpenGL);
ZELVO_VIEW_BENCHMARK(BM_CaptureToSwapLatency, opengl, COpenGL);
ZELVO_VIEW_BENCHMARK(BM_TracesChange5PerSecond, opengl_math, COpenGLMath);
ZELVO_VIEW_BENCHMARK(BM_TracesChangeEveryTick, opengl_math, COpenGLMath);
ZELVO_VIEW_BENCHMARK(BM_TracesChangeEveryTick, opengl_xy, COpenGLXY);
ZELVO_VIEW_BENCHMARK(BM_TracesChangeEveryTick, opengl_reference, COpenGLReference);
ZELVO_VIEW_BENCHMARK(BM_TracesChange5PerSecond, software, CSoftware);
ZELVO_VIEW_BENCHMARK(BM_TracesChangeEveryTick, software, CSoftware);
ZELVO_VIEW_BENCHMARK(BM_TracesChangeEveryTick, software_math, CSoftwareMath);
ZELVO_VIEW_BENCHMARK(BM_TracesChangeEveryTick, software_xy, CSoftwareXY);
ZELVO_VIEW_BENCHMARK(BM_TracesChangeEveryTick, software_reference, CSoftwareReference);

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  GScene.reset();
  return 0;
}
