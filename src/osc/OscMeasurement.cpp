#include "osc/OscMeasurement.h"

#include <cmath>

#include "osc/OscDevice.h"
#include "osc/OscFormat.h"
#include "osc/OscSignal.h"
#include "osc/OscTiming.h"

const char* const COscTimingTypeNames[COscTimingTypeCount] = {"Freq",   "Period", "Duty", "+Width",
                                                              "-Width", "Rise",   "Fall"};

const char* OscTimingTypeName(TOscMeasurementType Type) {
  const int I = static_cast<int>(Type) - static_cast<int>(TOscMeasurementType::Freq);
  return I >= 0 && I < COscTimingTypeCount ? COscTimingTypeNames[I] : nullptr;
}

namespace {

// The formatting functions expect finite values; anything else cannot be shown.
std::string Finite(double Value, std::string (*Format)(double)) {
  return std::isfinite(Value) ? Format(Value) : CInvalidValue;
}

std::string Levels(double Value, bool Squared) {
  return Finite(Value, Squared ? OscVoltageSquaredToStr : OscVoltageToStr);
}

std::string FrequencyText(double Value) {
  return OscFrequencyToStrFormat("%.2f", Value);
}

std::string TimingText(TOscMeasurementType Type, const TOscTiming& T) {
  switch (Type) {
  case TOscMeasurementType::Freq:
    return Finite(T.Frequency, FrequencyText);
  case TOscMeasurementType::Period:
    return Finite(T.Period, OscTimeToStr);
  case TOscMeasurementType::Duty:
    return Finite(T.Duty, OscPercentToStr);
  case TOscMeasurementType::PosWidth:
    return Finite(T.PosWidth, OscTimeToStr);
  case TOscMeasurementType::NegWidth:
    return Finite(T.NegWidth, OscTimeToStr);
  case TOscMeasurementType::Rise:
    return Finite(T.Rise, OscTimeToStr);
  case TOscMeasurementType::Fall:
    return Finite(T.Fall, OscTimeToStr);
  default:
    return CInvalidValue;
  }
}

} // namespace

std::string OscMeasurementText(TOscMeasurementType Type, const TOscReadoutSource& Source) {
  if (Source.Own == nullptr)
    return CInvalidValue;
  const TOscSignalValues& Own = *Source.Own;
  const bool Squared = Source.Squared;
  double Ohms = 0;
  switch (Type) {
  case TOscMeasurementType::Vdc:
    return Levels(Own.Vdc, Squared);
  case TOscMeasurementType::Vmin:
    return Levels(Own.Vmin, Squared);
  case TOscMeasurementType::Vmax:
    return Levels(Own.Vmax, Squared);
  case TOscMeasurementType::Vpkpk:
    return Levels(Own.Vmax - Own.Vmin, Squared);
  case TOscMeasurementType::Vrms:
    return Levels(Own.Vrms, Squared);
  case TOscMeasurementType::Vtrms:
    return Levels(Own.Vtrms, Squared);
  case TOscMeasurementType::dBm:
    // No AC part, no level; a level of V² has no meaning.
    if (Squared || Own.Vrms == 0)
      return CInvalidValue;
    return Finite(TOscSignal::dBmOf(Own.Vrms), OscDecibelToStr);
  case TOscMeasurementType::dBgain: {
    const TOscSignalValues* First = Source.First;
    const TOscSignalValues* Second = Source.Second;
    if (First == nullptr || Second == nullptr || First->Vrms == 0 || Second->Vrms == 0)
      return CInvalidValue;
    return Finite(TOscSignal::dBmOf(Second->Vrms) - TOscSignal::dBmOf(First->Vrms),
                  OscDecibelToStr);
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
    return OscIsTimingType(Type) && Source.Timing != nullptr ? TimingText(Type, *Source.Timing)
                                                             : CInvalidValue;
  }
  if (Squared)
    return CInvalidValue;
  return Finite(TOscSignal::PowerOf(Own.Vrms, Ohms), OscWattsToStr);
}

void TOscMeasurement::Update() {
  const TOscDevice* Device = FSignal->Owner();
  const TOscSignalValues Own = FSignal->Values();
  TOscTiming Timing;
  if (OscIsTimingType(FValueType))
    Timing = FSignal->Timing();
  if (FValueType == TOscMeasurementType::dBgain && Device != nullptr && Device->HasSignals() &&
      Device->Signals().Count() >= 2) {
    const TOscSignalValues First = Device->Signals()[0].Values();
    const TOscSignalValues Second = Device->Signals()[1].Values();
    Update(Own, &First, &Second, &Timing);
  } else {
    Update(Own, nullptr, nullptr, &Timing);
  }
}

void TOscMeasurement::Update(const TOscSignalValues& Own, const TOscSignalValues* First,
                             const TOscSignalValues* Second, const TOscTiming* Timing) {
  FValue = Measurable(Own) ? OscMeasurementText(FValueType, {&Own, First, Second, Timing})
                           : CInvalidValue;
}

TOscMeasurementTexts TOscMeasurement::Texts() const {
  TOscMeasurementTexts Result;
  const TOscSignalValues Own = FSignal->Values();
  if (!Measurable(Own)) {
    Result.fill(CInvalidValue);
    return Result;
  }
  const TOscDevice* Device = FSignal->Owner();
  TOscSignalValues First, Second;
  TOscReadoutSource Source;
  Source.Own = &Own;
  if (Device != nullptr && Device->HasSignals() && Device->Signals().Count() >= 2) {
    First = Device->Signals()[0].Values();
    Second = Device->Signals()[1].Values();
    Source.First = &First;
    Source.Second = &Second;
  }
  const TOscTiming Timing = FSignal->Timing();
  Source.Timing = &Timing;
  for (int T = 0; T < COscMeasurementTypeCount; ++T)
    Result[static_cast<std::size_t>(T)] =
        OscMeasurementText(static_cast<TOscMeasurementType>(T), Source);
  return Result;
}

bool TOscMeasurement::Measurable(const TOscSignalValues& Own) const {
  const TOscSignal& S = *FSignal;
  // An empty buffer has nothing to measure (the device's channels are never
  // empty, but a channel can be resized to 0).
  return S.Count() > 0 && S.Visible() && S.VoltsPerDivision() != vdivNone && !Own.OverTuned;
}
