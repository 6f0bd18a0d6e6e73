#pragma once

// The simulated scope on real links: a TCP server and a pseudo-terminal, one
// client at a time on each, driven by the caller's Qt event loop. Tests start
// it in-process; zelvo-sim wraps it in a program.

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

#include "sim/ZelvoSimConfig.h"
#include "sim/ZelvoSimScope.h"
#include "sim/ZelvoSimSession.h"

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

class TZelvoSimulator : public QObject {
public:
  explicit TZelvoSimulator(const TZelvoSimConfig& Config, TZelvoSimLog Log = {});
  ~TZelvoSimulator() override;

  // Listens on Address:Port (0 picks a free port) and returns the port.
  // Raises std::runtime_error when the address cannot be bound.
  quint16 ListenTcp(const QHostAddress& Address, quint16 Port);
  // Opens a pseudo-terminal in raw mode and returns the path of its slave
  // side; Link, if given, becomes a symbolic link to it. Raises
  // std::runtime_error on failure.
  QString OpenPty(const QString& Link = {});
  // Closes the pseudo-terminal's master: to the program the device vanishes.
  void ClosePty();
  QString PtyPath() const { return FPtyPath; }
  // Whether a new pseudo-terminal replaces one closed by the drop fault.
  void SetReopenPty(bool Value) { FReopenPty = Value; }

  TZelvoSimScope& Scope() { return FScope; }
  // Reports the scope's settings at once on every link with a 0x20 frame, as
  // after a change on the scope's own panel.
  void ReportSettings();
  // Sends the frames on every link in one write, as the scope may burst them.
  void SendTogether(const std::vector<TZelvoPacket>& Frames);

  // What the current TCP client's session saw, or the last one's once it has
  // ended; likewise for the pseudo-terminal. Empty before the first session.
  const TZelvoSimRecord& TcpRecord() const;
  const TZelvoSimRecord& PtyRecord() const;
  bool TcpClientConnected() const { return FTcp.Socket != nullptr; }
  int TcpClientsAccepted() const { return FTcpClientsAccepted; }

private:
  struct TTcpLink {
    QTcpSocket* Socket = nullptr;
    std::unique_ptr<TZelvoSimSession> Session;
  };
  struct TPtyLink {
    int Master = -1;
    int Slave = -1; // kept open so that the master never reads a hang-up
    QSocketNotifier* ReadNotifier = nullptr;
    QSocketNotifier* WriteNotifier = nullptr;
    std::unique_ptr<TZelvoSimSession> Session;
    double Credit = 0; // bytes the line may carry now
    qint64 LastWrite = 0;
    qint64 BusySince = 0; // last time bytes were queued or unread
  };

  void AcceptTcp();
  void ReadTcp();
  void PumpTcp();
  void ReadPty();
  void PumpPty();
  void Tick();
  void Handle(const std::vector<TZelvoSimRequest>& Requests);
  void StartCalibration();
  void Log(const std::string& Line) const;
  std::uint32_t NextSeed() { return Config().Seed + 7919u * FSessionCount++; }
  const TZelvoSimConfig& Config() const { return FScope.Config(); }

  TZelvoSimLog FLog;
  TZelvoSimScope FScope;
  QTcpServer* FServer = nullptr;
  TTcpLink FTcp;
  TPtyLink FPty;
  QString FPtyPath;
  QString FPtyLink;
  bool FReopenPty = false;
  int FTcpClientsAccepted = 0;
  bool FPumpingTcp = false;
  TZelvoSimRecord FEmptyRecord;
  std::unique_ptr<TZelvoSimSession> FLastTcp; // kept for its record
  std::unique_ptr<TZelvoSimSession> FLastPty;
  std::uint32_t FSessionCount = 0;
  QTimer FTicker;
  QTimer FCalibration;
  QElapsedTimer FClock;
  qint64 FLastTick = 0;
  qint64 FLastDebug = 0;
  double FFrameCredit[2] = {0, 0}; // sample frames due: TCP, pseudo-terminal
};
