#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "osc/OscDevice.h"
#include "osc/OscScales.h"

namespace {

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
};

// Records every notification of a device, its channels and their callbacks
// in the order they happen.
class ModelTest : public ::testing::Test {
public:
  ModelTest() {
    DeviceObserver.SetOnChange(
        [this](TOscDevice*, TOscDeviceProperties C) { Log.push_back("device" + Set(C)); });
    Device.RegisterObserver(&DeviceObserver);
    Device.SetOnChange([this](TOscDevice*) { Log.push_back("device.OnChange"); });
    for (int I = 0; I < 2; ++I) {
      ChannelObservers[I].SetOnChange([this, I](TOscSignal*, TOscDeviceProperties C) {
        Log.push_back("ch" + std::to_string(I) + Set(C));
      });
      Channel(I).RegisterObserver(&ChannelObservers[I]);
      Channel(I).SetOnChange(
          [this, I](TOscSignal*) { Log.push_back("ch" + std::to_string(I) + ".OnChange"); });
    }
  }

  static std::string Set(TOscDeviceProperties C) { return "{" + std::to_string(C.Bits()) + "}"; }
  static std::string Bits(std::initializer_list<TOscDeviceProperty> P) {
    return Set(TOscDeviceProperties(P));
  }
  TOscSignal& Channel(int I) { return Device.Signals().Signal(I); }
  void FillBoth(TOscSample V) {
    for (int I = 0; I < 2; ++I)
      for (int S = 0; S < CSampleCount; ++S)
        Channel(I).SetSample(S, V);
  }
  bool BothEmpty() {
    for (int I = 0; I < 2; ++I) {
      if (Channel(I).Fill() != 0)
        return false;
      for (int S = 0; S < CSampleCount; ++S)
        if (Channel(I).GetSample(S) != 0)
          return false;
    }
    return true;
  }

  // The log outlives the device: channels still notify while destroyed.
  std::vector<std::string> Log;
  TTestDevice Device;
  TOscDeviceObserver DeviceObserver;
  TOscSignalObserver ChannelObservers[2];
};

TEST_F(ModelTest, DefaultsAfterConstruction) {
  EXPECT_EQ(Device.Signals().Count(), 2);
  EXPECT_EQ(Device.TimeBase(), tb500us);
  EXPECT_FALSE(Device.Hold());
  EXPECT_FALSE(Device.AutoRange());
  EXPECT_FALSE(Device.Calibrating());
  EXPECT_EQ(Device.SampleMin(), 3);
  EXPECT_EQ(Device.SampleMax(), 252);
  EXPECT_EQ(Device.Battery().State(), batteryLow);
  EXPECT_EQ(Device.Trigger().Level(), 128);
  EXPECT_EQ(Device.Trigger().Mode(), tmRun);
  EXPECT_EQ(Device.Trigger().Slope(), teRisingSlope);
  EXPECT_EQ(Device.Trigger().Channel(), 0);
  for (int I = 0; I < 2; ++I) {
    EXPECT_TRUE(Channel(I).Visible());
    EXPECT_EQ(Channel(I).VoltsPerDivision(), vdiv10V);
    EXPECT_EQ(Channel(I).YPosition(), 128);
    EXPECT_EQ(Channel(I).Multiplier(), multX1);
    EXPECT_EQ(Channel(I).Coupling(), inAC);
    EXPECT_EQ(Channel(I).Count(), CSampleCount);
    EXPECT_EQ(Channel(I).Fill(), 0);
  }
}

TEST_F(ModelTest, WorkedOrderOfVoltsPerDivisionChangeUnderAutoRange) {
  Device.SetAutoRange(true);
  Channel(0).SetVoltsPerDivision(vdiv10V);
  Log.clear();
  FillBoth(100);

  Channel(0).SetVoltsPerDivision(vdiv1V);

  const std::vector<std::string> Expected = {"device{0}",
                                             "device.OnChange", // AutoRange false
                                             "device" + Bits({propVdiv}),
                                             "device.OnChange", // through the device's observer
                                             "ch0" + Bits({propVdiv}),
                                             "ch0.OnChange"};
  EXPECT_EQ(Log, Expected);
  EXPECT_FALSE(Device.AutoRange());
  EXPECT_TRUE(BothEmpty());
}

TEST_F(ModelTest, DeviceObserverRegisteredBeforeChannelObserverIsNotifiedFirst) {
  // The device registered on each channel at construction, before the test's
  // observer, so the device's reaction comes first.
  Channel(1).SetCoupling(inDC);
  const std::vector<std::string> Expected = {"device" + Bits({propCoupling}), "device.OnChange",
                                             "ch1" + Bits({propCoupling}), "ch1.OnChange"};
  EXPECT_EQ(Log, Expected);
}

TEST_F(ModelTest, SettingEqualValuesNotifiesNothing) {
  Channel(0).SetCoupling(inAC);
  Channel(0).SetVoltsPerDivision(vdiv10V);
  Channel(0).SetMultiplier(multX1);
  Channel(0).SetYPosition(10); // never notifies
  Device.SetHold(false);
  Device.SetAutoRange(false);
  Device.SetTimeBase(tb500us);
  Device.SetCalibrating(false);
  Device.Battery().SetState(batteryLow);
  Device.Trigger().SetLevel(128);
  Device.Trigger().SetMode(tmRun);
  Device.Trigger().SetSlope(teRisingSlope);
  Device.Trigger().SetChannel(0);
  EXPECT_TRUE(Log.empty());
}

TEST_F(ModelTest, WhichChangesEraseTheSamples) {
  struct Case {
    const char* Name;
    std::function<void(ModelTest&)> Change;
    bool Erases;
  };
  const std::vector<Case> Cases = {
      {"coupling", [](ModelTest& T) { T.Channel(1).SetCoupling(inGND); }, true},
      {"vdiv", [](ModelTest& T) { T.Channel(1).SetVoltsPerDivision(vdiv2V); }, true},
      {"time base", [](ModelTest& T) { T.Device.SetTimeBase(tb1ms); }, true},
      {"trigger level", [](ModelTest& T) { T.Device.Trigger().SetLevel(50); }, true},
      {"trigger mode", [](ModelTest& T) { T.Device.Trigger().SetMode(tmOnce); }, true},
      {"trigger slope", [](ModelTest& T) { T.Device.Trigger().SetSlope(teFallingSlope); }, true},
      {"trigger channel", [](ModelTest& T) { T.Device.Trigger().SetChannel(1); }, true},
      {"hold", [](ModelTest& T) { T.Device.SetHold(true); }, false},
      {"auto range", [](ModelTest& T) { T.Device.SetAutoRange(true); }, false},
      {"multiplier", [](ModelTest& T) { T.Channel(0).SetMultiplier(multX10); }, false},
      {"battery", [](ModelTest& T) { T.Device.Battery().SetState(batteryFull); }, false},
      {"calibrating", [](ModelTest& T) { T.Device.SetCalibrating(true); }, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    FillBoth(7);
    C.Change(*this);
    EXPECT_EQ(BothEmpty(), C.Erases);
  }
}

TEST_F(ModelTest, AutoRangeSideEffects) {
  Device.SetAutoRange(true);
  Device.Trigger().SetMode(tmNormal);
  EXPECT_FALSE(Device.AutoRange());

  Device.SetAutoRange(true);
  Device.Trigger().SetMode(tmRun);
  EXPECT_TRUE(Device.AutoRange());
  Device.Trigger().SetMode(tmOnce);
  EXPECT_FALSE(Device.AutoRange());

  // A new time base clears the flag silently: only the time-base change is heard.
  Device.SetAutoRange(true);
  Log.clear();
  Device.SetTimeBase(tb1ms);
  EXPECT_FALSE(Device.AutoRange());
  EXPECT_EQ(Log, (std::vector<std::string>{"device" + Bits({propTimeBase}), "device.OnChange"}));
}

TEST_F(ModelTest, TriggerLevelClampsToItsLimits) {
  TOscTrigger& T = Device.Trigger();
  T.SetLevel(300);
  EXPECT_EQ(T.Level(), 252);
  T.SetLevel(0);
  EXPECT_EQ(T.Level(), 3);
  Log.clear();
  T.SetLevel(-40); // clamps to the current value
  EXPECT_TRUE(Log.empty());
  T.SetMinLevel(200);
  T.SetMaxLevel(100); // crossed limits give the maximum
  T.SetLevel(150);
  EXPECT_EQ(T.Level(), 100);
}

TEST_F(ModelTest, ApplyUsesTheReceivingTriggersLimits) {
  TTestDevice Other;
  Other.Trigger().SetMinLevel(0);
  Other.Trigger().SetLevel(1);
  Other.Trigger().SetMode(tmOnce);
  Other.Trigger().SetSlope(teFallingSlope);
  Other.Trigger().SetChannel(1);
  Device.SetTrigger(Other.Trigger());
  EXPECT_EQ(Device.Trigger().Level(), 3);
  EXPECT_EQ(Device.Trigger().Mode(), tmOnce);
  EXPECT_EQ(Device.Trigger().Slope(), teFallingSlope);
  EXPECT_EQ(Device.Trigger().Channel(), 1);
}

TEST_F(ModelTest, FillFollowsTheHighestWrittenSample) {
  TOscSignal& C = Channel(0);
  C.SetSample(4095, 9);
  EXPECT_EQ(C.Fill(), 4096);
  C.SetSample(10, 1);
  EXPECT_EQ(C.Fill(), 4096);
  C.Clear();
  EXPECT_EQ(C.Fill(), 0);
  EXPECT_EQ(C.GetSample(4095), 0);
  C.SetSample(3, -70000); // any 32-bit value is kept as it is
  EXPECT_EQ(C.GetSample(3), -70000);
  C.SetSample(4, INT32_MIN);
  EXPECT_DOUBLE_EQ(C.GetSampleVoltage(4), (128.0 - INT32_MIN) * 0.4);
  EXPECT_TRUE(Log.empty());
  C.SetSize(3); // shrinking cuts Fill, so nothing reads past the buffer
  EXPECT_EQ(C.Fill(), 3);
}

TEST_F(ModelTest, EveryWriteOfSamplesAdvancesTheGeneration) {
  TOscSignal& C = Channel(0);
  const std::function<void()> Writes[] = {
      [&] { C.SetSample(5, 1); },
      [&] { C.SetSample(5, 1); }, // the same value again is still a write
      [&] { C.SampleBlock(10, 20)[0] = 7; },
      [&] { C.Clear(); },
      [&] { C.SetSize(100); },
      [&] { Device.ClearSignals(); },
  };
  for (std::size_t I = 0; I < std::size(Writes); ++I) {
    SCOPED_TRACE(I);
    const std::uint64_t Before = C.Generation();
    Writes[I]();
    EXPECT_GT(C.Generation(), Before);
  }
  // Reading and settings that keep the samples leave it alone.
  const std::uint64_t Before = C.Generation();
  C.GetSample(5);
  C.Vrms();
  C.SetVisible(false);
  C.SetYPosition(10);
  C.SetMultiplier(multX10);
  EXPECT_EQ(C.Generation(), Before);
}

TEST_F(ModelTest, SampleBlocksOutsideTheBufferRaise) {
  TOscSignal& C = Channel(0);
  const struct {
    int From;
    int Length;
  } Bad[] = {{-1, 4},
             {4096, 1},
             {4000, 97},
             {0, 0},
             {0, -5},
             {1, std::numeric_limits<int>::max()},
             {4095, std::numeric_limits<int>::max()}};
  for (const auto& B : Bad) {
    SCOPED_TRACE(B.From);
    SCOPED_TRACE(B.Length);
    EXPECT_THROW(C.SampleBlock(B.From, B.Length), EOscOutOfRangeError);
  }
  EXPECT_EQ(C.Fill(), 0);
  EXPECT_EQ(C.SampleBlock(4000, 96), C.Samples() + 4000);
  EXPECT_EQ(C.Fill(), 4096);
}

TEST_F(ModelTest, OutOfRangeAccessRaisesAndChangesNothing) {
  TOscSignal& C = Channel(0);
  EXPECT_THROW(
      try { C.SetSample(4096, 1); } catch (const EOscOutOfRangeError& E) {
        EXPECT_STREQ(E.what(), "Index out of range");
        throw;
      },
      EOscOutOfRangeError);
  EXPECT_THROW(C.GetSample(-1), EOscOutOfRangeError);
  EXPECT_THROW(C.GetSampleVoltage(4096), EOscOutOfRangeError);
  EXPECT_THROW(Device.Signals().Signal(2), EOscOutOfRangeError);
  EXPECT_EQ(C.Fill(), 0);
  try {
    C.SetSize(-1);
    FAIL();
  } catch (const EOscInvalidArgumentError& E) {
    EXPECT_STREQ(E.what(), "Buffer size must be >= 0");
  }
  EXPECT_EQ(C.Count(), CSampleCount);
  try {
    Device.RegisterObserver(nullptr);
    FAIL();
  } catch (const EOscInvalidArgumentError& E) {
    EXPECT_STREQ(E.what(), "Argument cannot be null");
  }
  EXPECT_THROW(C.UnregisterObserver(nullptr), EOscInvalidArgumentError);
}

TEST_F(ModelTest, BatchingHoldsChangesUntilTheOutermostEnd) {
  TOscSignal& C = Channel(0);
  C.BeginUpdate();
  C.BeginUpdate();
  C.SetCoupling(inDC);
  C.EndUpdate();
  EXPECT_TRUE(Log.empty());
  C.EndUpdate();
  EXPECT_EQ(Log, (std::vector<std::string>{"device" + Bits({propCoupling}), "device.OnChange",
                                           "ch0" + Bits({propCoupling}), "ch0.OnChange"}));
  Log.clear();
  C.BeginUpdate();
  C.EndUpdate(); // nothing changed: the empty set still goes out once
  EXPECT_EQ(Log,
            (std::vector<std::string>{"device{0}", "device.OnChange", "ch0{0}", "ch0.OnChange"}));
  // An end without a begin announces nothing and leaves no batch open that
  // would swallow the changes after it.
  Log.clear();
  C.EndUpdate();
  Device.EndUpdate();
  EXPECT_TRUE(Log.empty());
  C.SetCoupling(inAC);
  EXPECT_EQ(Log.size(), 4u);
}

TEST_F(ModelTest, CalibratingFiresCalibrateAndCalibratedAfterTheNotification) {
  Device.SetOnCalibrate([this](TOscDevice*) { Log.push_back("calibrate"); });
  Device.SetOnCalibrated([this](TOscDevice*) { Log.push_back("calibrated"); });
  Device.SetCalibrating(true);
  Device.SetCalibrating(false);
  EXPECT_EQ(Log, (std::vector<std::string>{"device{0}", "device.OnChange", "calibrate", "device{0}",
                                           "device.OnChange", "calibrated"}));
}

TEST_F(ModelTest, ObserversRegisteredTwiceAreNotifiedTwiceAndUnregisteredOnce) {
  TOscDeviceObserver Extra([this](TOscDevice*, TOscDeviceProperties) { Log.push_back("extra"); });
  Device.RegisterObserver(&Extra);
  Device.RegisterObserver(&Extra);
  Device.SetHold(true);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "extra"), 2);
  Device.UnregisterObserver(&Extra);
  Log.clear();
  Device.SetHold(false);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "extra"), 1);
  TOscDeviceObserver Stranger;
  Device.UnregisterObserver(&Stranger); // not registered: ignored
}

TEST(ModelLifetime, ObserverAndSubjectMayDieInEitherOrder) {
  int Calls = 0;
  {
    auto Observer = std::make_unique<TOscDeviceObserver>(
        [&Calls](TOscDevice*, TOscDeviceProperties) { ++Calls; });
    TTestDevice Device;
    Device.RegisterObserver(Observer.get());
    Observer.reset(); // unhooks itself
    Device.SetHold(true);
  }
  EXPECT_EQ(Calls, 0);
  TOscSignalObserver Survivor([&Calls](TOscSignal*, TOscDeviceProperties) { ++Calls; });
  {
    TTestDevice Device;
    Device.Signals().Signal(0).RegisterObserver(&Survivor);
  } // the channel's last {propSignal} reaches the observer still registered
  EXPECT_EQ(Calls, 1);
}

TEST(ModelLifetime, FreeNotificationComesWhileTheDeviceIsWhole) {
  std::vector<std::string> Log;
  TOscDeviceObserver First, Second;
  auto Device = std::make_unique<TTestDevice>();
  for (TOscDeviceObserver* O : {&First, &Second}) {
    O->SetOnFree([&Log, O](TOscDevice* Sender) {
      Log.push_back(std::to_string(Sender->Signals().Count()));
      Sender->UnregisterObserver(O); // leaving from inside skips nobody
    });
    Device->RegisterObserver(O);
  }
  Device.reset();
  EXPECT_EQ(Log, (std::vector<std::string>{"2", "2"}));
}

TEST(ModelScales, WorkedValues) {
  TTestDevice Device;
  TOscSignal& C = Device.Signals().Signal(0);
  C.SetVoltsPerDivision(vdiv1V);
  EXPECT_DOUBLE_EQ(C.VoltsPerSample(), 0.04);
  C.SetSample(0, 103);
  C.SetSample(1, 153);
  C.SetSample(2, 128);
  EXPECT_DOUBLE_EQ(C.GetSampleVoltage(0), 1.0);
  EXPECT_DOUBLE_EQ(C.GetSampleVoltage(1), -1.0);
  EXPECT_DOUBLE_EQ(C.GetSampleVoltage(2), 0.0);
  C.SetMultiplier(multX10);
  EXPECT_DOUBLE_EQ(C.VoltsPerSample(), 0.4);
  EXPECT_DOUBLE_EQ(C.GetSampleVoltage(0), 10.0);
  EXPECT_DOUBLE_EQ(C.SamplesPerVolt(), 25.0);
  C.SetVoltsPerDivision(vdiv5mV);
  C.SetMultiplier(multX1);
  EXPECT_DOUBLE_EQ(C.VoltsPerSample() * 250, 0.05);
  C.SetVoltsPerDivision(vdivNone);
  EXPECT_EQ(C.VoltsPerSample(), 0.0);
  EXPECT_TRUE(std::isinf(C.SamplesPerVolt()));
  EXPECT_DOUBLE_EQ(OscVoltsPerDivisionVoltage(vdiv5mV, multX10), 0.05);

  const struct {
    TOscTimeBase Tb;
    double Period;
  } Periods[] = {{tb1us, 1e-7},  {tb2us, 1e-7}, {tb5us, 1e-7},
                 {tb10us, 2e-7}, {tb2ms, 4e-5}, {tb1s, 0.02}};
  for (const auto& P : Periods) {
    Device.SetTimeBase(P.Tb);
    EXPECT_DOUBLE_EQ(Device.SampleRate(), P.Period) << static_cast<int>(P.Tb);
  }
}

TEST(ModelScales, OverTunedLooksOnlyAtFilledSamples) {
  TTestDevice Device;
  TOscSignal& C = Device.Signals().Signal(0);
  EXPECT_FALSE(C.IsOverTuned());
  C.SetSample(0, 3);
  C.SetSample(1, 252);
  EXPECT_FALSE(C.IsOverTuned());
  C.SetSample(1, 253);
  EXPECT_TRUE(C.IsOverTuned());
  C.SetSample(1, 2);
  EXPECT_TRUE(C.IsOverTuned());
  C.Clear();
  C.SetSample(0, 100);
  EXPECT_FALSE(C.IsOverTuned()); // the zeros beyond Fill do not count
}

// Any byte may arrive where an ordinal belongs; the setters keep the current
// value for one outside its enumeration, so no look-up reads past a table.
TEST(ModelOrdinalGuard, OutOfRangeOrdinalsKeepTheCurrentValue) {
  TTestDevice Device;
  TOscSignal& C = Device.Signals().Signal(0);
  int Notifications = 0;
  TOscDeviceObserver Counter([&](TOscDevice*, TOscDeviceProperties) { ++Notifications; });
  Device.RegisterObserver(&Counter);
  for (int V = 0; V <= 255; ++V) {
    SCOPED_TRACE(V);
    const auto B = static_cast<std::uint8_t>(V);
    Device.SetTimeBase(static_cast<TOscTimeBase>(B));
    C.SetVoltsPerDivision(static_cast<TOscVoltsPerDivision>(B));
    C.SetCoupling(static_cast<TOscInputCoupling>(B));
    C.SetMultiplier(static_cast<TOscMultiplier>(B));
    Device.Trigger().SetMode(static_cast<TOscTriggerMode>(B));
    Device.Trigger().SetSlope(static_cast<TOscTriggerSlope>(B));
    Device.Battery().SetState(static_cast<TOscBatteryState>(B));
    Device.Trigger().SetChannel(V);
    EXPECT_LT(static_cast<int>(Device.TimeBase()), 19);
    EXPECT_LT(static_cast<int>(C.VoltsPerDivision()), 13);
    EXPECT_LT(static_cast<int>(C.Coupling()), 3);
    EXPECT_LT(static_cast<int>(Device.Trigger().Mode()), 3);
    // Look-ups stay inside their tables.
    EXPECT_FALSE(std::isnan(Device.SampleRate()));
    EXPECT_GE(C.VoltsPerSample(), 0.0);
  }
  EXPECT_EQ(Device.TimeBase(), tb1s);
  EXPECT_EQ(C.VoltsPerDivision(), vdiv5mV);
  EXPECT_EQ(C.Coupling(), inGND);
  EXPECT_EQ(Device.Trigger().Channel(), 1);
  Device.Trigger().SetChannel(-1);
  EXPECT_EQ(Device.Trigger().Channel(), 1);
  EXPECT_GT(Notifications, 0);
}

// An ordinal that never went through a setter still reads inside the tables:
// the scale is then not a number, which no readout shows.
TEST(ModelOrdinalGuard, ScaleLookUpsCheckTheOrdinalThemselves) {
  for (int V : {13, 19, 200, 255}) {
    SCOPED_TRACE(V);
    const auto B = static_cast<std::uint8_t>(V);
    EXPECT_TRUE(
        std::isnan(OscVoltsPerDivisionVoltage(static_cast<TOscVoltsPerDivision>(B), multX10)));
    EXPECT_TRUE(std::isnan(OscVoltsPerDivisionOf(static_cast<TOscVoltsPerDivision>(B))));
    if (V >= 19) {
      EXPECT_TRUE(std::isnan(OscSamplePeriod(static_cast<TOscTimeBase>(B))));
      EXPECT_TRUE(std::isnan(OscTimeBaseSeconds(static_cast<TOscTimeBase>(B))));
    }
  }
  EXPECT_DOUBLE_EQ(OscVoltsPerDivisionVoltage(vdiv5mV, multX1), 0.005);
  EXPECT_DOUBLE_EQ(OscSamplePeriod(tb1s), 0.02);
}

} // namespace
