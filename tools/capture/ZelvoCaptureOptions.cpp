#include "capture/ZelvoCaptureOptions.h"

#include <QCommandLineParser>
#include <QLocale>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "osc/OscFormat.h"
#include "osc/OscScales.h"

namespace {

// Raised while reading the values; the message names the option.
class EBadOption : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The names of an enumeration's members as the user types them, by ordinal.
using TNames = std::vector<QString>;

// "1us" .. "500us", "1ms" .. "1s": the program's own time/div texts, with "u"
// for the micro sign so that scripts need not type it ("µs" is taken too).
TNames TimeBaseNames() {
  TNames Names;
  for (int I = 0; I < OscOrdinalCount(TOscTimeBase{}); ++I)
    Names.push_back(QString::fromStdString(OscTimeToStr(COscTimeBase[I])).replace(u'µ', u'u'));
  return Names;
}

// "off", "20V" .. "5mV": the program's own volts/div labels.
TNames VoltsPerDivisionNames() {
  TNames Names{"off"};
  for (int I = vdiv20V; I < OscOrdinalCount(TOscVoltsPerDivision{}); ++I)
    Names.push_back(QString::fromStdString(OscVoltageToStrFormat("%.0f", COscVoltsPerDivision[I])));
  return Names;
}

const TNames CCouplingNames{"AC", "DC", "GND"};
const TNames CProbeNames{"x1", "x10"};
const TNames CSlopeNames{"rising", "falling"};
const TNames CModeNames{"normal", "auto", "once"};

QString Listed(const TNames& Names) {
  QStringList L(Names.begin(), Names.end());
  return L.join(", ");
}

int FindName(const TNames& Names, const QString& Value, Qt::CaseSensitivity Case,
             const QString& Option) {
  QString V = Value;
  V.replace(u'µ', u'u');
  for (std::size_t I = 0; I < Names.size(); ++I)
    if (Names[I].compare(V, Case) == 0)
      return static_cast<int>(I);
  throw EBadOption(QStringLiteral("--%1: \"%2\" is not one of %3")
                       .arg(Option, Value, Listed(Names))
                       .toStdString());
}

long long ToInteger(const QString& Value, long long Min, long long Max, const QString& Option) {
  bool Ok = false;
  const long long N = Value.trimmed().toLongLong(&Ok);
  if (!Ok || N < Min || N > Max)
    throw EBadOption(QStringLiteral("--%1: \"%2\" is not a whole number from %3 to %4")
                         .arg(Option, Value)
                         .arg(Min)
                         .arg(Max)
                         .toStdString());
  return N;
}

// A number of seconds above 0 and up to a day, in milliseconds.
int Milliseconds(const QString& Value, const QString& Option) {
  bool Ok = false;
  const double Seconds = Value.toDouble(&Ok);
  if (!Ok || !(Seconds > 0) || Seconds > 86400)
    throw EBadOption(
        QStringLiteral("--%1: \"%2\" is not a number of seconds above 0 and up to 86400")
            .arg(Option, Value)
            .toStdString());
  return std::max(1, static_cast<int>(std::lround(Seconds * 1000)));
}

// The decimal separator of a named locale ("de_DE" gives ','). "C" and
// "POSIX" are the C locale; a name Qt does not know is refused rather than
// silently read as C.
char LocaleSeparator(const QString& Name) {
  if (Name.compare("C", Qt::CaseInsensitive) == 0 ||
      Name.compare("POSIX", Qt::CaseInsensitive) == 0)
    return '.';
  const QLocale Locale(Name);
  if (Locale.language() == QLocale::C || Locale.language() == QLocale::AnyLanguage)
    throw EBadOption(QStringLiteral("--locale: unknown locale \"%1\"").arg(Name).toStdString());
  const QString Point = Locale.decimalPoint();
  if (Point.size() != 1 || Point[0].unicode() > 0x7F)
    throw EBadOption(
        QStringLiteral("--locale: the decimal separator of \"%1\" is not a single ASCII character")
            .arg(Name)
            .toStdString());
  return static_cast<char>(Point[0].unicode());
}

const char* const CExitCodes = R"(
Exit codes:
  0  the captures were written
  1  any other error
  2  bad options
  3  the connection was refused, could not be made or was lost
  4  the serial port cannot be opened
  5  timeout: no link or no complete capture within --timeout
  6  a capture file or the recording cannot be written
Errors are written to standard error, one line naming the cause.
)";

const char* const CDescription = R"(Takes captures from a Zelvo oscilloscope without the window.

Connects over TCP (--host) or a serial port (--serial), sends the settings
given below in one settings frame (unset ones keep the defaults of a new scope
driver: 500us, both channels 10V AC x1 at position 128, trigger on channel 1,
rising, auto, level 128), waits for the first complete capture taken with them
and writes BASE.csv (samples) and BASE.json (parameters) in the formats of the
program's export. Then it prints each channel's thirteen readouts, one per
line, for example "CH1 Vpp 40.00V". With --count N the captures go to
BASE-1 .. BASE-N, each group of readouts after a line naming its base.

With --record FILE --seconds N it takes no captures: it records every frame
the scope sends for N seconds from the link's start into FILE (the program's
recording format, docs/recording-format.md), then prints one line
"FILE: FRAMES frames, BYTES bytes". zelvo-sim --replay FILE serves it again.)";

} // namespace

TZelvoCaptureCommandLine ZelvoCaptureParseCommandLine(const QStringList& Args) {
  TZelvoCaptureCommandLine Result;
  const TNames TimeBases = TimeBaseNames();
  const TNames VoltsPerDivisions = VoltsPerDivisionNames();

  QCommandLineParser Parser;
  Parser.setApplicationDescription(CDescription);
  const QCommandLineOption Help = Parser.addHelpOption();
  const QCommandLineOption Version = Parser.addVersionOption();
  const QCommandLineOption Host("host", "Connect over TCP to HOST (an IPv4 address or a name).",
                                "HOST");
  const QCommandLineOption Port("port", "TCP port (default 2000).", "PORT", "2000");
  const QCommandLineOption Serial("serial",
                                  "Connect over the serial port PORT (ttyACM0, /dev/...).", "PORT");
  const QCommandLineOption Out("out", "Base name of the files: BASE.csv and BASE.json.", "BASE");
  const QCommandLineOption Count("count", "Take N captures into BASE-1 .. BASE-N (default 1).", "N",
                                 "1");
  const QCommandLineOption Record(
      "record", "Record every frame the scope sends into FILE instead of taking captures.", "FILE");
  const QCommandLineOption RecordSeconds("seconds", "How long --record records (seconds).",
                                         "SECONDS");
  const QCommandLineOption Timeout(
      "timeout", "Seconds to wait for the link and for each capture (default 10).", "SECONDS",
      "10");
  const QCommandLineOption Locale(
      "locale",
      "Write numbers with the decimal separator of locale NAME (de_DE) instead of the C "
      "locale's point. The Level values of BASE.json always use a point.",
      "NAME");
  const QCommandLineOption TimeBase("timebase", "Time per division: " + Listed(TimeBases) + ".",
                                    "TIME");
  QCommandLineOption VDiv[2] = {
      {"ch1-vdiv", "Volts per division of channel 1: " + Listed(VoltsPerDivisions) + ".", "VOLTS"},
      {"ch2-vdiv", "Volts per division of channel 2, as --ch1-vdiv.", "VOLTS"}};
  QCommandLineOption Coupling[2] = {
      {"ch1-coupling", "Input coupling of channel 1: AC, DC, GND.", "COUPLING"},
      {"ch2-coupling", "Input coupling of channel 2: AC, DC, GND.", "COUPLING"}};
  QCommandLineOption Probe[2] = {
      {"ch1-probe", "Probe of channel 1: x1, x10 (applied on this side, as the program does).",
       "PROBE"},
      {"ch2-probe", "Probe of channel 2: x1, x10.", "PROBE"}};
  QCommandLineOption Position[2] = {
      {"ch1-position", "Sample value of channel 1's zero line, 0..255.", "N"},
      {"ch2-position", "Sample value of channel 2's zero line, 0..255.", "N"}};
  const QCommandLineOption TriggerChannel("trigger-channel", "Trigger channel: 1, 2.", "CH");
  const QCommandLineOption TriggerSlope("trigger-slope", "Trigger slope: rising, falling.",
                                        "SLOPE");
  const QCommandLineOption TriggerMode("trigger-mode", "Trigger mode: normal, auto, once.", "MODE");
  const QCommandLineOption TriggerLevel("trigger-level", "Trigger level as a sample value, 3..252.",
                                        "N");
  Parser.addOptions(
      {Host, Port, Serial, Out, Count, Record, RecordSeconds, Timeout, Locale, TimeBase});
  for (int C = 0; C < 2; ++C)
    Parser.addOptions({VDiv[C], Coupling[C], Probe[C], Position[C]});
  Parser.addOptions({TriggerChannel, TriggerSlope, TriggerMode, TriggerLevel});

  Result.HelpText = (Parser.helpText() + CExitCodes).toStdString();
  if (!Parser.parse(Args)) {
    Result.Action = TZelvoCaptureCommandLine::caError;
    Result.Error = Parser.errorText().toStdString();
    return Result;
  }
  if (Parser.isSet(Help) || Parser.isSet("help-all")) {
    Result.Action = TZelvoCaptureCommandLine::caHelp;
    return Result;
  }
  if (Parser.isSet(Version)) {
    Result.Action = TZelvoCaptureCommandLine::caVersion;
    return Result;
  }

  TZelvoCaptureOptions& O = Result.Options;
  try {
    if (!Parser.positionalArguments().isEmpty())
      throw EBadOption("unexpected argument \"" +
                       Parser.positionalArguments().first().toStdString() + "\"");
    if (Parser.isSet(Host) == Parser.isSet(Serial))
      throw EBadOption("give either --host or --serial");
    if (Parser.isSet(Host)) {
      O.Host = Parser.value(Host).trimmed().toStdString();
      if (O.Host.empty())
        throw EBadOption("--host: empty host");
    }
    if (Parser.isSet(Port) && !Parser.isSet(Host))
      throw EBadOption("--port needs --host");
    O.Port = static_cast<int>(ToInteger(Parser.value(Port), 1, 65535, "port"));
    if (Parser.isSet(Serial)) {
      O.Serial = Parser.value(Serial).toStdString();
      if (O.Serial.empty())
        throw EBadOption("--serial: empty port name");
    }
    if (Parser.isSet(Out) == Parser.isSet(Record))
      throw EBadOption("give either --out BASE or --record FILE");
    if (Parser.isSet(Out)) {
      O.Out = Parser.value(Out).toStdString();
      if (O.Out.empty())
        throw EBadOption("--out: empty base name");
    } else {
      O.Record = Parser.value(Record).toStdString();
      if (O.Record.empty())
        throw EBadOption("--record: empty file name");
      if (!Parser.isSet(RecordSeconds))
        throw EBadOption("--record needs --seconds");
      O.RecordMs = Milliseconds(Parser.value(RecordSeconds), "seconds");
    }
    for (const QCommandLineOption* Only : {&Count, &Locale})
      if (Parser.isSet(*Only) && O.Out.empty())
        throw EBadOption("--" + Only->names().first().toStdString() + " needs --out");
    if (Parser.isSet(RecordSeconds) && O.Record.empty())
      throw EBadOption("--seconds needs --record");
    O.Count = static_cast<int>(ToInteger(Parser.value(Count), 1, 1000000, "count"));
    O.TimeoutMs = Milliseconds(Parser.value(Timeout), "timeout");
    if (Parser.isSet(Locale))
      O.DecimalSeparator = LocaleSeparator(Parser.value(Locale));

    if (Parser.isSet(TimeBase))
      O.TimeBase = static_cast<TOscTimeBase>(
          FindName(TimeBases, Parser.value(TimeBase), Qt::CaseSensitive, "timebase"));
    for (int C = 0; C < 2; ++C) {
      TZelvoCaptureChannelOptions& Ch = O.Channel[C];
      const QString Prefix = QStringLiteral("ch%1-").arg(C + 1);
      if (Parser.isSet(VDiv[C])) {
        const QString V = Parser.value(VDiv[C]);
        // "off" in any case; the units stay case-sensitive (mV is not MV).
        Ch.VoltsPerDivision = static_cast<TOscVoltsPerDivision>(
            V.compare("off", Qt::CaseInsensitive) == 0
                ? 0
                : FindName(VoltsPerDivisions, V, Qt::CaseSensitive, Prefix + "vdiv"));
      }
      if (Parser.isSet(Coupling[C]))
        Ch.Coupling = static_cast<TOscInputCoupling>(FindName(
            CCouplingNames, Parser.value(Coupling[C]), Qt::CaseInsensitive, Prefix + "coupling"));
      if (Parser.isSet(Probe[C]))
        Ch.Probe = static_cast<TOscMultiplier>(
            FindName(CProbeNames, Parser.value(Probe[C]), Qt::CaseInsensitive, Prefix + "probe"));
      if (Parser.isSet(Position[C]))
        Ch.Position =
            static_cast<int>(ToInteger(Parser.value(Position[C]), 0, 255, Prefix + "position"));
    }
    if (Parser.isSet(TriggerChannel))
      O.TriggerChannel =
          static_cast<int>(ToInteger(Parser.value(TriggerChannel), 1, 2, "trigger-channel")) - 1;
    if (Parser.isSet(TriggerSlope))
      O.TriggerSlope = static_cast<TOscTriggerSlope>(
          FindName(CSlopeNames, Parser.value(TriggerSlope), Qt::CaseInsensitive, "trigger-slope"));
    if (Parser.isSet(TriggerMode))
      O.TriggerMode = static_cast<TOscTriggerMode>(
          FindName(CModeNames, Parser.value(TriggerMode), Qt::CaseInsensitive, "trigger-mode"));
    if (Parser.isSet(TriggerLevel))
      O.TriggerLevel =
          static_cast<int>(ToInteger(Parser.value(TriggerLevel), 3, 252, "trigger-level"));
  } catch (const EBadOption& E) {
    Result.Action = TZelvoCaptureCommandLine::caError;
    Result.Error = E.what();
  }
  return Result;
}
