// The simulated scope's captures: the signals must come out as a real scope
// would show them, or the end-to-end tests prove little.

#include <gtest/gtest.h>

#include <algorithm>

#include "sim/ZelvoSimScope.h"

namespace {

struct TRange {
  int Min, Max;
};

TRange RangeOf(const TZelvoSimCapture& C, int Ch) {
  const auto& S = C.Samples[static_cast<std::size_t>(Ch)];
  return {*std::min_element(S.begin(), S.end()), *std::max_element(S.begin(), S.end())};
}

class ZelvoSimScopeTest : public ::testing::Test {
protected:
  ZelvoSimScopeTest() {
    Config.NoiseLevel = 0;
    Config.Wave[0] = {TZelvoSimWaveType::Sine, 1000, 2, 1, 1};
  }
  TZelvoSimCapture Take(TZelvoSimScope& Scope) {
    TZelvoSimCapture C;
    Scope.Capture(C, Random);
    return C;
  }
  TZelvoSimConfig Config;
  std::mt19937 Random{1};
};

// 2 V peak sine with 1 V DC offset, zero line at 128.
TEST_F(ZelvoSimScopeTest, RendersThroughCouplingVoltsPerDivisionAndProbe) {
  struct TCase {
    TOscInputCoupling Coupling;
    TOscVoltsPerDivision Vdiv;
    int Probe;
    TRange Expected;
  } Cases[] = {
      {inDC, vdiv1V, 1, {53, 153}},    // centre 128 - 25, +-50
      {inAC, vdiv1V, 1, {78, 178}},    // offset removed
      {inGND, vdiv1V, 1, {128, 128}},  // flat on the zero line
      {inAC, vdiv1V, 10, {123, 133}},  // 0.2 V at the input
      {inAC, vdiv500mV, 1, {28, 228}}, // twice the steps per volt
      {inAC, vdiv100mV, 1, {0, 255}},  // clipped by the converter
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << "coupling " << int(C.Coupling) << " vdiv " << int(C.Vdiv)
                                    << " probe " << C.Probe);
    Config.Wave[0].Probe = C.Probe;
    TZelvoSimScope Scope(Config);
    Scope.Settings().Coupling[0] = C.Coupling;
    Scope.Settings().VoltsPerDivision[0] = C.Vdiv;
    const TRange R = RangeOf(Take(Scope), 0);
    EXPECT_NEAR(R.Min, C.Expected.Min, 1);
    EXPECT_NEAR(R.Max, C.Expected.Max, 1);
  }
}

TEST_F(ZelvoSimScopeTest, TriggeredCaptureStartsAtTheLevelWithTheChosenSlope) {
  for (bool Falling : {false, true}) {
    SCOPED_TRACE(Falling ? "falling" : "rising");
    TZelvoSimScope Scope(Config);
    Scope.Settings().Coupling[0] = inAC;
    Scope.Settings().Level = 100;
    Scope.Settings().Flags =
        static_cast<std::uint8_t>(tmNormal | (Falling ? CZelvoFlagFalling : 0));
    const TZelvoSimCapture C = Take(Scope);
    EXPECT_TRUE(C.Triggered);
    EXPECT_NEAR(C.Samples[0][0], 100, 2);
    // Rising voltage means falling sample values.
    if (Falling)
      EXPECT_GT(C.Samples[0][3], C.Samples[0][0]);
    else
      EXPECT_LT(C.Samples[0][3], C.Samples[0][0]);
  }
}

TEST_F(ZelvoSimScopeTest, UnreachableLevelKeepsTheCaptureInNormalModeButRunsFreeInRun) {
  TZelvoSimScope Scope(Config);
  Scope.Settings().Coupling[0] = inAC;
  Scope.Settings().Level = 250;
  Scope.Settings().Flags = tmNormal;
  TZelvoSimCapture C;
  Scope.Capture(C, Random);
  const auto First = C.Samples;
  Scope.Capture(C, Random);
  EXPECT_EQ(C.Samples, First) << "normal mode waits for a trigger";
  Scope.Settings().Flags = tmRun;
  Scope.Capture(C, Random);
  EXPECT_FALSE(C.Triggered);
  EXPECT_NE(C.Samples, First) << "run mode shows the signal untriggered";
}

TEST_F(ZelvoSimScopeTest, TimeBaseSetsSamplesPerPeriod) {
  // 1 kHz: 100 samples a period at 500 us/div (10 us), 50 at 1 ms/div (20 us).
  for (auto [TimeBase, Period] : {std::pair{tb500us, 100}, std::pair{tb1ms, 50}}) {
    TZelvoSimScope Scope(Config);
    Scope.Settings().Coupling[0] = inAC;
    Scope.Settings().TimeBase = TimeBase;
    const TZelvoSimCapture C = Take(Scope);
    int Crossings = 0;
    for (int I = 1; I < CSampleCount; ++I)
      Crossings += C.Samples[0][I - 1] < 128 && C.Samples[0][I] >= 128;
    EXPECT_NEAR(Crossings, CSampleCount / Period, 1) << int(TimeBase);
  }
}

TEST_F(ZelvoSimScopeTest, AutoRangePicksTheFinestScaleThatHoldsTheSignal) {
  for (auto [Amplitude, Expected] : {std::pair{2.0, vdiv500mV}, std::pair{0.1, vdiv25mV}}) {
    Config.Wave[0].Amplitude = Amplitude;
    TZelvoSimScope Scope(Config);
    Scope.Settings().Coupling[0] = inAC;
    Scope.Settings().Flags = tmRun | CZelvoFlagAutoRange;
    Take(Scope);
    EXPECT_EQ(Scope.Settings().VoltsPerDivision[0], Expected) << Amplitude;
  }
}

TEST_F(ZelvoSimScopeTest, SettingsFrameWithOutOfRangeOrdinalsKeepsTheOldValues) {
  TZelvoSimScope Scope(Config);
  TZelvoSettingsBlock B = Scope.Settings();
  B.Coupling[1] = 3;
  B.VoltsPerDivision[0] = 13;
  B.TimeBase = 19;
  B.Flags = CZelvoFlagModeMask | CZelvoFlagHold; // mode 3 does not exist
  B.YPosition[0] = 90;
  TZelvoPacket P = ZelvoSettingsFrame(B);
  EXPECT_EQ(Scope.Apply(P), TZelvoSimRequest::Settings);
  EXPECT_EQ(Scope.Settings().Coupling[1], inDC);
  EXPECT_EQ(Scope.Settings().VoltsPerDivision[0], vdiv1V);
  EXPECT_EQ(Scope.Settings().TimeBase, tb500us);
  EXPECT_EQ(SimMode(Scope.Settings()), tmRun);
  EXPECT_TRUE(SimHold(Scope.Settings()));
  EXPECT_EQ(Scope.Settings().YPosition[0], 90);
}

TEST_F(ZelvoSimScopeTest, StatusCarriesBatteryAndCalibration) {
  Config.BatteryCode = CZelvoBatteryCodeLow;
  TZelvoSimScope Scope(Config);
  EXPECT_EQ(Scope.Status(), CZelvoBatteryCodeLow);
  Scope.SetCalibrating(true);
  const std::uint8_t Calibrating = CZelvoBatteryCodeLow | CZelvoStatusCalibrating;
  EXPECT_EQ(Scope.Status(), Calibrating);
  EXPECT_EQ(ZelvoReadSettingsBlock(Scope.SettingsFrame()).Status, Calibrating);
}

} // namespace
