#pragma once

// Frame pacing: the view draws on the ticks of a limiter, not when data
// arrives. Idle passes of the event loop tick the observers once a frame
// interval (1000 / Limit ms) has passed since the previous tick was decided,
// and the achieved tick rate is measured over windows of at least a second.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "osc/OscObserver.h"

class TOscIdleHook;
class TOscFpsLimiter;

// A monotonic counter read in counts of a fixed frequency.
using TOscClock = std::function<std::int64_t()>;

class TOscTimer {
public:
  // Without a clock: std::chrono::steady_clock in nanoseconds. Frequency is
  // counts per second of the clock given.
  explicit TOscTimer(TOscClock Clock = {}, std::int64_t Frequency = 0);

  void Start() { FStartCount = FClock(); }
  void Stop() { FStopCount = FClock(); }
  // The next period starts where the last one was read.
  void Resume() { FStartCount = FStopCount; }
  // Milliseconds from start to stop.
  float Period() const;

  std::int64_t StartCount() const { return FStartCount; }
  std::int64_t StopCount() const { return FStopCount; }
  std::int64_t Frequency() const { return FFrequency; }
  const TOscClock& Clock() const { return FClock; }

private:
  std::int64_t FStartCount = 0;
  std::int64_t FStopCount = 0;
  std::int64_t FFrequency = 0;
  TOscClock FClock;
};

// Whichever of limiter and observer goes first unhooks itself from the other;
// a limiter that goes first also calls OnRemove, so that whoever holds it by
// reference can let go.
class TOscFpsObserver : public TOscObserverLink<TOscFpsObserver> {
public:
  using TNotifyEvent = std::function<void(TOscFpsLimiter* Sender)>;

  TOscFpsObserver() = default;
  explicit TOscFpsObserver(TNotifyEvent AOnTick) : FOnTick(std::move(AOnTick)) {}

  const TNotifyEvent& OnTick() const { return FOnTick; }
  void SetOnTick(TNotifyEvent Value) { FOnTick = std::move(Value); }
  const TNotifyEvent& OnRemove() const { return FOnRemove; }
  void SetOnRemove(TNotifyEvent Value) { FOnRemove = std::move(Value); }

private:
  friend class TOscFpsLimiter;
  TNotifyEvent FOnTick;
  TNotifyEvent FOnRemove;
};

class TOscFpsLimiter {
public:
  using TNotifyEvent = std::function<void(TOscFpsLimiter* Sender)>;

  // Without a clock the limiter runs on steady_clock. Either way it paces
  // itself from the Qt event loop; a test clock changes only the time it reads
  // (tests that do not run the event loop drive it by IdleHandler or DoWork).
  explicit TOscFpsLimiter(TOscClock Clock = {}, std::int64_t Frequency = 0);
  virtual ~TOscFpsLimiter();
  TOscFpsLimiter(const TOscFpsLimiter&) = delete;
  TOscFpsLimiter& operator=(const TOscFpsLimiter&) = delete;

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // Ticks per second of the last closed window; 0 for a window without a tick.
  int FrameRate() const { return FFrameRate; }
  // Most ticks per second; 0 (or less) ticks on every idle pass.
  int Limit() const { return FLimit; }
  void SetLimit(int Value);
  int NumberOfFrames() const { return FNumberOfFrames; }
  const TOscTimer& TickCounter() const { return FTickCounter; }
  TOscTimer& TickCounter() { return FTickCounter; }
  const TOscTimer& FrameRateCounter() const { return FFrameRateCounter; }
  TOscTimer& FrameRateCounter() { return FFrameRateCounter; }

  const TNotifyEvent& OnTick() const { return FOnTick; }
  void SetOnTick(TNotifyEvent Value) { FOnTick = std::move(Value); }

  // The subjects' rule (TOscSubject): null raises, twice registered is
  // ticked twice, unregistering removes the first registration.
  void RegisterObserver(TOscFpsObserver* Observer) { FObservers.Register(Observer); }
  void UnRegisterObserver(TOscFpsObserver* Observer) { FObservers.Unregister(Observer); }

  // Whether the event loop will run another pass by itself; an inactive
  // limiter ends with none pending.
  bool PassPending() const;

  // One idle pass: asks for another pass, then works if active.
  void IdleHandler(bool& Done);
  virtual void DoWork();

protected:
  void NotifyObservers();
  void CallTick();
  void DoTick();

private:
  std::int64_t NsUntilNextPass() const;

  TOscSubject<TOscFpsObserver> FObservers;
  TOscTimer FTickCounter;
  TOscTimer FFrameRateCounter;
  bool FActive = true;
  int FFrameRate = 0;
  int FNumberOfFrames = 0;
  int FLimit = 0;
  std::unique_ptr<TOscIdleHook> FAppEvents;
  TNotifyEvent FOnTick;
};
