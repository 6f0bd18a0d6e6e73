#include <gtest/gtest.h>

#include <vector>

#include "osc/OscCapture.h"
#include "osc/OscMeasurement.h"

namespace {

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
};

// "Keep as reference": a copy of a live device shown by a device of other
// settings takes the copy's settings and keeps its samples, although the new
// settings empty the channels on the way.
TEST(OscCapture, CopyShownElsewhereKeepsSamplesAndSettings) {
  TTestDevice Live;
  Live.SetTimeBase(tb5ms);
  Live.Signals()[0].SetVoltsPerDivision(vdiv1V);
  Live.Signals()[1].SetCoupling(inDC);
  Live.Signals()[1].SetMultiplier(multX10);
  Live.Signals()[1].SetYPosition(90);
  Live.Trigger().SetMode(tmNormal);
  Live.Trigger().SetLevel(150);
  Live.SetHold(true);
  for (int I = 0; I < 3000; ++I) {
    Live.Signals()[0].SetSample(I, 20 + I % 200);
    Live.Signals()[1].SetSample(I, 255 - I % 100);
  }
  const TOscCapture Copy = OscCaptureOf(Live);

  TOscCaptureDevice Reference;
  std::vector<TOscDeviceProperties> Heard;
  TOscDeviceObserver Observer([&](TOscDevice*, TOscDeviceProperties P) { Heard.push_back(P); });
  Reference.RegisterObserver(&Observer);
  Reference.Load(Copy, "reference");
  Reference.UnregisterObserver(&Observer);

  EXPECT_EQ(Reference.Name(), "reference");
  EXPECT_EQ(Reference.TimeBase(), tb5ms);
  EXPECT_EQ(Reference.Trigger().Mode(), tmNormal);
  EXPECT_EQ(Reference.Trigger().Level(), 150);
  EXPECT_TRUE(Reference.Hold());
  for (int C = 0; C < 2; ++C) {
    SCOPED_TRACE(C);
    const TOscSignal& A = Live.Signals()[C];
    const TOscSignal& B = Reference.Signals()[C];
    EXPECT_EQ(B.VoltsPerDivision(), A.VoltsPerDivision());
    EXPECT_EQ(B.Coupling(), A.Coupling());
    EXPECT_EQ(B.Multiplier(), A.Multiplier());
    EXPECT_EQ(B.YPosition(), A.YPosition());
    EXPECT_EQ(B.Fill(), 3000);
    EXPECT_EQ(std::vector<TOscSample>(B.Samples(), B.Samples() + B.Count()),
              std::vector<TOscSample>(A.Samples(), A.Samples() + A.Count()));
  }
  // The last word to the device's observers is that the samples are new.
  ASSERT_FALSE(Heard.empty());
  EXPECT_TRUE(Heard.back().Empty());
  EXPECT_NE(Reference.Signals()[0].Measurement().ToString(), CInvalidValue);

  // The copy is a value: the live device goes on without touching it.
  Live.Signals()[0].SetVoltsPerDivision(vdiv2V);
  EXPECT_EQ(Copy.Channels[0].Samples[10], 30);
}

TEST(OscCapture, CaptureOfAnotherShapeChangesNothing) {
  TOscCaptureDevice Device;
  TOscCapture OneChannel;
  OneChannel.TimeBase = tb1s;
  OneChannel.Channels.resize(1);
  TOscCapture ShortChannel;
  ShortChannel.TimeBase = tb1s;
  ShortChannel.Channels[1].Samples.resize(100);
  ShortChannel.Channels[1].Fill = 100;
  for (const TOscCapture& Capture : {OneChannel, ShortChannel}) {
    EXPECT_THROW(Device.Load(Capture), EOscInvalidArgumentError);
    EXPECT_EQ(Device.TimeBase(), tb500us);
  }
}

} // namespace
