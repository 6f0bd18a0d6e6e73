#include <gtest/gtest.h>

#include "osc/OscDevice.h"
#include "osc/OscTrace.h"

namespace {

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
};

const TOscPointMap Flip = [](std::vector<TOscPoint>& Points) {
  for (TOscPoint& P : Points)
    P.Y = 255 - P.Y;
};

} // namespace

TEST(OscTraces, BadIndexRaisesWithoutClamping) {
  TOscTraces Traces;
  Traces.Add(std::make_unique<TOscTrace>(3));
  EXPECT_EQ(Traces.Trace(0).Points.size(), 3u);
  for (int Bad : {-1, 1}) {
    try {
      Traces.Trace(Bad);
      FAIL() << Bad;
    } catch (const EOscOutOfRangeError& E) {
      EXPECT_STREQ(E.what(), "Index out of range");
    }
  }
  EXPECT_THROW(TOscTrace(-1), EOscInvalidArgumentError);
}

TEST(OscPage, DivisionsKeepDivisionsSquareAndNeverCollapse) {
  struct {
    int W, H, Divisions;
  } const Cases[] = {
      {697, 449, 16}, {881, 604, 15}, {700, 70, 100}, {449, 449, 10},
      {697, 0, 1},    {0, 449, 1},    {0, 0, 1},      {-5, 10, 1},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::to_string(C.W) + "x" + std::to_string(C.H));
    EXPECT_EQ(OscPageDivisions(C.W, C.H), C.Divisions);
  }
}

TEST(OscPage, SamplesPerPageFollowsTimeBase) {
  TTestDevice Device;
  EXPECT_EQ(OscPageSamplesPerDivision(nullptr), 50);
  Device.SetTimeBase(tb1us);
  EXPECT_EQ(OscPageSamplesPerDivision(&Device), 10);
  Device.SetTimeBase(tb2us);
  EXPECT_EQ(OscPageSamples(16, OscPageSamplesPerDivision(&Device)), 321);
  Device.SetTimeBase(tb5us);
  EXPECT_EQ(OscPageSamples(16, OscPageSamplesPerDivision(&Device)), 801);
}

TEST(OscBuildTraces, OneTracePerShownChannelWithItsOwnColourAndAllFilledSamples) {
  TTestDevice Device;
  TOscSkin Skin;
  TOscTraces Traces;
  TOscSignal& Ch1 = Device.Signals().Signal(0);
  TOscSignal& Ch2 = Device.Signals().Signal(1);
  for (int I = 0; I < 5; ++I)
    Ch2.SetSample(I, 10 + I);

  OscBuildTraces(Traces, nullptr, Skin.TraceColors(), Flip);
  EXPECT_EQ(Traces.Count(), 0);

  OscBuildTraces(Traces, &Device, Skin.TraceColors(), Flip);
  ASSERT_EQ(Traces.Count(), 2);
  EXPECT_EQ(Traces.Trace(0).Count(), 0) << "an empty channel gives a trace with no points";
  EXPECT_EQ(Traces.Trace(1).Count(), 5);
  EXPECT_EQ(Traces.Trace(1).Points[4], (TOscPoint{4, 255 - 14}));

  Ch1.SetVisible(false);
  OscBuildTraces(Traces, &Device, Skin.TraceColors(), nullptr);
  ASSERT_EQ(Traces.Count(), 1);
  EXPECT_EQ(Traces.Trace(0).Color(), 0x7CEEEEu) << "channel 2 keeps its own colour";
  EXPECT_EQ(Traces.Trace(0).Points[0], (TOscPoint{0, 10}));

  Ch1.SetVisible(true);
  Ch2.SetVoltsPerDivision(vdivNone);
  OscBuildTraces(Traces, &Device, Skin.TraceColors(), nullptr);
  ASSERT_EQ(Traces.Count(), 1);
  EXPECT_EQ(Traces.Trace(0).Color(), 0xFFFF00u);
}
