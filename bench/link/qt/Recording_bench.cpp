// Recording at the simulator's default rate: zelvo-sim (its own process, 160
// sample frames a second over loopback TCP) streams to the scope driver on the
// TCP link, and a TZelvoRecorder writes every received frame to a file, its
// flush timer at the recorder's interval, as the program and zelvo-capture
// run it. Everything on this side runs in one real Qt event loop.
//
// Figures: frames written per second; frames lost (the file read back: every
// sample block must follow the one before it, and the file must hold every
// frame the link delivered); the longest stall of the event loop, from a
// 1 ms heartbeat timer, with the part of it spent in the recorder, and the
// stalls longer than a 60 Hz display frame; the time spent in the recorder
// per frame and per timer flush; the longest wait from a frame's arrival to
// its bytes being in the file (its size checked every 10 ms).
//
//   build/release/bench/link/qt/linkqt_Recording_bench [--seconds 600]
//       [--file PATH] [--no-record]
//
// --no-record runs the same loop without the recorder: the stall it shows is
// the rest of the loop's.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>

#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"
#include "link/ZelvoRecorder.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "osc/OscErrorBoundary.h"

namespace {

std::int64_t NowUs() {
  return ZelvoSteadyMicroseconds();
}

constexpr std::int64_t CDisplayFrameUs = 16667;

struct TFigures {
  std::int64_t Frames = 0;
  std::int64_t LongestStallUs = 0;
  std::int64_t LongestStallInRecorderUs = 0;
  std::int64_t LongStalls = 0;            // over a display frame
  std::int64_t LongStallsOfRecorder = 0;  // of those, over half in the recorder
  std::int64_t InRecorderSinceBeatUs = 0; // recorder time since the last heartbeat
  std::int64_t HeartbeatTicks = 0;
  std::int64_t RecorderMaxUs = 0;
  std::int64_t RecorderTotalUs = 0;
  std::int64_t FlushTimerMaxUs = 0;
  std::int64_t LongestToFileUs = 0;
};

quint16 FreePort() {
  QTcpServer S;
  S.listen(QHostAddress::LocalHost, 0);
  return S.serverPort();
}

// Reads the file back: its records, and the sample blocks that do not follow
// the block before them (each one a lost frame, or more).
void CheckFile(const std::string& File, std::int64_t& Records, std::int64_t& Gaps,
               std::int64_t& Dropped) {
  TZelvoRecordingReader Reader(File);
  int Expected = -1;
  Records = Gaps = 0;
  for (TZelvoRecord R; Reader.Next(R);) {
    ++Records;
    if (R.Frame[1] != CScopeSampleDataCommand)
      continue;
    const int From = ZelvoGetU16(&R.Frame[4]) / 2;
    const int Pairs = (static_cast<int>(R.Frame.size()) - CZelvoSettingsFrameSize) / 2;
    if (Expected >= 0 && From != Expected)
      ++Gaps;
    Expected = (From + Pairs) % CSampleCount;
  }
  Dropped = Reader.DroppedBytes();
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication App(argc, argv);
  int Seconds = 600;
  bool Record = true;
  std::string File =
      (std::filesystem::temp_directory_path() / "zelvo-recording-bench.zrec").string();
  for (int I = 1; I < argc; ++I) {
    const std::string A = argv[I];
    if (A == "--seconds" && I + 1 < argc)
      Seconds = std::stoi(argv[++I]);
    else if (A == "--file" && I + 1 < argc)
      File = argv[++I];
    else if (A == "--no-record")
      Record = false;
    else {
      std::fprintf(stderr, "usage: %s [--seconds N] [--file PATH] [--no-record]\n", argv[0]);
      return 2;
    }
  }

  const quint16 Port = FreePort();
  QProcess Sim;
  // Quiet, it writes only its "listening on" line; that line means it is ready.
  Sim.setProcessChannelMode(QProcess::MergedChannels);
  Sim.start(ZELVO_SIM_PROGRAM, {"--tcp", QString("127.0.0.1:%1").arg(Port), "--quiet"});
  if (!Sim.waitForStarted(5000) || !Sim.waitForReadyRead(5000)) {
    std::fprintf(stderr, "zelvo-sim did not start\n");
    return 1;
  }

  TZelvo Driver;
  TZelvoTcpConnection Link;
  Link.SetHost("127.0.0.1");
  Link.SetPort(Port);
  Driver.SetConnection(&Link);

  TFigures F;
  // Around the recorder's own observer: the time it takes per frame.
  std::int64_t FrameStart = 0;
  std::deque<std::pair<std::int64_t, std::int64_t>> Waiting; // bytes after a frame, arrival
  TZelvoConnectionObserver Before, After;
  Before.SetOnReceive([&](TZelvoConnection*, const TZelvoPacket&) { FrameStart = NowUs(); });
  Link.RegisterObserver(&Before);
  std::unique_ptr<TZelvoRecorder> Recorder;
  if (Record) {
    Recorder = std::make_unique<TZelvoRecorder>(Link, File);
    Recorder->SetOnError([](TZelvoRecorder*, const std::string& Message) {
      std::fprintf(stderr, "%s\n", Message.c_str());
    });
  }
  After.SetOnReceive([&](TZelvoConnection*, const TZelvoPacket&) {
    const std::int64_t End = NowUs();
    ++F.Frames;
    F.RecorderMaxUs = std::max(F.RecorderMaxUs, End - FrameStart);
    F.RecorderTotalUs += End - FrameStart;
    F.InRecorderSinceBeatUs += End - FrameStart;
    if (Recorder)
      Waiting.emplace_back(Recorder->Bytes(), FrameStart);
  });
  Link.RegisterObserver(&After);

  QTimer Flush;
  Flush.setInterval(static_cast<int>(CZelvoRecordingFlushInterval / 1000));
  QObject::connect(&Flush, &QTimer::timeout, [&] {
    OscGuarded([&] {
      if (!Recorder)
        return;
      const std::int64_t Start = NowUs();
      Recorder->FlushIfDue();
      const std::int64_t Spent = NowUs() - Start;
      F.FlushTimerMaxUs = std::max(F.FlushTimerMaxUs, Spent);
      F.InRecorderSinceBeatUs += Spent;
    });
  });
  Flush.start();

  std::int64_t LastBeat = 0;
  bool Measuring = false;
  QTimer Heartbeat;
  Heartbeat.setTimerType(Qt::PreciseTimer);
  Heartbeat.setInterval(1);
  QObject::connect(&Heartbeat, &QTimer::timeout, [&] {
    const std::int64_t Now = NowUs();
    if (Measuring) {
      const std::int64_t Stall = Now - LastBeat - 1000;
      if (Stall > F.LongestStallUs) {
        F.LongestStallUs = Stall;
        F.LongestStallInRecorderUs = F.InRecorderSinceBeatUs;
      }
      if (Stall > CDisplayFrameUs) {
        ++F.LongStalls;
        if (2 * F.InRecorderSinceBeatUs > Stall)
          ++F.LongStallsOfRecorder;
      }
      ++F.HeartbeatTicks;
    }
    F.InRecorderSinceBeatUs = 0;
    LastBeat = Now;
  });

  QTimer DiskCheck;
  DiskCheck.setInterval(10);
  QObject::connect(&DiskCheck, &QTimer::timeout, [&] {
    std::error_code Ignored;
    const auto Size = static_cast<std::int64_t>(std::filesystem::file_size(File, Ignored));
    const std::int64_t Now = NowUs();
    while (!Waiting.empty() && Waiting.front().first <= Size) {
      F.LongestToFileUs = std::max(F.LongestToFileUs, Now - Waiting.front().second);
      Waiting.pop_front();
    }
  });

  Link.Open();
  QElapsedTimer Clock;
  double Elapsed = 0;
  // Measured from the first frame on, so that connecting does not count.
  QObject::connect(&Heartbeat, &QTimer::timeout, [&] {
    if (!Measuring && F.Frames > 0) {
      Measuring = true;
      Clock.start();
      F.Frames = 0;
      F.LongestStallUs = F.LongestStallInRecorderUs = F.LongStalls = F.LongStallsOfRecorder = 0;
      QTimer::singleShot(Seconds * 1000, Qt::PreciseTimer, &App, [&] {
        Elapsed = static_cast<double>(Clock.nsecsElapsed()) / 1e9;
        App.quit();
      });
    }
  });
  Heartbeat.start();
  if (Record)
    DiskCheck.start();
  App.exec();

  Heartbeat.stop();
  DiskCheck.stop();
  Flush.stop();
  const std::int64_t Received = Link.Statistics().PacketsIn();
  std::int64_t Written = 0;
  if (Recorder) {
    Recorder->Stop();
    Written = Recorder->Frames();
  }
  Link.UnregisterObserver(&Before);
  Link.UnregisterObserver(&After);
  Link.Close();
  Sim.terminate();
  Sim.waitForFinished(5000);

  std::printf("%s %d s at the simulator's default rate over loopback TCP\n",
              Record ? "recording" : "not recording (baseline)", Seconds);
  std::printf("frames received: %lld (%.1f per second over the measured %.1f s)\n",
              static_cast<long long>(Received), static_cast<double>(F.Frames) / Elapsed, Elapsed);
  std::printf("longest event-loop stall: %.2f ms, %.2f ms of it in the recorder (1 ms heartbeat, "
              "%lld ticks)\n",
              static_cast<double>(F.LongestStallUs) / 1000.0,
              static_cast<double>(F.LongestStallInRecorderUs) / 1000.0,
              static_cast<long long>(F.HeartbeatTicks));
  std::printf("stalls over a 60 Hz frame (16.7 ms): %lld, %lld of them mostly in the recorder\n",
              static_cast<long long>(F.LongStalls), static_cast<long long>(F.LongStallsOfRecorder));
  if (!Recorder)
    return 0;
  std::int64_t Records = 0, Gaps = 0, Dropped = 0;
  CheckFile(File, Records, Gaps, Dropped);
  std::printf("frames written: %lld (%.1f per second); in the file: %lld, %lld bytes after them\n",
              static_cast<long long>(Written), static_cast<double>(F.Frames) / Elapsed,
              static_cast<long long>(Records), static_cast<long long>(Dropped));
  std::printf("frames lost: %lld not in the file, %lld gaps in the sample blocks\n",
              static_cast<long long>(Received - Records), static_cast<long long>(Gaps));
  std::printf("recorder per frame: max %lld us, mean %.2f us; timer flush: max %lld us\n",
              static_cast<long long>(F.RecorderMaxUs),
              static_cast<double>(F.RecorderTotalUs) /
                  static_cast<double>(std::max<std::int64_t>(1, F.Frames)),
              static_cast<long long>(F.FlushTimerMaxUs));
  std::printf("longest wait from arrival to file: %.1f ms; file %lld bytes (%s)\n",
              static_cast<double>(F.LongestToFileUs) / 1000.0,
              static_cast<long long>(std::filesystem::file_size(File)), File.c_str());
  std::filesystem::remove(File);
  return Recorder->Error().empty() ? 0 : 1;
}
