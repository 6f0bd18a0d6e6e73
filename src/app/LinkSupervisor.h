#pragma once

// Keeps a connection the user started alive: it notices when the link goes,
// opens the same link again with growing pauses (a serial port once the
// hot-plug monitor lists it again), and says in one line what the link is
// doing. The connection actions tell it when the user starts a connection
// (Watch) and when the user chooses something else (Stop); it never changes
// what they do. It hears the TCP link's errors itself and decides which of
// them the user is to see.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class TZelvoConnection;
class TZelvoConnectionObserver;
class TZelvoTcpConnection;
class TZelvoUsbConnection;

class TLinkSupervisor : public QObject {
  Q_OBJECT

public:
  enum class TState {
    Idle,         // nothing started yet
    Connecting,   // the user's attempt is under way
    Connected,    // the link is up
    Failed,       // the user's attempt failed; nothing is retried
    Closed,       // the user ended it, or it went while not watched
    Retrying,     // lost; the next attempt waits for its pause
    Reconnecting, // lost; an attempt is under way
    Unplugged,    // a lost serial port waits for the hot-plug monitor
  };

  using TTime = std::chrono::steady_clock::time_point;
  using TClock = std::function<TTime()>;

  // Pauses between attempts start at CFirstPause and double up to CMaxPause.
  static constexpr int CFirstPause = 500;      // ms
  static constexpr int CMaxPause = 5000;       // ms
  static constexpr int CAttemptTimeout = 5000; // ms a TCP attempt may take

  // Takes the TCP link's error callback. Without a clock, the steady clock.
  TLinkSupervisor(TZelvoTcpConnection& Tcp, TZelvoUsbConnection& Usb, TClock Clock = {},
                  QObject* Parent = nullptr);
  ~TLinkSupervisor() override;

  // The user (or the command line) started a connection on Link; call it once
  // Open has been called. From now on a loss of Link is repaired.
  void Watch(TZelvoConnection& Link);
  // The user's attempt on Link could not even start (a port that would not
  // open): shown as failed, not retried.
  void ConnectFailed(TZelvoConnection& Link);
  // The user chose Disconnect, Demo or another connection: pending attempts
  // end at once and nothing more is retried. A link that is up stays up.
  void Stop();
  // The hot-plug monitor's list of the scope's serial ports, after each change.
  void PortsChanged(const QStringList& Ports);
  // Does what is due by the clock now: the next attempt after its pause, or
  // giving up an attempt that took too long. The supervisor's timer calls it
  // at the next due time; a test with its own clock calls it after moving it.
  void Poll();

  TState State() const { return FState; }
  // What the link is doing, e.g. "WiFi 192.168.4.1:2000 lost, retrying in 2 s".
  QString Text() const;
  // Whether the link is in trouble (failed, lost, unplugged).
  bool Trouble() const;
  // Attempts made since the last loss.
  int Attempts() const { return FAttempts; }
  // The pause before the next attempt, in ms.
  int Pause() const { return FPause; }
  // Whether the supervisor will act by itself later: start the next attempt
  // after its pause, or give up one that takes too long.
  bool AttemptPending() const { return FTimer.isActive(); }

  // Tests shorten the waits; the defaults are the constants above.
  void SetTimings(int FirstPause, int MaxPause, int AttemptTimeout);

signals:
  // After every change of State or Text.
  void Changed();
  // The TCP link reported an error the user is to see: every error of an
  // attempt the user started, and the first of a link that was up; the
  // failed attempts of a repair are not shown.
  void ErrorToShow();

private:
  void LinkConnected(TZelvoConnection* Sender);
  void LinkDisconnected(TZelvoConnection* Sender);
  void TcpError();
  void Retry();
  void AttemptTimedOut();
  // The attempt failed: wait a longer pause before the next one.
  void ScheduleRetry();
  // Starts the timer for the next due time, if any.
  void Arm();
  bool PortListed(const QStringList& Ports) const;
  bool IsTcp() const;
  void SetState(TState Value);

  TZelvoTcpConnection& FTcp;
  TZelvoUsbConnection& FUsb;
  TClock FClock;
  std::unique_ptr<TZelvoConnectionObserver> FObserver;
  TZelvoConnection* FLink = nullptr; // the link the user chose last
  bool FWatched = false;
  bool FLossShown = false; // the current loss has had its error box
  TState FState = TState::Idle;
  int FFirstPause = CFirstPause;
  int FMaxPause = CMaxPause;
  int FAttemptTimeout = CAttemptTimeout;
  int FPause = CFirstPause;
  int FAttempts = 0;
  // When the next attempt starts (Retrying), or when the running one is given
  // up (Reconnecting over TCP).
  TTime FDue{};
  QTimer FTimer;
};
