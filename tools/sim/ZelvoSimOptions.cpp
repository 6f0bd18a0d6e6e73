#include "sim/ZelvoSimOptions.h"

#include <stdexcept>

namespace {

const char CHelp[] = R"(Usage: zelvo-sim [OPTIONS]
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
)";

double Probability(const std::string& Opt, const std::string& V) {
  const double P = std::stod(V);
  if (P < 0 || P > 1)
    throw std::invalid_argument(Opt + ": a probability from 0 to 1 is needed");
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
    throw std::invalid_argument("--wave: TYPE:FREQ:AMPL[:OFFSET] expected, got " + V);
  if (Parts[0] == "sine")
    W.Type = TZelvoSimWaveType::Sine;
  else if (Parts[0] == "square")
    W.Type = TZelvoSimWaveType::Square;
  else
    throw std::invalid_argument("--wave: unknown type " + Parts[0]);
  W.Frequency = std::stod(Parts[1]);
  W.Amplitude = std::stod(Parts[2]);
  if (Parts.size() == 4)
    W.Offset = std::stod(Parts[3]);
  return W;
}

int Channel(const std::string& Opt, const std::string& V) {
  if (V != "1" && V != "2")
    throw std::invalid_argument(Opt + ": channel 1 or 2 expected, got " + V);
  return V == "1" ? 0 : 1;
}

} // namespace

const char* ZelvoSimHelp() {
  return CHelp;
}

TZelvoSimOptions ZelvoSimParseOptions(const std::vector<std::string>& Args) {
  TZelvoSimOptions O;
  TZelvoSimConfig& C = O.Config;
  std::size_t I = 0;
  auto Next = [&](const std::string& Opt) -> std::string {
    if (I >= Args.size())
      throw std::invalid_argument(Opt + ": a value is missing");
    return Args[I++];
  };
  auto HasValue = [&] { return I < Args.size() && Args[I].rfind("--", 0) != 0; };
  std::string Opt;
  try {
    while (I < Args.size()) {
      Opt = Args[I++];
      if (Opt == "--help" || Opt == "-h") {
        O.Help = true;
      } else if (Opt == "--tcp") {
        const std::string V = Next(Opt);
        const std::size_t Colon = V.rfind(':');
        if (Colon != std::string::npos)
          O.TcpAddress = V.substr(0, Colon);
        O.TcpPort = std::stoi(V.substr(Colon == std::string::npos ? 0 : Colon + 1));
        if (O.TcpPort < 0 || O.TcpPort > 65535)
          throw std::invalid_argument("--tcp: port out of range");
        O.Tcp = true;
      } else if (Opt == "--pty") {
        O.Pty = true;
        if (HasValue())
          O.PtyLink = Args[I++];
      } else if (Opt == "--rate") {
        C.FrameRate = std::stoi(Next(Opt));
      } else if (Opt == "--line-rate") {
        C.LineRate = std::stoi(Next(Opt));
      } else if (Opt == "--block") {
        C.BlockPairs = std::stoi(Next(Opt));
        if (C.BlockPairs < 1 || C.BlockPairs > 512)
          throw std::invalid_argument("--block: 1 to 512 pairs");
      } else if (Opt == "--frames") {
        C.MaxSampleFrames = std::stol(Next(Opt));
      } else if (Opt == "--wave") {
        const int Ch = Channel(Opt, Next(Opt));
        const int Probe = C.Wave[Ch].Probe;
        C.Wave[Ch] = ParseWave(Next(Opt));
        C.Wave[Ch].Probe = Probe;
      } else if (Opt == "--probe") {
        const int Ch = Channel(Opt, Next(Opt));
        const int P = std::stoi(Next(Opt));
        if (P != 1 && P != 10)
          throw std::invalid_argument("--probe: 1 or 10");
        C.Wave[Ch].Probe = P;
      } else if (Opt == "--noise") {
        C.NoiseLevel = std::stoi(Next(Opt));
      } else if (Opt == "--battery") {
        C.BatteryCode = std::stoi(Next(Opt));
      } else if (Opt == "--calibration-ms") {
        C.CalibrationMs = std::stoi(Next(Opt));
      } else if (Opt == "--debug-interval-ms") {
        C.DebugIntervalMs = std::stoi(Next(Opt));
      } else if (Opt == "--ssid") {
        C.Ssid = Next(Opt);
      } else if (Opt == "--password") {
        C.Password = Next(Opt);
      } else if (Opt == "--wifi-channel") {
        C.WifiChannel = std::stoi(Next(Opt));
      } else if (Opt == "--build") {
        C.Build = Next(Opt);
      } else if (Opt == "--firmware") {
        C.Firmware = Next(Opt);
      } else if (Opt == "--garbage") {
        C.Faults.Garbage = Probability(Opt, Next(Opt));
      } else if (Opt == "--corrupt") {
        C.Faults.Corrupt = Probability(Opt, Next(Opt));
      } else if (Opt == "--split") {
        C.Faults.Split = true;
      } else if (Opt == "--drop-after") {
        C.Faults.DropAfter = std::stol(Next(Opt));
      } else if (Opt == "--bad-ordinals") {
        C.Faults.BadOrdinals = Probability(Opt, Next(Opt));
      } else if (Opt == "--seed") {
        C.Seed = static_cast<std::uint32_t>(std::stoul(Next(Opt)));
      } else if (Opt == "--quiet") {
        O.Quiet = true;
      } else {
        throw std::invalid_argument("unknown option " + Opt + " (see --help)");
      }
    }
  } catch (const std::invalid_argument& E) {
    // std::sto* say only "stoi"; name the option instead.
    const std::string What = E.what();
    if (What.rfind("sto", 0) == 0)
      throw std::invalid_argument(Opt + ": a number is needed");
    throw;
  } catch (const std::out_of_range&) {
    throw std::invalid_argument(Opt + ": number out of range");
  }
  if (!O.Tcp && !O.Pty)
    O.Tcp = true;
  return O;
}
