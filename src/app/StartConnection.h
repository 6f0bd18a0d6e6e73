#pragma once

// What the program starts on, from the command line: "--wifi HOST[:PORT]" and
// "--usb PORT" start it connected, as if the user had confirmed the connection
// dialog, so that a shortcut or a script can open it on a known scope; a FILE
// argument (what the desktop passes for a file opened with the program)
// shows that capture as File › Open capture... does.

#include <QString>

class QCommandLineParser;
class TMainForm;

struct TStartConnection {
  enum class TKind { None, Wifi, Usb, Capture };
  TKind Kind = TKind::None;
  QString Host; // dotted IPv4, for WiFi
  int Port = 0; // TCP port, for WiFi
  QString UsbPort;
  QString CaptureFile; // absolute
};

// Adds --wifi, --usb and the FILE argument, with their help texts.
void AddStartConnectionOptions(QCommandLineParser& Parser);
// Reads them once Parser has processed the arguments. An unusable value, two
// of them at once, or more than one file fills Error and returns nothing.
TStartConnection ReadStartConnection(const QCommandLineParser& Parser, QString& Error);
// "HOST" or "HOST:PORT" with a dotted IPv4 host and a port of 1..65535; the
// port defaults to the scope's. False when Text is not of that form.
bool ParseWifiTarget(const QString& Text, QString& Host, int& Port);
// Starts the connection (or opens the capture) from the event loop, once the
// window is shown, so that the USB warning and any error box appear over it.
void StartConnectionLater(TMainForm& MainForm, const TStartConnection& Connection);
