// The driver against the simulated scope, the same conversations over loopback
// TCP and over a pseudo-terminal.

#include <gtest/gtest.h>

#include "SimLinkFixture.h"
#include "osc/OscErrorBoundary.h"
#include "osc/OscMeasurement.h"

namespace {

// Installs the program's exception handler for one test.
class TScopedExceptionHandler {
public:
  explicit TScopedExceptionHandler(TOscExceptionHandler Handler)
      : FOld(OscSetExceptionHandler(std::move(Handler))) {}
  ~TScopedExceptionHandler() { OscSetExceptionHandler(std::move(FOld)); }

private:
  TOscExceptionHandler FOld;
};

class SimLinkTest : public SimLinkFixture, public ::testing::TestWithParam<TLinkKind> {};

TEST_P(SimLinkTest, ScopeFirstReceivesSettingsThenSampleRequestByteForByte) {
  Start(GetParam());
  // The shell asks for the WiFi settings from the connection's own callback,
  // which runs after the driver's connect handling.
  Link->SetOnConnect([this](TZelvoConnection*) {
    ++Connects;
    Driver.RequestWifiSettings();
  });
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Record().Received.size() >= 3; }, 3000));
  const std::vector<TFrame>& R = Record().Received;
  EXPECT_EQ(R[0], (TFrame{0x02, 0x11, 0x12, 0x00, 0x00, 0x00, 0x00, 0x02, 0x80, 0x00, 0x02, 0x80,
                          0x08, 0x80, 0x01, 0x00, 0x4E, 0x0A}));
  EXPECT_EQ(R[1], (TFrame{0x02, 0x12, 0x08, 0x00, 0x00, 0x00, 0xE4, 0x0A}));
  EXPECT_EQ(R[2], (TFrame{0x02, 0x0A, 0x08, 0x00, 0x00, 0x00, 0xEC, 0x0A}));
  EXPECT_EQ(Connects, 1);
}

TEST_P(SimLinkTest, FullCaptureArrivesAndRefreshesMeasurements) {
  Config.BatteryCode = 4;
  Start(GetParam());
  // 2 V peak sine on channel 1 at 1 V/div: 4 V peak to peak, 100 sample steps.
  Driver.Signals()[0].SetVoltsPerDivision(vdiv1V);
  Driver.Signals()[0].Measurement().SetValueType(TOscMeasurementType::Vpkpk);
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return Driver.Signals()[0].Measurement().ToString() != CInvalidValue; }, 5000));
  EXPECT_EQ(Driver.Signals()[0].Fill(), CSampleCount);
  EXPECT_EQ(Driver.Signals()[1].Fill(), CSampleCount);
  EXPECT_NEAR(Driver.Signals()[0].Vpkpk(), 4.0, 0.1);
  EXPECT_EQ(Driver.Battery().State(), batteryCharging);
  EXPECT_EQ(Errors, 0);
}

TEST_P(SimLinkTest, SettingsChangesArriveFromEitherSide) {
  Start(GetParam());
  ASSERT_TRUE(Connect());
  // From the program to the scope.
  Driver.SetTimeBase(tb1ms);
  Driver.Trigger().SetLevel(100);
  Driver.TransmitSettings();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Sim->Scope().Settings().TimeBase == tb1ms; }, 3000));
  EXPECT_EQ(Sim->Scope().Settings().Level, 100);

  // From the scope's own panel to the program.
  Sim->Scope().Settings().VoltsPerDivision[1] = vdiv2V;
  Sim->Scope().Settings().Coupling[1] = inGND;
  Sim->ReportSettings();
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return Driver.Signals()[1].VoltsPerDivision() == vdiv2V; }, 3000));
  EXPECT_EQ(Driver.Signals()[1].Coupling(), inGND);

  // Auto-range: the scope picks the volts/div that holds 2 V peak in 8
  // divisions, and the program takes it.
  Driver.SetAutoRange(true);
  Driver.TransmitSettings();
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return Driver.Signals()[0].VoltsPerDivision() == vdiv500mV; }, 3000));
}

TEST_P(SimLinkTest, WifiRequestIsAnsweredAndChangeReachesScope) {
  Config.Ssid = "ScopeLab";
  Config.Password = "secret99";
  Config.WifiChannel = 9;
  Config.Build = "0042";
  Config.Firmware = "2.7.1";
  Start(GetParam());
  ASSERT_TRUE(Connect());
  Driver.RequestWifiSettings();
  const TZelvoWifiSettings& W = Driver.WifiSettings();
  ASSERT_TRUE(QTest::qWaitFor([&] { return W.SSID() == "ScopeLab"; }, 3000));
  EXPECT_EQ(W.Password(), "secret99");
  EXPECT_EQ(W.Channel(), 9);
  EXPECT_EQ(W.Build(), "0042");
  EXPECT_EQ(W.Firmware(), "2.7.1");

  Driver.WifiSettings().SetSSID("Lab");
  Driver.WifiSettings().SetChannel(11);
  Driver.TransmitWifiSettings();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Sim->Scope().Ssid() == "Lab"; }, 3000));
  EXPECT_EQ(Sim->Scope().WifiChannel(), 11);
  EXPECT_EQ(Sim->Scope().Password(), "secret99");
}

TEST_P(SimLinkTest, CalibrationFlagGoesOnThenOff) {
  Start(GetParam());
  int On = 0, Off = 0;
  Driver.SetOnCalibrate([&](TOscDevice*) { ++On; });
  Driver.SetOnCalibrated([&](TOscDevice*) { ++Off; });
  ASSERT_TRUE(Connect());
  Driver.Calibrate();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Driver.Calibrating(); }, 3000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Driver.Calibrating(); }, 3000));
  EXPECT_EQ(On, 1);
  EXPECT_EQ(Off, 1);
}

TEST_P(SimLinkTest, DebugFramesComeUntilSwitchedOffAndChangeNothing) {
  Config.DebugIntervalMs = 20;
  Config.MaxSampleFrames = 8;
  Start(GetParam());
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Record().SampleFramesSent == 8; }, 3000));
  Driver.TransmitDebug(true);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return ReceivedWithCommand(TZelvoSimScope::CDebugOutput) >= 3; }, 3000));
  Driver.TransmitDebug(false);
  Spin(100);
  const int Seen = ReceivedWithCommand(TZelvoSimScope::CDebugOutput);
  Spin(200);
  EXPECT_EQ(ReceivedWithCommand(TZelvoSimScope::CDebugOutput), Seen);
  EXPECT_EQ(Driver.Signals()[0].Fill(), CSampleCount) << "unknown frames leave the capture";
}

TEST_P(SimLinkTest, SimulatorDroppingTheLinkGivesOneDisconnect) {
  Config.Faults.DropAfter = 5;
  Start(GetParam());
  ASSERT_TRUE(Connect());
  EXPECT_TRUE(QTest::qWaitFor([&] { return Disconnects > 0; }, 5000));
  Spin(300);
  EXPECT_EQ(Disconnects, 1);
  EXPECT_EQ(Connects, 1);
  EXPECT_FALSE(Link->Connected());
}

// Garbage, bad checksums, random write boundaries, out-of-range ordinals and a
// dropped link: every intact frame still arrives, once, in order.
TEST_P(SimLinkTest, FaultyStreamDeliversEveryGoodFrameExactlyOnce) {
  Config.Faults.Garbage = 0.3;
  Config.Faults.Corrupt = 0.2;
  Config.Faults.Split = true;
  Config.Faults.BadOrdinals = 0.2;
  Config.Faults.DropAfter = 120;
  Config.Seed = 7;
  Config.FrameRate = 0;
  Start(GetParam());
  const TOscTimeBase TimeBase = Driver.TimeBase();
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Disconnects > 0; }, 10000));
  const TZelvoSimRecord& R = Record();
  EXPECT_EQ(R.FramesSent, 120);
  EXPECT_LT(R.SentGood.size(), 110u) << "the faults were really injected";
  for (std::size_t I = 0; I < std::min(Received.size(), R.SentGood.size()); ++I)
    if (Received[I] != R.SentGood[I]) {
      ADD_FAILURE() << "first difference at " << I << " cmd " << int(R.SentGood[I][1]);
      break;
    }
  ASSERT_EQ(Received.size(), R.SentGood.size());
  for (std::size_t I = 0; I < Received.size(); ++I)
    ASSERT_TRUE(Received[I] == R.SentGood[I]) << "frame " << I << " differs";
  EXPECT_EQ(Driver.TimeBase(), TimeBase) << "out-of-range ordinals are refused";
}

// A handler that runs its own event loop (a modal window opened from a frame
// handler) must keep receiving frames inside that loop: readyRead is not
// emitted again while a slot connected to it runs, so the links must not
// deliver frames from inside that slot.
TEST_P(SimLinkTest, FramesKeepArrivingInsideAHandlersNestedLoop) {
  Config.FrameRate = 0;
  Config.MaxSampleFrames = 40;
  Start(GetParam());
  int InsideLoop = -1;
  Link->SetOnReceive([&](TZelvoConnection*, const TZelvoPacket& P) {
    Received.emplace_back(P.Raw(), P.Raw() + P.Size());
    if (P.Command() != CScopeSampleDataCommand || InsideLoop >= 0)
      return;
    InsideLoop = 0;
    static_cast<void>(
        QTest::qWaitFor([&] { return ReceivedWithCommand(CScopeSampleDataCommand) == 40; }, 3000));
    InsideLoop = ReceivedWithCommand(CScopeSampleDataCommand) - 1;
  });
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(QTest::qWaitFor([&] { return InsideLoop > 0; }, 5000));
  EXPECT_EQ(InsideLoop, 39) << "every later frame arrives inside the nested loop";
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return ReceivedWithCommand(CScopeSampleDataCommand) == 40; }, 3000));
  EXPECT_EQ(Received, Record().SentGood);
  EXPECT_EQ(Driver.Signals()[0].Fill(), CSampleCount);
}

// The calibration window: opened modally from the driver's handling of the
// report that the scope calibrates, closed by the later report that it has
// finished, which must be handled inside the window's own loop.
TEST_P(SimLinkTest, CalibrationWindowIsClosedByAReportHandledInsideItsLoop) {
  Config.FrameRate = 20; // a frame every 50 ms
  Start(GetParam());
  int Opened = 0, ClosedInside = 0, FramesInside = 0;
  QEventLoop* Window = nullptr;
  Driver.SetOnCalibrate([&](TOscDevice*) {
    ++Opened;
    QEventLoop Loop;
    Window = &Loop;
    QTimer::singleShot(4000, &Loop, &QEventLoop::quit);
    const std::size_t Before = Received.size();
    Loop.exec();
    Window = nullptr;
    FramesInside = static_cast<int>(Received.size() - Before);
  });
  Driver.SetOnCalibrated([&](TOscDevice*) {
    if (Window != nullptr) {
      ++ClosedInside;
      Window->quit();
    }
  });
  ASSERT_TRUE(Connect());
  Driver.Calibrate();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Opened == 1 && Window == nullptr; }, 6000));
  EXPECT_EQ(ClosedInside, 1);
  EXPECT_GT(FramesInside, 2);
  EXPECT_FALSE(Driver.Calibrating());
}

// A frame too short for its payload raises inside the driver; the exception
// reaches the program's handler, and the frames that came with it are still
// delivered, also while the handler shows its message in a nested loop.
TEST_P(SimLinkTest, ShortFrameReachesTheExceptionHandlerAndTheLinkKeepsReading) {
  Config.MaxSampleFrames = 4;
  Start(GetParam());
  std::vector<std::string> Raised;
  std::size_t ReceivedAfterMessage = 0;
  const TScopedExceptionHandler Handler([&](std::exception_ptr E) {
    Raised.push_back(OscExceptionMessage(E));
    Spin(300); // the message box
    ReceivedAfterMessage = Received.size();
  });
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Record().SampleFramesSent == 4; }, 3000));
  Spin(100);
  const std::size_t Before = Received.size();
  TZelvoSettingsBlock Block = ZelvoSettingsBlock(Driver);
  Block.TimeBase = tb1ms;
  // 02 20 08 00 00 00 D6 0A: a settings report without its settings.
  Sim->SendTogether({ZelvoRequestFrame(CScopeSettingsCommand),
                     ZelvoSettingsFrame(Block, CScopeSettingsCommand),
                     ZelvoWifiSettingsFrame(3, "Lab", "", "0001", "1.0")});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Raised.empty(); }, 3000));
  EXPECT_EQ(Raised, std::vector<std::string>{"Index out of range"});
  EXPECT_EQ(ReceivedAfterMessage, Before + 2) << "delivered while the message was shown";
  EXPECT_EQ(Driver.TimeBase(), tb1ms);
  EXPECT_EQ(Driver.WifiSettings().SSID(), "Lab");
  Sim->ReportSettings();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Received.size() == Before + 3; }, 3000))
      << "the link still reads";
}

INSTANTIATE_TEST_SUITE_P(Links, SimLinkTest, ::testing::Values(TLinkKind::Tcp, TLinkKind::Pty),
                         LinkName);

} // namespace
