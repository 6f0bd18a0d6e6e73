#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "osc/OscDevice.h"
#include "osc/OscSignalGenerator.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
};

// Channel 0 at 10 V/div (2.5 samples per volt), AC, zero line 128; amplitude
// 20 V (50 sample steps); trigger level 128 (TL 127), rising slope.
class SignalGeneratorTest : public ::testing::Test {
public:
  SignalGeneratorTest() {
    Generator.Seed(1234);
    Generator.SetAmplitude(20);
    Generator.SetAutoNoise(false);
  }

  TOscSignal& Channel() { return Device.Signals()[0]; }
  std::vector<TOscSample> Samples() {
    return {Channel().Samples(), Channel().Samples() + Channel().Count()};
  }
  std::vector<TOscSample> Generate() {
    Generator.Generate(Channel());
    return Samples();
  }

  TTestDevice Device;
  TOscSignalGenerator Generator{&Device};
};

TEST(SignalGeneratorDefaultsTest, StartsWithTheDocumentedSettings) {
  TTestDevice Device;
  TOscSignalGenerator Generator(&Device);
  EXPECT_EQ(Generator.Device(), &Device);
  EXPECT_EQ(Generator.SignalType(), sigSine);
  EXPECT_EQ(Generator.Frequency(), 100);
  EXPECT_EQ(Generator.Amplitude(), 40);
  EXPECT_EQ(Generator.Phase(), 0);
  EXPECT_EQ(Generator.Offset(), 5);
  EXPECT_TRUE(Generator.AutoNoise());
  EXPECT_EQ(Generator.NoiseLevel(), 2);
  EXPECT_THROW(TOscSignalGenerator(nullptr), EOscInvalidArgumentError);
}

TEST_F(SignalGeneratorTest, ReachableTriggerStartsAtTheMirroredLevel) {
  const std::vector<TOscSample> S = Generate();
  EXPECT_DOUBLE_EQ(Generator.Phase(), std::asin(-0.02));
  EXPECT_EQ(S[0], 129);
  EXPECT_EQ(*std::min_element(S.begin(), S.end()), 78);
  EXPECT_EQ(*std::max_element(S.begin(), S.end()), 178);
  EXPECT_EQ(Channel().Fill(), Channel().Count());
  // Same settings, same start: the trace stands still from call to call.
  EXPECT_EQ(Generate(), S);
}

TEST_F(SignalGeneratorTest, NoiseRaisesSamplesByZeroOrOne) {
  const std::vector<TOscSample> Clean = Generate();
  Generator.SetAutoNoise(true);
  const std::vector<TOscSample> Noisy = Generate();
  int Raised = 0;
  for (std::size_t I = 0; I < Clean.size(); ++I) {
    ASSERT_TRUE(Noisy[I] == Clean[I] || Noisy[I] == Clean[I] + 1) << I;
    Raised += Noisy[I] - Clean[I];
  }
  EXPECT_GT(Raised, 1000);
  EXPECT_LT(Raised, 3000);
  EXPECT_LE(*std::max_element(Noisy.begin(), Noisy.end()), 179);
}

TEST_F(SignalGeneratorTest, UnreachableTriggerStartsAtAFreshRandomPhase) {
  Device.Trigger().SetLevel(10); // TL 245, beyond 128 + 50
  std::vector<double> Phases;
  for (int I = 0; I < 8; ++I) {
    Generate();
    const double P = Generator.Phase();
    EXPECT_EQ(P, Generator.RandomPhase());
    EXPECT_GE(P, 0);
    EXPECT_LE(P, 6.27);
    EXPECT_NEAR(P * 100, std::round(P * 100), 1e-9);
    Phases.push_back(P);
  }
  std::sort(Phases.begin(), Phases.end());
  EXPECT_GT(std::unique(Phases.begin(), Phases.end()) - Phases.begin(), 1);
}

TEST_F(SignalGeneratorTest, TriggerLevelsAtTheIntegerLimitsAreUnreachable) {
  // The mirrored level 255 - Level lies far outside the int range here.
  for (const int Level : {std::numeric_limits<int>::min(), std::numeric_limits<int>::min() + 1,
                          std::numeric_limits<int>::max()}) {
    SCOPED_TRACE(Level);
    Device.Trigger().SetMinLevel(std::numeric_limits<int>::min());
    Device.Trigger().SetMaxLevel(std::numeric_limits<int>::max());
    Device.Trigger().SetLevel(Level);
    ASSERT_EQ(Device.Trigger().Level(), Level);
    Generate();
    EXPECT_EQ(Generator.Phase(), Generator.RandomPhase());
  }
}

TEST_F(SignalGeneratorTest, FallingSlopeLeavesTheSameFirstSampleTheOtherWay) {
  const std::vector<TOscSample> Rising = Generate();
  Device.Trigger().SetSlope(teFallingSlope);
  const std::vector<TOscSample> Falling = Generate();
  EXPECT_DOUBLE_EQ(Generator.Phase(), Pi - std::asin(-0.02));
  EXPECT_EQ(Falling[0], 129);
  // A rising voltage is a falling sample value.
  EXPECT_LT(Rising[20], Rising[0]);
  EXPECT_GT(Falling[20], Falling[0]);
}

TEST_F(SignalGeneratorTest, FlatSignalsRoundHalfToEven) {
  struct Case {
    TOscInputCoupling Coupling;
    int YPosition;
    TOscSample Expected;
  };
  // DC coupling at 10 V/div: the 5 V offset is 12.5 sample steps.
  const Case Cases[] = {{inAC, 128, 128}, {inDC, 128, 116}, {inDC, 129, 116}, {inGND, 100, 100}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Coupling);
    SCOPED_TRACE(C.YPosition);
    Channel().SetCoupling(C.Coupling);
    Channel().SetYPosition(C.YPosition);
    Generator.SetAmplitude(0);
    const std::vector<TOscSample> S = Generate();
    EXPECT_EQ(Generator.Phase(), 0);
    EXPECT_EQ(std::count(S.begin(), S.end(), C.Expected), Channel().Count());
  }
}

TEST_F(SignalGeneratorTest, DcCouplingMovesTheCentreLineByTheOffset) {
  Channel().SetCoupling(inDC);
  const std::vector<TOscSample> S = Generate();
  // Centre 128 - 12.5; the trigger level 128 still lies inside 65.5 .. 165.5.
  EXPECT_EQ(*std::min_element(S.begin(), S.end()), 66);
  EXPECT_EQ(*std::max_element(S.begin(), S.end()), 165); // 165.5 is never quite met
  EXPECT_EQ(S[0], 104);                                  // 2 x 115.5 - 127
}

TEST_F(SignalGeneratorTest, GroundCouplingGivesTheZeroLine) {
  Channel().SetCoupling(inGND);
  Generator.SetAutoNoise(true);
  for (TOscSample S : Generate())
    ASSERT_TRUE(S == 128 || S == 129) << S;
}

TEST_F(SignalGeneratorTest, NoVoltsPerDivisionGivesZeros) {
  for (TOscInputCoupling Coupling : {inAC, inDC, inGND}) {
    SCOPED_TRACE(Coupling);
    Channel().SetVoltsPerDivision(vdivNone);
    Channel().SetCoupling(Coupling);
    for (double Amplitude : {20.0, 0.0}) {
      Generator.SetAmplitude(Amplitude);
      const std::vector<TOscSample> S = Generate();
      EXPECT_EQ(std::count(S.begin(), S.end(), 0), Channel().Count());
    }
  }
}

TEST_F(SignalGeneratorTest, SamplesAreSpacedByTheTimeBase) {
  struct Case {
    TOscTimeBase TimeBase;
    double Frequency;
    int Mirror; // samples spanning an odd number of half periods
  };
  const Case Cases[] = {
      {tb1us, 1e6, 5},    // 10 samples per division: 0.1 us apart
      {tb2us, 1e6, 5},    // 20 samples per division: 0.1 us apart
      {tb500us, 1e3, 50}, // 10 us apart
      {tb1ms, 150, 500},  // 20 us apart: 333.3 samples per period
      {tb1s, 0.25, 100},  // 20 ms apart
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.TimeBase);
    Device.SetTimeBase(C.TimeBase);
    Generator.SetFrequency(C.Frequency);
    const std::vector<TOscSample> S = Generate();
    EXPECT_EQ(S[0], 129);
    EXPECT_EQ(S[static_cast<std::size_t>(C.Mirror)], 127);
    EXPECT_EQ(S[2 * static_cast<std::size_t>(C.Mirror)], 129);
  }
}

TEST_F(SignalGeneratorTest, OutOfRangeValuesSaturateInsteadOfWrapping) {
  Channel().SetCoupling(inDC);
  Generator.SetAmplitude(0);
  Generator.SetAutoNoise(true);
  Generator.SetOffset(-1e12);
  for (TOscSample S : Generate())
    ASSERT_EQ(S, std::numeric_limits<TOscSample>::max());
  Generator.SetOffset(1e12);
  for (TOscSample S : Generate())
    ASSERT_LE(S, std::numeric_limits<TOscSample>::min() + 1); // noise may add 1
}

TEST_F(SignalGeneratorTest, ObserversSeeOneChangePerCall) {
  int Changes = 0;
  TOscSignalObserver Observer([&](TOscSignal*, TOscDeviceProperties) { ++Changes; });
  Channel().RegisterObserver(&Observer);
  Generator.SetAutoNoise(true);
  Generate();
  EXPECT_EQ(Changes, 1);
  Generator.AddNoise(Channel());
  EXPECT_EQ(Changes, 2);
}

TEST(SignalGeneratorSeedTest, SeedRepeatsNoiseAndFreshGeneratorsDiffer) {
  TTestDevice Device;
  TOscSignal& Channel = Device.Signals()[0];
  auto Noise = [&](TOscSignalGenerator& Generator) {
    Channel.Clear();
    Generator.AddNoise(Channel);
    return std::vector<TOscSample>(Channel.Samples(), Channel.Samples() + Channel.Count());
  };
  TOscSignalGenerator A(&Device), B(&Device);
  EXPECT_NE(Noise(A), Noise(B));
  A.Seed(7);
  B.Seed(7);
  EXPECT_EQ(Noise(A), Noise(B));
}

} // namespace
