// Losing the link and getting it back, through the real windows against the
// in-process scope simulator: the link panel, the repair over TCP and over a
// pseudo-terminal that vanishes and returns, the user's choices that end the
// repair, and connecting from the command line.

#include "../NetnsChild.h"
#include "AppTestSupport.h"
#include "ModalScript.h"

#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>

#include <limits>
#include <optional>

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
#define ZELVO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELVO_ASAN 1
#endif
#endif
#ifdef ZELVO_ASAN
// From the sanitizer runtime; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "app/LinkSupervisor.h"
#include "app/NoticeDialogs.h"
#include "app/StartConnection.h"
#include "app/TcpDialog.h"
#include "app/UsbDialog.h"
#include "display/OscScopeView.h"
#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "sim/ZelvoSimulator.h"

namespace {

// The hot-plug monitor's events, injected: a pseudo-terminal has no USB
// device behind it to plug.
class TInjectedHotPlug : public TUsbEventSource {
public:
  void Plug(TUsbDeviceChange Change) {
    TUsbDeviceEvent E;
    E.Change = Change;
    E.HasUsbIds = true;
    E.VendorId = 0x6B1D;
    E.ProductId = 0xE4F7;
    Report(E);
  }
};

// Answers every message box with OK and keeps its text.
class TBoxWatch {
public:
  TBoxWatch() {
    FScript.Otherwise([this](QWidget* Modal) {
      if (auto* Box = qobject_cast<QMessageBox*>(Modal)) {
        Seen << Box->text();
        Box->button(QMessageBox::Ok)->click();
      }
    });
  }
  QStringList Seen;

private:
  TModalScript FScript;
};

// Every distinct text the link panel shows, in order, as the supervisor
// reports each change.
class TPanelWatch {
public:
  TPanelWatch(TLinkSupervisor& Supervisor, QLabel* Panel) : FPanel(Panel) {
    // After the window's own slot, which was connected first and fills the panel.
    QObject::connect(&Supervisor, &TLinkSupervisor::Changed, &FContext, [this] { Look(); });
    Look();
  }
  bool Saw(const QString& Text) const { return Texts.contains(Text); }
  QStringList Texts;

private:
  void Look() {
    if (Texts.isEmpty() || Texts.last() != FPanel->text())
      Texts << FPanel->text();
  }
  QLabel* FPanel;
  QObject FContext;
};

// Bytes the program holds on the heap. The sanitizers bring an allocator of
// their own, which glibc's mallinfo2 does not see (it reads 0 there).
std::size_t HeapInUse() {
#ifdef ZELVO_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

int OpenFileCount() {
  return static_cast<int>(QDir("/proc/self/fd")
                              .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                              .size());
}

class ReconnectTest : public AppTest {
protected:
  void SetUp() override {
    TestApp();
    Config.RecordFrames = true;
    Config.NoiseLevel = 0;
    Config.FrameRate = 100;
    Config.LineRate = 0;
    StartSim();
    AppTest::SetUp();
  }
  void TearDown() override {
    AppTest::TearDown();
    PtySim.reset();
    Sim.reset();
  }
  TZelvoSystem System() override {
    TZelvoSystem S;
    S.PortSource = std::make_unique<TListedPorts>(Ports);
    auto Events = std::make_unique<TInjectedHotPlug>();
    HotPlug = Events.get();
    S.EventSource = std::move(Events);
    S.GatewayLookup = [] { return QString("127.0.0.1"); };
    return S;
  }

  // The scope switched on again: a new simulator on the same TCP port.
  void StartSim() {
    Sim.reset();
    Sim = std::make_unique<TZelvoSimulator>(Config);
    SimPort = Sim->ListenTcp(QHostAddress::LocalHost, SimPort);
  }

  QLabel* Panel() { return Main().StatusPanel(3); }
  TLinkSupervisor& Supervisor() { return Main().LinkSupervisor(); }
  QString Wifi() const { return QString("WiFi 127.0.0.1:%1").arg(SimPort); }

  bool ConnectTcp() {
    TModalScript Script;
    Script.Then(ConfirmTcpDialog("127.0.0.1", SimPort));
    Main().actConnectTcp->trigger();
    return QTest::qWaitFor([&] { return Main().ZelvoTcpConnection().Connected(); }, 5000);
  }
  // Through the USB dialog, answering the warning that follows.
  bool ConnectUsb(const QString& Port) {
    Ports = {{Port, true, 0x6B1D, 0xE4F7}};
    Windows->UsbDialog().USBPnP().Refresh();
    TModalScript Script;
    Script.Then([](QWidget* Modal) { qobject_cast<QDialog*>(Modal)->accept(); })
        .Then([](QWidget* Modal) { qobject_cast<QDialog*>(Modal)->accept(); });
    Main().actConnectUsb->trigger();
    return Main().ZelvoUsbConnection().Connected() && Script.Done();
  }
  // The first commands of the simulator's current session.
  static std::vector<TCommand> FirstCommands(const TZelvoSimRecord& Record, std::size_t Count) {
    std::vector<TCommand> C;
    for (const auto& F : Record.Received)
      if (C.size() < Count)
        C.push_back(F[1]);
    return C;
  }
  static std::vector<TCommand> ConnectCommands() {
    return {CChangeScopeSettingsCommand, CRequestSamplesCommand, CWifiSettingsRequest};
  }

  TZelvoSimConfig Config;
  std::unique_ptr<TZelvoSimulator> Sim;
  quint16 SimPort = 0;
  std::vector<TSerialPortEntry> Ports;
  TInjectedHotPlug* HotPlug = nullptr;
  std::unique_ptr<TZelvoSimulator> PtySim;
};

} // namespace

TEST_F(ReconnectTest, PanelShowsDemoUntilAConnectionStarts) {
  EXPECT_EQ(Panel()->text(), "Demo");
  ASSERT_TRUE(ConnectTcp());
  EXPECT_EQ(Panel()->text(), Wifi() + " connected");
  EXPECT_FALSE(Supervisor().Trouble());
  Main().actConnectDemo->trigger();
  EXPECT_EQ(Panel()->text(), "Demo");
}

// Only a link that was up is repaired: a first attempt that fails is the
// user's to repeat, with its one box.
TEST_F(ReconnectTest, FailedFirstAttemptIsNotRetried) {
  Sim.reset();
  TBoxWatch Boxes;
  TModalScript Script;
  Script.Then(ConfirmTcpDialog("127.0.0.1", SimPort));
  Main().actConnectTcp->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Boxes.Seen.isEmpty(); }, 5000));
  EXPECT_EQ(Panel()->text(), Wifi() + " failed");
  EXPECT_TRUE(Supervisor().Trouble());
  EXPECT_FALSE(Supervisor().AttemptPending()) << "nothing is retried";
  EXPECT_EQ(Supervisor().Attempts(), 0);
  EXPECT_EQ(Boxes.Seen, QStringList({"An error occured when trying to connect"}));
}

// The scope switched off and on again: the panel follows the loss and the
// retries, the driver sends its settings and sample request again and the
// traces resume, and no box interrupts the repair.
TEST_F(ReconnectTest, WifiLinkComesBackWhenTheScopeReturns) {
  ASSERT_TRUE(ConnectTcp());
  TBoxWatch Boxes;
  TPanelWatch Watch(Supervisor(), Panel());
  Sim.reset();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Supervisor().Attempts() >= 2; }, 5000))
      << Watch.Texts.join(" | ").toStdString();
  EXPECT_TRUE(Supervisor().Trouble());
  EXPECT_EQ(Main().ActiveScope(), &Main().Zelvo());
  StartSim();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Main().ZelvoTcpConnection().Connected(); }, 10000))
      << Watch.Texts.join(" | ").toStdString();
  EXPECT_EQ(Panel()->text(), Wifi() + " connected");
  for (const QString& Text : {Wifi() + " lost, retrying in 0.5 s", Wifi() + " lost, reconnecting",
                              Wifi() + " lost, retrying in 1 s"})
    EXPECT_TRUE(Watch.Saw(Text)) << Text.toStdString() << " not in "
                                 << Watch.Texts.join(" | ").toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Sim->TcpRecord().Received.size() >= 3; }, 5000));
  EXPECT_EQ(FirstCommands(Sim->TcpRecord(), 3), ConnectCommands());
  const long long Drawn = Main().OscRenderer3D().FramesDrawn();
  const int In = Main().ZelvoTcpConnection().Statistics().PacketsIn();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return Main().ZelvoTcpConnection().Statistics().PacketsIn() > In + 5; }, 5000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Main().OscRenderer3D().FramesDrawn() > Drawn; }, 5000));
  EXPECT_LE(Boxes.Seen.size(), 1) << Boxes.Seen.join(" | ").toStdString();
}

// Disconnect, Demo or another connection end the repair at once.
TEST_F(ReconnectTest, UserChoiceDuringTheRetriesStopsThem) {
  struct TCase {
    const char* Name;
    std::function<void()> Choose;
    QString Shown;
  };
  const TCase Cases[] = {
      {"Disconnect", [&] { Main().actDisconnect->trigger(); }, "disconnected"},
      {"Demo", [&] { Main().actConnectDemo->trigger(); }, "Demo"},
      {"USB",
       [&] {
         PtySim = std::make_unique<TZelvoSimulator>(Config);
         ASSERT_TRUE(ConnectUsb(PtySim->OpenPty()));
       },
       "connected"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ASSERT_TRUE(ConnectTcp());
    Supervisor().SetTimings(20, 40, 1000);
    Sim.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Supervisor().Attempts() >= 2; }, 5000));
    Case.Choose();
    EXPECT_FALSE(Supervisor().Trouble());
    EXPECT_TRUE(Panel()->text().endsWith(Case.Shown)) << Panel()->text().toStdString();
    EXPECT_FALSE(Supervisor().AttemptPending());
    StartSim();
    EXPECT_EQ(Sim->TcpClientsAccepted(), 0);
    EXPECT_FALSE(Main().ZelvoTcpConnection().Connected());
    Main().actDisconnect->trigger();
    PtySim.reset();
  }
}

// The scope's serial port vanishes (cable pulled) and a port of the same
// name comes back: it is reopened when the hot-plug monitor lists it again,
// and not before.
TEST_F(ReconnectTest, UnpluggedPortReopensWhenTheMonitorReportsItBack) {
  const QString Link = Dir.filePath("ttyZelvo");
  Sim->OpenPty(Link);
  ASSERT_TRUE(ConnectUsb(Link));
  EXPECT_EQ(Panel()->text(), "USB " + Link + " connected");
  TBoxWatch Boxes;

  Sim->ClosePty();
  Ports.clear();
  HotPlug->Plug(TUsbDeviceChange::Removal);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Main().ZelvoUsbConnection().Connected(); }, 5000));
  EXPECT_EQ(Panel()->text(), "USB " + Link + " unplugged, waiting for the scope");
  EXPECT_TRUE(Supervisor().Trouble());

  // Back under the same name, but not yet reported: nothing is opened.
  Sim->OpenPty(Link);
  EXPECT_FALSE(Supervisor().AttemptPending()) << "only the hot-plug monitor reopens it";
  EXPECT_FALSE(Main().ZelvoUsbConnection().Connected());
  EXPECT_EQ(Supervisor().Attempts(), 0);

  Ports = {{Link, true, 0x6B1D, 0xE4F7}};
  HotPlug->Plug(TUsbDeviceChange::Arrival);
  EXPECT_TRUE(Main().ZelvoUsbConnection().Connected());
  EXPECT_EQ(Panel()->text(), "USB " + Link + " connected");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Sim->PtyRecord().Received.size() >= 3; }, 5000));
  EXPECT_EQ(FirstCommands(Sim->PtyRecord(), 3), ConnectCommands());
  const int In = Main().ZelvoUsbConnection().Statistics().PacketsIn();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return Main().ZelvoUsbConnection().Statistics().PacketsIn() > In + 3; }, 5000));
  EXPECT_TRUE(Boxes.Seen.isEmpty()) << Boxes.Seen.join(" | ").toStdString();
}

// A hundred losses and returns over each link leave no open files and no
// heap behind.
TEST_F(ReconnectTest, HundredLossesLeaveNoGrowth) {
  TBoxWatch Boxes;
  ASSERT_TRUE(ConnectTcp());
  Supervisor().SetTimings(1, 2, 1000);
  Sim.reset();
  Config.RecordFrames = false;
  Config.Faults.DropAfter = 3; // the scope hangs up after three frames
  Config.FrameRate = 400;
  StartSim();
  const QString Link = Dir.filePath("ttyZelvo");
  int Cycles = 0;
  auto Cycle = [&](bool Tcp) {
    if (Tcp) {
      const int Accepted = Sim->TcpClientsAccepted();
      return QTest::qWaitFor([&] { return Sim->TcpClientsAccepted() > Accepted; }, 5000);
    }
    Sim->ClosePty();
    Ports.clear();
    HotPlug->Plug(TUsbDeviceChange::Removal);
    if (!QTest::qWaitFor([&] { return !Main().ZelvoUsbConnection().Connected(); }, 5000))
      return false;
    Sim->OpenPty(Link);
    Ports = {{Link, true, 0x6B1D, 0xE4F7}};
    HotPlug->Plug(TUsbDeviceChange::Arrival);
    return Main().ZelvoUsbConnection().Connected();
  };
  for (bool Tcp : {true, false}) {
    SCOPED_TRACE(Tcp ? "TCP" : "USB");
    if (!Tcp) {
      // The pseudo-terminal goes by hot-plug here, not by the scope hanging up.
      Sim.reset();
      Config.Faults.DropAfter = 0;
      StartSim();
      Sim->OpenPty(Link);
      ASSERT_TRUE(ConnectUsb(Link));
    }
    // Heap bytes in use, the least seen over the last twenty cycles of a run:
    // buffers of a megabyte (the view's software-rendered frames, a link's
    // backlog) come and go between cycles.
    auto Run = [&](int Count) -> std::optional<std::size_t> {
      std::size_t Least = std::numeric_limits<std::size_t>::max();
      for (int I = 0; I < Count; ++I) {
        if (!Cycle(Tcp))
          return std::nullopt;
        if (I >= Count - 20)
          Least = std::min(Least, HeapInUse());
      }
      return Least;
    };
    // The first hundred also fill the caches of Qt and the X client library
    // and let buffers reach the size a reconnect's burst asks of them once
    // (about half a megabyte over TCP); the second hundred must add nothing.
    const std::optional<std::size_t> Heap = Run(100);
    ASSERT_TRUE(Heap);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const int Files = OpenFileCount();
    const std::optional<std::size_t> After = Run(100);
    ASSERT_TRUE(After);
    Cycles += 100;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // A link may be up at one count and down at the other: one socket pair.
    EXPECT_LE(OpenFileCount(), Files + 2);
    // A kilobyte kept per cycle would show, in both builds.
    EXPECT_GT(*Heap, 0u) << "the heap is not measured";
    EXPECT_LT(*After, *Heap + 64 * 1024) << "from " << *Heap;
  }
  EXPECT_EQ(Cycles, 200);
  EXPECT_TRUE(Boxes.Seen.isEmpty()) << Boxes.Seen.join(" | ").toStdString();
}

namespace {

// Runs in a private network namespace (see NetnsChild.h); the parent process
// only starts the child.
class SilentScopeTest : public ReconnectTest {
protected:
  void SetUp() override {
    TestApp();
    if (!NetnsChild::Inside())
      return;
    ASSERT_TRUE(NetnsChild::Run("ip", {"link", "set", "lo", "up"}));
    ReconnectTest::SetUp();
  }
};

} // namespace

// A scope that leaves WiFi range says nothing: the keep-alive finds it, one
// box at most tells the user, the panel shows the repair, and once the scope
// is back in range (the namespace's loopback up again, the scope restarted)
// the traces come back. Taking the loopback down leaves the probes
// unanswered, as a scope out of range would.
TEST_F(SilentScopeTest, IsFoundByKeepAliveAndComesBack) {
  if (!NetnsChild::Inside()) {
    std::string Skip;
    NetnsChild::RunChild("SilentScopeTest.*", Skip);
    if (!Skip.empty())
      GTEST_SKIP() << Skip;
    return;
  }
  ASSERT_TRUE(ConnectTcp());
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return Main().ZelvoTcpConnection().Statistics().PacketsIn() > 3; }, 5000));
  TBoxWatch Boxes;
  TPanelWatch Watch(Supervisor(), Panel());
  ASSERT_TRUE(NetnsChild::Run("ip", {"link", "set", "lo", "down"}));
  QElapsedTimer Clock;
  Clock.start();
  const int Bound =
      (CZelvoKeepAliveIdle + CZelvoKeepAliveCount * CZelvoKeepAliveInterval + 4) * 1000;
  ASSERT_TRUE(QTest::qWaitFor([&] { return Supervisor().Trouble(); }, Bound))
      << "still " << Panel()->text().toStdString() << " after " << Clock.elapsed() << " ms";
  EXPECT_GE(Clock.elapsed(), CZelvoKeepAliveIdle * 1000);
  // Out of range, the attempts fail silently.
  ASSERT_TRUE(QTest::qWaitFor([&] { return Supervisor().Attempts() >= 2; }, 15000))
      << Watch.Texts.join(" | ").toStdString();
  ASSERT_TRUE(NetnsChild::Run("ip", {"link", "set", "lo", "up"}));
  StartSim();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Main().ZelvoTcpConnection().Connected(); }, 10000))
      << Watch.Texts.join(" | ").toStdString();
  EXPECT_EQ(Panel()->text(), Wifi() + " connected");
  EXPECT_TRUE(Watch.Saw(Wifi() + " lost, retrying in 0.5 s"))
      << Watch.Texts.join(" | ").toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Sim->TcpRecord().Received.size() >= 3; }, 5000));
  EXPECT_EQ(FirstCommands(Sim->TcpRecord(), 3), ConnectCommands());
  EXPECT_LE(Boxes.Seen.size(), 1) << Boxes.Seen.join(" | ").toStdString();
}

TEST_F(ReconnectTest, CommandLineStartsConnectedAsIfConfirmed) {
  TStartConnection Tcp;
  Tcp.Kind = TStartConnection::TKind::Wifi;
  Tcp.Host = "127.0.0.1";
  Tcp.Port = SimPort;
  StartConnectionLater(Main(), Tcp);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Main().ZelvoTcpConnection().Connected(); }, 5000));
  EXPECT_EQ(Main().ActiveScope(), &Main().Zelvo());
  EXPECT_FALSE(Main().pnlDemoMode()->isVisible());
  EXPECT_EQ(Panel()->text(), Wifi() + " connected");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Sim->TcpRecord().Received.size() >= 3; }, 5000));
  EXPECT_EQ(FirstCommands(Sim->TcpRecord(), 3), ConnectCommands());

  TStartConnection Usb;
  Usb.Kind = TStartConnection::TKind::Usb;
  Usb.UsbPort = Sim->OpenPty();
  bool Warned = false;
  TModalScript Script;
  Script.Then([&](QWidget* Modal) {
    Warned = Modal == static_cast<QWidget*>(&Windows->WarningDialog());
    qobject_cast<QDialog*>(Modal)->accept();
  });
  StartConnectionLater(Main(), Usb);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Script.Done(); }, 5000));
  EXPECT_TRUE(Warned);
  EXPECT_TRUE(Main().ZelvoUsbConnection().Connected());
  EXPECT_FALSE(Main().ZelvoTcpConnection().Connected());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Sim->PtyRecord().Received.size() >= 3; }, 5000));
  EXPECT_EQ(FirstCommands(Sim->PtyRecord(), 3), ConnectCommands());
}

TEST(StartConnectionTest, ReadsWifiAndUsbOptionsAndACaptureFile) {
  TestApp();
  struct TCase {
    QStringList Arguments;
    TStartConnection::TKind Kind;
    QString Host;
    int Port;
    QString UsbPort;
    bool Error;
  };
  using K = TStartConnection::TKind;
  const TCase Cases[] = {
      {{}, K::None, "", 0, "", false},
      {{"--wifi", "192.168.4.1"}, K::Wifi, "192.168.4.1", 2000, "", false},
      {{"--wifi=127.0.0.1:2100"}, K::Wifi, "127.0.0.1", 2100, "", false},
      {{"--usb", "ttyACM0"}, K::Usb, "", 0, "ttyACM0", false},
      {{"--usb", "/dev/ttyACM0"}, K::Usb, "", 0, "/dev/ttyACM0", false},
      {{"--wifi", "scope.local"}, K::None, "", 0, "", true},
      {{"--wifi", "127.0.0.1:0"}, K::None, "", 0, "", true},
      {{"--wifi", "127.0.0.1:65536"}, K::None, "", 0, "", true},
      {{"--wifi", "127.0.0.1:"}, K::None, "", 0, "", true},
      {{"--wifi", "127.0.0.1", "--usb", "ttyACM0"}, K::None, "", 0, "", true},
      {{"/tmp/run.csv"}, K::Capture, "", 0, "", false},
      {{"/tmp/run.csv", "/tmp/b.csv"}, K::None, "", 0, "", true},
      {{"--usb", "ttyACM0", "/tmp/run.csv"}, K::None, "", 0, "", true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Arguments.join(' ').toStdString());
    QCommandLineParser Parser;
    AddStartConnectionOptions(Parser);
    ASSERT_TRUE(Parser.parse(QStringList{"zelvo"} + Case.Arguments));
    QString Error;
    const TStartConnection S = ReadStartConnection(Parser, Error);
    EXPECT_EQ(S.Kind, Case.Kind);
    EXPECT_EQ(!Error.isEmpty(), Case.Error) << Error.toStdString();
    if (Case.Kind == K::Wifi) {
      EXPECT_EQ(S.Host, Case.Host);
      EXPECT_EQ(S.Port, Case.Port);
    }
    EXPECT_EQ(S.UsbPort, Case.UsbPort);
    EXPECT_EQ(S.CaptureFile, Case.Kind == K::Capture ? Case.Arguments[0] : QString());
  }
}
