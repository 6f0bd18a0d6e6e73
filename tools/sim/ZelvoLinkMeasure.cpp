// zelvo-linkmeasure: how many frames a second the driver takes in over
// loopback TCP from an unpaced zelvo-sim, and the receiving process's CPU use
// meanwhile. The simulator runs as a child process so that its own work is
// not counted.
//
//   zelvo-linkmeasure [SECONDS] [PATH-TO-zelvo-sim]

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTcpServer>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "link/Zelvo.h"
#include "link/qt/ZelvoTcpConnection.h"

namespace {

double CpuSeconds() {
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  return static_cast<double>(U.ru_utime.tv_sec + U.ru_stime.tv_sec) +
         static_cast<double>(U.ru_utime.tv_usec + U.ru_stime.tv_usec) / 1e6;
}

// The program's own kind of loop: events only, no polling of the clock.
void RunFor(double Seconds) {
  QEventLoop Loop;
  QTimer::singleShot(static_cast<int>(Seconds * 1000), &Loop, &QEventLoop::quit);
  Loop.exec();
}

// CPU seconds a child process has used so far, from /proc (Linux).
double ProcessCpuSeconds(qint64 Pid) {
  std::FILE* F = std::fopen(("/proc/" + std::to_string(Pid) + "/stat").c_str(), "r");
  if (F == nullptr)
    return 0;
  char Buf[1024] = {};
  const std::size_t N = std::fread(Buf, 1, sizeof Buf - 1, F);
  std::fclose(F);
  // Fields 14 and 15 (utime, stime) follow the command name in parentheses.
  const char* P = std::strrchr(Buf, ')');
  if (N == 0 || P == nullptr)
    return 0;
  unsigned long long UTime = 0, STime = 0;
  std::sscanf(P + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &UTime, &STime);
  return static_cast<double>(UTime + STime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication App(argc, argv);
  const double Seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
  const QString SimPath =
      argc > 2 ? QString::fromLocal8Bit(argv[2]) : App.applicationDirPath() + "/zelvo-sim";

  quint16 Port;
  {
    QTcpServer Probe;
    Probe.listen(QHostAddress::LocalHost, 0);
    Port = Probe.serverPort();
  }
  QProcess Sim;
  Sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  Sim.start(SimPath, {"--tcp", QString("127.0.0.1:%1").arg(Port), "--rate", "0", "--quiet"});
  if (!Sim.waitForStarted(5000)) {
    std::fprintf(stderr, "cannot start %s\n", SimPath.toLocal8Bit().constData());
    return 1;
  }
  RunFor(0.5);

  TZelvo Driver;
  TZelvoTcpConnection Link;
  Link.SetHost("127.0.0.1");
  Link.SetPort(Port);
  Driver.SetConnection(&Link);
  Link.Open();
  RunFor(1.0); // connect and warm up
  if (!Link.Connected()) {
    std::fprintf(stderr, "no connection to the simulator\n");
    return 1;
  }

  const int Frames0 = Link.Statistics().PacketsIn();
  const double Cpu0 = CpuSeconds();
  const double SimCpu0 = ProcessCpuSeconds(Sim.processId());
  const auto T0 = std::chrono::steady_clock::now();
  RunFor(Seconds);
  const double Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
  const double Cpu = CpuSeconds() - Cpu0;
  const double SimCpu = ProcessCpuSeconds(Sim.processId()) - SimCpu0;
  const int Frames = Link.Statistics().PacketsIn() - Frames0;

  std::printf("frames in:       %d in %.2f s\n", Frames, Wall);
  std::printf("frames/s:        %.0f (%.1f captures/s, %.2f MB/s of 1042-byte frames)\n",
              Frames / Wall, Frames / Wall / 8, Frames / Wall * 1042 / 1e6);
  std::printf("receiver CPU:    %.2f s of %.2f s = %.0f %% of one core\n", Cpu, Wall,
              100 * Cpu / Wall);
  std::printf("CPU per frame:   %.1f us\n", Frames > 0 ? Cpu / Frames * 1e6 : 0.0);
  std::printf("simulator CPU:   %.0f %% of one core (near 100 %%: the sender is the limit)\n",
              100 * SimCpu / Wall);

  Link.Close();
  Sim.terminate();
  Sim.waitForFinished(3000);
  return 0;
}
