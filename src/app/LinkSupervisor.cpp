#include "app/LinkSupervisor.h"

#include <algorithm>

#include "app/GuardedConnect.h"
#include "link/ZelvoConnection.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"

namespace {

constexpr const char* CDevicePrefix = "/dev/";

// "0.5", "1", "5": seconds as the panel shows them.
QString Seconds(int Ms) {
  return QString::number(Ms / 1000.0);
}

} // namespace

TLinkSupervisor::TLinkSupervisor(TZelvoTcpConnection& Tcp, TZelvoUsbConnection& Usb, TClock Clock,
                                 QObject* Parent)
    : QObject(Parent), FTcp(Tcp), FUsb(Usb),
      FClock(Clock ? std::move(Clock) : TClock(&std::chrono::steady_clock::now)),
      FObserver(std::make_unique<TZelvoConnectionObserver>()) {
  FObserver->SetOnConnect([this](TZelvoConnection* Sender) { LinkConnected(Sender); });
  FObserver->SetOnDisconnect([this](TZelvoConnection* Sender) { LinkDisconnected(Sender); });
  FTcp.RegisterObserver(FObserver.get());
  FUsb.RegisterObserver(FObserver.get());
  FTcp.SetOnError([this](TZelvoConnection*) { TcpError(); });
  FTimer.setSingleShot(true);
  ConnectGuarded(&FTimer, &QTimer::timeout, this, [this] { Poll(); });
}

// The observer unregisters itself from both links as it goes; the error
// callback is the one thing to hand back.
TLinkSupervisor::~TLinkSupervisor() {
  FTcp.SetOnError({});
}

void TLinkSupervisor::SetTimings(int FirstPause, int MaxPause, int AttemptTimeout) {
  FFirstPause = FirstPause;
  FMaxPause = MaxPause;
  FAttemptTimeout = AttemptTimeout;
}

void TLinkSupervisor::Watch(TZelvoConnection& Link) {
  FLink = &Link;
  FWatched = true;
  FLossShown = false;
  FAttempts = 0;
  FPause = FFirstPause;
  SetState(Link.Connected() ? TState::Connected : TState::Connecting);
}

void TLinkSupervisor::ConnectFailed(TZelvoConnection& Link) {
  Stop();
  FLink = &Link;
  SetState(TState::Failed);
}

void TLinkSupervisor::Stop() {
  FWatched = false;
  // A repair attempt still under way must not bring the link up behind the
  // user's back; the user's own attempt is theirs to keep.
  if (FState == TState::Reconnecting && IsTcp())
    FTcp.Close();
  if (FState == TState::Retrying || FState == TState::Reconnecting || FState == TState::Unplugged)
    SetState(TState::Closed);
  Arm();
}

void TLinkSupervisor::PortsChanged(const QStringList& Ports) {
  if (!FWatched || FState != TState::Unplugged || !PortListed(Ports))
    return;
  ++FAttempts;
  SetState(TState::Reconnecting);
  try {
    // Opening reports the connection before it returns.
    FUsb.Open();
  } catch (...) {
    // Listed but not ready: the next report from the monitor tries again.
  }
  if (!FUsb.Connected())
    SetState(TState::Unplugged);
}

void TLinkSupervisor::Poll() {
  if (FClock() < FDue) {
    Arm();
    return;
  }
  if (FWatched && FState == TState::Retrying)
    Retry();
  else if (FState == TState::Reconnecting && IsTcp())
    AttemptTimedOut();
}

void TLinkSupervisor::TcpError() {
  if (FLink != &FTcp) {
    emit ErrorToShow();
    return;
  }
  switch (FState) {
  case TState::Connecting:
    FWatched = false;
    SetState(TState::Failed);
    emit ErrorToShow();
    return;
  case TState::Connected:
    // The disconnect that follows starts the repair; a loss has one box.
    if (FWatched && FLossShown)
      return;
    FLossShown = FWatched;
    emit ErrorToShow();
    return;
  case TState::Reconnecting:
    ScheduleRetry();
    return;
  case TState::Retrying:
    return;
  default:
    emit ErrorToShow();
    return;
  }
}

void TLinkSupervisor::LinkConnected(TZelvoConnection* Sender) {
  if (Sender != FLink)
    return;
  FLossShown = false;
  FPause = FFirstPause;
  SetState(TState::Connected);
  Arm();
}

void TLinkSupervisor::LinkDisconnected(TZelvoConnection* Sender) {
  if (Sender != FLink)
    return;
  if (!FWatched || FState != TState::Connected) {
    if (FState == TState::Connected)
      SetState(TState::Closed);
    return;
  }
  FAttempts = 0;
  FPause = FFirstPause;
  if (IsTcp()) {
    FDue = FClock() + std::chrono::milliseconds(FPause);
    SetState(TState::Retrying);
    Arm();
  } else {
    // The same port name can only come back with the device.
    SetState(TState::Unplugged);
  }
}

void TLinkSupervisor::Retry() {
  ++FAttempts;
  // A host that does not answer at all would hold an attempt for minutes.
  FDue = FClock() + std::chrono::milliseconds(FAttemptTimeout);
  SetState(TState::Reconnecting);
  Arm();
  try {
    FTcp.Open();
  } catch (...) {
    ScheduleRetry();
  }
}

void TLinkSupervisor::AttemptTimedOut() {
  FTcp.Close();
  ScheduleRetry();
}

void TLinkSupervisor::ScheduleRetry() {
  FPause = std::min(FPause * 2, FMaxPause);
  FDue = FClock() + std::chrono::milliseconds(FPause);
  SetState(TState::Retrying);
  Arm();
}

void TLinkSupervisor::Arm() {
  const bool Pending =
      FWatched && (FState == TState::Retrying || (FState == TState::Reconnecting && IsTcp()));
  if (!Pending) {
    FTimer.stop();
    return;
  }
  const auto Left = std::chrono::ceil<std::chrono::milliseconds>(FDue - FClock()).count();
  FTimer.start(static_cast<int>(std::max<decltype(Left)>(0, Left)));
}

bool TLinkSupervisor::PortListed(const QStringList& Ports) const {
  // The monitor lists names ("ttyACM0"); the link may have been given a path.
  const QString Port = QString::fromStdString(FUsb.Port());
  return std::any_of(Ports.begin(), Ports.end(), [&](const QString& Listed) {
    return Listed == Port || CDevicePrefix + Listed == Port;
  });
}

bool TLinkSupervisor::IsTcp() const {
  return FLink == &FTcp;
}

void TLinkSupervisor::SetState(TState Value) {
  FState = Value;
  emit Changed();
}

QString TLinkSupervisor::Text() const {
  if (FLink == nullptr || FState == TState::Idle)
    return tr("Not connected");
  QString Link;
  if (IsTcp()) {
    Link = tr("WiFi %1:%2").arg(QString::fromStdString(FTcp.Host())).arg(FTcp.Port());
  } else {
    const QString Port = QString::fromStdString(FUsb.Port());
    Link = tr("USB %1").arg(Port.contains('/') ? Port : CDevicePrefix + Port);
  }
  switch (FState) {
  case TState::Connecting:
    return tr("%1 connecting").arg(Link);
  case TState::Connected:
    return tr("%1 connected").arg(Link);
  case TState::Failed:
    return tr("%1 failed").arg(Link);
  case TState::Retrying:
    return tr("%1 lost, retrying in %2 s").arg(Link, Seconds(FPause));
  case TState::Reconnecting:
    return tr("%1 lost, reconnecting").arg(Link);
  case TState::Unplugged:
    return tr("%1 unplugged, waiting for the scope").arg(Link);
  default:
    return tr("%1 disconnected").arg(Link);
  }
}

bool TLinkSupervisor::Trouble() const {
  return FState == TState::Failed || FState == TState::Retrying || FState == TState::Reconnecting ||
         FState == TState::Unplugged;
}
