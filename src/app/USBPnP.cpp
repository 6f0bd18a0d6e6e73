#include "app/USBPnP.h"

TUSBPnP::TUSBPnP() : TUSBPnP(std::make_unique<TQtSerialPortSource>(), CreateUdevEventSource()) {}

TUSBPnP::TUSBPnP(std::unique_ptr<TSerialPortSource> PortSource,
                 std::unique_ptr<TUsbEventSource> EventSource)
    : FPortSource(std::move(PortSource)), FEventSource(std::move(EventSource)) {
  if (FEventSource)
    FEventSource->SetReceiver([this](const TUsbDeviceEvent& E) { DeviceChange(E); });
}

bool TUSBPnP::Matches(std::uint16_t VendorId, std::uint16_t ProductId) const {
  return UsbHardwareId(VendorId, ProductId).contains(FHardwareId, Qt::CaseInsensitive);
}

void TUSBPnP::Refresh() {
  FPorts.clear();
  for (const TSerialPortEntry& Port : FPortSource->Enumerate()) {
    if (Port.HasUsbIds && Matches(Port.VendorId, Port.ProductId))
      FPorts.append(Port.PortName);
  }
  if (FOnChange)
    FOnChange(this);
}

// Other devices come and go without a refresh; only the scope's own matter.
void TUSBPnP::DeviceChange(const TUsbDeviceEvent& Event) {
  if (Event.HasUsbIds && Matches(Event.VendorId, Event.ProductId))
    Refresh();
}
