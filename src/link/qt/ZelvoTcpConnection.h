#pragma once

// The connection to the scope over TCP (its WiFi access point), as a client.
// All socket events arrive on the UI thread. Open only starts the attempt:
// success comes later as DoConnect, failure as one DoError and no DoConnect.

#include <QAbstractSocket>

#include <memory>
#include <string>

#include "link/ZelvoConnection.h"
#include "link/qt/ZelvoQueuedRead.h"

class QTcpSocket;

constexpr int CZelvoDefaultPort = 2000;
// The scope's access point hands out this address to itself; the TCP dialog
// normally supplies the real one.
inline constexpr const char* CZelvoDefaultHost = "192.168.4.1";

// A scope that leaves WiFi range sends no close: its socket stays open and
// silent. Keep-alive probes on short timings find it within about ten seconds
// (idle + count * interval), while a healthy scope that is on hold or waits
// for a trigger still answers them at the TCP level. The user timeout bounds
// the same wait when frames of ours are left unacknowledged.
constexpr int CZelvoKeepAliveIdle = 4;     // s without traffic before the first probe
constexpr int CZelvoKeepAliveInterval = 2; // s between probes
constexpr int CZelvoKeepAliveCount = 3;    // unanswered probes that end the link
constexpr int CZelvoUserTimeout = 10000;   // ms

class TZelvoTcpConnection : public TZelvoConnection {
public:
  TZelvoTcpConnection();
  // Socket events are detached first: destruction reports no disconnect.
  ~TZelvoTcpConnection() override;

  // A dotted IPv4 address, used without a name lookup.
  const std::string& Host() const { return FHost; }
  // Both setters raise EZelvoLinkError while the socket is connected or
  // connecting, unless the value is unchanged; close the link first.
  void SetHost(const std::string& Value);
  int Port() const { return FPort; }
  void SetPort(int Value);

  // Starts a connection attempt and returns Connected() at once (normally
  // false). An address that is not dotted IPv4, or a port outside 1..65535,
  // raises EZelvoLinkError. While an attempt or a link is up it does nothing.
  bool Open() override;
  // Sends what is queued, then disconnects (DoDisconnect before returning if
  // the link was up); an attempt still connecting is abandoned silently.
  void Close() override;
  bool Connected() const override { return FActive; }
  // Not connected: nothing goes out, but the packet is counted and reported.
  void Send(TZelvoPacket& Packet) override;

  QTcpSocket& Client() const { return *FClient; }

protected:
  virtual void InitDefaults();

  void ClientConnect();
  void ClientDisconnect();
  // Reads everything waiting and delivers every complete frame. Run as a
  // queued call after readyRead, never inside its emission.
  void ClientRead();
  void ClientError(QAbstractSocket::SocketError Error);

private:
  void CheckInactive(bool Changed) const;
  void SetKeepAlive();

  std::unique_ptr<QTcpSocket> FClient;
  TZelvoQueuedRead FRead;
  std::string FHost;
  int FPort = CZelvoDefaultPort;
  bool FActive = false;
  bool FOpening = false;
};
