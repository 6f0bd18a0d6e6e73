#include "app/LinkSupervisor.h"

#include <algorithm>

#include "link/ZelvoConnection.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "osc/OscErrorBoundary.h"

namespace {

constexpr const char* CDevicePrefix = "/dev/";

// "0.5", "1", "5": seconds as the panel shows them.
QString Seconds(int Ms) {
  return QString::number(Ms / 1000.0);
}

} // namespace

TLinkSupervisor::TLinkSupervisor(TZelvoTcpConnection& Tcp, TZelvoUsbConnection& Usb)
    : FTcp(Tcp), FUsb(Usb), FObserver(std::make_unique<TZelvoConnectionObserver>()) {
  FObserver->SetOnConnect([this](TZelvoConnection* Sender) { LinkConnected(Sender); });
  FObserver->SetOnDisconnect([this](TZelvoConnection* Sender) { LinkDisconnected(Sender); });
  FTcp.RegisterObserver(FObserver.get());
  FUsb.RegisterObserver(FObserver.get());
  FRetryTimer.setSingleShot(true);
  QObject::connect(&FRetryTimer, &QTimer::timeout, &FRetryTimer,
                   [this] { OscGuarded([this] { Retry(); }); });
  FAttemptTimer.setSingleShot(true);
  QObject::connect(&FAttemptTimer, &QTimer::timeout, &FAttemptTimer,
                   [this] { OscGuarded([this] { AttemptTimedOut(); }); });
}

// The observer unregisters itself from both links as it goes.
TLinkSupervisor::~TLinkSupervisor() = default;

void TLinkSupervisor::SetTimings(int FirstPause, int MaxPause, int AttemptTimeout) {
  FFirstPause = FirstPause;
  FMaxPause = MaxPause;
  FAttemptTimeout = AttemptTimeout;
}

void TLinkSupervisor::Watch(TZelvoConnection& Link) {
  FRetryTimer.stop();
  FAttemptTimer.stop();
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
  FRetryTimer.stop();
  FAttemptTimer.stop();
  // A repair attempt still under way must not bring the link up behind the
  // user's back; the user's own attempt is theirs to keep.
  if (FState == TState::Reconnecting && IsTcp())
    FTcp.Close();
  if (FState == TState::Retrying || FState == TState::Reconnecting || FState == TState::Unplugged)
    SetState(TState::Closed);
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

bool TLinkSupervisor::TakeError() {
  if (FLink != &FTcp)
    return true;
  switch (FState) {
  case TState::Connecting:
    FWatched = false;
    SetState(TState::Failed);
    return true;
  case TState::Connected:
    if (!FWatched)
      return true;
    // The disconnect that follows starts the repair.
    if (FLossShown)
      return false;
    FLossShown = true;
    return true;
  case TState::Reconnecting:
    FAttemptTimer.stop();
    ScheduleRetry();
    return false;
  case TState::Retrying:
    return false;
  default:
    return true;
  }
}

void TLinkSupervisor::LinkConnected(TZelvoConnection* Sender) {
  if (Sender != FLink)
    return;
  FRetryTimer.stop();
  FAttemptTimer.stop();
  FLossShown = false;
  FPause = FFirstPause;
  SetState(TState::Connected);
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
    SetState(TState::Retrying);
    FRetryTimer.start(FPause);
  } else {
    // The same port name can only come back with the device.
    SetState(TState::Unplugged);
  }
}

void TLinkSupervisor::Retry() {
  if (!FWatched || FState != TState::Retrying || !IsTcp())
    return;
  ++FAttempts;
  SetState(TState::Reconnecting);
  FAttemptTimer.start(FAttemptTimeout);
  try {
    FTcp.Open();
  } catch (...) {
    FAttemptTimer.stop();
    ScheduleRetry();
  }
}

// A host that does not answer at all would hold an attempt for minutes.
void TLinkSupervisor::AttemptTimedOut() {
  if (FState != TState::Reconnecting || !IsTcp())
    return;
  FTcp.Close();
  ScheduleRetry();
}

void TLinkSupervisor::ScheduleRetry() {
  FPause = std::min(FPause * 2, FMaxPause);
  SetState(TState::Retrying);
  FRetryTimer.start(FPause);
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
  if (FOnChange)
    FOnChange();
}

QString TLinkSupervisor::Text() const {
  if (FLink == nullptr || FState == TState::Idle)
    return QStringLiteral("Not connected");
  QString Link;
  if (IsTcp()) {
    Link = QStringLiteral("WiFi %1:%2").arg(QString::fromStdString(FTcp.Host())).arg(FTcp.Port());
  } else {
    const QString Port = QString::fromStdString(FUsb.Port());
    Link = QStringLiteral("USB ") + (Port.contains('/') ? Port : CDevicePrefix + Port);
  }
  switch (FState) {
  case TState::Connecting:
    return Link + " connecting";
  case TState::Connected:
    return Link + " connected";
  case TState::Failed:
    return Link + " failed";
  case TState::Retrying:
    return Link + " lost, retrying in " + Seconds(FPause) + " s";
  case TState::Reconnecting:
    return Link + " lost, reconnecting";
  case TState::Unplugged:
    return Link + " unplugged, waiting for the scope";
  default:
    return Link + " disconnected";
  }
}

bool TLinkSupervisor::Trouble() const {
  return FState == TState::Failed || FState == TState::Retrying || FState == TState::Reconnecting ||
         FState == TState::Unplugged;
}
