#include "link/qt/ZelvoDemo.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "osc/OscMeasurement.h"
#include "osc/OscSignalGenerator.h"

namespace {

std::vector<TOscSample> Samples(const TOscSignal& S) {
  return {S.Samples(), S.Samples() + S.Count()};
}

// Upward crossings of the zero line: about two per period over the capture.
int ZeroCrossings(const TOscSignal& S) {
  int N = 0;
  for (int I = 1; I < S.Count(); ++I)
    if (S.GetSample(I - 1) < S.YPosition() && S.GetSample(I) >= S.YPosition())
      ++N;
  return N;
}

class ZelvoDemoTest : public ::testing::Test {
protected:
  void SetUp() override {
    Demo.Timer().stop(); // ticks are driven by hand unless a test lets it run
    Demo.SignalGenerator().SetAutoNoise(false);
  }
  TZelvoDemo Demo;
};

TEST_F(ZelvoDemoTest, TimerRefillsBothChannelsEvery200ms) {
  EXPECT_EQ(Demo.Timer().interval(), 200);
  int Changes = 0;
  Demo.SetOnChange([&](TOscDevice*) { ++Changes; });
  Demo.Timer().start();
  QTRY_VERIFY_WITH_TIMEOUT(Demo.Signals()[0].Fill() == CSampleCount, 2000);
  EXPECT_EQ(Demo.Signals()[1].Fill(), CSampleCount);
  EXPECT_GT(Changes, 0);
  EXPECT_NE(Demo.Signals()[0].Measurement().ToString(), "-");
}

TEST_F(ZelvoDemoTest, GeneratesChannel1At150Hz20VAndChannel2At300Hz40VOverridingOtherValues) {
  Demo.SignalGenerator().SetFrequency(5000);
  Demo.SignalGenerator().SetAmplitude(1);
  Demo.TimerTick();
  // 10 V/div is 2.5 steps per volt: 20 V peak spans 100 steps, 40 V 200 steps.
  const TOscSignal& A = Demo.Signals()[0];
  const TOscSignal& B = Demo.Signals()[1];
  auto Span = [](const TOscSignal& S) {
    const auto V = Samples(S);
    return *std::max_element(V.begin(), V.end()) - *std::min_element(V.begin(), V.end());
  };
  EXPECT_NEAR(Span(A), 100, 1);
  EXPECT_NEAR(Span(B), 200, 1);
  // 4096 samples of 10 us at 500 us/div: 6.1 periods at 150 Hz, 12.3 at 300 Hz.
  EXPECT_NEAR(ZeroCrossings(A), 6, 1);
  EXPECT_NEAR(ZeroCrossings(B), 12, 1);
  EXPECT_EQ(Demo.SignalGenerator().Frequency(), 300.0);
  EXPECT_EQ(Demo.SignalGenerator().Amplitude(), 40.0);
}

TEST_F(ZelvoDemoTest, HoldKeepsGeneratedSamplesAcrossTicks) {
  Demo.Trigger().SetLevel(10);
  Demo.TimerTick();
  Demo.SetHold(true);
  const auto Held = Samples(Demo.Signals()[0]);
  for (int I = 0; I < 3; ++I)
    Demo.TimerTick();
  EXPECT_EQ(Samples(Demo.Signals()[0]), Held);
  Demo.SetHold(false);
  Demo.TimerTick();
  EXPECT_NE(Samples(Demo.Signals()[0]), Held) << "untriggered: a fresh random phase";
}

TEST_F(ZelvoDemoTest, VdivChangeUnderHoldEmptiesBothChannelsUntilHoldIsCleared) {
  Demo.TimerTick();
  Demo.SetHold(true);
  Demo.Signals()[0].SetVoltsPerDivision(vdiv1V);
  Demo.TimerTick();
  for (int C = 0; C < 2; ++C) {
    EXPECT_EQ(Demo.Signals()[C].Fill(), 0);
    EXPECT_EQ(Samples(Demo.Signals()[C]), std::vector<TOscSample>(CSampleCount, 0));
  }
  Demo.SetHold(false);
  Demo.TimerTick();
  EXPECT_EQ(Demo.Signals()[0].Fill(), CSampleCount);
  EXPECT_EQ(Demo.Signals()[1].Fill(), CSampleCount);
}

TEST_F(ZelvoDemoTest, CalibrateAndTransmitSettingsChangeNothing) {
  Demo.TimerTick();
  const auto Before = Samples(Demo.Signals()[0]);
  int Changes = 0;
  Demo.SetOnChange([&](TOscDevice*) { ++Changes; });
  Demo.Calibrate();
  Demo.TransmitSettings();
  EXPECT_EQ(Samples(Demo.Signals()[0]), Before) << "no emptying as the driver does without hold";
  EXPECT_FALSE(Demo.Calibrating());
  EXPECT_EQ(Changes, 0);
}

} // namespace
