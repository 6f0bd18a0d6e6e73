#include "sim/ZelvoSimScope.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "osc/OscScales.h"

namespace {

constexpr double CTwoPi = 6.283185307179586;
// Auto-range keeps a signal within this many sample steps (8 of 10 divisions).
constexpr double CAutoRangeSpan = 8.0 * CSamplesPerVoltDivision;
constexpr int CTriggerSteps = 3600;

const char* const CCouplingNames[] = {"AC", "DC", "GND"};
const char* const CModeNames[] = {"normal", "run", "once", "?"};
const char* const CVdivNames[] = {"none",  "20V",   "10V",  "4V",   "2V",   "1V", "500mV",
                                  "200mV", "100mV", "50mV", "25mV", "10mV", "5mV"};
const char* const CTimeBaseNames[] = {"1us",   "2us",   "5us",   "10us",  "20us", "50us", "100us",
                                      "200us", "500us", "1ms",   "2ms",   "5ms",  "10ms", "20ms",
                                      "50ms",  "100ms", "200ms", "500ms", "1s"};

// sin(Start + k Step) for k = 0, 1, ... by rotation: one sine and cosine per
// run instead of one per sample, which keeps an unpaced stream cheap.
class TPhasor {
public:
  TPhasor(double Start, double Step)
      : FSin(std::sin(Start)), FCos(std::cos(Start)), FStepSin(std::sin(Step)),
        FStepCos(std::cos(Step)) {}
  double Sin() const { return FSin; }
  void Step() {
    const double S = FSin * FStepCos + FCos * FStepSin;
    FCos = FCos * FStepCos - FSin * FStepSin;
    FSin = S;
  }

private:
  double FSin, FCos, FStepSin, FStepCos;
};

template <class E> bool Valid(std::uint8_t Value) {
  return OscIsValidOrdinal(static_cast<E>(Value));
}

std::string Hex(const TZelvoPacket& Packet) {
  std::string S;
  char B[4];
  for (int I = 0; I < Packet.Size(); ++I) {
    std::snprintf(B, sizeof B, I ? " %02X" : "%02X", Packet.Raw()[I]);
    S += B;
  }
  return S;
}

std::string DescribeBlock(const TZelvoPacket& P) {
  if (P.DataSize() < CZelvoSettingsBlockSize)
    return "short settings block: " + Hex(P);
  const TZelvoSettingsBlock B = ZelvoReadSettingsBlock(P);
  auto Name = [](const char* const* Names, int Count, int V) {
    return V < Count ? std::string(Names[V]) : "#" + std::to_string(V);
  };
  std::string S;
  for (int C = 0; C < 2; ++C) {
    S += " ch" + std::to_string(C + 1) + " " + Name(CCouplingNames, 3, B.Coupling[C]) + " " +
         Name(CVdivNames, 13, B.VoltsPerDivision[C]) + "/div pos " +
         std::to_string(B.YPosition[C]) + ";";
  }
  S += " " + Name(CTimeBaseNames, 19, B.TimeBase) + "/div; trigger ch" +
       std::to_string(SimTriggerChannel(B) + 1) + " " + CModeNames[SimMode(B)] +
       (SimFalling(B) ? " falling" : " rising") + " level " + std::to_string(B.Level) +
       (SimHold(B) ? " hold" : "") + (SimAutoRange(B) ? " auto-range" : "");
  return S;
}

} // namespace

TZelvoSimScope::TZelvoSimScope(const TZelvoSimConfig& AConfig)
    : FConfig(AConfig), FWifiChannel(AConfig.WifiChannel), FSsid(AConfig.Ssid),
      FPassword(AConfig.Password) {
  for (int C = 0; C < 2; ++C) {
    FSettings.Coupling[C] = inDC;
    FSettings.VoltsPerDivision[C] = vdiv1V;
    FSettings.YPosition[C] = 128;
  }
  FSettings.TimeBase = tb500us;
  FSettings.Level = 128;
  FSettings.Flags = tmRun;
}

std::uint8_t TZelvoSimScope::Status() const {
  return static_cast<std::uint8_t>((FConfig.BatteryCode & CZelvoStatusBatteryMask) |
                                   (FCalibrating ? CZelvoStatusCalibrating : 0));
}

TZelvoSimRequest TZelvoSimScope::Apply(const TZelvoPacket& Packet) {
  switch (Packet.Command()) {
  case CChangeScopeSettingsCommand: {
    if (Packet.DataSize() < CZelvoSettingsBlockSize)
      return TZelvoSimRequest::Unknown;
    const TZelvoSettingsBlock In = ZelvoReadSettingsBlock(Packet);
    TZelvoSettingsBlock& S = FSettings;
    for (int C = 0; C < 2; ++C) {
      if (Valid<TOscInputCoupling>(In.Coupling[C]))
        S.Coupling[C] = In.Coupling[C];
      if (Valid<TOscVoltsPerDivision>(In.VoltsPerDivision[C]))
        S.VoltsPerDivision[C] = In.VoltsPerDivision[C];
      S.YPosition[C] = In.YPosition[C];
    }
    if (Valid<TOscTimeBase>(In.TimeBase))
      S.TimeBase = In.TimeBase;
    S.Level = In.Level;
    const std::uint8_t Mode = Valid<TOscTriggerMode>(In.Flags & CZelvoFlagModeMask)
                                  ? (In.Flags & CZelvoFlagModeMask)
                                  : (S.Flags & CZelvoFlagModeMask);
    S.Flags = static_cast<std::uint8_t>(Mode | (In.Flags & (CZelvoFlagFalling | CZelvoFlagChannel1 |
                                                            CZelvoFlagHold | CZelvoFlagAutoRange)));
    // A new trigger setting re-arms a single capture.
    FOnceFired = false;
    return TZelvoSimRequest::Settings;
  }
  case CRequestSamplesCommand:
    return TZelvoSimRequest::StartStream;
  case CWifiSettingsRequest:
    return TZelvoSimRequest::WifiRequest;
  case CChangeWifiSettings: {
    if (Packet.Size() < CZelvoWifiChangeFrameSize)
      return TZelvoSimRequest::Unknown;
    const TZelvoWifiReader In(Packet);
    FWifiChannel = In.Channel();
    FSsid = In.SSID();
    FPassword = In.Password();
    return TZelvoSimRequest::WifiChange;
  }
  case CStartCalibration:
    return TZelvoSimRequest::Calibrate;
  case CEnableDebug:
    return TZelvoSimRequest::DebugOn;
  case CDisableDebug:
    return TZelvoSimRequest::DebugOff;
  default:
    return TZelvoSimRequest::Unknown;
  }
}

double TZelvoSimScope::InputVolts(int Channel, double Sine) const {
  const TZelvoSimWave& W = FConfig.Wave[Channel];
  const double Shape = W.Type == TZelvoSimWaveType::Square ? (Sine >= 0 ? 1.0 : -1.0) : Sine;
  const double Probe = W.Probe > 0 ? W.Probe : 1;
  switch (FSettings.Coupling[Channel]) {
  case inGND:
    return 0;
  case inAC:
    return W.Amplitude * Shape / Probe;
  default:
    return (W.Offset + W.Amplitude * Shape) / Probe;
  }
}

// Unclamped and without noise: larger voltages give smaller sample values.
double TZelvoSimScope::SampleAt(int Channel, double Sine) const {
  const double VoltsPerDiv = COscVoltsPerDivision[FSettings.VoltsPerDivision[Channel]];
  if (VoltsPerDiv <= 0)
    return FSettings.YPosition[Channel];
  return FSettings.YPosition[Channel] -
         InputVolts(Channel, Sine) * CSamplesPerVoltDivision / VoltsPerDiv;
}

void TZelvoSimScope::AutoRange() {
  for (int C = 0; C < 2; ++C) {
    double Lo = 0, Hi = 0;
    for (int I = 0; I < 64; ++I) {
      const double V = InputVolts(C, std::sin(CTwoPi * I / 64));
      Lo = std::min(Lo, V);
      Hi = std::max(Hi, V);
    }
    const double Span = std::max(Hi, -Lo) * 2;
    // The finest scale (highest ordinal) that still holds the signal.
    std::uint8_t Best = vdiv20V;
    for (std::uint8_t V = vdiv20V; V <= vdiv5mV; ++V)
      if (Span * CSamplesPerVoltDivision / COscVoltsPerDivision[V] <= CAutoRangeSpan)
        Best = V;
    FSettings.VoltsPerDivision[C] = Best;
  }
}

// Phase of the trigger channel at which its trace crosses the level (a
// sample value) in the set direction; rising means rising voltage, that is
// falling sample values.
bool TZelvoSimScope::FindTrigger(double& Phase) const {
  const int C = SimTriggerChannel(FSettings);
  const double Level = FSettings.Level;
  TPhasor Wave(0, CTwoPi / CTriggerSteps);
  double Prev = SampleAt(C, Wave.Sin());
  for (int K = 1; K <= CTriggerSteps; ++K) {
    const double P = CTwoPi * K / CTriggerSteps;
    Wave.Step();
    const double Cur = SampleAt(C, Wave.Sin());
    const bool Hit =
        SimFalling(FSettings) ? (Prev < Level && Cur >= Level) : (Prev > Level && Cur <= Level);
    if (Hit) {
      Phase = P;
      return true;
    }
    Prev = Cur;
  }
  return false;
}

void TZelvoSimScope::Capture(TZelvoSimCapture& Capture, std::mt19937& Random) {
  if (Capture.Valid && SimHold(FSettings))
    return;
  if (SimAutoRange(FSettings))
    AutoRange();
  const TOscTimeBase TimeBase = static_cast<TOscTimeBase>(FSettings.TimeBase);
  const double Period = OscSamplePeriod(TimeBase);
  const int TrigCh = SimTriggerChannel(FSettings);
  const double TrigFreq = FConfig.Wave[TrigCh].Frequency;

  double TriggerPhase = 0;
  const bool Triggered = TrigFreq > 0 && FindTrigger(TriggerPhase);
  if (Capture.Valid && !Triggered && SimMode(FSettings) != tmRun)
    return; // normal and single wait for a trigger; the last capture stays
  if (Capture.Valid && SimMode(FSettings) == tmOnce && FOnceFired)
    return;
  if (Triggered && SimMode(FSettings) == tmOnce)
    FOnceFired = true;

  // Time of sample 0 on a common clock, so that the channels keep their
  // relation: at a trigger, a whole number of the trigger signal's periods
  // plus the crossing phase.
  double Start;
  if (Triggered)
    Start = (TriggerPhase + CTwoPi * std::uniform_int_distribution<int>(0, 999)(Random)) /
            (CTwoPi * TrigFreq);
  else
    Start = std::uniform_real_distribution<double>(0, 1)(Random);

  std::uniform_int_distribution<int> Noise(-FConfig.NoiseLevel, FConfig.NoiseLevel);
  for (int C = 0; C < 2; ++C) {
    const double W = CTwoPi * FConfig.Wave[C].Frequency;
    TPhasor Wave(W * Start, W * Period);
    for (int I = 0; I < CSampleCount; ++I, Wave.Step()) {
      double V = SampleAt(C, Wave.Sin());
      if (FConfig.NoiseLevel > 0)
        V += Noise(Random);
      Capture.Samples[C][I] = static_cast<std::uint8_t>(std::clamp(std::lround(V), 0L, 255L));
    }
  }
  Capture.Valid = true;
  Capture.Triggered = Triggered;
}

TZelvoSettingsBlock TZelvoSimScope::Block(std::uint16_t Offset) const {
  TZelvoSettingsBlock B = FSettings;
  B.Offset = Offset;
  B.Status = Status();
  return B;
}

TZelvoPacket TZelvoSimScope::SettingsFrame() const {
  return ZelvoSettingsFrame(Block(0), CScopeSettingsCommand);
}

TZelvoPacket TZelvoSimScope::SampleFrame(const TZelvoSimCapture& Capture, int FromSample,
                                         int Pairs) const {
  std::uint8_t Interleaved[2 * CZelvoMaxSamplePairs];
  for (int K = 0; K < Pairs; ++K) {
    Interleaved[2 * K] = Capture.Samples[0][static_cast<std::size_t>(FromSample + K)];
    Interleaved[2 * K + 1] = Capture.Samples[1][static_cast<std::size_t>(FromSample + K)];
  }
  // The scope counts the offset in bytes of both channels, hence the doubling.
  return ZelvoSampleFrame(Block(static_cast<std::uint16_t>(2 * FromSample)), Interleaved, Pairs);
}

TZelvoPacket TZelvoSimScope::WifiFrame() const {
  return ZelvoWifiSettingsFrame(FWifiChannel, FSsid, FPassword, FConfig.Build, FConfig.Firmware);
}

TZelvoPacket TZelvoSimScope::DebugFrame(const std::string& Text) {
  TZelvoPacket P;
  const int N = static_cast<int>(std::min<std::size_t>(Text.size(), 200));
  P.SetSize(CZelvoMinPacketSize + N);
  P.SetCommand(CDebugOutput);
  P.PutString(0, N, Text);
  return P;
}

std::string TZelvoSimScope::Describe(const TZelvoPacket& P) {
  char Head[64];
  std::snprintf(Head, sizeof Head, "0x%02X (%d bytes) ", P.Command(), P.Size());
  std::string S = Head;
  switch (P.Command()) {
  case CChangeScopeSettingsCommand:
    return S + "settings:" + DescribeBlock(P);
  case CRequestSamplesCommand:
    return S + "request samples";
  case CSettingsRequestCommand:
    return S + "settings request";
  case CWifiSettingsRequest:
    return S + "WiFi settings request";
  case CChangeWifiSettings: {
    if (P.Size() < CZelvoWifiChangeFrameSize)
      return S + "short WiFi settings: " + Hex(P);
    const TZelvoWifiReader W(P);
    return S + "WiFi settings: channel " + std::to_string(W.Channel()) + ", SSID \"" + W.SSID() +
           "\", password \"" + W.Password() + "\"";
  }
  case CStartCalibration:
    return S + "start calibration";
  case CEnableDebug:
    return S + "debug on";
  case CDisableDebug:
    return S + "debug off";
  default:
    return S + "unknown: " + Hex(P);
  }
}
