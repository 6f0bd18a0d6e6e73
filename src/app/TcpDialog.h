#pragma once

// The WiFi connection dialog: asks for the scope's address and TCP port and
// proposes the computer's gateway address, which is the scope when the
// computer is joined to the scope's access point.

#include <QString>

#include <functional>

#include "app/FixedDialog.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TTcpDialog : public TFixedDialog {
  Q_OBJECT

public:
  using TGatewayLookup = std::function<QString()>;

  // Proposed in the host list besides the gateway: the scope's own access
  // point address and a link-local one.
  static constexpr const char* CPresetHosts[] = {"192.168.4.1", "169.254.1.1"};
  static constexpr const char* CDefaultPort = "2000";

  // Looks the gateway up once, here. Without a lookup, GetGatewayAddress.
  explicit TTcpDialog(QWidget* Parent = nullptr, TGatewayLookup GatewayLookup = {});

  // The host text exactly as entered or picked.
  QString Host() const;
  // The port text as a whole number, any value; raises EOscError
  // "'<text>' is not a valid integer value" for other text.
  int Port() const;

private:
  QGroupBox* grpSettings;
  QComboBox* cbHost;
  QLineEdit* txtPort;
  QPushButton* btnOK;
  QPushButton* btnCancel;
  QLabel* lblSelectOrEnter;
};
