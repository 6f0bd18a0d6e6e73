#pragma once

// zelvo-capture's command line: where the scope is, how to set it before the
// capture, and where the captures go. Parsed by QCommandLineParser.

#include <QCoreApplication>
#include <QStringList>

#include <optional>
#include <string>

#include "osc/OscSpectrum.h"
#include "osc/OscTypes.h"

// The translation context of zelvo-capture's help and messages. Readout
// lines and files are output formats and stay as they are.
class TZelvoCaptureText {
  Q_DECLARE_TR_FUNCTIONS(ZelvoCapture)
};

// The program's exit codes; --help lists them.
enum TZelvoCaptureExit : int {
  ceSuccess = 0,
  ceFailure = 1,          // anything else that went wrong
  ceBadOptions = 2,       // the command line cannot be used
  ceConnectionFailed = 3, // refused, unreachable or lost
  cePortUnavailable = 4,  // the serial port cannot be opened
  ceTimeout = 5,          // no link or no complete capture in time
  ceFileNotWritable = 6   // a capture file cannot be written
};

struct TZelvoCaptureChannelOptions {
  std::optional<TOscVoltsPerDivision> VoltsPerDivision;
  std::optional<TOscInputCoupling> Coupling;
  std::optional<TOscMultiplier> Probe;
  std::optional<int> Position;
};

// Settings left unset keep the defaults of a newly created scope driver.
struct TZelvoCaptureOptions {
  std::string Host; // TCP, when set
  int Port = 2000;
  std::string Serial; // serial port, when set
  std::optional<TOscTimeBase> TimeBase;
  TZelvoCaptureChannelOptions Channel[2];
  std::optional<int> TriggerChannel; // channel index, 0 or 1
  std::optional<TOscTriggerSlope> TriggerSlope;
  std::optional<TOscTriggerMode> TriggerMode;
  std::optional<int> TriggerLevel;
  std::string Out;      // base name of the files
  std::string Spectrum; // the spectra's CSV file, when set
  TOscSpectrumWindow Window = swHann;
  int Count = 1;
  // Instead of captures: every frame received for RecordMs into this file.
  std::string Record;
  int RecordMs = 0;
  int TimeoutMs = 10000;
  char DecimalSeparator = '.';
};

struct TZelvoCaptureCommandLine {
  enum TAction { caRun, caHelp, caVersion, caError };
  TAction Action = caRun;
  TZelvoCaptureOptions Options;
  std::string Error;
  std::string HelpText; // the whole --help text, exit codes included
};

// Args include the program name first, as QCoreApplication::arguments() has it.
TZelvoCaptureCommandLine ZelvoCaptureParseCommandLine(const QStringList& Args);
