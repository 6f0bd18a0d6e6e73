// The timing readouts: crossings of the mid-level with hysteresis, periods,
// widths and edge times of known waves, and "-" where a wave does not show
// them.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "osc/OscDevice.h"
#include "osc/OscMeasurement.h"
#include "osc/OscSignalGenerator.h"
#include "osc/OscTiming.h"

namespace {

using Type = TOscMeasurementType;

constexpr double Pi = 3.14159265358979323846;

const Type TimingTypes[] = {Type::Freq,     Type::Period, Type::Duty, Type::PosWidth,
                            Type::NegWidth, Type::Rise,   Type::Fall};

class TTestDevice : public TOscDevice {
public:
  TTestDevice() {
    CreateSignals(2);
    SetTimeBase(tb1ms); // 20 µs between samples
  }
};

// Channel 0 at 10 V/div, zero line 128; waves are given in sample steps
// above the zero line.
class TimingTest : public ::testing::Test {
public:
  TOscSignal& Channel() { return Device.Signals()[0]; }

  void Fill(const std::function<double(int)>& Steps) {
    for (int I = 0; I < CSampleCount; ++I)
      Channel().SetSample(I, 128 - static_cast<int>(std::lround(Steps(I))));
  }

  std::string Readout(Type T) {
    Channel().Measurement().SetValueType(T);
    Device.UpdateMeasurements();
    return Channel().Measurement().ToString();
  }

  TTestDevice Device;
};

// A square wave of Period samples, High of them at +40 steps, the rest at -40.
std::function<double(int)> Square(int Period, int High) {
  return [=](int I) { return I % Period < High ? 40.0 : -40.0; };
}

TEST_F(TimingTest, SquareWaveOfQuarterDutyReadsItsTimes) {
  Fill(Square(40, 10)); // 800 µs period, 200 µs high
  const struct {
    Type T;
    const char* Text;
  } Cases[] = {{Type::Freq, "1.25kHz"},   {Type::Period, "800µs"},   {Type::Duty, "25.0%"},
               {Type::PosWidth, "200µs"}, {Type::NegWidth, "600µs"}, {Type::Rise, "16µs"},
               {Type::Fall, "16µs"}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(OscTimingTypeName(C.T));
    EXPECT_EQ(Readout(C.T), C.Text);
  }
  // An edge between two samples is taken as a straight line: 10 % to 90 %
  // of one sample period.
}

TEST_F(TimingTest, GeneratedSineReadsItsFrequencyAndEdgeTimes) {
  TOscSignalGenerator Generator(&Device);
  Generator.SetAutoNoise(false);
  Generator.SetFrequency(1000); // 50 samples a period, 81.92 periods
  Generator.SetAmplitude(20);   // 50 steps
  Generator.Generate(Channel());
  EXPECT_EQ(Readout(Type::Freq), "1.00kHz");
  EXPECT_EQ(Readout(Type::Period), "1ms");

  const TOscTiming T = Channel().Timing();
  EXPECT_NEAR(T.Frequency, 1000, 0.5);
  EXPECT_NEAR(T.Duty, 50, 0.5);
  EXPECT_NEAR(T.PosWidth, 500e-6, 5e-6);
  EXPECT_NEAR(T.NegWidth, 500e-6, 5e-6);
  // From -0.8 to +0.8 of the amplitude: 2 asin(0.8) / (2 pi) of a period.
  const double Edge = std::asin(0.8) / Pi * 1e-3;
  EXPECT_NEAR(T.Rise, Edge, 5e-6);
  EXPECT_NEAR(T.Fall, Edge, 5e-6);
}

TEST_F(TimingTest, WavesWithoutEnoughCrossingsReadInvalid) {
  const struct {
    const char* Name;
    std::function<double(int)> Steps;
    // The kinds that still read a value.
    std::vector<Type> Shown;
  } Cases[] = {
      {"DC", [](int) { return 30.0; }, {}},
      {"flat with a step of noise", [](int I) { return I % 3 == 0 ? 1.0 : 0.0; }, {}},
      {"swing within the hysteresis", [](int I) { return I % 20 < 10 ? 2.0 : -2.0; }, {}},
      {"one rising crossing", [](int I) { return I < 2000 ? -40.0 : 40.0; }, {Type::Rise}},
      {"one falling crossing", [](int I) { return I < 2000 ? 40.0 : -40.0; }, {Type::Fall}},
      {"one pulse",
       [](int I) { return I >= 1000 && I < 1100 ? 40.0 : -40.0; },
       {Type::PosWidth, Type::Rise, Type::Fall}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Fill(C.Steps);
    for (Type T : TimingTypes) {
      SCOPED_TRACE(OscTimingTypeName(T));
      const bool Shown = std::find(C.Shown.begin(), C.Shown.end(), T) != C.Shown.end();
      if (Shown)
        EXPECT_NE(Readout(T), "-");
      else
        EXPECT_EQ(Readout(T), "-");
    }
  }
  Fill([](int I) { return I >= 1000 && I < 1100 ? 40.0 : -40.0; });
  EXPECT_EQ(Readout(Type::PosWidth), "2ms");
}

// Noise of +-2 steps on a slow triangle wanders across the mid-level many
// times on every edge; each edge still counts once.
TEST_F(TimingTest, NoiseAtTheMidLevelCountsEachEdgeOnce) {
  std::mt19937 Random(7);
  std::uniform_int_distribution<int> Noise(-2, 2);
  // 1000 samples a period (20 ms): 50 Hz.
  Fill([&](int I) {
    const double Phase = (I % 1000) / 1000.0;
    const double Triangle = Phase < 0.5 ? -50 + 200 * Phase : 150 - 200 * Phase;
    return Triangle + Noise(Random);
  });
  const TOscTiming T = Channel().Timing();
  EXPECT_NEAR(T.Frequency, 50, 0.5);
  EXPECT_NEAR(T.Duty, 50, 1);
}

// A sine clipped flat well inside the screen keeps its period and duty; its
// edges run between the clipped levels.
TEST_F(TimingTest, ClippedSineKeepsItsPeriodAndDuty) {
  Fill([](int I) { return std::clamp(100 * std::sin(2 * Pi * I / 80.0), -40.0, 40.0); });
  const TOscTiming T = Channel().Timing();
  EXPECT_NEAR(T.Period, 80 * 20e-6, 0.2e-6);
  EXPECT_NEAR(T.Duty, 50, 0.5);
  // From 10 % to 90 % of +-40 steps on a 100-step sine: asin(0.32) twice.
  EXPECT_NEAR(T.Rise, 2 * std::asin(0.32) / (2 * Pi) * 80 * 20e-6, 20e-6);
  // Driven off the screen, the channel reads "-" like every other readout.
  Fill([](int I) { return 130 * std::sin(2 * Pi * I / 80.0); });
  EXPECT_EQ(Readout(Type::Freq), "-");
}

TEST_F(TimingTest, TimesNeedTheDevicesSamplePeriod) {
  TOscSignal Lone(nullptr, 64);
  for (int I = 0; I < 64; ++I)
    Lone.SetSample(I, I % 16 < 8 ? 88 : 168);
  const TOscTiming T = Lone.Timing();
  EXPECT_TRUE(std::isnan(T.Period));
  EXPECT_NEAR(T.Duty, 50, 1e-9);
  Lone.Measurement().SetValueType(Type::Freq);
  Lone.Measurement().Update();
  EXPECT_EQ(Lone.Measurement().ToString(), "-");
}

// Every kind's text from Texts() is the one a readout of that kind shows.
TEST_F(TimingTest, AllTextsAtOnceMatchTheReadouts) {
  TOscSignalGenerator Generator(&Device);
  Generator.Seed(3);
  Generator.SetFrequency(700);
  Generator.Generate(Channel());
  Generator.SetFrequency(1300);
  Generator.Generate(Device.Signals()[1]);
  const TOscMeasurementTexts Texts = Channel().Measurement().Texts();
  for (int T = 0; T < COscMeasurementTypeCount; ++T) {
    SCOPED_TRACE(T);
    EXPECT_EQ(Texts[static_cast<std::size_t>(T)], Readout(static_cast<Type>(T)));
  }
  EXPECT_EQ(Texts[static_cast<std::size_t>(Type::Freq)].substr(0, 4), "700.");
}

} // namespace
