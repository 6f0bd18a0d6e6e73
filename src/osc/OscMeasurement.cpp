#include "osc/OscMeasurement.h"

#include <cmath>

#include "osc/OscDevice.h"
#include "osc/OscFormat.h"
#include "osc/OscSignal.h"

void TOscMeasurement::Update() {
  const TOscDevice* Device = FSignal->Owner();
  if (FValueType == TOscMeasurementType::dBgain && Device != nullptr && Device->HasSignals() &&
      Device->Signals().Count() >= 2) {
    const TOscSignalValues First = Device->Signals()[0].Values();
    const TOscSignalValues Second = Device->Signals()[1].Values();
    Update(FSignal->Values(), &First, &Second);
  } else {
    Update(FSignal->Values(), nullptr, nullptr);
  }
}

void TOscMeasurement::Update(const TOscSignalValues& Own, const TOscSignalValues* First,
                             const TOscSignalValues* Second) {
  FValue = Compute(Own, First, Second);
}

std::string TOscMeasurement::Compute(const TOscSignalValues& Own, const TOscSignalValues* First,
                                     const TOscSignalValues* Second) const {
  const TOscSignal& S = *FSignal;
  // An empty buffer has nothing to measure (the device's channels are never
  // empty, but a channel can be resized to 0).
  if (S.Count() == 0 || !S.Visible() || S.VoltsPerDivision() == vdivNone || Own.OverTuned)
    return CInvalidValue;

  double Ohms = 0;
  switch (FValueType) {
  case TOscMeasurementType::Vdc:
    return VoltageText(Own.Vdc);
  case TOscMeasurementType::Vmin:
    return VoltageText(Own.Vmin);
  case TOscMeasurementType::Vmax:
    return VoltageText(Own.Vmax);
  case TOscMeasurementType::Vpkpk:
    return VoltageText(Own.Vmax - Own.Vmin);
  case TOscMeasurementType::Vrms:
    return VoltageText(Own.Vrms);
  case TOscMeasurementType::Vtrms:
    return VoltageText(Own.Vtrms);
  case TOscMeasurementType::dBm:
    // No AC part, no level.
    return Own.Vrms == 0 ? CInvalidValue : DecibelText(TOscSignal::dBmOf(Own.Vrms));
  case TOscMeasurementType::dBgain:
    if (First == nullptr || Second == nullptr || First->Vrms == 0 || Second->Vrms == 0)
      return CInvalidValue;
    return DecibelText(TOscSignal::dBmOf(Second->Vrms) - TOscSignal::dBmOf(First->Vrms));
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
  return WattsText(TOscSignal::PowerOf(Own.Vrms, Ohms));
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
