#include "link/qt/ZelvoUsbConnection.h"

#include "link/qt/ZelvoLinkError.h"
#include "osc/OscErrorBoundary.h"

TZelvoUsbConnection::TZelvoUsbConnection()
    : FComPort(std::make_unique<QSerialPort>()), FRead(FComPort.get(), [this] { ComRxChar(); }) {
  QSerialPort* P = FComPort.get();
  SetPort("COM1");
  P->setBaudRate(CBaudRate);
  P->setDataBits(QSerialPort::Data8);
  P->setParity(QSerialPort::NoParity);
  P->setStopBits(QSerialPort::OneStop);
  P->setFlowControl(QSerialPort::NoFlowControl);
  P->setReadBufferSize(CInputBufferSize);
  QObject::connect(P, &QSerialPort::readyRead, P,
                   [this] { OscGuarded([this] { FRead.Schedule(); }); });
  QObject::connect(P, &QSerialPort::errorOccurred, P, [this](QSerialPort::SerialPortError E) {
    OscGuarded([this, E] { ComError(E); });
  });
}

TZelvoUsbConnection::~TZelvoUsbConnection() {
  Close();
  FComPort->disconnect();
}

void TZelvoUsbConnection::SetPort(const std::string& Value) {
  FPort = Value;
  FComPort->setPortName(QString::fromStdString(Value));
}

qint32 TZelvoUsbConnection::BaudRate() const {
  return FComPort->baudRate();
}

void TZelvoUsbConnection::SetBaudRate(qint32 Value) {
  FComPort->setBaudRate(Value);
}

bool TZelvoUsbConnection::Connected() const {
  return FComPort->isOpen();
}

bool TZelvoUsbConnection::Open() {
  if (Connected())
    return true;
  if (!FComPort->open(QIODevice::ReadWrite)) {
    const std::string& Name = FPort;
    const QSerialPort::SerialPortError E = FComPort->error();
    const std::string Why = FComPort->errorString().toStdString();
    FComPort->clearError();
    if (E == QSerialPort::DeviceNotFoundError)
      throw EZelvoLinkError("Port " + Name + " does not exist.");
    if (E == QSerialPort::PermissionError)
      throw EZelvoLinkError("Port " + Name + " is in use by another program or access is denied.");
    throw EZelvoLinkError("Cannot open port " + Name + ": " + Why);
  }
  FLost = false;
  // A pseudo-terminal or a plain UART may have no modem lines; the link
  // works without them.
  FComPort->setDataTerminalReady(true);
  FComPort->setRequestToSend(true);
  FComPort->clearError();
  ComAfterOpen();
  return Connected();
}

void TZelvoUsbConnection::Close() {
  if (!Connected())
    return;
  FComPort->close();
  ComAfterClose();
}

void TZelvoUsbConnection::Send(TZelvoPacket& Packet) {
  if (!Connected())
    return;
  Packet.Finalize();
  FComPort->write(reinterpret_cast<const char*>(Packet.Raw()), Packet.Size());
  // Hands the bytes to the driver now rather than at the next event loop turn.
  FComPort->flush();
  DoSend(Packet);
}

void TZelvoUsbConnection::ComAfterOpen() {
  DoConnect();
}

void TZelvoUsbConnection::ComAfterClose() {
  DoDisconnect();
}

void TZelvoUsbConnection::ComRxChar() {
  // Complete frames left behind by a handler that threw go first. A backlog
  // larger than the scratch array is read in pieces of at most its size; a
  // handler may close the port meanwhile.
  ProcessData(nullptr, 0);
  ReadAvailable([this](std::uint8_t* Buffer, int MaxLength) -> long long {
    if (!Connected() || FComPort->bytesAvailable() <= 0)
      return 0;
    return FComPort->read(reinterpret_cast<char*>(Buffer), MaxLength);
  });
}

void TZelvoUsbConnection::ComError(QSerialPort::SerialPortError Error) {
  // A device that vanished (cable pulled, pseudo-terminal closed) makes the
  // port report read or resource errors over and over; the first one ends the
  // link. The port is closed from the event loop, not from inside the port's
  // own notification.
  if (Error != QSerialPort::ResourceError && Error != QSerialPort::ReadError)
    return;
  if (FLost || !Connected())
    return;
  FLost = true;
  DoError();
  QMetaObject::invokeMethod(
      FComPort.get(), [this] { OscGuarded([this] { Close(); }); }, Qt::QueuedConnection);
}
