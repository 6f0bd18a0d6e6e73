#pragma once

// The USB connection dialog: the user picks the scope's serial port from the
// ports found, and the list follows scopes being plugged in and out for as
// long as the dialog exists, shown or not.

#include <memory>

#include "app/FixedDialog.h"
#include "app/USBPnP.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

class TUsbDialog : public TFixedDialog {
  Q_OBJECT

public:
  // The scope's USB interface as it appears in hardware ids.
  static constexpr const char* CHardwareId = "VID_6B1D&PID_E4F7";

  // Fills the list at once. Without sources, the system's ports and hot-plug.
  explicit TUsbDialog(QWidget* Parent = nullptr);
  TUsbDialog(QWidget* Parent, std::unique_ptr<TSerialPortSource> PortSource,
             std::unique_ptr<TUsbEventSource> EventSource);

  // The chosen port name, for the serial link. Setting a name not in the
  // list leaves nothing chosen.
  QString Port() const;
  void SetPort(const QString& Value);

  TUSBPnP& USBPnP() { return *FUSBPnP; }

  // Closing with OK is refused, with a message, while no port is chosen.
  void done(int Result) override;

signals:
  // The scope's ports after every refresh of the list, once the dialog shows
  // them.
  void PortsChanged(const QStringList& Ports);

private:
  void USBPnPChange(TUSBPnP* Sender);
  // False (after telling the user why) when OK may not close the dialog.
  bool FormCloseQuery();

  std::unique_ptr<TUSBPnP> FUSBPnP;
  QGroupBox* grpSettings;
  QPushButton* btnOK;
  QPushButton* btnCancel;
  QComboBox* cbPorts;
  QLabel* Image1;
};
