#pragma once

// Fills a channel with a synthetic sine as the scope would have captured it:
// shaped by the channel's coupling, volts/div and zero line, laid out along
// the device's time base, started at the trigger point when the trigger level
// can be reached and at a random phase when it cannot, with a little noise.

#include <cstdint>
#include <random>

#include "osc/OscTypes.h"

class TOscDevice;
class TOscSignal;

enum TOscSignalType : std::uint8_t { sigSine, sigTriangle, sigSquare, sigSawtooth };

class TOscSignalGenerator {
public:
  // ADevice (not owned) supplies the time base and the trigger. The random
  // source is seeded differently on every construction; Seed makes it
  // repeatable.
  explicit TOscSignalGenerator(TOscDevice* ADevice);
  virtual ~TOscSignalGenerator() = default;
  TOscSignalGenerator(const TOscSignalGenerator&) = delete;
  TOscSignalGenerator& operator=(const TOscSignalGenerator&) = delete;

  // Overwrites every sample of Signal; observers see one change at the end.
  virtual void Generate(TOscSignal& Signal);
  // Raises every sample by a random whole number from 0 to NoiseLevel - 1.
  void AddNoise(TOscSignal& Signal);

  void Seed(std::uint32_t Value) { FRandom.seed(Value); }

  TOscDevice* Device() const { return FDevice; }
  // Stored only: Generate always produces a sine.
  TOscSignalType SignalType() const { return FSignalType; }
  void SetSignalType(TOscSignalType Value) { FSignalType = Value; }
  // Hertz.
  double Frequency() const { return FFrequency; }
  void SetFrequency(double Value);
  // Peak volts at the scope input, before the probe factor.
  double Amplitude() const { return FAmplitude; }
  void SetAmplitude(double Value);
  // Radians at sample 0; every Generate overwrites it.
  double Phase() const { return FPhase; }
  void SetPhase(double Value);
  // The phase Generate drew for an untriggered start, in radians.
  double RandomPhase() const { return FRandomPhase; }
  // DC volts, present only under DC coupling.
  double Offset() const { return FOffset; }
  void SetOffset(double Value) { FOffset = Value; }
  bool AutoNoise() const { return FAutoNoise; }
  void SetAutoNoise(bool Value) { FAutoNoise = Value; }
  // Noise span in sample steps; 1 or less adds nothing.
  int NoiseLevel() const { return FNoiseLevel; }
  void SetNoiseLevel(int Value) { FNoiseLevel = Value; }

private:
  int RandomInt(int Min, int Max);

  double FRandomPhase = 0;
  TOscDevice* FDevice;
  TOscSignalType FSignalType = sigSine;
  double FFrequency = 100;
  double FAmplitude = 40;
  double FPhase = 0;
  double FOffset = 5;
  bool FAutoNoise = true;
  int FNoiseLevel = 2;
  std::mt19937 FRandom;
};
