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
  explicit EBadOption(const QString& Message) : std::runtime_error(Message.toStdString()) {}
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

// "rectangular" .. "flat-top": the window menu's names in lower case, with a
// hyphen for a space ("Flat top" is taken too).
TNames WindowNames() {
  TNames Names;
  for (const char* Name : COscSpectrumWindowNames)
    Names.push_back(QString(Name).toLower().replace(u' ', u'-'));
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
  // No name holds a space or a micro sign: "Flat top" is "flat-top", "µs" "us".
  QString V = Value;
  V.replace(u'µ', u'u').replace(u' ', u'-');
  for (std::size_t I = 0; I < Names.size(); ++I)
    if (Names[I].compare(V, Case) == 0)
      return static_cast<int>(I);
  throw EBadOption(
      TZelvoCaptureText::tr("--%1: \"%2\" is not one of %3").arg(Option, Value, Listed(Names)));
}

long long ToInteger(const QString& Value, long long Min, long long Max, const QString& Option) {
  bool Ok = false;
  const long long N = Value.trimmed().toLongLong(&Ok);
  if (!Ok || N < Min || N > Max)
    throw EBadOption(TZelvoCaptureText::tr("--%1: \"%2\" is not a whole number from %3 to %4")
                         .arg(Option, Value, QString::number(Min), QString::number(Max)));
  return N;
}

// A number of seconds above 0 and up to a day, in milliseconds.
int Milliseconds(const QString& Value, const QString& Option) {
  bool Ok = false;
  const double Seconds = Value.toDouble(&Ok);
  if (!Ok || !(Seconds > 0) || Seconds > 86400)
    throw EBadOption(
        TZelvoCaptureText::tr("--%1: \"%2\" is not a number of seconds above 0 and up to 86400")
            .arg(Option, Value));
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
    throw EBadOption(TZelvoCaptureText::tr("--locale: unknown locale \"%1\"").arg(Name));
  const QString Point = Locale.decimalPoint();
  if (Point.size() != 1 || Point[0].unicode() > 0x7F)
    throw EBadOption(
        TZelvoCaptureText::tr(
            "--locale: the decimal separator of \"%1\" is not a single ASCII character")
            .arg(Name));
  return static_cast<char>(Point[0].unicode());
}

const char* const CExitCodes = QT_TRANSLATE_NOOP("ZelvoCapture", R"(
Exit codes:
  0  the captures were written
  1  any other error
  2  bad options
  3  the connection was refused, could not be made or was lost
  4  the serial port cannot be opened
  5  timeout: no link or no complete capture within --timeout
  6  a capture file or the recording cannot be written
Errors are written to standard error, one line naming the cause.
)");

const char* const CDescription = QT_TRANSLATE_NOOP(
    "ZelvoCapture", R"(Takes captures from a Zelvo oscilloscope without the window.

Connects over TCP (--host) or a serial port (--serial), sends the settings
given below in one settings frame (unset ones keep the defaults of a new scope
driver: 500us, both channels 10V AC x1 at position 128, trigger on channel 1,
rising, auto, level 128), waits for the first complete capture taken with them
and writes BASE.csv (samples) and BASE.json (parameters) in the formats of the
program's export. Then it prints each channel's twenty readouts, one per line:
the thirteen of the program's menus, then Freq, Period, Duty, +Width, -Width,
Rise and Fall, for example "CH1 Vpp 40.00V", "CH1 Freq 1.00kHz". With
--count N the captures go to BASE-1 .. BASE-N, each group of readouts after a
line naming its base.

With --spectrum FILE it also writes both channels' magnitude spectra (4096
samples in volts, windowed) to FILE as CSV: the header
"frequency_hz,ch1_dbv,ch2_dbv", then one line per bin from 0 Hz to half the
sample rate (2049 lines), levels in dBV (RMS) down to -200, always with a
decimal point. With --count N the spectra go to FILE-1 .. FILE-N (the number
before the extension).

With --record FILE --seconds N it takes no captures: it records every frame
the scope sends for N seconds from the link's start into FILE (the program's
recording format, docs/recording-format.md), then prints one line
"FILE: FRAMES frames, BYTES bytes". zelvo-sim --replay FILE serves it again.)");

} // namespace

TZelvoCaptureCommandLine ZelvoCaptureParseCommandLine(const QStringList& Args) {
  TZelvoCaptureCommandLine Result;
  const TNames TimeBases = TimeBaseNames();
  const TNames VoltsPerDivisions = VoltsPerDivisionNames();

  QCommandLineParser Parser;
  Parser.setApplicationDescription(TZelvoCaptureText::tr(CDescription));
  const QCommandLineOption Help = Parser.addHelpOption();
  const QCommandLineOption Version = Parser.addVersionOption();
  // The value names (HOST, BASE, ...) stay as they are: the texts refer to them.
  const QCommandLineOption Host(
      "host", TZelvoCaptureText::tr("Connect over TCP to HOST (an IPv4 address or a name)."),
      "HOST");
  const QCommandLineOption Port("port", TZelvoCaptureText::tr("TCP port (default 2000)."), "PORT",
                                "2000");
  const QCommandLineOption Serial(
      "serial", TZelvoCaptureText::tr("Connect over the serial port PORT (ttyACM0, /dev/...)."),
      "PORT");
  const QCommandLineOption Out(
      "out", TZelvoCaptureText::tr("Base name of the files: BASE.csv and BASE.json."), "BASE");
  const QCommandLineOption Count(
      "count", TZelvoCaptureText::tr("Take N captures into BASE-1 .. BASE-N (default 1)."), "N",
      "1");
  const QCommandLineOption Record(
      "record",
      TZelvoCaptureText::tr("Record every frame the scope sends into FILE instead of taking "
                            "captures."),
      "FILE");
  const QCommandLineOption RecordSeconds(
      "seconds", TZelvoCaptureText::tr("How long --record records (seconds)."), "SECONDS");
  const QCommandLineOption Timeout(
      "timeout",
      TZelvoCaptureText::tr("Seconds to wait for the link and for each capture (default 10)."),
      "SECONDS", "10");
  const QCommandLineOption Locale(
      "locale",
      TZelvoCaptureText::tr("Write numbers with the decimal separator of locale NAME (de_DE) "
                            "instead of the C locale's point. The Level values of BASE.json "
                            "and the spectra always use a point."),
      "NAME");
  const TNames Windows = WindowNames();
  const QCommandLineOption Spectrum(
      "spectrum",
      TZelvoCaptureText::tr("Also write both channels' spectra as CSV to FILE (see above)."),
      "FILE");
  const QCommandLineOption Window(
      "window",
      TZelvoCaptureText::tr("Window of the spectra: %1 (default hann).").arg(Listed(Windows)),
      "NAME");
  const QCommandLineOption TimeBase(
      "timebase", TZelvoCaptureText::tr("Time per division: %1.").arg(Listed(TimeBases)), "TIME");
  QCommandLineOption VDiv[2] = {
      {"ch1-vdiv",
       TZelvoCaptureText::tr("Volts per division of channel 1: %1.").arg(Listed(VoltsPerDivisions)),
       "VOLTS"},
      {"ch2-vdiv", TZelvoCaptureText::tr("Volts per division of channel 2, as --ch1-vdiv."),
       "VOLTS"}};
  QCommandLineOption Coupling[2] = {
      {"ch1-coupling", TZelvoCaptureText::tr("Input coupling of channel 1: AC, DC, GND."),
       "COUPLING"},
      {"ch2-coupling", TZelvoCaptureText::tr("Input coupling of channel 2: AC, DC, GND."),
       "COUPLING"}};
  QCommandLineOption Probe[2] = {
      {"ch1-probe",
       TZelvoCaptureText::tr(
           "Probe of channel 1: x1, x10 (applied on this side, as the program does)."),
       "PROBE"},
      {"ch2-probe", TZelvoCaptureText::tr("Probe of channel 2: x1, x10."), "PROBE"}};
  QCommandLineOption Position[2] = {
      {"ch1-position", TZelvoCaptureText::tr("Sample value of channel 1's zero line, 0..255."),
       "N"},
      {"ch2-position", TZelvoCaptureText::tr("Sample value of channel 2's zero line, 0..255."),
       "N"}};
  const QCommandLineOption TriggerChannel("trigger-channel",
                                          TZelvoCaptureText::tr("Trigger channel: 1, 2."), "CH");
  const QCommandLineOption TriggerSlope(
      "trigger-slope", TZelvoCaptureText::tr("Trigger slope: rising, falling."), "SLOPE");
  const QCommandLineOption TriggerMode(
      "trigger-mode", TZelvoCaptureText::tr("Trigger mode: normal, auto, once."), "MODE");
  const QCommandLineOption TriggerLevel(
      "trigger-level", TZelvoCaptureText::tr("Trigger level as a sample value, 3..252."), "N");
  Parser.addOptions({Host, Port, Serial, Out, Count, Record, RecordSeconds, Timeout, Locale,
                     Spectrum, Window, TimeBase});
  for (int C = 0; C < 2; ++C)
    Parser.addOptions({VDiv[C], Coupling[C], Probe[C], Position[C]});
  Parser.addOptions({TriggerChannel, TriggerSlope, TriggerMode, TriggerLevel});

  Result.HelpText = (Parser.helpText() + TZelvoCaptureText::tr(CExitCodes)).toStdString();
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
      throw EBadOption(TZelvoCaptureText::tr("unexpected argument \"%1\"")
                           .arg(Parser.positionalArguments().first()));
    if (Parser.isSet(Host) == Parser.isSet(Serial))
      throw EBadOption(TZelvoCaptureText::tr("give either --host or --serial"));
    if (Parser.isSet(Host)) {
      O.Host = Parser.value(Host).trimmed().toStdString();
      if (O.Host.empty())
        throw EBadOption(TZelvoCaptureText::tr("--host: empty host"));
    }
    if (Parser.isSet(Port) && !Parser.isSet(Host))
      throw EBadOption(TZelvoCaptureText::tr("--port needs --host"));
    O.Port = static_cast<int>(ToInteger(Parser.value(Port), 1, 65535, "port"));
    if (Parser.isSet(Serial)) {
      O.Serial = Parser.value(Serial).toStdString();
      if (O.Serial.empty())
        throw EBadOption(TZelvoCaptureText::tr("--serial: empty port name"));
    }
    if (Parser.isSet(Out) == Parser.isSet(Record))
      throw EBadOption(TZelvoCaptureText::tr("give either --out BASE or --record FILE"));
    if (Parser.isSet(Out)) {
      O.Out = Parser.value(Out).toStdString();
      if (O.Out.empty())
        throw EBadOption(TZelvoCaptureText::tr("--out: empty base name"));
    } else {
      O.Record = Parser.value(Record).toStdString();
      if (O.Record.empty())
        throw EBadOption(TZelvoCaptureText::tr("--record: empty file name"));
      if (!Parser.isSet(RecordSeconds))
        throw EBadOption(TZelvoCaptureText::tr("--record needs --seconds"));
      O.RecordMs = Milliseconds(Parser.value(RecordSeconds), "seconds");
    }
    for (const QCommandLineOption* Only : {&Count, &Locale, &Spectrum})
      if (Parser.isSet(*Only) && O.Out.empty())
        throw EBadOption(TZelvoCaptureText::tr("--%1 needs --out").arg(Only->names().first()));
    if (Parser.isSet(RecordSeconds) && O.Record.empty())
      throw EBadOption(TZelvoCaptureText::tr("--seconds needs --record"));
    O.Count = static_cast<int>(ToInteger(Parser.value(Count), 1, 1000000, "count"));
    O.TimeoutMs = Milliseconds(Parser.value(Timeout), "timeout");
    if (Parser.isSet(Locale))
      O.DecimalSeparator = LocaleSeparator(Parser.value(Locale));
    if (Parser.isSet(Spectrum)) {
      O.Spectrum = Parser.value(Spectrum).toStdString();
      if (O.Spectrum.empty())
        throw EBadOption(TZelvoCaptureText::tr("--spectrum: empty file name"));
    }
    if (Parser.isSet(Window)) {
      if (!Parser.isSet(Spectrum))
        throw EBadOption(TZelvoCaptureText::tr("--window needs --spectrum"));
      O.Window = static_cast<TOscSpectrumWindow>(
          FindName(Windows, Parser.value(Window), Qt::CaseInsensitive, "window"));
    }

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
