// The TCP link over loopback, against the simulated scope.

#include <QElapsedTimer>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include "../../NetnsChild.h"
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

int SocketOption(const TZelvoTcpConnection& Link, int Level, int Name) {
  int Value = -1;
  socklen_t Size = sizeof Value;
  if (::getsockopt(static_cast<int>(Link.Client().socketDescriptor()), Level, Name, &Value,
                   &Size) != 0)
    return -1;
  return Value;
}

TEST_F(ZelvoTcpConnectionTest, ConnectedSocketProbesASilentPeer) {
  ASSERT_TRUE(Connect());
  EXPECT_EQ(SocketOption(*Tcp, SOL_SOCKET, SO_KEEPALIVE), 1);
  EXPECT_EQ(SocketOption(*Tcp, IPPROTO_TCP, TCP_KEEPIDLE), CZelvoKeepAliveIdle);
  EXPECT_EQ(SocketOption(*Tcp, IPPROTO_TCP, TCP_KEEPINTVL), CZelvoKeepAliveInterval);
  EXPECT_EQ(SocketOption(*Tcp, IPPROTO_TCP, TCP_KEEPCNT), CZelvoKeepAliveCount);
  EXPECT_EQ(SocketOption(*Tcp, IPPROTO_TCP, TCP_USER_TIMEOUT), CZelvoUserTimeout);
}

// A scope that leaves WiFi range sends nothing more, not even a reset. A
// stopped peer process would still have its kernel answer the probes, so the
// probes must go unanswered at the network level: this test runs itself
// again in a private network namespace (only its own loopback exists there)
// and, once connected and streaming, takes that loopback down. Queue-drop
// rules of the traffic shaper do not serve: the kernel counts a probe it
// dropped itself as congestion, not as unanswered, and tries again forever.
TEST(ZelvoTcpKeepAliveTest, SilentPeerIsFoundWithinTheKeepAliveTime) {
  if (!NetnsChild::Inside()) {
    std::string Skip;
    NetnsChild::RunChild("ZelvoTcpKeepAliveTest.*", Skip);
    if (!Skip.empty())
      GTEST_SKIP() << Skip;
    return;
  }
  ASSERT_TRUE(NetnsChild::Run("ip", {"link", "set", "lo", "up"}));
  SimLinkFixture F;
  F.Start(TLinkKind::Tcp);
  ASSERT_TRUE(F.Connect());
  ASSERT_TRUE(QTest::qWaitFor([&] { return F.Received.size() > 3; }, 5000));
  ASSERT_TRUE(NetnsChild::Run("ip", {"link", "set", "lo", "down"}));
  QElapsedTimer Clock;
  Clock.start();
  const int Bound =
      (CZelvoKeepAliveIdle + CZelvoKeepAliveCount * CZelvoKeepAliveInterval + 4) * 1000;
  EXPECT_TRUE(QTest::qWaitFor([&] { return F.Disconnects > 0; }, Bound))
      << "still connected after " << Clock.elapsed() << " ms";
  EXPECT_FALSE(F.Link->Connected());
  // Nothing of ours was waiting for an answer, so only the probes can have
  // found the silence: not before the first one was due.
  EXPECT_GE(Clock.elapsed(), CZelvoKeepAliveIdle * 1000);
  F.Link.reset();
}

} // namespace
