#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"
#include "link/ZelvoMemoryConnection.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "osc/OscMeasurement.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Finalized(TZelvoPacket Packet) {
  Packet.Finalize();
  return TBytes(Packet.Raw(), Packet.Raw() + Packet.Size());
}

class ZelvoTest : public ::testing::Test {
protected:
  ZelvoTest() { Zelvo.SetConnection(&Link); }

  // A received frame carrying the device's own settings (so applying it
  // changes nothing), with the given status and edits.
  TZelvoSettingsBlock OwnBlock(std::uint8_t Status = 0) {
    TZelvoSettingsBlock Block = ZelvoSettingsBlock(Zelvo);
    Block.Status = Status;
    return Block;
  }
  void Receive(const TZelvoPacket& Packet) { Link.Feed(Finalized(Packet)); }
  void ReceiveSettings(const TZelvoSettingsBlock& Block) {
    Receive(ZelvoSettingsFrame(Block, CScopeSettingsCommand));
  }
  // Samples whose channel 0 byte is 10 + k % 200 and channel 1 byte 20 + k % 200.
  void ReceiveSamples(int ByteOffset, int Pairs, std::uint8_t Status = 0) {
    TBytes Data(static_cast<std::size_t>(2 * Pairs));
    for (int K = 0; K < Pairs; ++K) {
      Data[static_cast<std::size_t>(2 * K)] = static_cast<std::uint8_t>(10 + K % 200);
      Data[static_cast<std::size_t>(2 * K + 1)] = static_cast<std::uint8_t>(20 + K % 200);
    }
    TZelvoSettingsBlock Block = OwnBlock(Status);
    Block.Offset = static_cast<std::uint16_t>(ByteOffset);
    Receive(ZelvoSampleFrame(Block, Data.data(), Pairs));
  }
  void FillChannels(TOscSample Value) {
    for (int C = 0; C < 2; ++C)
      for (int I = 0; I < CSampleCount; ++I)
        Zelvo.Signals()[C].SetSample(I, Value);
  }
  std::vector<int> SentCommands() const {
    std::vector<int> Commands;
    for (const TBytes& F : Link.SentFrames())
      Commands.push_back(F[1]);
    return Commands;
  }

  TZelvoMemoryConnection Link;
  TZelvo Zelvo;
};

TEST_F(ZelvoTest, FixedRequestFramesAreSentByteForByte) {
  struct TCase {
    const char* Name;
    std::function<void(TZelvo&)> Send;
    TBytes Frame;
  };
  const TCase Cases[] = {
      {"RequestSamples", [](TZelvo& Z) { Z.RequestSamples(); }, {2, 0x12, 8, 0, 0, 0, 0xE4, 0x0A}},
      {"Calibrate", [](TZelvo& Z) { Z.Calibrate(); }, {2, 0xCA, 8, 0, 0, 0, 0x2C, 0x0A}},
      {"RequestWifiSettings",
       [](TZelvo& Z) { Z.RequestWifiSettings(); },
       {2, 0x0A, 8, 0, 0, 0, 0xEC, 0x0A}},
      {"TransmitDebug(true)",
       [](TZelvo& Z) { Z.TransmitDebug(true); },
       {2, 0x0D, 8, 0, 0, 0, 0xE9, 0x0A}},
      {"TransmitDebug(false)",
       [](TZelvo& Z) { Z.TransmitDebug(false); },
       {2, 0x0C, 8, 0, 0, 0, 0xEA, 0x0A}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Link.ClearSent();
    C.Send(Zelvo);
    EXPECT_EQ(Link.SentFrames(), std::vector<TBytes>{C.Frame});
  }
}

TEST_F(ZelvoTest, SettingsFrameOfTheDeviceDefaults) {
  Zelvo.TransmitSettings();
  const TBytes Expected = {0x02, 0x11, 0x12, 0x00, 0x00, 0x00, 0x00, 0x02, 0x80,
                           0x00, 0x02, 0x80, 0x08, 0x80, 0x01, 0x00, 0x4E, 0x0A};
  EXPECT_EQ(Link.SentFrames(), std::vector<TBytes>{Expected});
}

TEST_F(ZelvoTest, SettingsFrameCarriesEveryChannelAndTriggerSetting) {
  Zelvo.Signals()[0].SetCoupling(inDC);
  Zelvo.Signals()[0].SetVoltsPerDivision(vdiv5mV);
  Zelvo.Signals()[0].SetYPosition(0x1FF); // only the low 8 bits travel
  Zelvo.Signals()[1].SetCoupling(inGND);
  Zelvo.Signals()[1].SetVoltsPerDivision(vdiv1V);
  Zelvo.Signals()[1].SetYPosition(40);
  Zelvo.SetTimeBase(tb1s);
  Zelvo.Trigger().SetLevel(200);
  Zelvo.Trigger().SetMode(tmOnce);
  Zelvo.Trigger().SetSlope(teFallingSlope);
  Zelvo.Trigger().SetChannel(1);
  Zelvo.SetHold(true);
  Zelvo.SetAutoRange(true);
  Zelvo.TransmitSettings();
  ASSERT_EQ(Link.SentFrames().size(), 1u);
  const TBytes& F = Link.SentFrames()[0];
  EXPECT_EQ(TBytes(F.begin() + 4, F.end() - 2),
            (TBytes{0, 0, 1, 12, 0xFF, 2, 5, 40, 18, 200, 0x9E, 0}));
}

TEST_F(ZelvoTest, TransmittingSettingsEmptiesTheChannelsUnlessHeld) {
  FillChannels(100);
  Zelvo.SetHold(true);
  Zelvo.TransmitSettings();
  EXPECT_EQ(Zelvo.Signals()[0].Fill(), CSampleCount);
  EXPECT_EQ(Zelvo.Signals()[1].GetSample(7), 100);
  Zelvo.SetHold(false);
  Zelvo.TransmitSettings();
  for (int C = 0; C < 2; ++C) {
    EXPECT_EQ(Zelvo.Signals()[C].Fill(), 0);
    EXPECT_EQ(Zelvo.Signals()[C].GetSample(7), 0);
  }
}

TEST_F(ZelvoTest, ConnectSendsSettingsThenSampleRequestBeforeTheShellsWifiRequest) {
  Link.SetOnConnect([this](TZelvoConnection*) { Zelvo.RequestWifiSettings(); });
  Link.Open();
  EXPECT_EQ(SentCommands(), (std::vector<int>{0x11, 0x12, 0x0A}));
  EXPECT_EQ(Link.Statistics().PacketsOut(), 3);
}

TEST_F(ZelvoTest, AttachingSendsNothingAndWithoutAConnectionNothingIsSent) {
  TZelvoMemoryConnection Other;
  Zelvo.SetConnection(&Other);
  EXPECT_TRUE(Other.SentFrames().empty());
  EXPECT_EQ(Link.ObserverCount(), 0);
  EXPECT_EQ(Other.ObserverCount(), 1);
  Zelvo.SetConnection(nullptr);
  EXPECT_EQ(Other.ObserverCount(), 0);
  Zelvo.TransmitSettings();
  Zelvo.Calibrate();
  EXPECT_TRUE(Link.SentFrames().empty());
  EXPECT_TRUE(Other.SentFrames().empty());
}

TEST_F(ZelvoTest, SampleBlocksLandAtTheirOffsetAndTheLastOneUpdatesMeasurements) {
  struct TCase {
    int ByteOffset;
    int FirstWritten, LastWritten;
    bool Updates;
  };
  const TCase Cases[] = {
      {0x0400, 512, 1023, false},
      {0x1C00, 3584, 4095, true},
      {7680, 3840, 4095, false}, // ends at 4352: the rest is skipped
      {0xFFFF, 0, -1, false},    // wholly beyond the capture
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.ByteOffset);
    TZelvo Device;
    TZelvoMemoryConnection L;
    Device.SetConnection(&L);
    for (int Ch = 0; Ch < 2; ++Ch)
      for (int I = 0; I < CSampleCount; ++I)
        Device.Signals()[Ch].SetSample(I, 128);
    TZelvoSettingsBlock Block = ZelvoSettingsBlock(Device);
    Block.Offset = static_cast<std::uint16_t>(C.ByteOffset);
    TBytes Pairs(1024);
    for (int K = 0; K < 512; ++K) {
      Pairs[static_cast<std::size_t>(2 * K)] = static_cast<std::uint8_t>(10 + K % 200);
      Pairs[static_cast<std::size_t>(2 * K + 1)] = static_cast<std::uint8_t>(20 + K % 200);
    }
    L.Feed(Finalized(ZelvoSampleFrame(Block, Pairs.data(), 512)));
    for (int I = 0; I < CSampleCount; ++I) {
      const bool Written = I >= C.FirstWritten && I <= C.LastWritten;
      const int K = I - C.FirstWritten;
      ASSERT_EQ(Device.Signals()[0].GetSample(I), Written ? 10 + K % 200 : 128) << I;
      ASSERT_EQ(Device.Signals()[1].GetSample(I), Written ? 20 + K % 200 : 128) << I;
    }
    EXPECT_EQ(Device.Signals()[0].Fill(), CSampleCount);
    EXPECT_EQ(Device.Signals()[0].Measurement().ToString() != CInvalidValue, C.Updates);
    EXPECT_EQ(Device.Signals()[1].Measurement().ToString() != CInvalidValue, C.Updates);
    // Only the block that completes the capture counts as a capture.
    EXPECT_EQ(Device.Captures(), C.Updates ? 1u : 0u);
  }
}

TEST_F(ZelvoTest, SampleBlockRaisesFillToItsEndOnly) {
  ReceiveSamples(2 * 100, 10);
  EXPECT_EQ(Zelvo.Signals()[0].Fill(), 110);
  EXPECT_EQ(Zelvo.Signals()[1].Fill(), 110);
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(99), 0);
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(100), 10);
  EXPECT_EQ(Zelvo.Signals()[1].GetSample(109), 29);
  // An odd last byte is ignored, and a frame without pairs stores nothing.
  TZelvoSettingsBlock Block = OwnBlock();
  Block.Offset = 2 * 200;
  const std::uint8_t Three[] = {1, 2, 3};
  TZelvoPacket Odd = ZelvoSampleFrame(Block, Three, 1);
  Odd.SetSize(Odd.Size() + 1);
  Odd.SetData(CZelvoSamplePairsPos + 2, 3);
  Receive(Odd);
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(200), 1);
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(201), 0);
  EXPECT_EQ(Zelvo.Signals()[0].Fill(), 201);
  Receive(ZelvoSampleFrame(OwnBlock(), nullptr, 0));
  EXPECT_EQ(Zelvo.Signals()[0].Fill(), 201);
}

TEST_F(ZelvoTest, SettingsInASampleFrameApplyBeforeItsSamples) {
  FillChannels(100);
  TZelvoSettingsBlock Block = OwnBlock();
  Block.TimeBase = tb1ms;
  Block.Offset = 0;
  const std::uint8_t Pair[] = {50, 60};
  Receive(ZelvoSampleFrame(Block, Pair, 1));
  EXPECT_EQ(Zelvo.TimeBase(), tb1ms);
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(0), 50);
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(1), 0); // the change erased the rest
  EXPECT_EQ(Zelvo.Signals()[0].Fill(), 1);
}

TEST_F(ZelvoTest, ReceivedSettingsGoThroughTheSettersInOrder) {
  TZelvoSettingsBlock Block = OwnBlock();
  Block.Coupling[0] = inDC;
  Block.VoltsPerDivision[0] = vdiv2V;
  Block.YPosition[0] = 250;
  Block.Coupling[1] = inGND;
  Block.VoltsPerDivision[1] = vdiv50mV;
  Block.YPosition[1] = 0;
  Block.TimeBase = tb20us;
  Block.Level = 255; // clamped by the trigger
  Block.Flags = 0x0C;
  ReceiveSettings(Block);
  EXPECT_EQ(Zelvo.Signals()[0].Coupling(), inDC);
  EXPECT_EQ(Zelvo.Signals()[0].VoltsPerDivision(), vdiv2V);
  EXPECT_EQ(Zelvo.Signals()[0].YPosition(), 250);
  EXPECT_EQ(Zelvo.Signals()[1].Coupling(), inGND);
  EXPECT_EQ(Zelvo.Signals()[1].VoltsPerDivision(), vdiv50mV);
  EXPECT_EQ(Zelvo.Signals()[1].YPosition(), 0);
  EXPECT_EQ(Zelvo.TimeBase(), tb20us);
  EXPECT_EQ(Zelvo.Trigger().Level(), 252);
  EXPECT_EQ(Zelvo.Trigger().Mode(), tmNormal);
  EXPECT_EQ(Zelvo.Trigger().Slope(), teFallingSlope);
  EXPECT_EQ(Zelvo.Trigger().Channel(), 1);
  EXPECT_FALSE(Zelvo.Hold());
}

TEST_F(ZelvoTest, FlagsByteAndAutoRangeInteractions) {
  // 0x96: mode once clears auto-range before bit 7 sets it again.
  TZelvoSettingsBlock Block = OwnBlock();
  Block.Flags = 0x96;
  ReceiveSettings(Block);
  EXPECT_EQ(Zelvo.Trigger().Mode(), tmOnce);
  EXPECT_EQ(Zelvo.Trigger().Slope(), teFallingSlope);
  EXPECT_EQ(Zelvo.Trigger().Channel(), 0);
  EXPECT_TRUE(Zelvo.Hold());
  EXPECT_TRUE(Zelvo.AutoRange());

  // A volts-per-division change after bit 7 was applied clears it again.
  Block.VoltsPerDivision[1] = vdiv100mV;
  ReceiveSettings(Block);
  EXPECT_EQ(Zelvo.Signals()[1].VoltsPerDivision(), vdiv100mV);
  EXPECT_FALSE(Zelvo.AutoRange());
}

TEST_F(ZelvoTest, StatusByteSetsCalibratingAndBattery) {
  struct TCase {
    std::uint8_t Status;
    bool Calibrating;
    TOscBatteryState Battery;
  };
  // The battery starts low; codes other than 2, 3, 4 leave it as it is.
  const TCase Cases[] = {
      {0x12, true, batteryFull}, {0x05, false, batteryFull}, {0x04, false, batteryCharging},
      {0xEB, false, batteryLow}, {0x00, false, batteryLow},  {0x1F, true, batteryLow},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.Status));
    ReceiveSettings(OwnBlock(C.Status));
    EXPECT_EQ(Zelvo.Calibrating(), C.Calibrating);
    EXPECT_EQ(Zelvo.Battery().State(), C.Battery);
  }
}

TEST_F(ZelvoTest, UnknownCommandsChangeNothing) {
  FillChannels(100);
  int Changes = 0;
  Zelvo.SetOnChange([&](TOscDevice*) { ++Changes; });
  for (TCommand Command : {0x30, 0x11, 0x12, 0x00, 0xFF}) {
    TZelvoPacket Packet = ZelvoSettingsFrame(OwnBlock(0x12), Command);
    Packet.SetData(CZelvoTimeBasePos, tb1s);
    Receive(Packet);
  }
  EXPECT_EQ(Link.Statistics().PacketsIn(), 5);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(Zelvo.TimeBase(), tb500us);
  EXPECT_FALSE(Zelvo.Calibrating());
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(5), 100);
}

TEST_F(ZelvoTest, OutOfRangeOrdinalsChangeNoSetting) {
  Zelvo.SetTimeBase(tb2ms);
  Zelvo.Trigger().SetMode(tmNormal);
  struct TCase {
    const char* Name;
    std::function<void(TZelvoSettingsBlock&, std::uint8_t)> Edit;
    int First;
  };
  const TCase Cases[] = {
      {"time base", [](TZelvoSettingsBlock& B, std::uint8_t V) { B.TimeBase = V; }, 19},
      {"vdiv 0", [](TZelvoSettingsBlock& B, std::uint8_t V) { B.VoltsPerDivision[0] = V; }, 13},
      {"vdiv 1", [](TZelvoSettingsBlock& B, std::uint8_t V) { B.VoltsPerDivision[1] = V; }, 13},
      {"coupling 0", [](TZelvoSettingsBlock& B, std::uint8_t V) { B.Coupling[0] = V; }, 3},
      {"coupling 1", [](TZelvoSettingsBlock& B, std::uint8_t V) { B.Coupling[1] = V; }, 3},
  };
  const TZelvoSettingsBlock Before = OwnBlock();
  for (const TCase& C : Cases) {
    for (int V = C.First; V <= 255; ++V) {
      SCOPED_TRACE(std::string(C.Name) + " " + std::to_string(V));
      TZelvoSettingsBlock Block = Before;
      C.Edit(Block, static_cast<std::uint8_t>(V));
      ReceiveSamples(0, 4); // a sample frame as well as a settings frame
      ReceiveSettings(Block);
      const TZelvoSettingsBlock After = ZelvoSettingsBlock(Zelvo);
      ASSERT_EQ(TBytes(&After.Coupling[0], &After.Flags + 1),
                TBytes(&Before.Coupling[0], &Before.Flags + 1));
    }
  }
  // Trigger mode 3 (flags bits 0-1 both set) keeps the mode; the other bits apply.
  TZelvoSettingsBlock Block = Before;
  Block.Flags = 0x07;
  ReceiveSettings(Block);
  EXPECT_EQ(Zelvo.Trigger().Mode(), tmNormal);
  EXPECT_EQ(Zelvo.Trigger().Slope(), teFallingSlope);
  // Readouts and the frame sent back stay within the tables.
  ReceiveSamples(0x1C00, 512);
  Zelvo.TransmitSettings();
  EXPECT_EQ(Link.SentFrames().back()[12], tb2ms);
}

TEST_F(ZelvoTest, ShortFrameRaisesAfterTheStepsAlreadyDone) {
  TZelvoSettingsBlock Block = OwnBlock();
  Block.TimeBase = tb1ms;
  Block.Level = 77;
  TZelvoPacket Packet = ZelvoSettingsFrame(Block, CScopeSettingsCommand);
  Packet.SetSize(6 + 10); // data 0..9: time base and level only
  try {
    Receive(Packet);
    FAIL() << "no exception";
  } catch (const EOscOutOfRangeError& E) {
    EXPECT_STREQ(E.what(), "Index out of range");
  }
  EXPECT_EQ(Zelvo.TimeBase(), tb1ms);
  EXPECT_EQ(Zelvo.Trigger().Level(), 77);
  // The link goes on with the next frame.
  ReceiveSamples(0, 2);
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(1), 11);
}

TEST_F(ZelvoTest, CalibrationWindowClosedByAFrameHandledInsideItsNestedLoop) {
  // The shell shows a modal window from OnCalibrate; the frame that reports the
  // end of calibration is read and handled inside that window's event loop.
  std::vector<std::string> Log;
  Zelvo.SetOnCalibrate([&](TOscDevice*) {
    Log.push_back("window opens");
    ReceiveSamples(2 * 600, 8, CZelvoBatteryCodeFull); // calibration done
    Log.push_back("window closed");
  });
  Zelvo.SetOnCalibrated([&](TOscDevice*) { Log.push_back("calibrated"); });
  ReceiveSamples(2 * 300, 8, CZelvoStatusCalibrating | CZelvoBatteryCodeLow);
  EXPECT_EQ(Log, (std::vector<std::string>{"window opens", "calibrated", "window closed"}));
  EXPECT_FALSE(Zelvo.Calibrating());
  // Both frames stored their samples; the outer one's battery code came last.
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(300), 10);
  EXPECT_EQ(Zelvo.Signals()[0].GetSample(600), 10);
  EXPECT_EQ(Zelvo.Signals()[1].GetSample(307), 27);
  EXPECT_EQ(Zelvo.Signals()[1].GetSample(607), 27);
  EXPECT_EQ(Zelvo.Battery().State(), batteryLow);
  EXPECT_EQ(Link.Statistics().PacketsIn(), 2);
}

TEST(ZelvoLifetimeTest, ConnectionDestroyedFirstDetachesTheDriver) {
  TZelvo Zelvo;
  auto Link = std::make_unique<TZelvoMemoryConnection>();
  Zelvo.SetConnection(Link.get());
  Link.reset();
  EXPECT_EQ(Zelvo.Connection(), nullptr);
  Zelvo.TransmitSettings(); // must not reach the freed connection
  Zelvo.SetConnection(nullptr);
}

TEST(ZelvoLifetimeTest, DriverDestroyedFirstLeavesNoObserverBehind) {
  TZelvoMemoryConnection Link;
  int Received = 0;
  Link.SetOnReceive([&](TZelvoConnection*, const TZelvoPacket&) { ++Received; });
  {
    TZelvo Zelvo;
    Zelvo.SetConnection(&Link);
    EXPECT_EQ(Link.ObserverCount(), 1);
  }
  EXPECT_EQ(Link.ObserverCount(), 0);
  Link.Open();
  TZelvo Other;
  Link.Feed(Finalized(ZelvoSettingsFrame(ZelvoSettingsBlock(Other), CScopeSettingsCommand)));
  EXPECT_EQ(Received, 1);
}

// --- WiFi settings ----------------------------------------------------------

TEST_F(ZelvoTest, WifiReportFillsTheSettingsSilently) {
  int Changes = 0;
  Zelvo.SetOnChange([&](TOscDevice*) { ++Changes; });
  Receive(ZelvoWifiSettingsFrame(6, "Zelvo_AP", "secret12", "0042", "1.3.7"));
  const TZelvoWifiSettings& W = Zelvo.WifiSettings();
  EXPECT_EQ(W.Channel(), 6);
  EXPECT_EQ(W.SSID(), "Zelvo_AP");
  EXPECT_EQ(W.Password(), "secret12");
  EXPECT_EQ(W.Build(), "0042");
  EXPECT_EQ(W.Firmware(), "1.3.7");
  EXPECT_EQ(Changes, 0);
  EXPECT_TRUE(Link.SentFrames().empty());

  // Full-width fields have no terminating 0; an empty field reads as empty.
  Receive(ZelvoWifiSettingsFrame(0xFFFF, std::string(32, 'S'), "", "abcd", std::string(16, 'f')));
  EXPECT_EQ(W.Channel(), 13);
  EXPECT_EQ(W.SSID(), std::string(32, 'S'));
  EXPECT_EQ(W.Password(), "");
  EXPECT_EQ(W.Build(), "abcd");
  EXPECT_EQ(W.Firmware(), std::string(16, 'f'));
}

TEST_F(ZelvoTest, ShortWifiReportKeepsWhatWasReadBeforeRaising) {
  TZelvoPacket Packet = ZelvoWifiSettingsFrame(3, "Lab", "pw", "b", "f");
  Packet.SetSize(6 + 68); // ends before the build field
  EXPECT_THROW(Receive(Packet), EOscOutOfRangeError);
  EXPECT_EQ(Zelvo.WifiSettings().Channel(), 3);
  EXPECT_EQ(Zelvo.WifiSettings().SSID(), "Lab");
  EXPECT_EQ(Zelvo.WifiSettings().Password(), "pw");
  EXPECT_EQ(Zelvo.WifiSettings().Build(), "");
}

TEST_F(ZelvoTest, WifiChangeFrameByteForByte) {
  Zelvo.WifiSettings().SetChannel(11);
  Zelvo.WifiSettings().SetSSID("Lab");
  Zelvo.WifiSettings().SetPassword("");
  Zelvo.TransmitWifiSettings();
  TBytes Expected = {0x02, 0x0B, 0x4A, 0x00, 0x00, 0x00, 0x0B, 0x00, 'L', 'a', 'b'};
  Expected.resize(Expected.size() + 29 + 32, 0);
  Expected.push_back(TOscChecksum::Calculate(Expected.data(), static_cast<int>(Expected.size())));
  Expected.push_back(0x0A);
  ASSERT_EQ(Expected.size(), 74u);
  EXPECT_EQ(Link.SentFrames(), std::vector<TBytes>{Expected});

  // A name or password longer than the field is cut to 32 bytes.
  Link.ClearSent();
  Zelvo.WifiSettings().SetSSID(std::string(40, 'n'));
  Zelvo.WifiSettings().SetPassword(std::string(33, 'p'));
  Zelvo.TransmitWifiSettings();
  const TBytes& F = Link.SentFrames().at(0);
  EXPECT_EQ(TBytes(F.begin() + 8, F.begin() + 40), TBytes(32, 'n'));
  EXPECT_EQ(TBytes(F.begin() + 40, F.begin() + 72), TBytes(32, 'p'));
}

TEST(ZelvoWifiSettingsTest, ChannelIsLimitedToOneToThirteen) {
  TZelvoWifiSettings W(nullptr);
  EXPECT_EQ(W.Channel(), 0);
  for (auto [In, Out] : {std::pair{0, 1}, {14, 13}, {-5, 1}, {7, 7}, {65535, 13}}) {
    W.SetChannel(In);
    EXPECT_EQ(W.Channel(), Out) << In;
  }
}

TEST(ZelvoWifiSettingsTest, ValidSSIDs) {
  for (const char* Valid : {"Scope_1-a", "A", "zelvo", "0123456789_-"})
    EXPECT_TRUE(IsValidSSID(Valid)) << Valid;
  for (const char* Invalid :
       {"", "my scope", "scope.1", "sc\xF6pe", "\xC3\xA9t\xC3\xA9", "a/b", "a\tb"})
    EXPECT_FALSE(IsValidSSID(Invalid)) << Invalid;
}

TEST(ZelvoWifiSettingsTest, DoChangeTellsTheOwningDevice) {
  TZelvo Zelvo;
  std::vector<std::uint8_t> Seen;
  TOscDeviceObserver O([&](TOscDevice*, TOscDeviceProperties P) { Seen.push_back(P.Bits()); });
  Zelvo.RegisterObserver(&O);
  Zelvo.WifiSettings().DoChange();
  EXPECT_EQ(Seen, std::vector<std::uint8_t>{TOscDeviceProperties{propWifiSettings}.Bits()});
}

} // namespace
