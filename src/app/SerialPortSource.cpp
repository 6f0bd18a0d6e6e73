#include "app/SerialPortSource.h"

#include <QSerialPortInfo>
#include <QSocketNotifier>

#include <libudev.h>

#include "osc/OscErrorBoundary.h"

QString UsbHardwareId(std::uint16_t VendorId, std::uint16_t ProductId) {
  const auto Hex4 = [](std::uint16_t V) {
    return QString::number(V, 16).toUpper().rightJustified(4, QLatin1Char('0'));
  };
  return QStringLiteral("USB\\VID_%1&PID_%2").arg(Hex4(VendorId), Hex4(ProductId));
}

std::vector<TSerialPortEntry> TQtSerialPortSource::Enumerate() {
  std::vector<TSerialPortEntry> Result;
  const QList<QSerialPortInfo> Infos = QSerialPortInfo::availablePorts();
  Result.reserve(static_cast<std::size_t>(Infos.size()));
  for (const QSerialPortInfo& Info : Infos) {
    TSerialPortEntry E;
    E.PortName = Info.portName();
    E.HasUsbIds = Info.hasVendorIdentifier() && Info.hasProductIdentifier();
    E.VendorId = Info.vendorIdentifier();
    E.ProductId = Info.productIdentifier();
    Result.push_back(E);
  }
  return Result;
}

namespace {

struct TUdevDeleter {
  void operator()(udev* U) const { udev_unref(U); }
  void operator()(udev_monitor* M) const { udev_monitor_unref(M); }
  void operator()(udev_device* D) const { udev_device_unref(D); }
};
using TUdevPtr = std::unique_ptr<udev, TUdevDeleter>;
using TUdevMonitorPtr = std::unique_ptr<udev_monitor, TUdevDeleter>;
using TUdevDevicePtr = std::unique_ptr<udev_device, TUdevDeleter>;

bool ParseHexId(const char* Text, std::uint16_t& Id) {
  if (Text == nullptr)
    return false;
  bool Ok = false;
  const uint V = QString::fromLatin1(Text).toUInt(&Ok, 16);
  if (!Ok || V > 0xFFFF)
    return false;
  Id = static_cast<std::uint16_t>(V);
  return true;
}

// The ids travel in the event's properties, set by udev's usb_id builtin;
// newer systemd also names them ID_USB_*. A removed device's sysfs entry is
// already gone, so the properties are the only source on removal.
bool ReadUsbIds(udev_device* Device, std::uint16_t& VendorId, std::uint16_t& ProductId) {
  for (const auto& Names : {std::pair{"ID_USB_VENDOR_ID", "ID_USB_MODEL_ID"},
                            std::pair{"ID_VENDOR_ID", "ID_MODEL_ID"}}) {
    if (ParseHexId(udev_device_get_property_value(Device, Names.first), VendorId) &&
        ParseHexId(udev_device_get_property_value(Device, Names.second), ProductId))
      return true;
  }
  udev_device* Usb = udev_device_get_parent_with_subsystem_devtype(Device, "usb", "usb_device");
  return Usb != nullptr && ParseHexId(udev_device_get_sysattr_value(Usb, "idVendor"), VendorId) &&
         ParseHexId(udev_device_get_sysattr_value(Usb, "idProduct"), ProductId);
}

class TUdevEventSource : public TUsbEventSource {
public:
  TUdevEventSource(TUdevPtr Udev, TUdevMonitorPtr Monitor)
      : FUdev(std::move(Udev)), FMonitor(std::move(Monitor)),
        FNotifier(udev_monitor_get_fd(FMonitor.get()), QSocketNotifier::Read) {
    QObject::connect(&FNotifier, &QSocketNotifier::activated, &FNotifier,
                     [this] { OscGuarded([this] { ReadEvents(); }); });
  }

private:
  // The socket is not re-signalled for events left unread, so read them all.
  void ReadEvents() {
    while (TUdevDevicePtr Device{udev_monitor_receive_device(FMonitor.get())}) {
      const char* Action = udev_device_get_action(Device.get());
      if (Action == nullptr)
        continue;
      TUsbDeviceEvent Event;
      if (qstrcmp(Action, "add") == 0)
        Event.Change = TUsbDeviceChange::Arrival;
      else if (qstrcmp(Action, "remove") == 0)
        Event.Change = TUsbDeviceChange::Removal;
      else
        continue;
      Event.HasUsbIds = ReadUsbIds(Device.get(), Event.VendorId, Event.ProductId);
      Report(Event);
    }
  }

  TUdevPtr FUdev;
  TUdevMonitorPtr FMonitor;
  QSocketNotifier FNotifier;
};

} // namespace

std::unique_ptr<TUsbEventSource> CreateUdevEventSource() {
  TUdevPtr Udev{udev_new()};
  if (!Udev)
    return nullptr;
  TUdevMonitorPtr Monitor{udev_monitor_new_from_netlink(Udev.get(), "udev")};
  if (!Monitor)
    return nullptr;
  if (udev_monitor_filter_add_match_subsystem_devtype(Monitor.get(), "tty", nullptr) < 0 ||
      udev_monitor_enable_receiving(Monitor.get()) < 0 || udev_monitor_get_fd(Monitor.get()) < 0)
    return nullptr;
  return std::make_unique<TUdevEventSource>(std::move(Udev), std::move(Monitor));
}
