#pragma once

// The live readout of one channel: a measurement of a chosen kind, held as
// ready-formatted text until the next refresh.

#include <cstdint>
#include <string>

class TOscSignal;

enum class TOscMeasurementType : std::uint8_t {
  Vdc,
  Vmin,
  Vmax,
  Vpkpk,
  Vrms,
  Vtrms,
  dBm,
  dBgain,
  Wrms2,
  Wrms4,
  Wrms8,
  Wrms16,
  Wrms32
};

// The readout text of every value that cannot be shown.
inline constexpr const char* CInvalidValue = "-";

class TOscMeasurement {
public:
  explicit TOscMeasurement(TOscSignal* ASignal) : FSignal(ASignal) {}

  TOscSignal* Signal() const { return FSignal; }
  TOscMeasurementType ValueType() const { return FValueType; }
  // Plain field access: the text of the previous kind stays until Update.
  void SetValueType(TOscMeasurementType Value) { FValueType = Value; }

  void Update();
  const std::string& ToString() const { return FValue; }

private:
  TOscSignal* FSignal;
  std::string FValue = CInvalidValue;
  TOscMeasurementType FValueType = TOscMeasurementType::Vdc;
};
