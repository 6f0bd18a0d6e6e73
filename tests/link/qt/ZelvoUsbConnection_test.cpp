// The serial link over a real pseudo-terminal, against the simulated scope.

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "SimLinkFixture.h"
#include "link/qt/ZelvoLinkError.h"

namespace {

class ZelvoUsbConnectionTest : public SimLinkFixture, public ::testing::Test {
protected:
  void SetUp() override { Start(TLinkKind::Pty); }
};

TEST_F(ZelvoUsbConnectionTest, OpenConnectsAndWritesSettingsAndRequestBeforeReturning) {
  int ObserverConnects = 0;
  TZelvoConnectionObserver O;
  O.SetOnConnect([&](TZelvoConnection*) { ++ObserverConnects; });
  Link->RegisterObserver(&O);
  EXPECT_TRUE(Link->Open());
  EXPECT_EQ(ObserverConnects, 1);
  EXPECT_EQ(Link->Statistics().PacketsOut(), 2);
  EXPECT_EQ(Usb->ComPort().bytesToWrite(), 0) << "handed to the line before Open returned";
  EXPECT_TRUE(Link->Open()) << "already open";
  EXPECT_EQ(ObserverConnects, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Record().Received.size() >= 2; }, 3000));
  EXPECT_EQ(Record().Received[1], (TFrame{0x02, 0x12, 0x08, 0x00, 0x00, 0x00, 0xE4, 0x0A}));
}

TEST_F(ZelvoUsbConnectionTest, LineSettingsAre38400_8N1WithoutFlowControl) {
  ASSERT_TRUE(Connect());
  const QSerialPort& P = Usb->ComPort();
  EXPECT_EQ(P.baudRate(), 38400);
  EXPECT_EQ(P.dataBits(), QSerialPort::Data8);
  EXPECT_EQ(P.parity(), QSerialPort::NoParity);
  EXPECT_EQ(P.stopBits(), QSerialPort::OneStop);
  EXPECT_EQ(P.flowControl(), QSerialPort::NoFlowControl);
  EXPECT_EQ(P.readBufferSize(), 32768);
}

TEST_F(ZelvoUsbConnectionTest, SendWhileClosedWritesAndCountsNothing) {
  int Sends = 0;
  Link->SetOnSend([&](TZelvoConnection*, const TZelvoPacket&) { ++Sends; });
  Driver.RequestSamples();
  EXPECT_EQ(Link->Statistics().PacketsOut(), 0);
  EXPECT_EQ(Sends, 0);
  Spin(50);
  EXPECT_TRUE(Record().Received.empty());
}

TEST_F(ZelvoUsbConnectionTest, MissingOrBusyPortRaisesNamingThePort) {
  TZelvoUsbConnection Holder;
  Holder.SetPort(Usb->Port());
  ASSERT_TRUE(Holder.Open());
  for (const std::string& Name : {std::string("/dev/zelvo-no-such-port"), Usb->Port()}) {
    SCOPED_TRACE(Name);
    TZelvoUsbConnection L;
    L.SetPort(Name);
    int Connects = 0;
    L.SetOnConnect([&](TZelvoConnection*) { ++Connects; });
    try {
      L.Open();
      ADD_FAILURE() << "no exception";
    } catch (const EZelvoLinkError& E) {
      EXPECT_NE(std::string(E.what()).find(Name), std::string::npos) << E.what();
    }
    EXPECT_FALSE(L.Connected());
    EXPECT_EQ(Connects, 0);
  }
}

TEST_F(ZelvoUsbConnectionTest, CloseAndDestructionReportDisconnectBeforeReturning) {
  ASSERT_TRUE(Connect());
  Link->Close();
  EXPECT_EQ(Disconnects, 1);
  EXPECT_FALSE(Link->Connected());
  Link->Close();
  EXPECT_EQ(Disconnects, 1) << "closing a closed link reports nothing";

  ASSERT_TRUE(Link->Open());
  int ObserverDisconnects = 0;
  TZelvoConnectionObserver O;
  O.SetOnDisconnect([&](TZelvoConnection*) { ++ObserverDisconnects; });
  Link->RegisterObserver(&O);
  Link.reset();
  EXPECT_EQ(ObserverDisconnects, 1);
  EXPECT_EQ(Driver.Connection(), nullptr);
}

// A vanished device makes the port report errors over and over; the link
// closes on the first and the program does not spin.
TEST_F(ZelvoUsbConnectionTest, VanishedDeviceGivesOneDisconnectAndNoSpinning) {
  ASSERT_TRUE(Connect());
  QSignalSpy PortErrors(&Usb->ComPort(), &QSerialPort::errorOccurred);
  Sim->ClosePty();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Disconnects > 0; }, 3000));
  Spin(300);
  EXPECT_EQ(Disconnects, 1);
  EXPECT_FALSE(Link->Connected());
  EXPECT_LE(Errors, 1);
  EXPECT_LE(PortErrors.count(), 3);
}

TEST_F(ZelvoUsbConnectionTest, FullCaptureArrivesAtTheRealLineRate) {
  // 8 frames of 1042 bytes at 3840 bytes per second: a little over 2 s.
  Sim.reset();
  Config.LineRate = 38400;
  Start(TLinkKind::Pty);
  ASSERT_TRUE(Connect());
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return ReceivedWithCommand(CScopeSampleDataCommand) >= 8; }, 8000));
  EXPECT_EQ(Driver.Signals()[0].Fill(), CSampleCount);
}

// The bytes of one frame in two deliveries, over a bare pseudo-terminal.
TEST(ZelvoUsbConnectionRawTest, FrameSplitAcrossDeliveriesArrivesWhenComplete) {
  const int Master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(Master, 0);
  ASSERT_EQ(grantpt(Master), 0);
  ASSERT_EQ(unlockpt(Master), 0);
  TZelvoUsbConnection L;
  L.SetPort(ptsname(Master));
  std::vector<TFrame> Got;
  L.SetOnReceive([&](TZelvoConnection*, const TZelvoPacket& P) {
    Got.emplace_back(P.Raw(), P.Raw() + P.Size());
  });
  ASSERT_TRUE(L.Open());
  const TFrame Frame = {0x02, 0x12, 0x08, 0x00, 0x00, 0x00, 0xE4, 0x0A};
  ASSERT_EQ(::write(Master, Frame.data(), 3), 3);
  Spin(100);
  EXPECT_TRUE(Got.empty());
  ASSERT_EQ(::write(Master, Frame.data() + 3, 5), 5);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Got.empty(); }, 3000));
  EXPECT_EQ(Got, std::vector<TFrame>{Frame});
  L.Close();
  ::close(Master);
}

} // namespace
