#include "osc/OscMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "osc/OscDevice.h"
#include "osc/OscScales.h"
#include "osc/OscTiming.h"

const char* const COscMathModeNames[COscMathModeCount] = {"Off", "CH1+CH2", "CH1-CH2", "CH2-CH1",
                                                          "CH1×CH2"};

namespace {

bool Measurable(const TOscSignal& S) {
  return S.Count() > 0 && S.Visible() && S.VoltsPerDivision() != vdivNone && !S.IsOverTuned();
}

double Combine(TOscMathMode Mode, double A, double B) {
  switch (Mode) {
  case mmAdd:
    return A + B;
  case mmSubtract:
    return A - B;
  case mmSubtractReverse:
    return B - A;
  case mmMultiply:
    return A * B;
  default:
    return 0;
  }
}

} // namespace

TOscMath::TOscMath(const TOscDevice* ADevice) : FDevice(ADevice) {
  if (ADevice == nullptr)
    throw EOscInvalidArgumentError(SArgumentNull);
}

void TOscMath::SetMode(TOscMathMode Value) {
  if (!OscIsValidOrdinal(Value) || Value == FMode)
    return;
  FMode = Value;
  // A result of the old mode is not one of the new.
  FValues.clear();
  FFill = 0;
  FReadout = CInvalidValue;
  ++FGeneration;
}

void TOscMath::SetVoltsPerDivision(TOscVoltsPerDivision Value) {
  if (!OscIsValidOrdinal(Value) || Value == vdivNone || Value == FVoltsPerDivision)
    return;
  FVoltsPerDivision = Value;
  ++FGeneration;
}

void TOscMath::SetYPosition(int Value) {
  if (Value == FYPosition)
    return;
  FYPosition = Value;
  ++FGeneration;
}

double TOscMath::Scale() const {
  return OscVoltsPerDivisionOf(FVoltsPerDivision);
}

void TOscMath::Update() {
  ++FGeneration;
  FValues.clear();
  FFill = 0;
  FReadout = CInvalidValue;
  if (FMode == mmOff || !FDevice->HasSignals() || FDevice->Signals().Count() < 2)
    return;
  const TOscSignal& A = FDevice->Signals()[0];
  const TOscSignal& B = FDevice->Signals()[1];
  const int N = std::min(A.Count(), B.Count());
  const double VpsA = A.VoltsPerSample();
  const double VpsB = B.VoltsPerSample();
  const std::int64_t ZeroA = A.YPosition();
  const std::int64_t ZeroB = B.YPosition();
  const TOscSample* SA = A.Samples();
  const TOscSample* SB = B.Samples();
  FValues.resize(static_cast<std::size_t>(N));
  for (int I = 0; I < N; ++I)
    FValues[static_cast<std::size_t>(I)] = Combine(FMode, VpsA * static_cast<double>(ZeroA - SA[I]),
                                                   VpsB * static_cast<double>(ZeroB - SB[I]));
  FFill = std::min({A.Fill(), B.Fill(), N});
  FReadout = ReadoutText();
}

bool TOscMath::SourcesMeasurable() const {
  return FMode != mmOff && FDevice->HasSignals() && FDevice->Signals().Count() >= 2 &&
         Measurable(FDevice->Signals()[0]) && Measurable(FDevice->Signals()[1]);
}

std::string TOscMath::ReadoutText() const {
  if (!SourcesMeasurable() || FValues.empty())
    return CInvalidValue;
  const TOscSignalValues Own = Levels();
  TOscReadoutSource Source;
  Source.Own = &Own;
  Source.Squared = Squared();
  // The gain is the device's, the same on every readout.
  TOscSignalValues First, Second;
  if (FValueType == TOscMeasurementType::dBgain) {
    First = FDevice->Signals()[0].Values();
    Second = FDevice->Signals()[1].Values();
    Source.First = &First;
    Source.Second = &Second;
  }
  TOscTiming T;
  if (OscIsTimingType(FValueType)) {
    T = Timing();
    Source.Timing = &T;
  }
  return OscMeasurementText(FValueType, Source);
}

TOscSignalValues TOscMath::Levels() const {
  TOscSignalValues R;
  if (FValues.empty()) {
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    R.Vdc = R.Vmin = R.Vmax = R.Vrms = R.Vtrms = NaN;
    return R;
  }
  const auto Range = std::minmax_element(FValues.begin(), FValues.end());
  R.Vmin = *Range.first;
  R.Vmax = *Range.second;
  const double N = static_cast<double>(FValues.size());
  double Sum = 0;
  double Squares = 0;
  for (double V : FValues) {
    Sum += V;
    Squares += V * V;
  }
  R.Vdc = Sum / N;
  // The AC part in a second pass: subtracting squares of large means would
  // leave a rounding residue on a flat result.
  double AcSquares = 0;
  for (double V : FValues)
    AcSquares += (V - R.Vdc) * (V - R.Vdc);
  R.Vrms = std::sqrt(AcSquares / N);
  R.Vtrms = std::sqrt(Squares / N);
  return R;
}

double TOscMath::Hysteresis() const {
  const TOscSignal& A = FDevice->Signals()[0];
  const TOscSignal& B = FDevice->Signals()[1];
  const double StepA = CTimingHysteresisSteps * A.VoltsPerSample();
  const double StepB = CTimingHysteresisSteps * B.VoltsPerSample();
  if (!Squared())
    return StepA + StepB;
  // d(ab) = b da + a db, at the largest magnitudes each channel reached.
  const TOscSignalValues LA = A.Values();
  const TOscSignalValues LB = B.Values();
  const double MaxA = std::max(std::fabs(LA.Vmin), std::fabs(LA.Vmax));
  const double MaxB = std::max(std::fabs(LB.Vmin), std::fabs(LB.Vmax));
  return StepA * MaxB + StepB * MaxA;
}

TOscTiming TOscMath::Timing() const {
  if (FValues.empty())
    return {};
  return OscTimingOf(FValues.data(), Count(), Hysteresis(), FDevice->SampleRate());
}

std::int32_t OscGridY(double Value, double Scale, int YPosition) {
  const double Y = YPosition - Value / Scale * CSamplesPerVoltDivision;
  return std::isnan(Y) ? YPosition : OscGridCoordinate(Y);
}

void OscFillMathTrace(TOscTrace& Trace, const TOscMath& Math, TOscColor Color,
                      const TOscPointMap& Map) {
  Trace.SetCount(Math.Fill());
  Trace.SetColor(Color);
  const double Scale = Math.Scale();
  const std::vector<double>& Values = Math.Values();
  for (int I = 0; I < Trace.Count(); ++I) {
    TOscPoint& P = Trace.Points[static_cast<std::size_t>(I)];
    P.X = I;
    P.Y = OscGridY(Values[static_cast<std::size_t>(I)], Scale, Math.YPosition());
  }
  if (Map)
    Map(Trace.Points);
}
