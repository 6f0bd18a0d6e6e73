#pragma once

// The scope's inside, as far as the program can tell: its front-panel
// settings, WiFi settings, calibration and battery, the captures it takes of
// the configured input signals, and the frames it builds and understands.
// No I/O and no clock here; TZelvoSimulator moves the bytes and keeps time.

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "link/ZelvoFrames.h"
#include "link/ZelvoPacket.h"
#include "osc/OscTypes.h"
#include "sim/ZelvoSimConfig.h"

// The scope's own reading of a settings block (offset and status unused).
inline TOscTriggerMode SimMode(const TZelvoSettingsBlock& S) {
  return static_cast<TOscTriggerMode>(S.Flags & CZelvoFlagModeMask);
}
inline bool SimFalling(const TZelvoSettingsBlock& S) {
  return (S.Flags & CZelvoFlagFalling) != 0;
}
inline int SimTriggerChannel(const TZelvoSettingsBlock& S) {
  return (S.Flags & CZelvoFlagChannel1) ? 1 : 0;
}
inline bool SimHold(const TZelvoSettingsBlock& S) {
  return (S.Flags & CZelvoFlagHold) != 0;
}
inline bool SimAutoRange(const TZelvoSettingsBlock& S) {
  return (S.Flags & CZelvoFlagAutoRange) != 0;
}

// One capture: 4096 samples per channel as the scope's converter saw them.
struct TZelvoSimCapture {
  std::array<std::array<std::uint8_t, CSampleCount>, 2> Samples{};
  bool Valid = false;
  bool Triggered = false;
};

// What a received frame asks of the link that carried it.
enum class TZelvoSimRequest : std::uint8_t {
  None,
  Settings, // new settings applied
  StartStream,
  WifiRequest,
  WifiChange,
  Calibrate,
  DebugOn,
  DebugOff,
  Unknown
};

class TZelvoSimScope {
public:
  explicit TZelvoSimScope(const TZelvoSimConfig& AConfig);

  const TZelvoSimConfig& Config() const { return FConfig; }
  TZelvoSettingsBlock& Settings() { return FSettings; }
  const TZelvoSettingsBlock& Settings() const { return FSettings; }

  bool Calibrating() const { return FCalibrating; }
  void SetCalibrating(bool Value) { FCalibrating = Value; }
  int WifiChannel() const { return FWifiChannel; }
  const std::string& Ssid() const { return FSsid; }
  const std::string& Password() const { return FPassword; }

  // Battery code in bits 0-2, calibrating in bit 4.
  std::uint8_t Status() const;

  // Takes one frame from the program. Ordinals outside their enumerations are
  // refused one by one (the old value stays), as the scope's panel would.
  TZelvoSimRequest Apply(const TZelvoPacket& Packet);

  // Renders a new capture into Capture unless hold, or a normal or single
  // trigger that did not fire, keeps the previous one. Auto-range may change
  // the volts/div first.
  void Capture(TZelvoSimCapture& Capture, std::mt19937& Random);

  // Frames ready to be finalized and sent, built by the program's own builders.
  TZelvoPacket SettingsFrame() const;
  TZelvoPacket SampleFrame(const TZelvoSimCapture& Capture, int FromSample, int Pairs) const;
  TZelvoPacket WifiFrame() const;
  static TZelvoPacket DebugFrame(const std::string& Text);

  // One line describing a frame received from the program, for the log.
  static std::string Describe(const TZelvoPacket& Packet);

  // The debug frames' command code, one the program does not know.
  static constexpr TCommand CDebugOutput = 0xDB;

private:
  TZelvoSettingsBlock Block(std::uint16_t Offset) const;
  // Both take the sine of the signal's phase.
  double InputVolts(int Channel, double Sine) const;
  double SampleAt(int Channel, double Sine) const;
  void AutoRange();
  bool FindTrigger(double& Phase) const;

  TZelvoSimConfig FConfig;
  TZelvoSettingsBlock FSettings;
  bool FCalibrating = false;
  bool FOnceFired = false;
  int FWifiChannel;
  std::string FSsid;
  std::string FPassword;
};
