#pragma once

// The math channel: CH1 and CH2 combined sample by sample in volts (a sum,
// a difference or a product), with a scale and zero line of its own for its
// trace and a readout like a channel's.

#include <cstdint>
#include <string>
#include <vector>

#include "osc/OscMeasurement.h"
#include "osc/OscSignal.h"
#include "osc/OscTrace.h"
#include "osc/OscTypes.h"

class TOscDevice;
struct TOscTiming;

enum TOscMathMode : std::uint8_t { mmOff, mmAdd, mmSubtract, mmSubtractReverse, mmMultiply };

constexpr int COscMathModeCount = 5;
constexpr int OscOrdinalCount(TOscMathMode) {
  return COscMathModeCount;
}
// "Off", "CH1+CH2", "CH1-CH2", "CH2-CH1", "CH1×CH2".
extern const char* const COscMathModeNames[COscMathModeCount];

// The math trace's colour (0x00BBGGRR): a magenta that neither channel's
// cyan nor its pale yellow resembles.
constexpr TOscColor COscMathColor = 0xFF50FF;

class TOscMath {
public:
  // ADevice (not owned) supplies the channels 0 and 1; it must outlive this.
  explicit TOscMath(const TOscDevice* ADevice);

  const TOscDevice* Device() const { return FDevice; }

  // Off by default. Off drops the result: nothing is held or computed.
  TOscMathMode Mode() const { return FMode; }
  void SetMode(TOscMathMode Value);
  // Values in V² (the product) rather than volts.
  bool Squared() const { return FMode == mmMultiply; }

  // The trace's scale, from the channels' steps; for the product the step's
  // number is V² per division. vdivNone and ordinals outside the steps are
  // refused (the scale stays).
  TOscVoltsPerDivision VoltsPerDivision() const { return FVoltsPerDivision; }
  void SetVoltsPerDivision(TOscVoltsPerDivision Value);
  // Volts (or V²) per division of the current scale.
  double Scale() const;
  // Grid Y of the trace's zero line (a sample value, as a channel's).
  int YPosition() const { return FYPosition; }
  void SetYPosition(int Value);

  // Advanced by every Update and every change of mode, scale or zero line:
  // whoever draws the result compares it to know the trace changed.
  std::uint64_t Generation() const { return FGeneration; }

  // Recomputes the result from both channels' samples and then the readout;
  // call it when the channels hold new samples. While Off it only clears.
  void Update();

  // The result: one value per sample of the shorter channel, volts (V² for
  // the product, probes applied); empty while Off or after a mode change
  // until the next Update.
  const std::vector<double>& Values() const { return FValues; }
  int Count() const { return static_cast<int>(FValues.size()); }
  // The leading values computed from samples both channels hold.
  int Fill() const { return FFill; }

  // The level values and the timing of the result, as a channel's
  // measurements see their buffer (no reset of the maximum: that quirk is a
  // channel's only).
  TOscSignalValues Levels() const;
  TOscTiming Timing() const;

  // The readout, as a channel's: the chosen kind's text as of the last Update.
  // "-" while Off, and while either channel is hidden, switched off or
  // over-driven (the result would be wrong).
  TOscMeasurementType ValueType() const { return FValueType; }
  void SetValueType(TOscMeasurementType Value) { FValueType = Value; }
  const std::string& Readout() const { return FReadout; }

private:
  bool SourcesMeasurable() const;
  // Hysteresis of the timing in the result's unit: a few sample steps of the
  // channels that make it, carried through the operation.
  double Hysteresis() const;
  std::string ReadoutText() const;

  const TOscDevice* FDevice;
  TOscMathMode FMode = mmOff;
  TOscVoltsPerDivision FVoltsPerDivision = vdiv10V;
  int FYPosition = 128;
  std::vector<double> FValues;
  int FFill = 0;
  TOscMeasurementType FValueType = TOscMeasurementType::Vdc;
  std::string FReadout = CInvalidValue;
  std::uint64_t FGeneration = 0;
};

// Grid Y of Value on a trace of Scale units per division whose zero line is
// at YPosition: 25 grid steps per division, larger values higher up (smaller
// Y), as a channel's samples lie; rounded and clamped as OscGridCoordinate.
std::int32_t OscGridY(double Value, double Scale, int YPosition);

// The math result's filled values as a trace, point i at (i, OscGridY of
// value i at the math's scale and zero line), passed through Map. Empty while
// Off. The storage of Trace is reused.
void OscFillMathTrace(TOscTrace& Trace, const TOscMath& Math, TOscColor Color,
                      const TOscPointMap& Map);
