#include "display/OscFpsLimiter.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "display/OscIdleHook.h"

namespace {

std::int64_t SteadyNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The idle pass after a due time may find the period a hair short of the
// interval (float rounding), which would cost an extra pass; waking this much
// later avoids it.
constexpr std::int64_t CWakeMarginNs = 5000;

} // namespace

TOscTimer::TOscTimer(TOscClock Clock, std::int64_t Frequency)
    : FFrequency(Clock ? Frequency : 1000000000), FClock(Clock ? std::move(Clock) : SteadyNow) {
  Start();
}

float TOscTimer::Period() const {
  // A clock without frequency would divide by zero; it reads as no time.
  if (FFrequency <= 0)
    return 0.0f;
  return static_cast<float>(static_cast<double>((FStopCount - FStartCount) * 1000) /
                            static_cast<double>(FFrequency));
}

TOscFpsLimiter::TOscFpsLimiter(TOscClock Clock, std::int64_t Frequency)
    : FTickCounter(Clock, Frequency), FFrameRateCounter(Clock, Frequency),
      FAppEvents(std::make_unique<TOscIdleHook>([this](bool& Done) { IdleHandler(Done); },
                                                [this] { return NsUntilNextPass(); })) {
  FAppEvents->Wake();
}

TOscFpsLimiter::~TOscFpsLimiter() {
  FAppEvents.reset();
  // The free notification: observers learn that this limiter is gone.
  FObservers.Release([this](TOscFpsObserver& O) {
    if (O.FOnRemove)
      O.FOnRemove(this);
  });
}

// A change of pace takes effect at the next idle pass, which comes at once
// and then schedules the one after from the new settings.
void TOscFpsLimiter::SetActive(bool Value) {
  FActive = Value;
  FAppEvents->Wake();
}

bool TOscFpsLimiter::PassPending() const {
  return FAppEvents->Armed();
}

void TOscFpsLimiter::SetLimit(int Value) {
  FLimit = Value;
  FAppEvents->Wake();
}

void TOscFpsLimiter::NotifyObservers() {
  FObservers.Notify([this](TOscFpsObserver& O) {
    if (O.FOnTick)
      O.FOnTick(this);
  });
}

void TOscFpsLimiter::CallTick() {
  if (FOnTick)
    FOnTick(this);
}

void TOscFpsLimiter::DoTick() {
  NotifyObservers();
  CallTick();
}

void TOscFpsLimiter::IdleHandler(bool& Done) {
  Done = false;
  if (FActive)
    DoWork();
}

void TOscFpsLimiter::DoWork() {
  if (!FActive)
    return;
  FTickCounter.Stop();
  FFrameRateCounter.Stop();
  if (FLimit <= 0 || FTickCounter.Period() >= 1000.0 / FLimit) {
    DoTick();
    ++FNumberOfFrames;
    FTickCounter.Resume();
  }
  const float Window = FFrameRateCounter.Period();
  if (Window >= 1000.0f) {
    // A window without a tick reads 0 fps, where the plain formula would
    // divide by zero.
    FFrameRate = FNumberOfFrames > 0
                     ? static_cast<int>(std::nearbyint(1000.0 / (Window / FNumberOfFrames)))
                     : 0;
    FNumberOfFrames = 0;
    FFrameRateCounter.Resume();
  }
}

std::int64_t TOscFpsLimiter::NsUntilNextPass() const {
  if (!FActive)
    return -1;
  if (FLimit <= 0)
    return 0;
  const std::int64_t Freq = FTickCounter.Frequency();
  const std::int64_t Due = FTickCounter.StartCount() + (Freq + FLimit - 1) / FLimit;
  const std::int64_t Left = Due - FTickCounter.Clock()();
  if (Left <= 0)
    return 0;
  return Left * (1000000000 / Freq) + CWakeMarginNs;
}
