#include "sim/ZelvoSimOptions.h"

#include <QCommandLineParser>
#include <QStringList>

#include <map>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const QString& Message) {
  throw std::invalid_argument(Message.toStdString());
}

QString Q(const std::string& Text) {
  return QString::fromStdString(Text);
}

const char* const CHelp = QT_TRANSLATE_NOOP("ZelvoSim", R"(Usage: zelvo-sim [OPTIONS]
Plays a Zelvo two-channel scope on TCP and/or a pseudo-terminal, one client at
a time on each, speaking the scope's frame protocol. Every frame received is
logged in readable form on standard error. With neither --tcp nor --pty it
listens on 127.0.0.1:2000.

Links:
  --tcp [ADDR:]PORT       listen on TCP (ADDR defaults to 127.0.0.1)
  --pty [LINK]            open a pseudo-terminal, print its path, and make LINK
                          a symbolic link to it if given
  --rate FPS              sample frames per second, 0 = as fast as the link
                          takes them (default 160)
  --line-rate BPS         pace the pseudo-terminal at BPS bit/s, 10 bits a byte;
                          0 = unpaced (default 38400)
  --block PAIRS           sample pairs per frame, 1..512 (default 512)
  --frames N              stop streaming after N sample frames (default: never)

Replay:
  --replay FILE           serve the recording FILE (zelvo-capture --record)
                          instead of the simulated signals: after the
                          program's settings frame and sample request, the
                          recorded frames in order with their recorded
                          spacing, from the start for every client; with
                          --rate 0 as fast as the link takes them. Nothing
                          else is answered, and the link stays open, quiet,
                          after the last frame.

Signals (CH is 1 or 2):
  --wave CH TYPE:FREQ:AMPL[:OFFSET]
                          TYPE sine or square, FREQ in Hz, AMPL peak volts at
                          the probe tip, OFFSET volts seen under DC coupling
                          (defaults: 1 sine:1000:2, 2 square:500:1)
  --probe CH 1|10         probe factor of a channel (default 1)
  --noise STEPS           +- uniform noise in sample steps (default 1)

Scope state:
  --battery CODE          2 full, 3 low, 4 charging (default 2)
  --calibration-ms MS     how long calibration takes (default 2000)
  --debug-interval-ms MS  debug frames while debug output is on (default 200)
  --ssid TEXT  --password TEXT  --wifi-channel N  --build TEXT  --firmware TEXT

Faults (probabilities per frame, 0..1; all off by default):
  --garbage P             random bytes between frames
  --corrupt P             frames with a wrong checksum
  --split                 write every frame in pieces of random size
  --drop-after N          close the link after N frames (the pseudo-terminal
                          vanishes and a new one is opened)
  --bad-ordinals P        settings blocks with out-of-range ordinals
  --seed N                seed of every random choice (default 1)

  --quiet                 log nothing but the links
  --help                  show this text
  --version               show the version
)");

// Options that take a value; --wave and --probe take a second one, and --pty
// an optional one, which the parser sees as positional arguments.
const char* const CValueOptions[] = {
    "tcp",     "replay",     "rate",         "line-rate", "block",          "frames",
    "wave",    "probe",      "noise",        "battery",   "calibration-ms", "debug-interval-ms",
    "ssid",    "password",   "wifi-channel", "build",     "firmware",       "garbage",
    "corrupt", "drop-after", "bad-ordinals", "seed"};
const char* const CFlagOptions[] = {"pty", "split", "quiet", "version"};

bool TakesValue(const QString& Name) {
  for (const char* V : CValueOptions)
    if (Name == QLatin1String(V))
      return true;
  return false;
}

// The positional arguments that belong to --wave, --probe and --pty, by
// option, in the order of the option's occurrences: each is the argument
// right after the option's own value (after --pty itself). QCommandLineParser
// knows no options with two or optional values, so their places are found
// here; the parser has already checked everything else.
std::map<std::string, std::vector<std::string>> ExtraValues(const QStringList& Args) {
  std::map<std::string, std::vector<std::string>> Extras;
  std::string Owner;
  for (int I = 1; I < Args.size(); ++I) {
    const QString& A = Args[I];
    if (A.startsWith('-') && A.size() > 1) {
      const QString Name = A.mid(A.startsWith("--") ? 2 : 1).section('=', 0, 0);
      if (TakesValue(Name) && !A.contains('='))
        ++I;
      Owner = Name == "wave" || Name == "probe" || Name == "pty" ? Name.toStdString() : "";
      if (Name == "pty")
        Extras[Owner].emplace_back();
      continue;
    }
    if (Owner.empty())
      Fail(TZelvoSimText::tr("unknown option %1 (see --help)").arg(A));
    if (Owner == "pty")
      Extras[Owner].back() = A.toStdString();
    else
      Extras[Owner].push_back(A.toStdString());
    Owner.clear();
  }
  return Extras;
}

double Probability(const std::string& Opt, const std::string& V) {
  const double P = std::stod(V);
  if (P < 0 || P > 1)
    Fail(TZelvoSimText::tr("%1: a probability from 0 to 1 is needed").arg(Q(Opt)));
  return P;
}

TZelvoSimWave ParseWave(const std::string& V) {
  TZelvoSimWave W;
  std::vector<std::string> Parts;
  std::size_t Pos = 0;
  for (;;) {
    const std::size_t C = V.find(':', Pos);
    Parts.push_back(V.substr(Pos, C - Pos));
    if (C == std::string::npos)
      break;
    Pos = C + 1;
  }
  if (Parts.size() < 3 || Parts.size() > 4)
    Fail(TZelvoSimText::tr("--wave: TYPE:FREQ:AMPL[:OFFSET] expected, got %1").arg(Q(V)));
  if (Parts[0] == "sine")
    W.Type = TZelvoSimWaveType::Sine;
  else if (Parts[0] == "square")
    W.Type = TZelvoSimWaveType::Square;
  else
    Fail(TZelvoSimText::tr("--wave: unknown type %1").arg(Q(Parts[0])));
  W.Frequency = std::stod(Parts[1]);
  W.Amplitude = std::stod(Parts[2]);
  if (Parts.size() == 4)
    W.Offset = std::stod(Parts[3]);
  return W;
}

int Channel(const std::string& Opt, const std::string& V) {
  if (V != "1" && V != "2")
    Fail(TZelvoSimText::tr("%1: channel 1 or 2 expected, got %2").arg(Q(Opt), Q(V)));
  return V == "1" ? 0 : 1;
}

} // namespace

std::string ZelvoSimHelp() {
  return TZelvoSimText::tr(CHelp).toStdString();
}

TZelvoSimOptions ZelvoSimParseOptions(const std::vector<std::string>& Args) {
  QCommandLineParser Parser;
  Parser.addOption(QCommandLineOption(QStringList{"h", "help"}));
  for (const char* Name : CValueOptions)
    Parser.addOption(QCommandLineOption(Name, {}, "value"));
  for (const char* Name : CFlagOptions)
    Parser.addOption(QCommandLineOption(Name));
  QStringList Argv{"zelvo-sim"};
  for (const std::string& A : Args)
    Argv << QString::fromStdString(A);
  if (!Parser.parse(Argv)) {
    if (!Parser.unknownOptionNames().isEmpty()) {
      const QString Name = Parser.unknownOptionNames().first();
      Fail(TZelvoSimText::tr("unknown option %1 (see --help)")
               .arg((Name.size() > 1 ? "--" : "-") + Name));
    }
    Fail(Parser.errorText());
  }
  std::map<std::string, std::vector<std::string>> Extras = ExtraValues(Argv);

  TZelvoSimOptions O;
  TZelvoSimConfig& C = O.Config;
  std::string Opt;
  auto Value = [&](const char* Name) {
    Opt = std::string("--") + Name;
    return Parser.value(Name).toStdString();
  };
  auto Has = [&](const char* Name) { return Parser.isSet(Name); };
  auto Chance = [&](const char* Name) {
    const std::string V = Value(Name);
    return Probability(Opt, V);
  };
  try {
    O.Help = Has("help");
    O.Version = Has("version");
    if (Has("tcp")) {
      const std::string V = Value("tcp");
      const std::size_t Colon = V.rfind(':');
      if (Colon != std::string::npos)
        O.TcpAddress = V.substr(0, Colon);
      O.TcpPort = std::stoi(V.substr(Colon == std::string::npos ? 0 : Colon + 1));
      if (O.TcpPort < 0 || O.TcpPort > 65535)
        Fail(TZelvoSimText::tr("--tcp: port out of range"));
      O.Tcp = true;
    }
    if (Has("pty")) {
      O.Pty = true;
      for (const std::string& Link : Extras["pty"])
        if (!Link.empty())
          O.PtyLink = Link;
    }
    if (Has("rate"))
      C.FrameRate = std::stoi(Value("rate"));
    if (Has("replay")) {
      C.ReplayFile = Value("replay");
      if (C.ReplayFile.empty())
        throw std::invalid_argument("--replay: a file name is needed");
      if (Has("rate") && C.FrameRate != 0)
        throw std::invalid_argument(
            "--rate: with --replay only 0 is taken; otherwise the recording keeps its own spacing");
    }
    if (Has("line-rate"))
      C.LineRate = std::stoi(Value("line-rate"));
    if (Has("block")) {
      C.BlockPairs = std::stoi(Value("block"));
      if (C.BlockPairs < 1 || C.BlockPairs > 512)
        Fail(TZelvoSimText::tr("--block: 1 to 512 pairs"));
    }
    if (Has("frames"))
      C.MaxSampleFrames = std::stol(Value("frames"));
    // Each --wave and --probe names its channel and is followed by a second
    // value; a wave keeps the channel's probe factor.
    for (const char* Name : {"wave", "probe"}) {
      Opt = std::string("--") + Name;
      const QStringList Channels = Parser.values(Name);
      const std::vector<std::string>& Seconds = Extras[Name];
      for (int I = 0; I < Channels.size(); ++I) {
        const int Ch = Channel(Opt, Channels[I].toStdString());
        if (static_cast<std::size_t>(I) >= Seconds.size())
          Fail(TZelvoSimText::tr("%1: a value is missing").arg(Q(Opt)));
        const std::string& V = Seconds[static_cast<std::size_t>(I)];
        if (Opt == "--wave") {
          const int Probe = C.Wave[Ch].Probe;
          C.Wave[Ch] = ParseWave(V);
          C.Wave[Ch].Probe = Probe;
        } else {
          const int P = std::stoi(V);
          if (P != 1 && P != 10)
            Fail(TZelvoSimText::tr("--probe: 1 or 10"));
          C.Wave[Ch].Probe = P;
        }
      }
    }
    if (Has("noise"))
      C.NoiseLevel = std::stoi(Value("noise"));
    if (Has("battery"))
      C.BatteryCode = std::stoi(Value("battery"));
    if (Has("calibration-ms"))
      C.CalibrationMs = std::stoi(Value("calibration-ms"));
    if (Has("debug-interval-ms"))
      C.DebugIntervalMs = std::stoi(Value("debug-interval-ms"));
    if (Has("ssid"))
      C.Ssid = Value("ssid");
    if (Has("password"))
      C.Password = Value("password");
    if (Has("wifi-channel"))
      C.WifiChannel = std::stoi(Value("wifi-channel"));
    if (Has("build"))
      C.Build = Value("build");
    if (Has("firmware"))
      C.Firmware = Value("firmware");
    if (Has("garbage"))
      C.Faults.Garbage = Chance("garbage");
    if (Has("corrupt"))
      C.Faults.Corrupt = Chance("corrupt");
    C.Faults.Split = Has("split");
    if (Has("drop-after"))
      C.Faults.DropAfter = std::stol(Value("drop-after"));
    if (Has("bad-ordinals"))
      C.Faults.BadOrdinals = Chance("bad-ordinals");
    if (Has("seed"))
      C.Seed = static_cast<std::uint32_t>(std::stoul(Value("seed")));
    O.Quiet = Has("quiet");
  } catch (const std::invalid_argument& E) {
    // std::sto* say only "stoi"; name the option instead.
    const std::string What = E.what();
    if (What.rfind("sto", 0) == 0)
      Fail(TZelvoSimText::tr("%1: a number is needed").arg(Q(Opt)));
    throw;
  } catch (const std::out_of_range&) {
    Fail(TZelvoSimText::tr("%1: number out of range").arg(Q(Opt)));
  }
  if (!O.Tcp && !O.Pty)
    O.Tcp = true;
  return O;
}
