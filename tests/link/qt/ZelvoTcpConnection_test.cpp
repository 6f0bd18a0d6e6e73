// The TCP link over loopback, against the simulated scope.

#include <QTcpServer>

#include <gtest/gtest.h>

#include "SimLinkFixture.h"
#include "link/qt/ZelvoLinkError.h"

namespace {

class ZelvoTcpConnectionTest : public SimLinkFixture, public ::testing::Test {
protected:
  void SetUp() override { Start(TLinkKind::Tcp); }
};

TEST_F(ZelvoTcpConnectionTest, RefusedConnectionGivesOneErrorAndNoConnect) {
  quint16 ClosedPort;
  {
    QTcpServer S;
    ASSERT_TRUE(S.listen(QHostAddress::LocalHost, 0));
    ClosedPort = S.serverPort();
  }
  const int SimPort = Tcp->Port();
  Tcp->SetPort(ClosedPort);
  EXPECT_FALSE(Link->Open());
  EXPECT_EQ(Errors, 0) << "reported later, not from inside Open";
  EXPECT_TRUE(QTest::qWaitFor([&] { return Errors > 0; }, 3000));
  Spin(200);
  EXPECT_EQ(Errors, 1);
  EXPECT_EQ(Connects, 0);
  EXPECT_EQ(Disconnects, 0);
  EXPECT_FALSE(Link->Connected());
  Tcp->SetPort(SimPort);
  EXPECT_TRUE(Connect()) << "a later Open starts a new attempt";
}

TEST_F(ZelvoTcpConnectionTest, HostAndPortChangeOnlyWhileClosed) {
  ASSERT_TRUE(Connect());
  EXPECT_THROW(Tcp->SetHost("127.0.0.2"), EZelvoLinkError);
  EXPECT_THROW(Tcp->SetPort(Tcp->Port() + 1), EZelvoLinkError);
  EXPECT_NO_THROW(Tcp->SetHost("127.0.0.1"));
  EXPECT_NO_THROW(Tcp->SetPort(Tcp->Port()));
  Link->Close();
  EXPECT_EQ(Disconnects, 1);
  EXPECT_NO_THROW(Tcp->SetHost("127.0.0.2"));
  EXPECT_EQ(Tcp->Host(), "127.0.0.2");
}

TEST_F(ZelvoTcpConnectionTest, SendWhileNotConnectedIsCountedButSendsNothing) {
  int ObserverSends = 0;
  TZelvoConnectionObserver O;
  O.SetOnSend([&](TZelvoConnection*, const TZelvoPacket&) { ++ObserverSends; });
  Link->RegisterObserver(&O);
  Driver.RequestSamples();
  EXPECT_EQ(Link->Statistics().PacketsOut(), 1);
  EXPECT_EQ(ObserverSends, 1);
  EXPECT_EQ(Tcp->Client().bytesToWrite(), 0);
}

TEST_F(ZelvoTcpConnectionTest, AddressThatIsNotDottedIPv4Raises) {
  for (const char* Host : {"scope.local", "", "::1", "300.1.1.1"}) {
    SCOPED_TRACE(Host);
    Tcp->SetHost(Host);
    EXPECT_THROW(Link->Open(), EZelvoLinkError);
    EXPECT_FALSE(Link->Connected());
  }
}

TEST_F(ZelvoTcpConnectionTest, CloseDuringAnAttemptAbandonsItSilently) {
  Link->Open();
  Link->Close();
  Spin(200);
  EXPECT_EQ(Connects + Disconnects + Errors, 0);
  EXPECT_FALSE(Link->Connected());
  EXPECT_NO_THROW(Tcp->SetHost("127.0.0.2")) << "closed: the address may change";
}

TEST_F(ZelvoTcpConnectionTest, DestructionReportsNoDisconnect) {
  ASSERT_TRUE(Connect());
  Link.reset();
  EXPECT_EQ(Disconnects, 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Sim->TcpClientConnected(); }, 3000));
}

} // namespace
