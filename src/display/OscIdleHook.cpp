#include "display/OscIdleHook.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include <QSocketNotifier>

#include "osc/OscErrorBoundary.h"

namespace {

std::int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// No more than this is taken off a wait, however slow the recent wake-ups.
constexpr std::int64_t CMaxEarlyNs = 1000000;

} // namespace

TOscIdleHook::TOscIdleHook(TIdleEvent OnIdle, TNextPass NextPass)
    : FOnIdle(std::move(OnIdle)), FNextPass(std::move(NextPass)) {
  FNow.setSingleShot(true);
  FNow.setInterval(0);
  QObject::connect(&FNow, &QTimer::timeout, this, [this] { OscGuarded([&] { Pass(); }); });
  FTimerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (FTimerFd >= 0) {
    FNotifier = std::make_unique<QSocketNotifier>(FTimerFd, QSocketNotifier::Read);
    QObject::connect(FNotifier.get(), &QSocketNotifier::activated, this,
                     [this] { OscGuarded([&] { Woken(); }); });
  }
}

void TOscIdleHook::Woken() {
  std::uint64_t Expirations = 0;
  // Drains the expiry count; a short read only means it was already drained.
  if (read(FTimerFd, &Expirations, sizeof Expirations) < 0)
    Expirations = 0;
  if (FDeadline >= 0) {
    FDelays[FDelayCount++ % FDelays.size()] = std::max<std::int64_t>(0, SteadyNs() - FDeadline);
    FDeadline = -1;
  }
  Pass();
}

TOscIdleHook::~TOscIdleHook() {
  FNotifier.reset();
  if (FTimerFd >= 0)
    close(FTimerFd);
}

std::int64_t TOscIdleHook::WakeDelayFloor() const {
  if (FDelayCount < FDelays.size())
    return 0; // too few wake-ups yet to judge
  return std::min(CMaxEarlyNs, *std::min_element(FDelays.begin(), FDelays.end()));
}

void TOscIdleHook::Disarm() {
  FNow.stop();
  FDeadline = -1;
  if (FTimerFd >= 0) {
    itimerspec Off{};
    timerfd_settime(FTimerFd, 0, &Off, nullptr);
  }
}

void TOscIdleHook::Schedule() {
  Disarm();
  const std::int64_t Ns = FNextPass ? FNextPass() : -1;
  if (Ns < 0)
    return;
  if (Ns == 0 || FTimerFd < 0) {
    // Without a timerfd the millisecond timer is the best there is.
    FNow.setInterval(Ns == 0 ? 0 : static_cast<int>((Ns + 999999) / 1000000));
    FNow.start();
    return;
  }
  // A wait shorter than the floor is kept whole: shortening it would only
  // bring passes that find nothing due.
  const std::int64_t Floor = WakeDelayFloor();
  const std::int64_t Wait = Ns > Floor ? Ns - Floor : Ns;
  itimerspec At{};
  At.it_value.tv_sec = static_cast<time_t>(Wait / 1000000000);
  At.it_value.tv_nsec = static_cast<long>(Wait % 1000000000);
  FDeadline = SteadyNs() + Wait;
  timerfd_settime(FTimerFd, 0, &At, nullptr);
}

void TOscIdleHook::Wake() {
  Disarm();
  FNow.setInterval(0);
  FNow.start();
}

void TOscIdleHook::Pass() {
  bool Done = true;
  // A handler that throws still gets its next pass: the error goes to the
  // program's handler, the frames go on.
  OscGuarded([&] {
    if (FOnIdle)
      FOnIdle(Done);
  });
  if (!Done)
    Schedule();
}
