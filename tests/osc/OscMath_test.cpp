// The math channel against volts worked out by hand, its readouts, its
// trace in grid coordinates, and the XY trace.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "osc/OscDevice.h"
#include "osc/OscMath.h"
#include "osc/OscSignalGenerator.h"
#include "osc/OscTiming.h"
#include "osc/OscTrace.h"

namespace {

using Type = TOscMeasurementType;

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
};

// CH1 at 1 V/div x1 (0.04 V a step), zero line 128; CH2 at 2 V/div x10
// (0.8 V a step), zero line 100.
class MathTest : public ::testing::Test {
public:
  MathTest() {
    Ch1().SetVoltsPerDivision(vdiv1V);
    Ch2().SetVoltsPerDivision(vdiv2V);
    Ch2().SetMultiplier(multX10);
    Ch2().SetYPosition(100);
  }
  TOscSignal& Ch1() { return Device.Signals()[0]; }
  TOscSignal& Ch2() { return Device.Signals()[1]; }

  // Every sample of both channels.
  void FillBoth(int Sample1, int Sample2) {
    for (int I = 0; I < CSampleCount; ++I) {
      Ch1().SetSample(I, Sample1);
      Ch2().SetSample(I, Sample2);
    }
  }

  std::string Readout(Type T) {
    Math.SetValueType(T);
    Math.Update();
    return Math.Readout();
  }

  TTestDevice Device;
  TOscMath Math{&Device};
};

TEST_F(MathTest, EachModeCombinesTheChannelsInVolts) {
  // CH1: 128 - 103 = 25 steps = +1 V; CH2: 100 - 125 = -25 steps = -20 V.
  FillBoth(103, 125);
  const struct {
    TOscMathMode Mode;
    double Volts;
    const char* Vdc;
  } Cases[] = {{mmAdd, -19, "-19.00V"},
               {mmSubtract, 21, "21.00V"},
               {mmSubtractReverse, -21, "-21.00V"},
               {mmMultiply, -20, "-20.00V²"}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(COscMathModeNames[C.Mode]);
    Math.SetMode(C.Mode);
    EXPECT_EQ(Math.Squared(), C.Mode == mmMultiply);
    EXPECT_EQ(Readout(Type::Vdc), C.Vdc);
    ASSERT_EQ(Math.Count(), CSampleCount);
    EXPECT_NEAR(Math.Values()[0], C.Volts, 1e-12);
    EXPECT_NEAR(Math.Values()[CSampleCount - 1], C.Volts, 1e-12);
  }
}

TEST_F(MathTest, OffComputesNothingAndReadsInvalid) {
  FillBoth(103, 125);
  EXPECT_EQ(Math.Mode(), mmOff);
  EXPECT_EQ(Readout(Type::Vdc), "-");
  EXPECT_EQ(Math.Count(), 0);
  Math.SetMode(mmAdd);
  Math.Update();
  EXPECT_EQ(Math.Count(), CSampleCount);
  // Switching off drops the result at once.
  Math.SetMode(mmOff);
  EXPECT_EQ(Math.Count(), 0);
  EXPECT_EQ(Math.Readout(), "-");
}

TEST_F(MathTest, ReadoutsCoverLevelsAndTiming) {
  Device.SetTimeBase(tb1ms); // 20 µs a sample
  Ch2().SetVoltsPerDivision(vdiv1V);
  Ch2().SetMultiplier(multX1);
  Ch2().SetYPosition(128);
  // CH1 a square of +-1 V, 32 samples a period, a quarter of it high; CH2
  // flat at -0.4 V.
  for (int I = 0; I < CSampleCount; ++I) {
    Ch1().SetSample(I, I % 32 < 8 ? 103 : 153);
    Ch2().SetSample(I, 138);
  }
  Math.SetMode(mmSubtract); // CH1 + 0.4 V: 1.4 V and -0.6 V
  const struct {
    Type T;
    const char* Text;
  } Cases[] = {{Type::Vmax, "1.40V"},     {Type::Vmin, "-600.00mV"}, {Type::Vpkpk, "2.00V"},
               {Type::Vdc, "-100.00mV"},  {Type::Freq, "1.56kHz"},   {Type::Duty, "25.0%"},
               {Type::PosWidth, "160µs"}, {Type::dBgain, "-"}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.T));
    EXPECT_EQ(Readout(C.T), C.Text);
  }
  // A 2 V square a quarter high: 2 sqrt(0.25 x 0.75) V RMS of AC.
  EXPECT_NEAR(Math.Levels().Vrms, std::sqrt(0.75), 1e-9);
  EXPECT_NEAR(Math.Levels().Vtrms, std::sqrt(0.75 + 0.01), 1e-9);

  // A product is in V²: no level in dB, no power.
  Math.SetMode(mmMultiply);
  EXPECT_EQ(Readout(Type::Vmax), "400.00mV²");
  EXPECT_EQ(Readout(Type::Vmin), "-400.00mV²");
  EXPECT_EQ(Readout(Type::dBm), "-");
  EXPECT_EQ(Readout(Type::Wrms8), "-");
  EXPECT_EQ(Readout(Type::Freq), "1.56kHz");
}

TEST_F(MathTest, UnusableChannelMakesTheReadoutInvalid) {
  Math.SetMode(mmAdd);
  FillBoth(103, 125);
  EXPECT_EQ(Readout(Type::Vdc), "-19.00V");
  Ch2().SetSample(7, 253); // over-driven
  EXPECT_EQ(Readout(Type::Vdc), "-");
  Ch2().SetSample(7, 125);
  Ch1().SetVisible(false);
  EXPECT_EQ(Readout(Type::Vdc), "-");
}

TEST_F(MathTest, TraceLiesOnTheGridAtItsOwnScaleAndZeroLine) {
  Math.SetMode(mmAdd);
  // Only the first 100 samples filled in CH2, 200 in CH1.
  for (int I = 0; I < 200; ++I)
    Ch1().SetSample(I, 103); // +1 V
  for (int I = 0; I < 100; ++I)
    Ch2().SetSample(I, I < 50 ? 100 : 95); // 0 V, then +4 V
  Math.SetVoltsPerDivision(vdiv1V);
  Math.SetYPosition(140);
  Math.Update();
  TOscTrace Trace;
  int Mapped = 0;
  OscFillMathTrace(Trace, Math, 0x123456, [&](std::vector<TOscPoint>&) { ++Mapped; });
  ASSERT_EQ(Trace.Count(), 100);
  EXPECT_EQ(Trace.Color(), 0x123456u);
  EXPECT_EQ(Mapped, 1);
  // 1 V at 1 V/div is a division, 25 steps above the zero line; 5 V five.
  EXPECT_EQ(Trace.Points[0], (TOscPoint{0, 140 - 25}));
  EXPECT_EQ(Trace.Points[99], (TOscPoint{99, 140 - 125}));
  // The product's scale counts V² per division: 4 V² is 4 divisions.
  Math.SetMode(mmMultiply);
  Math.Update();
  OscFillMathTrace(Trace, Math, 0, nullptr);
  EXPECT_EQ(Trace.Points[99], (TOscPoint{99, 140 - 100}));
  // vdivNone is no scale for the math; far-off values stay bounded.
  Math.SetVoltsPerDivision(vdivNone);
  EXPECT_EQ(Math.VoltsPerDivision(), vdiv1V);
  EXPECT_EQ(OscGridY(1e300, 0.005, 128), -(1 << 20));
}

TEST(XYTraceTest, PairsChannelOneAcrossWithChannelTwoUp) {
  TTestDevice Device;
  TOscSignal& X = Device.Signals()[0];
  TOscSignal& Y = Device.Signals()[1];
  X.SetVoltsPerDivision(vdiv1V);
  Y.SetVoltsPerDivision(vdiv500mV);
  Y.SetMultiplier(multX10); // 5 V/div at the tip
  Y.SetYPosition(90);
  X.SetSample(0, 78); // +2 V: two divisions right
  Y.SetSample(0, 65); // +25 steps = +5 V: one division up
  X.SetSample(1, 128);
  Y.SetSample(1, 90);
  TOscTrace Trace;
  const TOscXYScale Scale{400, 50, 128};
  OscFillXYTrace(Trace, Device, Scale, 0, nullptr);
  ASSERT_EQ(Trace.Count(), 2);
  EXPECT_EQ(Trace.Points[0], (TOscPoint{500, 103}));
  EXPECT_EQ(Trace.Points[1], (TOscPoint{400, 128}));
  Y.SetVoltsPerDivision(vdivNone);
  OscFillXYTrace(Trace, Device, Scale, 0, nullptr);
  EXPECT_EQ(Trace.Count(), 0);
}

} // namespace
