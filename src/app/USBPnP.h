#pragma once

// Finds the serial ports of the scope's USB interface and keeps the list
// current as devices are plugged in and pulled out.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "app/SerialPortSource.h"

class TUSBPnP {
public:
  using TChangeEvent = std::function<void(TUSBPnP* Sender)>;

  // Without arguments: the system's ports and udev's hot-plug events. With no
  // event source (or none to be had) the list changes only on Refresh. Does
  // not enumerate: the owner calls Refresh once HardwareId and OnChange are
  // set.
  TUSBPnP();
  TUSBPnP(std::unique_ptr<TSerialPortSource> PortSource,
          std::unique_ptr<TUsbEventSource> EventSource);
  TUSBPnP(const TUSBPnP&) = delete;
  TUSBPnP& operator=(const TUSBPnP&) = delete;

  // Replaces Ports with the names of the ports whose USB hardware id contains
  // HardwareId (letter case ignored), in enumeration order, duplicates kept;
  // then calls OnChange, whether or not anything changed. An enumeration
  // error leaves here before OnChange.
  void Refresh();

  const QStringList& Ports() const { return FPorts; }
  const QString& HardwareId() const { return FHardwareId; }
  void SetHardwareId(const QString& Value) { FHardwareId = Value; }
  void SetOnChange(TChangeEvent Value) { FOnChange = std::move(Value); }
  // Whether arrivals and removals are watched.
  bool HasHotPlug() const { return FEventSource != nullptr; }

  // Whether a USB device with these ids is one looked for.
  bool Matches(std::uint16_t VendorId, std::uint16_t ProductId) const;

private:
  void DeviceChange(const TUsbDeviceEvent& Event);

  std::unique_ptr<TSerialPortSource> FPortSource;
  std::unique_ptr<TUsbEventSource> FEventSource;
  QString FHardwareId;
  QStringList FPorts;
  TChangeEvent FOnChange;
};
