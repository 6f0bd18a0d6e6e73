// CPU use, tick rate and display latency of the scope view, as the main window
// runs it: the demo device's two 4096-point traces in an 881 x 604 view, ticked
// by the frame-rate limiter at 60 per second. Each case runs the Qt event loop
// for a 15 s wall-clock window and reports the process's CPU time over it
// (getrusage), in per cent of one core.
//
// Run under Xvfb with Mesa's software renderer:
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1920x1080x24"
//     build/disp-rel/bench/display/display_ScopeView_bench

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "display/OscFpsLimiter.h"
#include "display/OscRenderer3D.h"
#include "link/qt/ZelvoDemo.h"

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

// The main window's set-up of device, limiter and view.
struct TScene {
  TZelvoDemo Demo;
  TOscFpsLimiter Limiter;
  // Registered before the view's observer, so that it changes the samples
  // just before the view renders the tick.
  TOscFpsObserver Changer;
  TOscFpsObserver Counter;
  TOscRenderer3D View;
  TChange Change = TChange::Demo;
  long long Ticks = 0;
  int Shift = 0;

  TScene() {
    Demo.SetTimeBase(tb500us);
    Limiter.SetLimit(60);
    Changer.SetOnTick([this](TOscFpsLimiter*) {
      if (Change == TChange::EveryTick)
        RotateSamples();
    });
    Counter.SetOnTick([this](TOscFpsLimiter*) { ++Ticks; });
    Limiter.RegisterObserver(&Changer);
    Limiter.RegisterObserver(&Counter);
    View.SetFlip(false);
    View.resize(881, 604);
    View.show();
    if (!QTest::qWaitForWindowExposed(View.DeviceContext()))
      qFatal("the scope view did not come on screen");
    View.SetOscilloscope(&Demo);
    View.SetFpsLimiter(&Limiter);
    QTest::qWait(500); // first captures in
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
  }
};

TScene& Scene() {
  static TScene* S = new TScene;
  return *S;
}

void RunWindow(benchmark::State& State, TChange Change, bool Attached) {
  TScene& S = Scene();
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
void BM_BaselineViewDetached(benchmark::State& State) {
  RunWindow(State, TChange::Demo, false);
}
void BM_TracesChange5PerSecond(benchmark::State& State) {
  RunWindow(State, TChange::Demo, true);
}
void BM_TracesChangeEveryTick(benchmark::State& State) {
  RunWindow(State, TChange::EveryTick, true);
}
void BM_NothingChanges(benchmark::State& State) {
  RunWindow(State, TChange::None, true);
}

// From the end of the demo's timer tick (both channels regenerated: a capture
// complete) to the end of the buffer swap of the first frame drawn after it.
void BM_CaptureToSwapLatency(benchmark::State& State) {
  TScene& S = Scene();
  S.Change = TChange::Demo;
  S.Demo.SetHold(false);
  S.View.SetFpsLimiter(&S.Limiter);
  double Pending = -1;
  std::vector<double> Latencies;
  // Connected after the demo's own handler, so it runs once the tick is done.
  const auto Conn = QObject::connect(&S.Demo.Timer(), &QTimer::timeout, [&] { Pending = NowMs(); });
  S.View.SetOnAfterSwap([&](TOscRenderer3D*) {
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

BENCHMARK(BM_BaselineViewDetached)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_TracesChange5PerSecond)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_TracesChangeEveryTick)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_NothingChanges)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_CaptureToSwapLatency)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
