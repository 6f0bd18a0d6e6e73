#include "link/qt/ZelvoTcpConnection.h"

#include <QHostAddress>
#include <QTcpSocket>

#include "link/qt/ZelvoLinkError.h"
#include "osc/OscErrorBoundary.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {
constexpr const char* SCantChangeWhileActive = "Can't change value while socket is active";
}

TZelvoTcpConnection::TZelvoTcpConnection()
    : FClient(std::make_unique<QTcpSocket>()), FRead(FClient.get(), [this] { ClientRead(); }) {
  QTcpSocket* C = FClient.get();
  QObject::connect(C, &QTcpSocket::connected, C,
                   [this] { OscGuarded([this] { ClientConnect(); }); });
  QObject::connect(C, &QTcpSocket::disconnected, C,
                   [this] { OscGuarded([this] { ClientDisconnect(); }); });
  QObject::connect(C, &QTcpSocket::readyRead, C,
                   [this] { OscGuarded([this] { FRead.Schedule(); }); });
  QObject::connect(C, &QTcpSocket::errorOccurred, C, [this](QAbstractSocket::SocketError E) {
    OscGuarded([this, E] { ClientError(E); });
  });
  InitDefaults();
}

TZelvoTcpConnection::~TZelvoTcpConnection() {
  FClient->disconnect();
  FClient->abort();
}

void TZelvoTcpConnection::InitDefaults() {
  FPort = CZelvoDefaultPort;
  FHost = CZelvoDefaultHost;
}

void TZelvoTcpConnection::CheckInactive(bool Changed) const {
  if (Changed && FClient->state() != QAbstractSocket::UnconnectedState)
    throw EZelvoLinkError(SCantChangeWhileActive);
}

void TZelvoTcpConnection::SetHost(const std::string& Value) {
  CheckInactive(Value != FHost);
  FHost = Value;
}

void TZelvoTcpConnection::SetPort(int Value) {
  CheckInactive(Value != FPort);
  FPort = Value;
}

bool TZelvoTcpConnection::Open() {
  if (FClient->state() != QAbstractSocket::UnconnectedState)
    return Connected();
  QHostAddress Address;
  if (!Address.setAddress(QString::fromStdString(FHost)) ||
      Address.protocol() != QAbstractSocket::IPv4Protocol)
    throw EZelvoLinkError("Invalid IPv4 address: " + FHost);
  if (FPort < 1 || FPort > 65535)
    throw EZelvoLinkError("Invalid port: " + std::to_string(FPort));
  // An attempt refused at once is reported after Open has returned, as every
  // other outcome of the attempt is.
  FOpening = true;
  FClient->connectToHost(Address, static_cast<quint16>(FPort));
  FOpening = false;
  return Connected();
}

void TZelvoTcpConnection::Close() {
  if (FClient->state() == QAbstractSocket::UnconnectedState)
    return;
  if (FClient->state() == QAbstractSocket::ConnectedState)
    FClient->flush();
  FClient->disconnectFromHost();
  // Whatever the network did not take at once cannot wait for a link that is
  // being closed; this also makes the disconnect report synchronous.
  if (FClient->state() != QAbstractSocket::UnconnectedState)
    FClient->abort();
}

void TZelvoTcpConnection::Send(TZelvoPacket& Packet) {
  Packet.Finalize();
  if (FClient->state() == QAbstractSocket::ConnectedState)
    FClient->write(reinterpret_cast<const char*>(Packet.Raw()), Packet.Size());
  DoSend(Packet);
}

void TZelvoTcpConnection::SetKeepAlive() {
  const auto Fd = static_cast<int>(FClient->socketDescriptor());
  const auto Set = [Fd](int Level, int Name, int Value) {
    ::setsockopt(Fd, Level, Name, &Value, sizeof Value);
  };
  // A socket that refuses them still works; it only learns of a vanished
  // scope later.
  if (Fd < 0)
    return;
  Set(SOL_SOCKET, SO_KEEPALIVE, 1);
  Set(IPPROTO_TCP, TCP_KEEPIDLE, CZelvoKeepAliveIdle);
  Set(IPPROTO_TCP, TCP_KEEPINTVL, CZelvoKeepAliveInterval);
  Set(IPPROTO_TCP, TCP_KEEPCNT, CZelvoKeepAliveCount);
  Set(IPPROTO_TCP, TCP_USER_TIMEOUT, CZelvoUserTimeout);
}

void TZelvoTcpConnection::ClientConnect() {
  SetKeepAlive();
  FActive = true;
  DoConnect();
}

void TZelvoTcpConnection::ClientDisconnect() {
  if (!FActive)
    return;
  FActive = false;
  DoDisconnect();
}

void TZelvoTcpConnection::ClientRead() {
  // Complete frames left behind by a handler that threw go first.
  ProcessData(nullptr, 0);
  ReadAvailable([this](std::uint8_t* Buffer, int MaxLength) -> long long {
    if (FClient->bytesAvailable() <= 0)
      return 0;
    return FClient->read(reinterpret_cast<char*>(Buffer), MaxLength);
  });
}

void TZelvoTcpConnection::ClientError(QAbstractSocket::SocketError Error) {
  // The peer closing is an ordinary end of the link, reported by the
  // disconnect event alone.
  if (Error == QAbstractSocket::RemoteHostClosedError)
    return;
  if (FOpening)
    QMetaObject::invokeMethod(
        FClient.get(), [this] { OscGuarded([this] { DoError(); }); }, Qt::QueuedConnection);
  else
    DoError();
}
