#include <gtest/gtest.h>

#include "osc/OscCapture.h"
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

TEST(OscBuildReferenceTraces, EachDivisionOfTheCaptureLiesOnADivisionOfThePage) {
  struct TCase {
    TOscTimeBase TimeBase;
    int PageSamplesPerDivision;
    std::vector<int> X; // of points 0 .. 4
  } const Cases[] = {
      {tb1ms, 50, {0, 1, 2, 3, 4}},    // the same time base: sample i at X i
      {tb1us, 50, {0, 5, 10, 15, 20}}, // 10 samples a division spread over 50
      {tb2us, 50, {0, 3, 5, 8, 10}},   // 2.5 a sample, rounded half up
      {tb500us, 10, {0, 0, 0, 1, 1}},  // 50 a division pressed into 10
      {tb2us, 20, {0, 1, 2, 3, 4}},
  };
  TOscSkin Skin;
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message()
                 << "time base " << C.TimeBase << " on a page of " << C.PageSamplesPerDivision);
    TOscCapture Capture;
    Capture.TimeBase = C.TimeBase;
    Capture.Channels[0].Fill = 5;
    for (int I = 0; I < 5; ++I)
      Capture.Channels[0].Samples[I] = static_cast<TOscSample>(100 + I);
    Capture.Channels[1].Visible = false;
    TOscTraces Traces;
    OscBuildReferenceTraces(Traces, Capture, C.PageSamplesPerDivision, Skin.TraceColors(), 0,
                            nullptr);
    ASSERT_EQ(Traces.Count(), 1);
    ASSERT_EQ(Traces.Trace(0).Count(), 5);
    for (int I = 0; I < 5; ++I)
      EXPECT_EQ(Traces.Trace(0).Points[I], (TOscPoint{C.X[I], 100 + I})) << "point " << I;
  }
}

TEST(OscBuildReferenceTraces, ChannelsThatWereOnInTheirOwnColourDimmed) {
  TOscSkin Skin;
  TOscCapture Capture;
  Capture.Channels[0].Fill = 3;
  Capture.Channels[1].Fill = 4096;
  Capture.Channels[1].Samples[0] = 10;
  TOscTraces Traces;
  OscBuildReferenceTraces(Traces, Capture, 50, Skin.TraceColors(), 0x000000, Flip);
  ASSERT_EQ(Traces.Count(), 2);
  EXPECT_EQ(Traces.Trace(0).Count(), 3);
  EXPECT_EQ(Traces.Trace(1).Count(), 4096);
  EXPECT_EQ(Traces.Trace(1).Points[0], (TOscPoint{0, 245})) << "mapped as the live traces";
  // Cyan and the pale yellow at 45 % over black.
  EXPECT_EQ(Traces.Trace(0).Color(), 0x737300u);
  EXPECT_EQ(Traces.Trace(1).Color(), 0x386B6Bu);

  Capture.Channels[0].Visible = false;
  Capture.Channels[1].VoltsPerDivision = vdivNone;
  OscBuildReferenceTraces(Traces, Capture, 50, Skin.TraceColors(), 0x000000, Flip);
  EXPECT_EQ(Traces.Count(), 0) << "hidden and switched-off channels give no trace";
}

TEST(OscDimColor, MovesTowardsTheBackgroundWhicheverSideItLies) {
  EXPECT_EQ(OscDimColor(0xFFFF00, 0x000000), 0x737300u);
  EXPECT_EQ(OscDimColor(0x000000, 0xFFFFFF), 0x8C8C8Cu);
  EXPECT_EQ(OscDimColor(0x123456, 0x123456), 0x123456u);
}
