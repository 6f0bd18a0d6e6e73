#pragma once

// Where TUSBPnP learns about serial ports: a list of the ports present and a
// stream of USB serial devices arriving and leaving. The system versions ask
// Qt's serial-port module and the udev device manager; tests give their own.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// One serial port as the system lists it. The vendor and product ids are
// those of the USB device behind the port; a port without them (a built-in
// UART, a pseudo-terminal) never matches a USB hardware id.
struct TSerialPortEntry {
  QString PortName; // the name QSerialPort opens
  bool HasUsbIds = false;
  std::uint16_t VendorId = 0;
  std::uint16_t ProductId = 0;
};

class TSerialPortSource {
public:
  virtual ~TSerialPortSource() = default;
  // The ports present now, in the system's order.
  virtual std::vector<TSerialPortEntry> Enumerate() = 0;
};

// Every serial port Qt's serial-port module finds.
class TQtSerialPortSource : public TSerialPortSource {
public:
  std::vector<TSerialPortEntry> Enumerate() override;
};

enum class TUsbDeviceChange { Arrival, Removal };

struct TUsbDeviceEvent {
  TUsbDeviceChange Change = TUsbDeviceChange::Arrival;
  bool HasUsbIds = false;
  std::uint16_t VendorId = 0;
  std::uint16_t ProductId = 0;
};

// Reports serial devices arriving and leaving, on the UI thread. The receiver
// is set once by the owner; events before that are dropped.
class TUsbEventSource {
public:
  using TReceiver = std::function<void(const TUsbDeviceEvent& Event)>;
  virtual ~TUsbEventSource() = default;
  void SetReceiver(TReceiver Receiver) { FReceiver = std::move(Receiver); }

protected:
  void Report(const TUsbDeviceEvent& Event) {
    if (FReceiver)
      FReceiver(Event);
  }

private:
  TReceiver FReceiver;
};

// A udev monitor of the "tty" subsystem, read as its socket becomes readable.
// Returns nullptr when no monitor can be had (no udev, as in many
// containers): the caller then goes without hot-plug.
std::unique_ptr<TUsbEventSource> CreateUdevEventSource();

// "USB\VID_6B1D&PID_E4F7": the form in which the ids appear in Windows
// hardware ids, which is the form HardwareId is given in.
QString UsbHardwareId(std::uint16_t VendorId, std::uint16_t ProductId);
