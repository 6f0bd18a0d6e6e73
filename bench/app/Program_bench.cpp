// The whole program in demo mode: the real windows (TZelvoWindows) with the
// dark skin, the main window shown with the demo device active, the stored
// frame-rate limit at its default of 60, the demo refilling both channels five
// times a second and the 400 ms readout timer running.
//
// BM_SteadyStateCpu: after 2 s to settle, runs the event loop for 15 s of wall
// time and reports the process's CPU time over it (user + system, getrusage)
// in per cent of one core, with frames drawn, readout-timer ticks and widget
// paint events (the scope view's native window is no widget and not counted).
// "plain" runs with the stored defaults; "spectrum_and_math" with the spectrum
// view shown and math on (CH1+CH2), and counts the spectra computed.
//
// BM_ConnectedOverTcpCpu: the same, but connected over loopback TCP to
// zelvo-sim at its default rate (160 sample frames of 512 pairs a second,
// about 20 captures a second), started as a child process so that only the
// program's CPU time counts. Every sample frame changes the samples, so the
// view redraws at the limit; CPU ms per redraw is the whole process's CPU
// time over the frames drawn. "plain" at the stored defaults, "math" with
// math on (CH1+CH2, drawn as a third trace), "spectrum_and_math" with the
// spectrum view shown as well; spectra_per_s counts the channels' spectra.
//
// BM_StartupToFirstFrame: the bench starts itself again as a child process
// (the program has no hook for its first frame), which does what main does up
// to App.exec() and then runs the event loop. The time runs from just before
// the parent's posix_spawn to the end of the scope view's first buffer swap
// in the child (CLOCK_MONOTONIC, one clock for both processes): exec, loading
// the shared libraries (the bench's are the program's plus Google Benchmark),
// QApplication and the skin, the settings store and the windows, show, and
// the first frame. The child's milestones split it. Median of several starts
// after one unmeasured start:
//   warm: the files in the page cache, Mesa's shader cache filled;
//   files_evicted: every file the child maps dropped from the page cache
//     (posix_fadvise DONTNEED) before each start. Pages that some process
//     keeps mapped (libc, and Qt while other Qt programs run) stay;
//     files_cached_pct says how much stayed;
//   empty_shader_cache: a new, empty Mesa shader cache for each start;
//   cold: both.
//
// Run under Xvfb with Mesa's software renderer:
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1920x1080x24"
//     build/release/bench/app/app_Program_bench

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimer>

#include "app/ApplicationSettings.h"
#include "app/DarkSkin.h"
#include "app/MainForm.h"
#include "app/VersionInfo.h"
#include "app/ZelvoWindows.h"
#include "display/OscFpsLimiter.h"
#include "display/OscScopeView.h"
#include "display/OscSpectrumView.h"
#include "l10n/Translations.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "osc/OscFormat.h"

namespace {

constexpr int CSettleMs = 2000;
constexpr int CWindowMs = 15000;
constexpr int CWarmStarts = 7;
constexpr int CColdStarts = 3;
constexpr int CChildTimeoutMs = 30000;
constexpr const char* CChildArgument = "--startup-child";

// The command line left after Google Benchmark's flags, for the application
// object of the steady-state case (QApplication keeps a reference to argc).
int GArgc = 0;
char** GArgv = nullptr;

double CpuSeconds() {
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  return static_cast<double>(U.ru_utime.tv_sec + U.ru_stime.tv_sec) +
         static_cast<double>(U.ru_utime.tv_usec + U.ru_stime.tv_usec) / 1e6;
}

// CLOCK_MONOTONIC is one clock for every process of the machine, so parent
// and child stamps can be subtracted.
double MonotonicSeconds() {
  timespec T{};
  clock_gettime(CLOCK_MONOTONIC, &T);
  return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) / 1e9;
}

// Runs the event loop for Ms of wall time; timers and idle passes run as in
// App.exec().
void RunEventLoop(int Ms) {
  QEventLoop Loop;
  QTimer::singleShot(Ms, Qt::PreciseTimer, &Loop, &QEventLoop::quit);
  Loop.exec();
}

// What main does between QApplication and App.exec().
void ApplyProgramSetup(QApplication& App) {
  QApplication::setApplicationName("Zelvo");
  QApplication::setApplicationVersion(ZELVO_FILE_VERSION);
  QApplication::setOrganizationName("Quillon");
  InstallTranslations(App);
  ApplyDarkSkin(App);
  const QString Point = QLocale::system().decimalPoint();
  OscSetDecimalSeparator(Point.isEmpty() ? '.' : Point.at(0).toLatin1());
}

// Created on first use and never destroyed, as in the tests: a driver that
// Qt unloads at exit would leave its allocations unnamed for the leak
// checker's suppressions.
QApplication& Application() {
  static QApplication* App = [] {
    auto* A = new QApplication(GArgc, GArgv);
    ApplyProgramSetup(*A);
    return A;
  }();
  return *App;
}

// Counts paint events of widgets, which is what each readout or button
// refresh costs beyond the view.
class TPaintCounter : public QObject {
public:
  long long Paints = 0;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Paint && Watched->isWidgetType())
      ++Paints;
    return false;
  }
};

// ---------------------------------------------------------------------------
// Steady state.

// What the stored choices turn on before the windows read them: nothing,
// math (CH1+CH2), or the spectrum view and math.
enum TAnalysisChoice { acNone, acMath, acSpectrumAndMath };

TAnalysisChoice StoreAnalysisChoices(TApplicationSettings& Settings, TAnalysisChoice Analysis) {
  if (Analysis != acNone)
    Settings.SetMathMode(mmAdd);
  if (Analysis == acSpectrumAndMath)
    Settings.SetSpectrumShown(true);
  return Analysis;
}

struct TProgram {
  QTemporaryDir Dir;
  TApplicationSettings Settings{Dir.filePath("zelvo.ini")};
  TAnalysisChoice Analysis;
  TVersionInfo VersionInfo;
  TZelvoWindows Windows{Settings, VersionInfo};
  long long ReadoutTicks = 0;

  explicit TProgram(TAnalysisChoice AAnalysis = acNone)
      : Analysis(StoreAnalysisChoices(Settings, AAnalysis)) {
    TMainForm& Main = Windows.MainForm();
    QObject::connect(&Main.tmrValues(), &QTimer::timeout, [this] { ++ReadoutTicks; });
    Main.show();
  }
};

void BM_SteadyStateCpu(benchmark::State& State, TAnalysisChoice Analysis) {
  QApplication& App = Application();
  TProgram P(Analysis);
  TMainForm& Main = P.Windows.MainForm();
  TPaintCounter Counter;
  App.installEventFilter(&Counter);
  RunEventLoop(CSettleMs);
  if (Main.OscRenderer3D().FramesDrawn() == 0) {
    State.SkipWithError("the scope view drew no frame");
    return;
  }
  for (auto _ : State) {
    const long long Frames0 = Main.OscRenderer3D().FramesDrawn();
    const long long Ticks0 = P.ReadoutTicks, Paints0 = Counter.Paints;
    const auto Spectra0 = Main.SpectrumView().Computations();
    const double Cpu0 = CpuSeconds(), Wall0 = MonotonicSeconds();
    RunEventLoop(CWindowMs);
    const double Wall = MonotonicSeconds() - Wall0;
    const double Cpu = CpuSeconds() - Cpu0;
    State.SetIterationTime(Wall);
    State.counters["cpu_pct_of_core"] = 100.0 * Cpu / Wall;
    State.counters["frames_per_s"] =
        static_cast<double>(Main.OscRenderer3D().FramesDrawn() - Frames0) / Wall;
    State.counters["readout_ticks"] = static_cast<double>(P.ReadoutTicks - Ticks0);
    State.counters["widget_paints_per_s"] = static_cast<double>(Counter.Paints - Paints0) / Wall;
    State.counters["limit"] = Main.FpsLimiter().Limit();
    State.counters["spectra_per_s"] =
        static_cast<double>(Main.SpectrumView().Computations() - Spectra0) / Wall;
  }
  App.removeEventFilter(&Counter);
}

// zelvo-sim as a child process listening on a free loopback port; ended with
// the object.
class TSimulatorProcess {
public:
  TSimulatorProcess() {
    int Pipe[2];
    if (pipe2(Pipe, O_CLOEXEC) != 0)
      return;
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDERR_FILENO);
    std::string Path = ZELVO_SIM_PATH, Tcp = "--tcp", Port = "127.0.0.1:0", Quiet = "--quiet";
    char* Argv[] = {Path.data(), Tcp.data(), Port.data(), Quiet.data(), nullptr};
    if (posix_spawn(&FPid, Path.c_str(), &Actions, nullptr, Argv, environ) != 0)
      FPid = -1;
    posix_spawn_file_actions_destroy(&Actions);
    close(Pipe[1]);
    // "listening on 127.0.0.1:PORT" is the first line it writes.
    std::string Line;
    char C = 0;
    while (FPid > 0 && read(Pipe[0], &C, 1) == 1 && C != '\n')
      Line += C;
    close(Pipe[0]);
    const std::size_t Colon = Line.rfind(':');
    if (Line.rfind("listening on ", 0) == 0 && Colon != std::string::npos)
      FPort = std::atoi(Line.c_str() + Colon + 1);
  }
  ~TSimulatorProcess() {
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      waitpid(FPid, nullptr, 0);
    }
  }
  TSimulatorProcess(const TSimulatorProcess&) = delete;
  TSimulatorProcess& operator=(const TSimulatorProcess&) = delete;

  // 0 when the simulator did not start.
  int Port() const { return FPort; }

private:
  pid_t FPid = -1;
  int FPort = 0;
};

void BM_ConnectedOverTcpCpu(benchmark::State& State, TAnalysisChoice Analysis) {
  Application();
  TSimulatorProcess Sim;
  if (Sim.Port() == 0) {
    State.SkipWithError("zelvo-sim did not start");
    return;
  }
  TProgram P(Analysis);
  TMainForm& Main = P.Windows.MainForm();
  RunEventLoop(500);
  Main.ConnectTcp("127.0.0.1", Sim.Port());
  RunEventLoop(CSettleMs);
  const TZelvoConnection& Link = Main.ZelvoTcpConnection();
  if (!Link.Connected() || Link.Statistics().PacketsIn() == 0) {
    State.SkipWithError("no frames from zelvo-sim");
    return;
  }
  for (auto _ : State) {
    const long long Frames0 = Main.OscRenderer3D().FramesDrawn();
    const int Packets0 = Link.Statistics().PacketsIn();
    const auto Spectra0 = Main.SpectrumView().Computations();
    const double Cpu0 = CpuSeconds(), Wall0 = MonotonicSeconds();
    RunEventLoop(CWindowMs);
    const double Wall = MonotonicSeconds() - Wall0;
    const double Cpu = CpuSeconds() - Cpu0;
    const auto Frames = static_cast<double>(Main.OscRenderer3D().FramesDrawn() - Frames0);
    State.SetIterationTime(Wall);
    State.counters["cpu_pct_of_core"] = 100.0 * Cpu / Wall;
    State.counters["frames_per_s"] = Frames / Wall;
    State.counters["cpu_ms_per_frame"] = Frames > 0 ? 1000.0 * Cpu / Frames : 0;
    State.counters["packets_in_per_s"] =
        static_cast<double>(Link.Statistics().PacketsIn() - Packets0) / Wall;
    State.counters["limit"] = Main.FpsLimiter().Limit();
    State.counters["spectra_per_s"] =
        static_cast<double>(Main.SpectrumView().Computations() - Spectra0) / Wall;
  }
  Main.actDisconnectExecute();
}

// ---------------------------------------------------------------------------
// Start-up.

// The child's milestones, seconds of CLOCK_MONOTONIC.
struct TStartTimes {
  double Main = 0, Application = 0, Windows = 0, Shown = 0, FirstSwap = 0;
};

// The child: main's work up to the first frame. Prints its milestones and the
// files it maps (for the cold start), then leaves.
int RunStartupChild() {
  TStartTimes T;
  T.Main = MonotonicSeconds();
  QApplication& App = Application();
  T.Application = MonotonicSeconds();
  QTemporaryDir Dir;
  TApplicationSettings Settings(Dir.filePath("zelvo.ini"));
  TVersionInfo VersionInfo;
  TZelvoWindows Windows(Settings, VersionInfo);
  T.Windows = MonotonicSeconds();
  TOscScopeView& View = Windows.MainForm().OscRenderer3D();
  View.SetOnAfterSwap([&](TOscScopeView*) {
    if (T.FirstSwap == 0) {
      T.FirstSwap = MonotonicSeconds();
      QTimer::singleShot(0, &App, &QCoreApplication::quit);
    }
  });
  Windows.MainForm().show();
  T.Shown = MonotonicSeconds();
  QTimer::singleShot(CChildTimeoutMs, &App, &QCoreApplication::quit);
  App.exec();
  View.SetOnAfterSwap(nullptr);
  if (T.FirstSwap == 0)
    return 1;
  std::printf("times %.9f %.9f %.9f %.9f %.9f\n", T.Main, T.Application, T.Windows, T.Shown,
              T.FirstSwap);
  QFile Maps("/proc/self/maps");
  if (Maps.open(QIODevice::ReadOnly)) {
    std::set<std::string> Files;
    for (const QByteArray& Line : Maps.readAll().split('\n')) {
      const int Slash = Line.indexOf('/');
      if (Slash >= 0)
        Files.insert(Line.mid(Slash).toStdString());
    }
    for (const std::string& F : Files)
      std::printf("map %s\n", F.c_str());
  }
  return 0;
}

struct TStartResult {
  bool Ok = false;
  std::string Error;
  double Spawn = 0; // parent's stamp just before the start
  TStartTimes Child;
  std::vector<std::string> Maps;
};

// The environment of the child: ours, with Mesa's shader cache moved to
// ShaderCache when that is not empty.
std::vector<std::string> ChildEnvironment(const std::string& ShaderCache) {
  static const std::string Key = "MESA_SHADER_CACHE_DIR=";
  std::vector<std::string> Env;
  for (char** E = environ; *E != nullptr; ++E)
    if (ShaderCache.empty() || std::strncmp(*E, Key.c_str(), Key.size()) != 0)
      Env.emplace_back(*E);
  if (!ShaderCache.empty())
    Env.push_back(Key + ShaderCache);
  return Env;
}

TStartResult StartChild(const std::vector<std::string>& Env) {
  TStartResult R;
  int Pipe[2];
  if (pipe2(Pipe, O_CLOEXEC) != 0) {
    R.Error = "no pipe";
    return R;
  }
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDOUT_FILENO);
  std::string Self = "/proc/self/exe", Argument = CChildArgument;
  char* Argv[] = {Self.data(), Argument.data(), nullptr};
  std::vector<char*> Envp;
  for (const std::string& E : Env)
    Envp.push_back(const_cast<char*>(E.c_str()));
  Envp.push_back(nullptr);
  pid_t Pid = -1;
  R.Spawn = MonotonicSeconds();
  const int Spawned = posix_spawn(&Pid, Self.c_str(), &Actions, nullptr, Argv, Envp.data());
  posix_spawn_file_actions_destroy(&Actions);
  close(Pipe[1]);
  std::string Out;
  char Buffer[4096];
  for (ssize_t N; Spawned == 0 && (N = read(Pipe[0], Buffer, sizeof Buffer)) != 0;) {
    if (N > 0)
      Out.append(Buffer, static_cast<std::size_t>(N));
    else if (errno != EINTR)
      break;
  }
  close(Pipe[0]);
  int Status = 0;
  if (Spawned != 0 || waitpid(Pid, &Status, 0) != Pid || !WIFEXITED(Status) ||
      WEXITSTATUS(Status) != 0) {
    R.Error = "the child drew no frame";
    return R;
  }
  std::istringstream Lines(Out);
  for (std::string Line; std::getline(Lines, Line);) {
    std::istringstream Fields(Line);
    std::string Tag;
    Fields >> Tag;
    if (Tag == "times") {
      TStartTimes& T = R.Child;
      R.Ok = static_cast<bool>(Fields >> T.Main >> T.Application >> T.Windows >> T.Shown >>
                               T.FirstSwap);
    } else if (Tag == "map" && Line.size() > 4) {
      R.Maps.push_back(Line.substr(4));
    }
  }
  if (!R.Ok)
    R.Error = "the child reported no times";
  return R;
}

// Runs Work on the file when it is a regular one.
template <class TWork> void WithRegularFile(const std::string& File, TWork Work) {
  if (File.rfind("/dev/", 0) == 0 || File.rfind("/memfd:", 0) == 0)
    return;
  const int Fd = open(File.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0)
    return;
  struct stat St {};
  if (fstat(Fd, &St) == 0 && S_ISREG(St.st_mode) && St.st_size > 0)
    Work(Fd, static_cast<std::size_t>(St.st_size));
  close(Fd);
}

// Drops the files' pages from the page cache, except those that a process
// has mapped.
void EvictFromPageCache(const std::vector<std::string>& Files) {
  for (const std::string& F : Files)
    WithRegularFile(F, [](int Fd, std::size_t) { posix_fadvise(Fd, 0, 0, POSIX_FADV_DONTNEED); });
}

// The share of the files' pages in the page cache, in per cent.
double ResidentPercent(const std::vector<std::string>& Files) {
  const std::size_t Page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  double Resident = 0, Total = 0;
  for (const std::string& F : Files)
    WithRegularFile(F, [&](int Fd, std::size_t Size) {
      void* P = mmap(nullptr, Size, PROT_READ, MAP_SHARED, Fd, 0);
      if (P == MAP_FAILED)
        return;
      std::vector<unsigned char> In((Size + Page - 1) / Page);
      if (mincore(P, Size, In.data()) == 0) {
        for (unsigned char C : In)
          Resident += C & 1;
        Total += static_cast<double>(In.size());
      }
      munmap(P, Size);
    });
  return Total > 0 ? 100.0 * Resident / Total : 0;
}

double Median(std::vector<double> V) {
  std::sort(V.begin(), V.end());
  return V[V.size() / 2];
}

enum TColdness { cWarm = 0, cFilesEvicted = 1, cEmptyShaderCache = 2 };

void RunStarts(benchmark::State& State, int Starts, int Coldness) {
  // One start before the measured ones: it warms the files and the shader
  // cache after an earlier cold case, and lists the files to evict.
  const TStartResult First = StartChild(ChildEnvironment({}));
  if (!First.Ok) {
    State.SkipWithError(First.Error.c_str());
    return;
  }
  QTemporaryDir ShaderCaches;
  for (auto _ : State) {
    std::vector<double> Total, ToMain, ToApplication, ToWindows, ToShown, ToSwap, Resident;
    for (int I = 0; I < Starts; ++I) {
      QTemporaryDir Empty(ShaderCaches.filePath("cache-XXXXXX"));
      const std::vector<std::string> Env = ChildEnvironment(
          (Coldness & cEmptyShaderCache) != 0 ? Empty.path().toStdString() : std::string());
      if ((Coldness & cFilesEvicted) != 0)
        EvictFromPageCache(First.Maps);
      Resident.push_back(ResidentPercent(First.Maps));
      const TStartResult R = StartChild(Env);
      if (!R.Ok) {
        State.SkipWithError(R.Error.c_str());
        return;
      }
      const TStartTimes& T = R.Child;
      Total.push_back(T.FirstSwap - R.Spawn);
      ToMain.push_back(T.Main - R.Spawn);
      ToApplication.push_back(T.Application - T.Main);
      ToWindows.push_back(T.Windows - T.Application);
      ToShown.push_back(T.Shown - T.Windows);
      ToSwap.push_back(T.FirstSwap - T.Shown);
    }
    State.SetIterationTime(Median(Total));
    State.counters["starts"] = Starts;
    State.counters["median_s"] = Median(Total);
    State.counters["min_s"] = *std::min_element(Total.begin(), Total.end());
    State.counters["max_s"] = *std::max_element(Total.begin(), Total.end());
    // Medians of the parts: exec and libraries up to main's first line,
    // QApplication and skin, the windows, show, show to the first swap.
    State.counters["exec_to_main_s"] = Median(ToMain);
    State.counters["qapp_skin_s"] = Median(ToApplication);
    State.counters["windows_s"] = Median(ToWindows);
    State.counters["show_s"] = Median(ToShown);
    State.counters["show_to_swap_s"] = Median(ToSwap);
    // How cold the files really were: pages that another process keeps
    // mapped cannot be evicted.
    State.counters["files_cached_pct"] = Median(Resident);
  }
}

void BM_StartupToFirstFrame(benchmark::State& State, int Coldness) {
  RunStarts(State, Coldness == cWarm ? CWarmStarts : CColdStarts, Coldness);
}

} // namespace

// Start-up first: the parent has no application object yet, so it keeps few
// pages of the child's files mapped.
BENCHMARK_CAPTURE(BM_StartupToFirstFrame, warm, cWarm)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupToFirstFrame, files_evicted, cFilesEvicted)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupToFirstFrame, empty_shader_cache, cEmptyShaderCache)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupToFirstFrame, cold, cFilesEvicted | cEmptyShaderCache)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SteadyStateCpu, plain, acNone)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_SteadyStateCpu, spectrum_and_math, acSpectrumAndMath)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ConnectedOverTcpCpu, plain, acNone)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ConnectedOverTcpCpu, math, acMath)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ConnectedOverTcpCpu, spectrum_and_math, acSpectrumAndMath)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], CChildArgument) == 0) {
    GArgc = argc;
    GArgv = argv;
    return RunStartupChild();
  }
  benchmark::Initialize(&argc, argv);
  GArgc = argc;
  GArgv = argv;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
