#include "osc/OscMeasurement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "osc/OscDevice.h"
#include "osc/OscFormat.h"
#include "osc/OscSignal.h"

namespace {

// A sample of this voltage or more never stands as the maximum.
constexpr double CVmaxReset = 2000;
// 1 mW into 600 ohms.
constexpr double CdBmReference = 0.775;

double dBmOf(double Vrms) {
  return 20 * std::log10(Vrms / CdBmReference);
}

double PowerOf(double Vrms, double Ohms) {
  return Vrms * Vrms / Ohms;
}

// The sample voltage with the difference taken in 64 bits, so that samples
// far outside the 8-bit range cannot overflow it.
double SampleVoltageOf(double VoltsPerSample, int YPosition, TOscSample Sample) {
  return VoltsPerSample * static_cast<double>(static_cast<std::int64_t>(YPosition) - Sample);
}

} // namespace

// Measurement functions, each exactly as defined: its own passes over every
// sample, sums accumulated in double in index order. The readouts compute the
// same numbers faster (TOscMeasurementPass below) and must stay bit-identical
// to these.

double TOscSignal::Vdc() const {
  const double Vps = VoltsPerSample();
  double Sum = 0;
  for (int I = 0; I < FCount; ++I)
    Sum += SampleVoltageOf(Vps, FYPosition, FSamples[static_cast<std::size_t>(I)]);
  return Sum / FCount;
}

double TOscSignal::Vmin() const {
  if (FCount == 0)
    return std::numeric_limits<double>::quiet_NaN();
  const double Vps = VoltsPerSample();
  double M = SampleVoltageOf(Vps, FYPosition, FSamples[0]);
  for (int I = 1; I < FCount; ++I) {
    const double V = SampleVoltageOf(Vps, FYPosition, FSamples[static_cast<std::size_t>(I)]);
    if (V < M)
      M = V;
  }
  return M;
}

double TOscSignal::Vmax() const {
  if (FCount == 0)
    return std::numeric_limits<double>::quiet_NaN();
  const double Vps = VoltsPerSample();
  double M = 0;
  for (int I = 0; I < FCount; ++I) {
    const double V = SampleVoltageOf(Vps, FYPosition, FSamples[static_cast<std::size_t>(I)]);
    if (I == 0 || V > M) {
      M = V;
      if (M >= CVmaxReset)
        M = 0;
    }
  }
  return M;
}

double TOscSignal::Vpkpk() const {
  return Vmax() - Vmin();
}

double TOscSignal::Vrms() const {
  const double Vps = VoltsPerSample();
  const double D = Vdc();
  double Sum = 0;
  for (int I = 0; I < FCount; ++I) {
    const double E = SampleVoltageOf(Vps, FYPosition, FSamples[static_cast<std::size_t>(I)]) - D;
    Sum += E * E;
  }
  return std::sqrt(Sum / FCount);
}

double TOscSignal::Vtrms() const {
  const double Vps = VoltsPerSample();
  double Sum = 0;
  for (int I = 0; I < FCount; ++I) {
    const double V = SampleVoltageOf(Vps, FYPosition, FSamples[static_cast<std::size_t>(I)]);
    Sum += V * V;
  }
  return std::sqrt(Sum / FCount);
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

double TOscDevice::dBgain() const {
  if (!HasSignals() || Signals().Count() < 2)
    throw EOscOutOfRangeError(SIndexOutOfRange);
  return Signals()[1].dBm() - Signals()[0].dBm();
}

// What the readouts of one refresh learn about the channels, each figure
// computed on first use and shared by all readouts of that refresh. Only
// minimum and maximum are taken as integers: the rounding of a product by a
// positive scale is monotonic, so the extreme voltages are the scaled extreme
// samples exactly. Voltage sums keep the defining order of additions, since
// a different order (or exact integer sums) can move a value that lies on a
// rounding boundary of its readout text.
class TOscMeasurementPass {
public:
  struct TChannel {
    const TOscSignal* Signal = nullptr;
    bool Scanned = false;
    bool OverTuned = false;
    TOscSample SampleMin = 0;
    TOscSample SampleMax = 0;
    bool Summed = false;
    double Sum = 0;   // of v(i)
    double SumSq = 0; // of v(i)^2
    bool AcSummed = false;
    double AcSumSq = 0; // of (v(i) - Vdc)^2
  };

  TChannel& Scanned(const TOscSignal& Signal);
  TChannel& Summed(const TOscSignal& Signal);

  bool OverTuned(const TOscSignal& Signal) { return Scanned(Signal).OverTuned; }
  double Vdc(const TOscSignal& Signal) { return Summed(Signal).Sum / Signal.Count(); }
  double Vmin(const TOscSignal& Signal);
  double Vmax(const TOscSignal& Signal);
  double Vrms(const TOscSignal& Signal);
  double Vtrms(const TOscSignal& Signal) {
    return std::sqrt(Summed(Signal).SumSq / Signal.Count());
  }

private:
  TChannel& Find(const TOscSignal& Signal);

  std::vector<TChannel> FChannels;
};

TOscMeasurementPass::TChannel& TOscMeasurementPass::Find(const TOscSignal& Signal) {
  for (TChannel& C : FChannels)
    if (C.Signal == &Signal)
      return C;
  FChannels.emplace_back();
  FChannels.back().Signal = &Signal;
  return FChannels.back();
}

TOscMeasurementPass::TChannel& TOscMeasurementPass::Scanned(const TOscSignal& Signal) {
  TChannel& C = Find(Signal);
  if (C.Scanned)
    return C;
  const TOscSample* S = Signal.Samples();
  const int Count = Signal.Count();
  // The over-driven check looks at the filled samples only; a buffer shrunk
  // below its fill level holds no more than Count.
  const int Fill = std::min(Signal.Fill(), Count);
  TOscSample FillMin = std::numeric_limits<TOscSample>::max();
  TOscSample FillMax = std::numeric_limits<TOscSample>::min();
  for (int I = 0; I < Fill; ++I) {
    FillMin = std::min(FillMin, S[I]);
    FillMax = std::max(FillMax, S[I]);
  }
  TOscSample Min = FillMin;
  TOscSample Max = FillMax;
  for (int I = Fill; I < Count; ++I) {
    Min = std::min(Min, S[I]);
    Max = std::max(Max, S[I]);
  }
  const TOscDevice* Device = Signal.Owner();
  const int Low = Device != nullptr ? Device->SampleMin() : 3;
  const int High = Device != nullptr ? Device->SampleMax() : 252;
  C.OverTuned = Fill > 0 && (FillMin < Low || FillMax > High);
  C.SampleMin = Min;
  C.SampleMax = Max;
  C.Scanned = true;
  return C;
}

TOscMeasurementPass::TChannel& TOscMeasurementPass::Summed(const TOscSignal& Signal) {
  TChannel& C = Find(Signal);
  if (C.Summed)
    return C;
  const TOscSample* S = Signal.Samples();
  const int Count = Signal.Count();
  const double Vps = Signal.VoltsPerSample();
  const int Y = Signal.YPosition();
  double Sum = 0;
  double SumSq = 0;
  for (int I = 0; I < Count; ++I) {
    const double V = SampleVoltageOf(Vps, Y, S[I]);
    Sum += V;
    SumSq += V * V;
  }
  C.Sum = Sum;
  C.SumSq = SumSq;
  C.Summed = true;
  return C;
}

double TOscMeasurementPass::Vmin(const TOscSignal& Signal) {
  // Larger samples are lower voltages.
  return SampleVoltageOf(Signal.VoltsPerSample(), Signal.YPosition(), Scanned(Signal).SampleMax);
}

double TOscMeasurementPass::Vmax(const TOscSignal& Signal) {
  const double Max =
      SampleVoltageOf(Signal.VoltsPerSample(), Signal.YPosition(), Scanned(Signal).SampleMin);
  // Below the reset voltage the running maximum is never reset.
  return Max < CVmaxReset ? Max : Signal.Vmax();
}

double TOscMeasurementPass::Vrms(const TOscSignal& Signal) {
  TChannel& C = Summed(Signal);
  if (!C.AcSummed) {
    const TOscSample* S = Signal.Samples();
    const int Count = Signal.Count();
    const double Vps = Signal.VoltsPerSample();
    const int Y = Signal.YPosition();
    const double D = C.Sum / Count;
    double Sum = 0;
    for (int I = 0; I < Count; ++I) {
      const double E = SampleVoltageOf(Vps, Y, S[I]) - D;
      Sum += E * E;
    }
    C.AcSumSq = Sum;
    C.AcSummed = true;
  }
  return std::sqrt(C.AcSumSq / Signal.Count());
}

void TOscDevice::UpdateMeasurements() {
  if (!HasSignals())
    return;
  TOscMeasurementPass Pass;
  for (int I = 0; I < Signals().Count(); ++I)
    Signals()[I].Measurement().Update(Pass);
}

void TOscMeasurement::Update() {
  TOscMeasurementPass Pass;
  Update(Pass);
}

void TOscMeasurement::Update(TOscMeasurementPass& Pass) {
  FValue = Compute(Pass);
}

std::string TOscMeasurement::Compute(TOscMeasurementPass& Pass) const {
  const TOscSignal& S = *FSignal;
  // An empty buffer has nothing to measure (the device's channels are never
  // empty, but a channel can be resized to 0).
  if (S.Count() == 0 || !S.Visible() || S.VoltsPerDivision() == vdivNone || Pass.OverTuned(S))
    return CInvalidValue;

  double Value = 0;
  switch (FValueType) {
  case TOscMeasurementType::Vdc:
    return VoltageText(Pass.Vdc(S));
  case TOscMeasurementType::Vmin:
    return VoltageText(Pass.Vmin(S));
  case TOscMeasurementType::Vmax:
    return VoltageText(Pass.Vmax(S));
  case TOscMeasurementType::Vpkpk:
    return VoltageText(Pass.Vmax(S) - Pass.Vmin(S));
  case TOscMeasurementType::Vrms:
    return VoltageText(Pass.Vrms(S));
  case TOscMeasurementType::Vtrms:
    return VoltageText(Pass.Vtrms(S));
  case TOscMeasurementType::dBm: {
    const double Vrms = Pass.Vrms(S);
    return Vrms == 0 ? CInvalidValue : DecibelText(dBmOf(Vrms));
  }
  case TOscMeasurementType::dBgain: {
    const TOscDevice* Device = S.Owner();
    if (Device == nullptr || !Device->HasSignals() || Device->Signals().Count() < 2)
      return CInvalidValue;
    const double Vrms1 = Pass.Vrms(Device->Signals()[0]);
    const double Vrms2 = Pass.Vrms(Device->Signals()[1]);
    if (Vrms1 == 0 || Vrms2 == 0)
      return CInvalidValue;
    return DecibelText(dBmOf(Vrms2) - dBmOf(Vrms1));
  }
  case TOscMeasurementType::Wrms2:
    Value = 2;
    break;
  case TOscMeasurementType::Wrms4:
    Value = 4;
    break;
  case TOscMeasurementType::Wrms8:
    Value = 8;
    break;
  case TOscMeasurementType::Wrms16:
    Value = 16;
    break;
  case TOscMeasurementType::Wrms32:
    Value = 32;
    break;
  default:
    return CInvalidValue;
  }
  return WattsText(PowerOf(Pass.Vrms(S), Value));
}

// The formatting functions expect finite values; anything else cannot be shown.

std::string TOscMeasurement::VoltageText(double Value) {
  return std::isfinite(Value) ? OscVoltageToStr(Value) : CInvalidValue;
}

std::string TOscMeasurement::DecibelText(double Value) {
  return std::isfinite(Value) ? OscDecibelToStr(Value) : CInvalidValue;
}

std::string TOscMeasurement::WattsText(double Value) {
  return std::isfinite(Value) ? OscWattsToStr(Value) : CInvalidValue;
}
