#include "osc/OscMeasurement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <vector>

#include "osc/OscDevice.h"
#include "osc/OscFormat.h"
#include "osc/OscKernel.h"
#include "osc/OscSignal.h"

namespace {

// A sample of this voltage or more never stands as the maximum.
constexpr double CVmaxReset = 2000;
// 1 mW into 600 ohms.
constexpr double CdBmReference = 0.775;

double dBmOf(double Vrms) {
  return 20 * std::log10(Vrms / CdBmReference);
}

// Widens Min..Max to cover the N samples at S.
OSC_VECTOR_KERNEL void SampleRange(const TOscSample* S, int N, TOscSample& Min, TOscSample& Max) {
  TOscSample Lo = Min;
  TOscSample Hi = Max;
  for (int I = 0; I < N; ++I) {
    Lo = std::min(Lo, S[I]);
    Hi = std::max(Hi, S[I]);
  }
  Min = Lo;
  Max = Hi;
}

// A block of at most CBlock samples whose deviations d = Y - sample are below
// 2^11 in magnitude: its sums of d and d^2 fit 32 bits.
constexpr int CBlock = 256;
OSC_VECTOR_KERNEL void DeviationSums(const TOscSample* S, int N, std::int32_t Y, std::int64_t& S1,
                                     std::int64_t& S2) {
  std::int32_t P1 = 0;
  std::int32_t P2 = 0;
  for (int I = 0; I < N; ++I) {
    const std::int32_t D = Y - S[I];
    P1 += D;
    P2 += D * D;
  }
  S1 += P1;
  S2 += P2;
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
    bool IntSummed = false;
    bool IntExact = false;   // the integer sums below are there
    std::int64_t S1 = 0;     // of d(i) = YPosition - Sample[i]
    std::int64_t S2 = 0;     // of d(i)^2
    std::int64_t MaxAbs = 0; // of |d(i)|
  };

  // An interval that holds the value the defining double computation gives.
  struct TBounds {
    double Lo = 0;
    double Hi = 0;
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

  std::optional<TBounds> VdcBounds(const TOscSignal& Signal);
  std::optional<TBounds> VrmsBounds(const TOscSignal& Signal);
  std::optional<TBounds> VtrmsBounds(const TOscSignal& Signal);

private:
  TChannel& Find(const TOscSignal& Signal);
  TChannel& IntSummed(const TOscSignal& Signal);

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
  SampleRange(S, Fill, FillMin, FillMax);
  TOscSample Min = FillMin;
  TOscSample Max = FillMax;
  SampleRange(S + Fill, Count - Fill, Min, Max);
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

// The readouts' fast path. Samples are integers, so d(i) = YPosition -
// Sample[i] sums exactly in integers, in a pass that vectorises, whereas the
// defining sums add doubles one after the other. From the exact sums and the
// known error bounds of those double sums follows an interval that holds the
// defined value; when both ends of it read the same text, that text is the
// readout. Only values on a rounding boundary of their text (rare) take the
// defining double sums.
TOscMeasurementPass::TChannel& TOscMeasurementPass::IntSummed(const TOscSignal& Signal) {
  TChannel& C = Scanned(Signal);
  if (C.IntSummed)
    return C;
  C.IntSummed = true;
  const int Count = Signal.Count();
  const std::int64_t Y = Signal.YPosition();
  C.MaxAbs = std::max(std::abs(Y - C.SampleMin), std::abs(Y - C.SampleMax));
  // |d| < 2^11 keeps a block's sums of squares inside 32 bits, and the counts
  // below keep N * S2 - S1^2 inside 64 bits.
  constexpr std::int64_t CMaxAbs = 2047;
  if (Count <= 0 || Count > (1 << 20) || C.MaxAbs > CMaxAbs)
    return C;
  const TOscSample* S = Signal.Samples();
  for (int B = 0; B < Count; B += CBlock)
    DeviationSums(S + B, std::min(CBlock, Count - B), static_cast<std::int32_t>(Y), C.S1, C.S2);
  C.IntExact = true;
  return C;
}

namespace {

// Unit roundoff of double.
constexpr double CRound = std::numeric_limits<double>::epsilon() / 2;
// The bounds below are the textbook bounds of recursive summation, widened by
// this factor for the roundings they leave out.
constexpr double CSlack = 4;

} // namespace

std::optional<TOscMeasurementPass::TBounds>
TOscMeasurementPass::VdcBounds(const TOscSignal& Signal) {
  const TChannel& C = IntSummed(Signal);
  if (!C.IntExact)
    return std::nullopt;
  const double N = Signal.Count();
  const double Vps = Signal.VoltsPerSample();
  const double X = Vps * static_cast<double>(C.S1) / N;
  // Each product rounds once, each of the N additions once more, the mean once.
  const double E =
      CSlack * ((N + 1) * CRound * Vps * static_cast<double>(C.MaxAbs) + 2 * CRound * std::fabs(X));
  return TBounds{X - E, X + E};
}

std::optional<TOscMeasurementPass::TBounds>
TOscMeasurementPass::VtrmsBounds(const TOscSignal& Signal) {
  const TChannel& C = IntSummed(Signal);
  if (!C.IntExact)
    return std::nullopt;
  const double N = Signal.Count();
  const double T = Signal.VoltsPerSample() * std::sqrt(static_cast<double>(C.S2) / N);
  // A sum of N non-negative terms is off by at most (N + 2) roundings of it.
  const double R = CSlack * (N + 6) * CRound;
  return TBounds{T * (1 - R), T * (1 + R)};
}

std::optional<TOscMeasurementPass::TBounds>
TOscMeasurementPass::VrmsBounds(const TOscSignal& Signal) {
  const std::optional<TBounds> Dc = VdcBounds(Signal);
  if (!Dc)
    return std::nullopt;
  const TChannel& C = IntSummed(Signal);
  const double N = Signal.Count();
  const double Vps = Signal.VoltsPerSample();
  const double D = (Dc->Lo + Dc->Hi) / 2;
  const double Delta = (Dc->Hi - Dc->Lo) / 2; // bounds the error of the double mean
  // Exact sum of squared deviations from the exact mean.
  const std::int64_t K = static_cast<std::int64_t>(N) * C.S2 - C.S1 * C.S1;
  const double A = Vps * Vps * static_cast<double>(K) / N;
  // Every deviation the double computation squares is off by at most Eta;
  // the sum of the squares then by 2 Eta sum|e(i)| + N Eta^2, and
  // sum|e(i)| <= sqrt(N A).
  const double VMax = Vps * static_cast<double>(C.MaxAbs);
  const double Eta = CRound * VMax + Delta + CRound * (VMax + std::fabs(D) + Delta);
  const double Dev = CSlack * (2 * Eta * std::sqrt(N * A) + N * Eta * Eta);
  const double R = CSlack * (N + 4) * CRound;
  const double Lo = std::max(0.0, (A - Dev) * (1 - R));
  const double Hi = (A + Dev) * (1 + R);
  return TBounds{std::sqrt(Lo / N) * (1 - CSlack * CRound),
                 std::sqrt(Hi / N) * (1 + CSlack * CRound)};
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

namespace {

using TBounds = TOscMeasurementPass::TBounds;
using TOptionalBounds = std::optional<TBounds>;

// The log of a double is not exactly monotonic; a margin far below the
// readout's 0.1 dB absorbs that.
constexpr double CdBSlack = 1e-9;

// The text of a value known to lie within Bounds, or of Slow() when there are
// no bounds or they straddle a rounding boundary of the text. The texts are
// monotonic step functions of the value, so equal texts at both ends mean the
// same text all along.
template <class TText, class TSlow>
std::string Settled(const TOptionalBounds& Bounds, TText Text, TSlow Slow) {
  if (Bounds && std::isfinite(Bounds->Lo) && std::isfinite(Bounds->Hi)) {
    std::string Lo = Text(Bounds->Lo);
    if (Lo == Text(Bounds->Hi))
      return Lo;
  }
  return Text(Slow());
}

// Maps bounds of an AC RMS value through an increasing function of it.
template <class TFunction>
TOptionalBounds MapBounds(const TOptionalBounds& Bounds, TFunction F, double Slack = 0) {
  if (!Bounds)
    return std::nullopt;
  return TBounds{F(Bounds->Lo) - Slack, F(Bounds->Hi) + Slack};
}

} // namespace

std::string TOscMeasurement::Compute(TOscMeasurementPass& Pass) const {
  const TOscSignal& S = *FSignal;
  // An empty buffer has nothing to measure (the device's channels are never
  // empty, but a channel can be resized to 0).
  if (S.Count() == 0 || !S.Visible() || S.VoltsPerDivision() == vdivNone || Pass.OverTuned(S))
    return CInvalidValue;

  double Ohms = 0;
  switch (FValueType) {
  case TOscMeasurementType::Vdc:
    return Settled(Pass.VdcBounds(S), VoltageText, [&] { return Pass.Vdc(S); });
  case TOscMeasurementType::Vmin:
    return VoltageText(Pass.Vmin(S));
  case TOscMeasurementType::Vmax:
    return VoltageText(Pass.Vmax(S));
  case TOscMeasurementType::Vpkpk:
    return VoltageText(Pass.Vmax(S) - Pass.Vmin(S));
  case TOscMeasurementType::Vrms:
    return Settled(Pass.VrmsBounds(S), VoltageText, [&] { return Pass.Vrms(S); });
  case TOscMeasurementType::Vtrms:
    return Settled(Pass.VtrmsBounds(S), VoltageText, [&] { return Pass.Vtrms(S); });
  case TOscMeasurementType::dBm: {
    // A zero AC RMS reads "-", so the fast path needs bounds clear of zero.
    TOptionalBounds Rms = Pass.VrmsBounds(S);
    if (Rms && Rms->Lo <= 0)
      Rms.reset();
    return Settled(MapBounds(Rms, dBmOf, CdBSlack), DecibelText, [&] {
      const double Vrms = Pass.Vrms(S);
      return Vrms == 0 ? std::numeric_limits<double>::quiet_NaN() : dBmOf(Vrms);
    });
  }
  case TOscMeasurementType::dBgain: {
    const TOscDevice* Device = S.Owner();
    if (Device == nullptr || !Device->HasSignals() || Device->Signals().Count() < 2)
      return CInvalidValue;
    const TOscSignal& S1 = Device->Signals()[0];
    const TOscSignal& S2 = Device->Signals()[1];
    TOptionalBounds Gain;
    const TOptionalBounds Rms1 = Pass.VrmsBounds(S1);
    const TOptionalBounds Rms2 = Pass.VrmsBounds(S2);
    if (Rms1 && Rms2 && Rms1->Lo > 0 && Rms2->Lo > 0)
      Gain = TBounds{dBmOf(Rms2->Lo) - dBmOf(Rms1->Hi) - CdBSlack,
                     dBmOf(Rms2->Hi) - dBmOf(Rms1->Lo) + CdBSlack};
    return Settled(Gain, DecibelText, [&] {
      const double Vrms1 = Pass.Vrms(S1);
      const double Vrms2 = Pass.Vrms(S2);
      return Vrms1 == 0 || Vrms2 == 0 ? std::numeric_limits<double>::quiet_NaN()
                                      : dBmOf(Vrms2) - dBmOf(Vrms1);
    });
  }
  case TOscMeasurementType::Wrms2:
    Ohms = 2;
    break;
  case TOscMeasurementType::Wrms4:
    Ohms = 4;
    break;
  case TOscMeasurementType::Wrms8:
    Ohms = 8;
    break;
  case TOscMeasurementType::Wrms16:
    Ohms = 16;
    break;
  case TOscMeasurementType::Wrms32:
    Ohms = 32;
    break;
  default:
    return CInvalidValue;
  }
  const auto Power = [Ohms](double Vrms) { return PowerOf(Vrms, Ohms); };
  return Settled(MapBounds(Pass.VrmsBounds(S), Power), WattsText,
                 [&] { return Power(Pass.Vrms(S)); });
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
