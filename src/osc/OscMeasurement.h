#pragma once

// The live readout of one channel: a measurement of a chosen kind, held as
// ready-formatted text until the next refresh.

#include <array>
#include <cstdint>
#include <string>

class TOscDevice;
class TOscSignal;
struct TOscSignalValues;
struct TOscTiming;

// The first thirteen ordinals and their order are fixed (the program's menus
// and tags follow them); the timing kinds come after them.
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
  Wrms32,
  Freq,
  Period,
  Duty,
  PosWidth,
  NegWidth,
  Rise,
  Fall
};

constexpr int COscMeasurementTypeCount = 20;
constexpr int COscTimingTypeCount = 7;

// The kinds read from the signal's crossings (TOscTiming) rather than from
// its levels.
constexpr bool OscIsTimingType(TOscMeasurementType Type) {
  return Type >= TOscMeasurementType::Freq;
}

// The names under which the timing kinds are offered and printed, from Freq
// on: "Freq", "Period", "Duty", "+Width", "-Width", "Rise", "Fall".
extern const char* const COscTimingTypeNames[COscTimingTypeCount];
// The timing kind's name; null for the thirteen level kinds, whose names
// belong to the program's menus.
const char* OscTimingTypeName(TOscMeasurementType Type);

// The readout text of every value that cannot be shown.
inline constexpr const char* CInvalidValue = "-";

// What readout texts are computed from: one signal's level values (Own), the
// device's channels 0 and 1 for the gain (null: no gain), the signal's timing
// (null: the timing kinds read "-"). Squared values are in V² (a product of
// two channels): their levels read in V², and the kinds that need volts (dBm,
// the powers) read "-".
struct TOscReadoutSource {
  const TOscSignalValues* Own = nullptr;
  const TOscSignalValues* First = nullptr;
  const TOscSignalValues* Second = nullptr;
  const TOscTiming* Timing = nullptr;
  bool Squared = false;
};

// The text of one kind, without the guards of a channel's readout (hidden,
// switched off, over-driven): the caller checks those.
std::string OscMeasurementText(TOscMeasurementType Type, const TOscReadoutSource& Source);

using TOscMeasurementTexts = std::array<std::string, COscMeasurementTypeCount>;

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

  // The texts of every kind at once, indexed by ordinal, from one pass over
  // the buffer and one timing analysis. The chosen kind and its text stay.
  TOscMeasurementTexts Texts() const;

private:
  // The device refreshes all its readouts from one pass per channel. Own is
  // the measured channel's values; First and Second are those of the device's
  // channels 0 and 1 (null without a two-channel device), for the gain;
  // Timing the channel's timing, present when the chosen kind needs it.
  friend class TOscDevice;
  void Update(const TOscSignalValues& Own, const TOscSignalValues* First,
              const TOscSignalValues* Second, const TOscTiming* Timing);
  // False for a channel whose values cannot be shown at all.
  bool Measurable(const TOscSignalValues& Own) const;

  TOscSignal* FSignal;
  std::string FValue = CInvalidValue;
  TOscMeasurementType FValueType = TOscMeasurementType::Vdc;
};
