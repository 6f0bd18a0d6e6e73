#include "display/OscIdleHook.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>

#include "osc/OscErrorBoundary.h"

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
  Pass();
}

TOscIdleHook::~TOscIdleHook() {
  FNotifier.reset();
  if (FTimerFd >= 0)
    close(FTimerFd);
}

void TOscIdleHook::Disarm() {
  FNow.stop();
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
  itimerspec At{};
  At.it_value.tv_sec = static_cast<time_t>(Ns / 1000000000);
  At.it_value.tv_nsec = static_cast<long>(Ns % 1000000000);
  timerfd_settime(FTimerFd, 0, &At, nullptr);
}

bool TOscIdleHook::Armed() const {
  if (FNow.isActive())
    return true;
  itimerspec Left{};
  return FTimerFd >= 0 && timerfd_gettime(FTimerFd, &Left) == 0 &&
         (Left.it_value.tv_sec != 0 || Left.it_value.tv_nsec != 0);
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
