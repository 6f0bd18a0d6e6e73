#pragma once

// The live readout of one channel: a measurement of a chosen kind, held as
// ready-formatted text until the next refresh.

#include <cstdint>
#include <string>

class TOscDevice;
class TOscSignal;
struct TOscSignalValues;

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
  // The device refreshes all its readouts from one pass per channel. Own is
  // the measured channel's values; First and Second are those of the device's
  // channels 0 and 1 (null without a two-channel device), for the gain.
  friend class TOscDevice;
  void Update(const TOscSignalValues& Own, const TOscSignalValues* First,
              const TOscSignalValues* Second);
  std::string Compute(const TOscSignalValues& Own, const TOscSignalValues* First,
                      const TOscSignalValues* Second) const;
  static std::string VoltageText(double Value);
  static std::string DecibelText(double Value);
  static std::string WattsText(double Value);

  TOscSignal* FSignal;
  std::string FValue = CInvalidValue;
  TOscMeasurementType FValueType = TOscMeasurementType::Vdc;
};
