#pragma once

// The live readout of one channel: a measurement of a chosen kind, held as
// ready-formatted text until the next refresh.

#include <cstdint>
#include <string>

class TOscDevice;
class TOscMeasurementPass;
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

  // Recomputes the text from the channel's whole buffer.
  void Update();
  const std::string& ToString() const { return FValue; }

private:
  // The device refreshes all its readouts over one shared pass.
  friend class TOscDevice;
  void Update(TOscMeasurementPass& Pass);
  std::string Compute(TOscMeasurementPass& Pass) const;
  static std::string VoltageText(double Value);
  static std::string DecibelText(double Value);
  static std::string WattsText(double Value);

  TOscSignal* FSignal;
  std::string FValue = CInvalidValue;
  TOscMeasurementType FValueType = TOscMeasurementType::Vdc;
};
