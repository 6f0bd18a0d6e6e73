#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include <QApplication>
#include <QTest>

#include "display/OscFpsLimiter.h"
#include "osc/OscErrorBoundary.h"

namespace {

QApplication& App() {
  static int Argc = 1;
  static char Name[] = "zelvo-limiter-test";
  static char* Argv[] = {Name, nullptr};
  static QApplication* A = new QApplication(Argc, Argv);
  return *A;
}

// A clock in microseconds that moves only when told. The limiter hooks into
// the event loop whatever its clock, so the application object must exist.
struct TFakeClock {
  TFakeClock() { App(); }
  std::int64_t Now = 0;
  TOscClock Clock() {
    return [this] { return Now; };
  }
};
constexpr std::int64_t Us = 1000000;

} // namespace

TEST(OscFpsLimiter, LimitSixtyTicksSixtyTimesASecond) {
  TFakeClock T;
  TOscFpsLimiter L(T.Clock(), Us);
  L.SetLimit(60);
  int Ticks = 0;
  L.SetOnTick([&](TOscFpsLimiter*) { ++Ticks; });
  // An idle pass every 100 us for three seconds.
  for (int I = 0; I < 30000; ++I) {
    T.Now += 100;
    bool Done = true;
    L.IdleHandler(Done);
    EXPECT_FALSE(Done) << "the idle loop must keep turning";
  }
  EXPECT_NEAR(Ticks, 180, 1);
  EXPECT_EQ(L.FrameRate(), 60);
}

TEST(OscFpsLimiter, RenderingTimeIsPartOfTheInterval) {
  TFakeClock T;
  TOscFpsLimiter L(T.Clock(), Us);
  L.SetLimit(100); // 10 ms
  std::vector<std::int64_t> TickTimes;
  L.SetOnTick([&](TOscFpsLimiter*) {
    TickTimes.push_back(T.Now);
    T.Now += 4000; // the observers take 4 ms
  });
  for (int I = 0; I < 50; ++I) {
    T.Now += 1000;
    L.DoWork();
  }
  ASSERT_GE(TickTimes.size(), 3u);
  EXPECT_EQ(TickTimes[2] - TickTimes[1], 10000);
}

TEST(OscFpsLimiter, NoLimitTicksOnEveryPassAndInactiveNever) {
  TFakeClock T;
  TOscFpsLimiter L(T.Clock(), Us);
  int Ticks = 0;
  L.SetOnTick([&](TOscFpsLimiter*) { ++Ticks; });
  bool Done = true;
  for (int I = 0; I < 5; ++I)
    L.IdleHandler(Done);
  EXPECT_EQ(Ticks, 5);
  EXPECT_EQ(L.NumberOfFrames(), 5);

  L.SetActive(false);
  T.Now += 5 * Us;
  L.IdleHandler(Done);
  EXPECT_EQ(Ticks, 5);
  EXPECT_EQ(L.NumberOfFrames(), 5) << "nothing is counted or measured while inactive";
  EXPECT_EQ(L.FrameRate(), 0);

  L.SetLimit(60);
  L.SetActive(true);
  L.IdleHandler(Done);
  EXPECT_EQ(Ticks, 6) << "after a long spell the first pass ticks at once";
  EXPECT_EQ(L.FrameRate(), 1) << "6 ticks in a window of 5 s";
}

TEST(OscFpsLimiter, ObserversInRegistrationOrderThenOnTick) {
  TFakeClock T;
  TOscFpsLimiter L(T.Clock(), Us);
  std::vector<std::string> Calls;
  TOscFpsObserver A([&](TOscFpsLimiter*) { Calls.push_back("A"); });
  TOscFpsObserver B([&](TOscFpsLimiter*) { Calls.push_back("B"); });
  L.RegisterObserver(&A);
  L.RegisterObserver(&B);
  L.RegisterObserver(&A);
  L.SetOnTick([&](TOscFpsLimiter*) { Calls.push_back("OnTick"); });
  L.DoWork();
  EXPECT_EQ(Calls, (std::vector<std::string>{"A", "B", "A", "OnTick"}));
  Calls.clear();
  L.UnRegisterObserver(&A);
  L.DoWork();
  EXPECT_EQ(Calls, (std::vector<std::string>{"B", "A", "OnTick"}));
  // The same rule as every other subject of the program.
  EXPECT_THROW(L.RegisterObserver(nullptr), EOscInvalidArgumentError);
  EXPECT_THROW(L.UnRegisterObserver(nullptr), EOscInvalidArgumentError);
}

// The tests' limiter is the program's: a clock of its own changes only the
// time it reads, not the event-loop hook that drives it.
TEST(OscFpsLimiter, TestClockKeepsTheEventLoopHook) {
  TFakeClock T;
  TOscFpsLimiter L(T.Clock(), Us);
  int Ticks = 0;
  L.SetOnTick([&](TOscFpsLimiter*) { ++Ticks; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ticks >= 3; })); // Limit 0: every pass
  L.SetLimit(10);
  const int Before = Ticks;
  T.Now += Us; // a tick is due
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ticks > Before; }));
  L.SetActive(false);
  const int Stopped = Ticks;
  T.Now += Us;
  // Once no pass is pending, none comes: nothing more can tick.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !L.PassPending(); }));
  EXPECT_EQ(Ticks, Stopped);
}

TEST(OscFpsLimiter, WindowWithoutTickReadsZero) {
  // The two timers are read one after the other; a pause between the two
  // reads can close a one-second window in a pass that does not tick.
  App();
  std::deque<std::int64_t> Reads = {0, 0, 999000, 1001000};
  TOscFpsLimiter L(
      [&] {
        const std::int64_t V = Reads.front();
        Reads.pop_front();
        return V;
      },
      Us);
  L.SetLimit(1);
  L.DoWork();
  EXPECT_EQ(L.NumberOfFrames(), 0);
  EXPECT_EQ(L.FrameRate(), 0);
}

TEST(OscFpsLimiter, EventLoopDrivesTicksUntilInactive) {
  App();
  TOscFpsLimiter L; // steady clock, paced by the event loop
  int Ticks = 0;
  TOscFpsObserver O([&](TOscFpsLimiter*) { ++Ticks; });
  L.RegisterObserver(&O);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ticks >= 5; })); // Limit 0: every pass

  L.SetLimit(200);
  const int Before = Ticks;
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ticks >= Before + 3; }));

  L.SetActive(false);
  const int Stopped = Ticks;
  EXPECT_TRUE(QTest::qWaitFor([&] { return !L.PassPending(); }));
  EXPECT_EQ(Ticks, Stopped);
  L.SetActive(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ticks > Stopped; }));
}

TEST(OscFpsLimiter, ThrowingObserverReachesTheHandlerAndTicksGoOn) {
  App();
  int Handled = 0;
  TOscExceptionHandler Saved = OscSetExceptionHandler([&](std::exception_ptr) { ++Handled; });
  TOscFpsLimiter L;
  int Ticks = 0;
  TOscFpsObserver O([&](TOscFpsLimiter*) {
    if (++Ticks == 1)
      throw EOscError("first frame failed");
  });
  L.RegisterObserver(&O);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ticks >= 3; }));
  OscSetExceptionHandler(std::move(Saved));
  EXPECT_EQ(Handled, 1);
}

TEST(OscFpsLimiter, ObserverAndLimiterMayDieInEitherOrder) {
  TFakeClock T;
  int Removed = 0;
  auto L = std::make_unique<TOscFpsLimiter>(T.Clock(), Us);
  {
    TOscFpsObserver Gone([](TOscFpsLimiter*) { FAIL() << "ticked after destruction"; });
    L->RegisterObserver(&Gone);
  }
  L->DoWork();
  TOscFpsObserver Stays;
  Stays.SetOnRemove([&](TOscFpsLimiter*) { ++Removed; });
  L->RegisterObserver(&Stays);
  L.reset();
  EXPECT_EQ(Removed, 1);
}
