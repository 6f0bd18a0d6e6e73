#include "osc/OscSignalGenerator.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>

#include "osc/OscDevice.h"
#include "osc/OscScales.h"

namespace {

constexpr double CPi = 3.14159265358979323846;

// Rounds half to even (the default rounding mode). Values the sample type
// cannot hold saturate rather than wrap; a value that is not a number at all
// (vdivNone has no finite samples per volt) becomes 0.
TOscSample RoundSample(double Value) {
  if (!std::isfinite(Value))
    return 0;
  const double R = std::nearbyint(Value);
  if (R <= std::numeric_limits<TOscSample>::min())
    return std::numeric_limits<TOscSample>::min();
  if (R >= std::numeric_limits<TOscSample>::max())
    return std::numeric_limits<TOscSample>::max();
  return static_cast<TOscSample>(R);
}

std::uint32_t RunSeed() {
  const auto Ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return static_cast<std::uint32_t>(Ticks) ^ static_cast<std::uint32_t>(Ticks >> 32) ^
         std::random_device{}();
}

} // namespace

TOscSignalGenerator::TOscSignalGenerator(TOscDevice* ADevice)
    : FDevice(ADevice), FRandom(RunSeed()) {
  if (ADevice == nullptr)
    throw EOscInvalidArgumentError(SArgumentNull);
}

void TOscSignalGenerator::SetFrequency(double Value) {
  if (Value != FFrequency)
    FFrequency = Value;
}

void TOscSignalGenerator::SetAmplitude(double Value) {
  if (Value != FAmplitude)
    FAmplitude = Value;
}

void TOscSignalGenerator::SetPhase(double Value) {
  if (Value != FPhase)
    FPhase = Value;
}

int TOscSignalGenerator::RandomInt(int Min, int Max) {
  return std::uniform_int_distribution<int>(Min, Max)(FRandom);
}

void TOscSignalGenerator::Generate(TOscSignal& Signal) {
  Signal.BeginUpdate();
  FRandomPhase = RandomInt(0, 627) / 100.0;

  double Gnd = 1;
  double Input = 0;
  switch (Signal.Coupling()) {
  case inAC:
    break;
  case inDC:
    Input = 1;
    break;
  case inGND:
    Gnd = 0;
    break;
  }
  // Sample steps. Infinite or not a number at vdivNone; floating-point
  // errors never trap, and such samples end as 0.
  const double A = Signal.SamplesPerVolt() * FAmplitude;
  const double O = Signal.SamplesPerVolt() * Input * FOffset;
  const double Y = Signal.YPosition();
  // Sample values grow downwards, the trigger level upwards.
  // In 64 bits: SetMinLevel admits any 32-bit level.
  const double TL = static_cast<double>(std::int64_t{255} - FDevice->Trigger().Level());
  const TOscTimeBase TimeBase = FDevice->TimeBase();
  const double SecondsPerDiv = OscTimeBaseSeconds(TimeBase);
  const double SamplesPerDiv = OscSamplesPerDivision(TimeBase);

  if (A == 0 || Gnd == 0)
    SetPhase(0);
  else if (TL < Y - O - A || TL > Y - O + A)
    SetPhase(FRandomPhase);
  else {
    const double X = (TL - Y + O) / A;
    SetPhase(FDevice->Trigger().Slope() == teFallingSlope ? CPi - std::asin(X) : std::asin(X));
  }

  for (int I = 0; I < Signal.Count(); ++I) {
    const double T = I * SecondsPerDiv / SamplesPerDiv;
    const double Value = Y - Gnd * (O + A * std::sin(2 * CPi * FFrequency * T + FPhase));
    Signal.SetSample(I, RoundSample(Value));
  }

  if (FAutoNoise)
    AddNoise(Signal);
  Signal.EndUpdate();
}

void TOscSignalGenerator::AddNoise(TOscSignal& Signal) {
  Signal.BeginUpdate();
  for (int I = 0; I < Signal.Count(); ++I) {
    const int Noise = FNoiseLevel > 1 ? RandomInt(0, FNoiseLevel - 1) : 0;
    // 64-bit sum: a sample at the top of its range must not wrap around.
    const std::int64_t Value = static_cast<std::int64_t>(Signal.GetSample(I)) + Noise;
    Signal.SetSample(I, Value > std::numeric_limits<TOscSample>::max()
                            ? std::numeric_limits<TOscSample>::max()
                            : static_cast<TOscSample>(Value));
  }
  Signal.EndUpdate();
}
