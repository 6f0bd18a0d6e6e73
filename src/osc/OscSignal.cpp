#include "osc/OscSignal.h"

#include <algorithm>

#include "osc/OscDevice.h"
#include "osc/OscMeasurement.h"
#include "osc/OscScales.h"

TOscSignal::TOscSignal(TOscDevice* ADevice, int ACount)
    : FDevice(ADevice), FMeasurement(std::make_unique<TOscMeasurement>(this)) {
  InitDefaults();
  SetSize(ACount);
  Clear();
}

TOscSignal::~TOscSignal() {
  // Whoever is still registered learns that the buffer is gone.
  SetSize(0);
}

void TOscSignal::InitDefaults() {
  SetVoltsPerDivision(vdiv10V);
  SetYPosition(128);
  SetMultiplier(multX1);
  SetCoupling(inAC);
}

void TOscSignal::SetSize(int Value) {
  if (Value < 0)
    throw EOscInvalidArgumentError(SBufferSizeNegative);
  if (Value == FCount)
    return;
  FSamples.resize(static_cast<std::size_t>(Value), 0);
  FCount = Value;
  // A shrunk buffer cannot stay filled beyond its end.
  FFill = std::min(FFill, Value);
  DoChange({propSignal});
}

void TOscSignal::SetCoupling(TOscInputCoupling Value) {
  if (!OscIsValidOrdinal(Value) || Value == FCoupling)
    return;
  FCoupling = Value;
  DoChange({propCoupling});
}

void TOscSignal::SetVoltsPerDivision(TOscVoltsPerDivision Value) {
  if (!OscIsValidOrdinal(Value) || Value == FVoltsPerDivision)
    return;
  FVoltsPerDivision = Value;
  if (FDevice != nullptr)
    FDevice->SetAutoRange(false);
  DoChange({propVdiv});
}

void TOscSignal::SetMultiplier(TOscMultiplier Value) {
  if (!OscIsValidOrdinal(Value) || Value == FMultiplier)
    return;
  FMultiplier = Value;
  DoChange({propMultiplier});
}

void TOscSignal::Clear() {
  std::fill(FSamples.begin(), FSamples.end(), 0);
  FFill = 0;
}

double TOscSignal::VoltsPerSample() const {
  return OscVoltsPerDivisionVoltage(FVoltsPerDivision, FMultiplier) / CSamplesPerVoltDivision;
}

double TOscSignal::SamplesPerVolt() const {
  // Infinite at vdivNone; floating-point errors never trap.
  return CSamplesPerVoltDivision / COscVoltsPerDivision[FVoltsPerDivision];
}

double TOscSignal::Voltage(double Sample) const {
  return VoltsPerSample() * Sample;
}

double TOscSignal::GetSampleVoltage(int Idx) const {
  // In 64 bits: any 32-bit sample is accepted, the difference must not overflow.
  return Voltage(static_cast<double>(std::int64_t{FYPosition} - GetSample(Idx)));
}

bool TOscSignal::IsOverTuned() const {
  const int Min = FDevice != nullptr ? FDevice->SampleMin() : 3;
  const int Max = FDevice != nullptr ? FDevice->SampleMax() : 252;
  for (int I = 0; I < FFill; ++I) {
    const TOscSample S = FSamples[static_cast<std::size_t>(I)];
    if (S < Min || S > Max)
      return true;
  }
  return false;
}

void TOscSignal::BeginUpdate() {
  if (FUpdateCount == 0)
    FChanges = {};
  ++FUpdateCount;
}

void TOscSignal::EndUpdate() {
  --FUpdateCount;
  // Also with nothing recorded: an empty set tells observers that the samples
  // were renewed.
  if (FUpdateCount == 0)
    DoChange(FChanges);
}

void TOscSignal::DoChange(TOscDeviceProperties Changes) {
  if (FUpdateCount != 0) {
    FChanges += Changes;
    return;
  }
  NotifyObservers(Changes);
  CallChanged(Changes);
}

void TOscSignal::CallChanged(TOscDeviceProperties) {
  if (FOnChange)
    FOnChange(this);
}

TOscSignal* TOscSignals::Add(int ALength) {
  FSignals.push_back(std::make_unique<TOscSignal>(FOwner, ALength));
  return FSignals.back().get();
}

TOscSignal& TOscSignals::Signal(int Idx) const {
  if (Idx < 0 || Idx >= Count())
    throw EOscOutOfRangeError(SIndexOutOfRange);
  return *FSignals[static_cast<std::size_t>(Idx)];
}
