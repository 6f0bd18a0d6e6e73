#pragma once

// Everything the scope simulator can be told: the signals it measures, how
// fast and how badly it talks, and what it answers. One value of this type
// fully determines a run when Seed is fixed.

#include <cstdint>
#include <string>

enum class TZelvoSimWaveType : std::uint8_t { Sine, Square };

// One channel's input signal, in volts at the probe tip.
struct TZelvoSimWave {
  TZelvoSimWaveType Type = TZelvoSimWaveType::Sine;
  double Frequency = 1000; // hertz
  double Amplitude = 2;    // peak volts
  double Offset = 0;       // DC volts; seen only under DC coupling
  int Probe = 1;           // 1 or 10: the scope input sees Amplitude / Probe
};

// Each fault is off at its default. Probabilities are per frame.
struct TZelvoSimFaults {
  double Garbage = 0;     // 1..16 random bytes before a frame
  double Corrupt = 0;     // the frame's checksum byte is wrong
  bool Split = false;     // every frame goes out in pieces of random size
  long DropAfter = 0;     // close the link after this many frames (0 = never)
  double BadOrdinals = 0; // a sample frame's settings block holds out-of-range ordinals

  bool Any() const {
    return Garbage > 0 || Corrupt > 0 || Split || DropAfter > 0 || BadOrdinals > 0;
  }
};

struct TZelvoSimConfig {
  TZelvoSimWave Wave[2] = {{TZelvoSimWaveType::Sine, 1000, 2, 0, 1},
                           {TZelvoSimWaveType::Square, 500, 1, 0, 1}};
  int NoiseLevel = 1;        // +- sample steps of uniform noise (0 = clean)
  int FrameRate = 160;       // sample frames per second; 0 = as fast as the link takes them
  int LineRate = 38400;      // bit/s on the pseudo-terminal (10 bits a byte); 0 = unpaced
  int BlockPairs = 512;      // sample pairs per frame, 1..512
  long MaxSampleFrames = 0;  // stop streaming after this many sample frames (0 = never)
  int BatteryCode = 2;       // 2 full, 3 low, 4 charging
  int CalibrationMs = 2000;  // how long the calibrating flag stays up
  int DebugIntervalMs = 200; // debug frames while debug output is on
  int WifiChannel = 6;
  std::string Ssid = "Zelvo";
  std::string Password = "12345678";
  std::string Build = "0417";
  std::string Firmware = "1.2.0";
  std::uint32_t Seed = 1;
  TZelvoSimFaults Faults;
  // A recording (ZelvoRecording.h) served instead of the scope's own
  // captures: after the program's sample request, its frames in order with
  // their recorded spacing (FrameRate 0: as fast as the link takes them).
  // Nothing else is answered then, so that the link carries the recording
  // and only it.
  std::string ReplayFile;
  bool RecordFrames = false; // keep every frame sent and received, for tests
};
