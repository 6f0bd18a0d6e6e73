#include "app/StartConnection.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHostAddress>
#include <QPointer>
#include <QTimer>

#include "app/MainForm.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "osc/OscErrorBoundary.h"

namespace {

constexpr const char* CWifiOption = "wifi";
constexpr const char* CUsbOption = "usb";

} // namespace

void AddStartConnectionOptions(QCommandLineParser& Parser) {
  Parser.addOption(QCommandLineOption(
      CWifiOption,
      QCoreApplication::translate("StartConnection",
                                  "Connect over WiFi to the scope at HOST (dotted IPv4) and PORT "
                                  "(default %1) at start, as if confirmed in the WiFi dialog.")
          .arg(CZelvoDefaultPort),
      QStringLiteral("HOST[:PORT]")));
  Parser.addOption(QCommandLineOption(
      CUsbOption,
      QCoreApplication::translate(
          "StartConnection", "Connect over USB to the scope's serial PORT (e.g. ttyACM0) at start, "
                             "as if confirmed in the USB dialog."),
      QStringLiteral("PORT")));
  Parser.addPositionalArgument(
      QStringLiteral("FILE"),
      QCoreApplication::translate("StartConnection",
                                  "A capture to show at start: its samples file (.csv) or its "
                                  "parameters file (.json), as written by the export."),
      QStringLiteral("[FILE]"));
}

bool ParseWifiTarget(const QString& Text, QString& Host, int& Port) {
  const int Colon = Text.indexOf(':');
  const QString H = Colon < 0 ? Text : Text.left(Colon);
  int P = CZelvoDefaultPort;
  if (Colon >= 0) {
    bool Ok = false;
    P = Text.mid(Colon + 1).toInt(&Ok);
    if (!Ok || P < 1 || P > 65535)
      return false;
  }
  QHostAddress Address;
  if (!Address.setAddress(H) || Address.protocol() != QAbstractSocket::IPv4Protocol)
    return false;
  Host = H;
  Port = P;
  return true;
}

TStartConnection ReadStartConnection(const QCommandLineParser& Parser, QString& Error) {
  TStartConnection Result;
  const bool Wifi = Parser.isSet(CWifiOption);
  const bool Usb = Parser.isSet(CUsbOption);
  const QStringList Files = Parser.positionalArguments();
  if (Wifi && Usb) {
    Error =
        QCoreApplication::translate("StartConnection", "Choose either --wifi or --usb, not both.");
    return {};
  }
  if (Files.size() > 1) {
    Error = QCoreApplication::translate("StartConnection", "Give one capture file, not %1.")
                .arg(Files.size());
    return {};
  }
  if (!Files.isEmpty()) {
    if (Wifi || Usb) {
      Error = QCoreApplication::translate(
          "StartConnection", "Choose either a capture file or a connection, not both.");
      return {};
    }
    Result.Kind = TStartConnection::TKind::Capture;
    Result.CaptureFile = QFileInfo(Files.first()).absoluteFilePath();
  } else if (Wifi) {
    const QString Target = Parser.value(CWifiOption);
    if (!ParseWifiTarget(Target, Result.Host, Result.Port)) {
      Error = QCoreApplication::translate(
                  "StartConnection", "--wifi expects HOST[:PORT] with a dotted IPv4 address and a "
                                     "port of 1 to 65535, not '%1'.")
                  .arg(Target);
      return {};
    }
    Result.Kind = TStartConnection::TKind::Wifi;
  } else if (Usb) {
    Result.UsbPort = Parser.value(CUsbOption);
    if (Result.UsbPort.isEmpty()) {
      Error = QCoreApplication::translate("StartConnection",
                                          "--usb expects the name of a serial port.");
      return {};
    }
    Result.Kind = TStartConnection::TKind::Usb;
  }
  return Result;
}

void StartConnectionLater(TMainForm& MainForm, const TStartConnection& Connection) {
  if (Connection.Kind == TStartConnection::TKind::None)
    return;
  QPointer<TMainForm> Form(&MainForm);
  QTimer::singleShot(0, &MainForm, [Form, Connection] {
    OscGuarded([&] {
      if (Form.isNull())
        return;
      if (Connection.Kind == TStartConnection::TKind::Wifi)
        Form->ConnectTcp(Connection.Host, Connection.Port);
      else if (Connection.Kind == TStartConnection::TKind::Usb)
        Form->ConnectUsb(Connection.UsbPort);
      else
        Form->OpenCapture(Connection.CaptureFile);
    });
  });
}
