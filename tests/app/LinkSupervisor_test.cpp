// The supervisor's state machine on its own, over a real TCP link on
// loopback, with a clock of the test's: its pauses are checked by moving the
// clock, not by sleeping through them.

#include <gtest/gtest.h>

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

#include "TestApp.h"
#include "app/LinkSupervisor.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"

namespace {

using TState = TLinkSupervisor::TState;
using std::chrono::milliseconds;

class LinkSupervisorTest : public ::testing::Test {
protected:
  void SetUp() override {
    TestApp();
    Supervisor = std::make_unique<TLinkSupervisor>(Tcp, Usb, [this] { return Now; });
    ASSERT_TRUE(Server.listen(QHostAddress::LocalHost, 0));
    Tcp.SetHost("127.0.0.1");
    Tcp.SetPort(Server.serverPort());
  }
  void TearDown() override {
    Supervisor.reset();
    Tcp.Close();
  }

  // Connects as the user would, then lets the scope vanish: the peer closes
  // the link and nobody listens any more, so every repair attempt is refused.
  void ConnectAndLose() {
    Tcp.Open();
    Supervisor->Watch(Tcp);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Supervisor->State() == TState::Connected; }, 5000));
    ASSERT_TRUE(Server.hasPendingConnections() || Server.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> Peer(Server.nextPendingConnection());
    ASSERT_NE(Peer, nullptr);
    Server.close();
    Peer->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Supervisor->State() == TState::Retrying; }, 5000));
  }
  // Moves the clock and lets the supervisor act on it.
  void Advance(int Ms) {
    Now += milliseconds(Ms);
    Supervisor->Poll();
  }
  bool AttemptRefused() {
    return QTest::qWaitFor([&] { return Supervisor->State() == TState::Retrying; }, 5000);
  }

  TLinkSupervisor::TTime Now{};
  QTcpServer Server;
  TZelvoTcpConnection Tcp;
  TZelvoUsbConnection Usb;
  std::unique_ptr<TLinkSupervisor> Supervisor;
};

} // namespace

TEST_F(LinkSupervisorTest, RetriesAfterPausesThatGrowToTheirLimit) {
  ConnectAndLose();
  const QString Link = QString("WiFi 127.0.0.1:%1").arg(Tcp.Port());
  EXPECT_EQ(Supervisor->Text(), Link + " lost, retrying in 0.5 s");
  EXPECT_TRUE(Supervisor->Trouble());
  const int Pauses[] = {500, 1000, 2000, 4000, 5000, 5000};
  int Attempts = 0;
  for (const int Pause : Pauses) {
    SCOPED_TRACE(Pause);
    ASSERT_EQ(Supervisor->Pause(), Pause);
    EXPECT_TRUE(Supervisor->AttemptPending());
    Advance(Pause - 1);
    EXPECT_EQ(Supervisor->State(), TState::Retrying) << "not before its pause";
    EXPECT_EQ(Supervisor->Attempts(), Attempts);
    Advance(1);
    EXPECT_EQ(Supervisor->State(), TState::Reconnecting);
    EXPECT_EQ(Supervisor->Text(), Link + " lost, reconnecting");
    EXPECT_EQ(Supervisor->Attempts(), ++Attempts);
    ASSERT_TRUE(AttemptRefused());
  }
}

// A host that does not answer would hold an attempt for minutes: after the
// attempt's time it is given up and the next one follows its pause.
TEST_F(LinkSupervisorTest, AnAttemptThatTakesTooLongIsGivenUp) {
  Supervisor->SetTimings(500, 5000, 3000);
  ConnectAndLose();
  Advance(500);
  ASSERT_EQ(Supervisor->State(), TState::Reconnecting);
  // Before the refusal can arrive, the attempt's time is up.
  Advance(2999);
  EXPECT_EQ(Supervisor->State(), TState::Reconnecting);
  Advance(1);
  EXPECT_EQ(Supervisor->State(), TState::Retrying);
  EXPECT_EQ(Supervisor->Pause(), 1000);
  EXPECT_FALSE(Tcp.Connected());
}

TEST_F(LinkSupervisorTest, StopEndsTheRepairAtOnce) {
  ConnectAndLose();
  Supervisor->Stop();
  EXPECT_EQ(Supervisor->State(), TState::Closed);
  EXPECT_FALSE(Supervisor->AttemptPending());
  Advance(60000);
  EXPECT_EQ(Supervisor->Attempts(), 0);
  EXPECT_FALSE(Supervisor->Trouble());
}

// The user's own attempt failing is shown once and not repeated; the failed
// attempts of a repair show nothing.
TEST_F(LinkSupervisorTest, ShowsTheUsersFailedAttemptButNotTheRepairs) {
  QSignalSpy Errors(Supervisor.get(), &TLinkSupervisor::ErrorToShow);
  ConnectAndLose();
  for (int I = 0; I < 3; ++I) {
    Advance(Supervisor->Pause());
    ASSERT_TRUE(AttemptRefused());
  }
  EXPECT_EQ(Errors.count(), 0);

  Supervisor->Stop();
  Tcp.Open();
  Supervisor->Watch(Tcp);
  ASSERT_TRUE(Errors.wait(5000));
  EXPECT_EQ(Supervisor->State(), TState::Failed);
  EXPECT_FALSE(Supervisor->AttemptPending());
  EXPECT_EQ(Errors.count(), 1);
}
