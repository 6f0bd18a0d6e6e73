#include "link/qt/ZelvoReplayConnection.h"

#include <algorithm>
#include <cmath>

#include "link/ZelvoFrames.h"
#include "link/qt/ZelvoLinkError.h"
#include "osc/OscErrorBoundary.h"

namespace {

// Frames played by one timer event at most, so that a recording replayed
// after a long stall of the program cannot hold the event loop for long.
constexpr int CMaxFramesPerPump = 64;

// Raises a flag for the lifetime of a scope, exceptions included.
class TRaised {
public:
  explicit TRaised(bool& AFlag) : FFlag(AFlag) { FFlag = true; }
  ~TRaised() { FFlag = false; }
  TRaised(const TRaised&) = delete;
  TRaised& operator=(const TRaised&) = delete;

private:
  bool& FFlag;
};

} // namespace

TZelvoReplayConnection::TZelvoReplayConnection(TZelvoClock Clock)
    : FClock(Clock ? std::move(Clock) : TZelvoClock(ZelvoSteadyMicroseconds)),
      FTimer(std::make_unique<QTimer>()) {
  FTimer->setSingleShot(true);
  FTimer->setTimerType(Qt::PreciseTimer);
  // The timer is set again even when a frame's listener threw.
  QObject::connect(FTimer.get(), &QTimer::timeout, FTimer.get(), [this] {
    OscGuarded([this] { PlayDue(); });
    OscGuarded([this] { Arm(); });
  });
}

TZelvoReplayConnection::~TZelvoReplayConnection() {
  FTimer.reset();
}

void TZelvoReplayConnection::SetFileName(const std::string& Value) {
  if (Connected() && Value != FFileName)
    throw EZelvoLinkError("Can't change the recording while it plays");
  FFileName = Value;
}

bool TZelvoReplayConnection::Open() {
  if (Connected())
    return true;
  FReader = std::make_unique<TZelvoRecordingReader>(FFileName);
  FNext.reset();
  FFinished = false;
  FPaused = false;
  FFramesPlayed = 0;
  FDroppedBytes = 0;
  FError.clear();
  FPosition = 0;
  FAnchor = FClock();
  ReadAhead();
  DoConnect();
  if (Connected())
    Pump();
  return Connected();
}

void TZelvoReplayConnection::Close() {
  if (!Connected())
    return;
  FTimer->stop();
  FReader.reset();
  FNext.reset();
  DoDisconnect();
}

void TZelvoReplayConnection::Send(TZelvoPacket& Packet) {
  Packet.Finalize();
  DoSend(Packet);
}

std::int64_t TZelvoReplayConnection::Position() const {
  if (FPaused || !Connected())
    return FPosition;
  return FPosition + std::llround(static_cast<double>(FClock() - FAnchor) * FSpeed);
}

void TZelvoReplayConnection::Rebase() {
  FPosition = Position();
  FAnchor = FClock();
}

void TZelvoReplayConnection::Pause() {
  if (FPaused)
    return;
  Rebase();
  FPaused = true;
  FTimer->stop();
}

void TZelvoReplayConnection::Resume() {
  if (!FPaused)
    return;
  FAnchor = FClock();
  FPaused = false;
  Pump();
}

void TZelvoReplayConnection::SetSpeed(double Value) {
  Rebase();
  FSpeed = std::clamp(Value, CMinSpeed, CMaxSpeed);
  Arm();
}

void TZelvoReplayConnection::Step() {
  Pause();
  if (!Connected() || FPlaying)
    return;
  const TRaised Playing(FPlaying);
  while (FNext) {
    const bool Ends = ZelvoEndsCapture(FNext->Frame.data(), static_cast<int>(FNext->Frame.size()));
    FPosition = std::max(FPosition, FNext->Time);
    if (!PlayNext() || Ends)
      break;
  }
}

void TZelvoReplayConnection::Pump() {
  PlayDue();
  Arm();
}

void TZelvoReplayConnection::PlayDue() {
  if (!Connected() || FPaused || FPlaying)
    return;
  const TRaised Playing(FPlaying);
  const std::int64_t Now = Position();
  for (int N = 0; N < CMaxFramesPerPump && FNext && FNext->Time <= Now; ++N)
    if (!PlayNext())
      break;
}

bool TZelvoReplayConnection::PlayNext() {
  // Taken before the frame is delivered: a listener that throws, or that
  // closes the link from a nested loop, must not see it twice.
  std::swap(FScratch, *FNext);
  ReadAhead();
  ++FFramesPlayed;
  ProcessData(FScratch.Frame.data(), static_cast<int>(FScratch.Frame.size()));
  if (!FNext)
    Finish();
  return Connected() && FNext.has_value();
}

void TZelvoReplayConnection::ReadAhead() {
  if (!FReader) {
    FNext.reset();
    return;
  }
  TZelvoRecord Record;
  try {
    if (FReader->Next(Record)) {
      FNext = std::move(Record);
      return;
    }
    FDroppedBytes = FReader->DroppedBytes();
  } catch (const EOscError& E) {
    // What was read stays played; the link reports the failure.
    FError = E.what();
    FNext.reset();
    DoError();
    return;
  }
  FNext.reset();
}

void TZelvoReplayConnection::Arm() {
  if (!Connected() || FPaused || !FNext) {
    FTimer->stop();
    // An empty recording ends as soon as it starts.
    if (!FNext)
      Finish();
    return;
  }
  const double Wait = static_cast<double>(FNext->Time - Position()) / FSpeed / 1000;
  FTimer->start(Wait <= 0 ? 0 : static_cast<int>(std::min(std::ceil(Wait), 1e9)));
}

void TZelvoReplayConnection::Finish() {
  if (FFinished || !Connected())
    return;
  FFinished = true;
  FTimer->stop();
  if (FOnFinished)
    FOnFinished(this);
}
