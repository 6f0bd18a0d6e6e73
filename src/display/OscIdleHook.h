#pragma once

// The application's idle notification, mapped onto the Qt event loop. A busy
// idle loop would burn a whole core, so the hook sleeps in the event loop until
// the next pass is due: at once (a zero timer, which lets every pending event
// through first) or after a delay, on a timerfd because QTimer only resolves
// whole milliseconds and a 16.67 ms frame interval rounded up loses frames.

#include <cstdint>
#include <functional>
#include <memory>

#include <QObject>
#include <QTimer>

class QSocketNotifier;

class TOscIdleHook : public QObject {
public:
  // Done starts true; a handler that sets it false asks for another pass.
  using TIdleEvent = std::function<void(bool& Done)>;
  // Nanoseconds until the next pass is wanted: negative for none, 0 for at once.
  using TNextPass = std::function<std::int64_t()>;

  TOscIdleHook(TIdleEvent OnIdle, TNextPass NextPass);
  ~TOscIdleHook() override;

  // Re-arms the wake-up from NextPass, replacing any pending one.
  void Schedule();
  // A pass at once (once the pending events are through), replacing any
  // pending wake-up; it schedules the next one itself.
  void Wake();
  // Whether a pass is due later: none means none comes until Schedule or
  // Wake is called again.
  bool Armed() const;

private:
  void Pass();
  void Woken();
  void Disarm();

  TIdleEvent FOnIdle;
  TNextPass FNextPass;
  QTimer FNow;
  int FTimerFd = -1;
  std::unique_ptr<QSocketNotifier> FNotifier;
};
