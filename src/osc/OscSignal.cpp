#include "osc/OscSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "osc/OscDevice.h"
#include "osc/OscMeasurement.h"
#include "osc/OscScales.h"
#include "osc/OscTiming.h"

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
  ++FGeneration;
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
  ++FGeneration;
}

double TOscSignal::VoltsPerSample() const {
  return OscVoltsPerDivisionVoltage(FVoltsPerDivision, FMultiplier) / CSamplesPerVoltDivision;
}

double TOscSignal::SamplesPerVolt() const {
  // Infinite at vdivNone; floating-point errors never trap.
  return CSamplesPerVoltDivision / OscVoltsPerDivisionOf(FVoltsPerDivision);
}

double TOscSignal::Voltage(double Sample) const {
  return VoltsPerSample() * Sample;
}

double TOscSignal::GetSampleVoltage(int Idx) const {
  // In 64 bits: any 32-bit sample is accepted, the difference must not overflow.
  return Voltage(static_cast<double>(std::int64_t{FYPosition} - GetSample(Idx)));
}

bool TOscSignal::OutsideLimits(TOscSample Min, TOscSample Max) const {
  const int Low = FDevice != nullptr ? FDevice->SampleMin() : 3;
  const int High = FDevice != nullptr ? FDevice->SampleMax() : 252;
  return Min < Low || Max > High;
}

bool TOscSignal::IsOverTuned() const {
  // Only the filled samples count; a buffer shrunk below its fill level holds
  // no more than Count.
  const int Fill = std::min(FFill, FCount);
  if (Fill == 0)
    return false;
  const auto Range = std::minmax_element(FSamples.begin(), FSamples.begin() + Fill);
  return OutsideLimits(*Range.first, *Range.second);
}

namespace {

// A sample of this voltage or more never stands as the maximum.
constexpr double CVmaxReset = 2000;

} // namespace

// One pass gathers the extremes and the sums of e(i) = Sample[i] - Sample[0]
// and of e(i)^2. Taking the sums against the first sample keeps them exact
// integers for any sane buffer, so a flat buffer has an AC part of exactly 0
// wherever its level lies.
TOscSignalValues TOscSignal::Values() const {
  TOscSignalValues R;
  const int N = FCount;
  if (N == 0) {
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    R.Vdc = R.Vmin = R.Vmax = R.Vrms = R.Vtrms = NaN;
    return R;
  }
  const TOscSample* S = FSamples.data();
  const TOscSample First = S[0];
  TOscSample Lo = First;
  TOscSample Hi = First;
  std::int64_t Sum = 0;
  double SumSq = 0;
  const auto Scan = [&](int From, int To) {
    for (int I = From; I < To; ++I) {
      Lo = std::min(Lo, S[I]);
      Hi = std::max(Hi, S[I]);
      const std::int64_t E = std::int64_t{S[I]} - First;
      Sum += E;
      SumSq += static_cast<double>(E) * static_cast<double>(E);
    }
  };
  const int Fill = std::min(FFill, N);
  Scan(0, Fill);
  R.OverTuned = Fill > 0 && OutsideLimits(Lo, Hi);
  Scan(Fill, N);

  const double Vps = VoltsPerSample();
  const double Count = N;
  const double Sum1 = static_cast<double>(Sum);
  // The first sample's voltage in steps.
  const double D0 = static_cast<double>(std::int64_t{FYPosition} - First);
  R.Vdc = Vps * (D0 - Sum1 / Count);
  // Larger samples are lower voltages; scaling by a positive factor keeps the
  // order, so the extreme voltages are the scaled extreme samples.
  R.Vmin = Vps * static_cast<double>(std::int64_t{FYPosition} - Hi);
  R.Vmax = Vps * static_cast<double>(std::int64_t{FYPosition} - Lo);
  if (!(R.Vmax < CVmaxReset))
    R.Vmax = RunningVmax();
  const double AcSquares = std::max(0.0, SumSq - Sum1 * Sum1 / Count);
  R.Vrms = Vps * std::sqrt(AcSquares / Count);
  // The sum of (D0 - e(i))^2.
  const double Squares = std::max(0.0, Count * D0 * D0 - 2 * D0 * Sum1 + SumSq);
  R.Vtrms = Vps * std::sqrt(Squares / Count);
  return R;
}

// The maximum by its defining rule: running, and reset to 0 whenever it
// reaches the reset voltage.
double TOscSignal::RunningVmax() const {
  double M = 0;
  for (int I = 0; I < FCount; ++I) {
    const double V = GetSampleVoltage(I);
    if (I == 0 || V > M) {
      M = V;
      if (M >= CVmaxReset)
        M = 0;
    }
  }
  return M;
}

double TOscSignal::Vdc() const {
  return Values().Vdc;
}

double TOscSignal::Vmin() const {
  return Values().Vmin;
}

double TOscSignal::Vmax() const {
  return Values().Vmax;
}

double TOscSignal::Vpkpk() const {
  const TOscSignalValues V = Values();
  return V.Vmax - V.Vmin;
}

double TOscSignal::Vrms() const {
  return Values().Vrms;
}

double TOscSignal::Vtrms() const {
  return Values().Vtrms;
}

TOscTiming TOscSignal::Timing() const {
  // Steps above the zero line: the timing needs higher voltages as larger
  // values, and its times do not depend on the scale.
  std::vector<double> Steps(static_cast<std::size_t>(FCount));
  for (int I = 0; I < FCount; ++I)
    Steps[static_cast<std::size_t>(I)] =
        static_cast<double>(std::int64_t{FYPosition} - FSamples[static_cast<std::size_t>(I)]);
  const double Period =
      FDevice != nullptr ? FDevice->SampleRate() : std::numeric_limits<double>::quiet_NaN();
  return OscTimingOf(Steps.data(), FCount, CTimingHysteresisSteps, Period);
}

double TOscSignal::dBmOf(double Vrms) {
  return 20 * std::log10(Vrms / 0.775);
}

double TOscSignal::dBm() const {
  return dBmOf(Vrms());
}

double TOscSignal::Wrms2() const {
  return PowerOf(Vrms(), 2);
}

double TOscSignal::Wrms4() const {
  return PowerOf(Vrms(), 4);
}

double TOscSignal::Wrms8() const {
  return PowerOf(Vrms(), 8);
}

double TOscSignal::Wrms16() const {
  return PowerOf(Vrms(), 16);
}

double TOscSignal::Wrms32() const {
  return PowerOf(Vrms(), 32);
}

void TOscSignal::BeginUpdate() {
  FBatch.Begin();
}

void TOscSignal::EndUpdate() {
  // Also with nothing recorded: an empty set tells observers that the samples
  // were renewed.
  TOscDeviceProperties Changes;
  if (FBatch.End(Changes))
    DoChange(Changes);
}

void TOscSignal::DoChange(TOscDeviceProperties Changes) {
  if (FBatch.Gather(Changes))
    return;
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

std::size_t TOscSignals::Checked(int Idx) const {
  if (Idx < 0 || Idx >= Count())
    throw EOscOutOfRangeError(SIndexOutOfRange);
  return static_cast<std::size_t>(Idx);
}
