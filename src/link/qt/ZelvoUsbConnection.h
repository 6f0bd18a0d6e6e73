#pragma once

// The connection to the scope over its USB serial port: 38400 8N1, no flow
// control, DTR and RTS on while open. Opening and closing are synchronous:
// DoConnect runs before Open returns and DoDisconnect before Close returns.

#include <QSerialPort>

#include <memory>
#include <string>

#include "link/ZelvoConnection.h"
#include "link/qt/ZelvoQueuedRead.h"

class TZelvoUsbConnection : public TZelvoConnection {
public:
  TZelvoUsbConnection();
  // An open port is closed first, so listeners hear DoDisconnect while
  // everything still exists.
  ~TZelvoUsbConnection() override;

  // A port name ("ttyACM0", "COM3") or a device path ("/dev/pts/4").
  const std::string& Port() const { return FPort; }
  void SetPort(const std::string& Value);
  qint32 BaudRate() const;
  void SetBaudRate(qint32 Value);
  QSerialPort& ComPort() const { return *FComPort; }

  // Already open: returns true and opens nothing. A missing or busy port
  // raises EZelvoLinkError naming the port; the link stays closed.
  bool Open() override;
  void Close() override;
  bool Connected() const override;
  // Closed: nothing is written and nothing counted.
  void Send(TZelvoPacket& Packet) override;

  static constexpr qint32 CBaudRate = 38400;
  static constexpr qint64 CInputBufferSize = 32768;

protected:
  void ComAfterOpen();
  void ComAfterClose();
  // Reads everything waiting and delivers every complete frame. Run as a
  // queued call after readyRead, never inside its emission.
  void ComRxChar();
  void ComError(QSerialPort::SerialPortError Error);

private:
  std::unique_ptr<QSerialPort> FComPort;
  TZelvoQueuedRead FRead;
  std::string FPort; // as given: QSerialPort shortens "/dev/..." names
  bool FLost = false;
};
