#pragma once

// Traces: the visible channels' samples as points in grid coordinates, and the
// page geometry that decides how many samples a page of the display shows.
// Grid X counts samples along the page, grid Y is the raw 8-bit sample value
// (mirrored when the view is flipped).

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "osc/OscSkin.h"

class TOscDevice;
class TOscSignal;

struct TOscPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TOscPoint& A, const TOscPoint& B) {
    return A.X == B.X && A.Y == B.Y;
  }
  friend bool operator!=(const TOscPoint& A, const TOscPoint& B) { return !(A == B); }
};

struct TOscRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
};

class TOscTrace {
public:
  explicit TOscTrace(int ACount = 0) { SetCount(ACount); }

  int Count() const { return FCount; }
  // New points are (0, 0). A negative count raises EOscInvalidArgumentError.
  void SetCount(int Value);
  TOscColor Color() const { return FColor; }
  void SetColor(TOscColor Value) { FColor = Value; }

  // Always Count() long.
  std::vector<TOscPoint> Points;

private:
  int FCount = 0;
  TOscColor FColor = 0;
};

class TOscTraces {
public:
  TOscTraces() = default;
  TOscTraces(const TOscTraces&) = delete;
  TOscTraces& operator=(const TOscTraces&) = delete;

  TOscTrace* Add(std::unique_ptr<TOscTrace> Trace);
  int Count() const { return static_cast<int>(FTraces.size()); }
  void Clear() { FTraces.clear(); }
  // Drops the traces from Count on; keeps the ones before.
  void Truncate(int Count);
  // No clamping: a bad index raises EOscOutOfRangeError.
  const TOscTrace& Trace(int Index) const { return *FTraces[Checked(Index)]; }
  TOscTrace& Trace(int Index) { return *FTraces[Checked(Index)]; }
  const TOscTrace& GetTrace(int Index) const { return Trace(Index); }
  TOscTrace& GetTrace(int Index) { return Trace(Index); }

private:
  std::size_t Checked(int Index) const;

  std::vector<std::unique_ptr<TOscTrace>> FTraces;
};

// Horizontal divisions of a Width x Height pixel window: as many as keep a
// division roughly square, given 10 vertical divisions. A window without
// height (or without width) shows one division, so the page never collapses.
int OscPageDivisions(int Width, int Height);

// Samples per horizontal division at the device's time base; 50 without one.
int OscPageSamplesPerDivision(const TOscDevice* Device);

// The page includes both edge lines of the grid.
constexpr int OscPageSamples(int Divisions, int SamplesPerDivision) {
  return Divisions * SamplesPerDivision + 1;
}

// Maps the points of a trace from grid to display orientation in place (the
// view's flip). One call per trace, not per point: traces are rebuilt on
// every frame.
using TOscPointMap = std::function<void(std::vector<TOscPoint>& Points)>;

// All filled samples of the channel, point i at (i, sample i), passed through
// Map. The trace keeps every filled sample; scrolling and clipping are the
// view's work.
std::unique_ptr<TOscTrace> OscBuildTrace(const TOscSignal& Signal, TOscColor Color,
                                         const TOscPointMap& Map);

// Trace becomes all filled samples of the channel, as OscBuildTrace builds
// them, reusing its storage.
void OscFillTrace(TOscTrace& Trace, const TOscSignal& Signal, TOscColor Color,
                  const TOscPointMap& Map);

// Makes Traces one trace per visible channel with a volts per division other
// than vdivNone, in channel order, coloured with the trace colour of the
// channel's index (clamped to the last colour). The traces already there are
// refilled in place, so that a view rebuilding them allocates nothing.
void OscBuildTraces(TOscTraces& Traces, const TOscDevice* Device, const TOscTraceColors& Colors,
                    const TOscPointMap& Map);

// The same channel traces as the first ones of Traces, refilled in place;
// returns their number and leaves the traces after them for the caller to
// refill or drop (a view that adds traces of its own keeps their storage).
int OscFillTraces(TOscTraces& Traces, const TOscDevice* Device, const TOscTraceColors& Colors,
                  const TOscPointMap& Map);

// Trace Index of Traces, added empty when Traces holds no more than Index
// (Index is at most Count()).
TOscTrace& OscTraceAt(TOscTraces& Traces, int Index);

// A computed grid coordinate as a point's: rounded, far-off values clamped to
// +-2^20 so that they stay off the grid without overflowing, NaN as 0.
std::int32_t OscGridCoordinate(double Value);

// Where an XY trace lies on the grid: CH1's volts along X, CH2's along Y,
// each at its channel's volts/div. XZero and YZero are the grid point of 0 V
// on both; XPerDivision the grid units of one horizontal division (the
// page's samples per division). Y keeps the samples' sense: 25 grid steps per
// division, higher voltages at smaller Y.
struct TOscXYScale {
  double XZero = 0;
  double XPerDivision = 50;
  double YZero = 128;
};

// The samples filled in both channels 0 and 1 as XY points, point i at
// (XZero + v1(i) / (V/div)1 x XPerDivision, YZero - v2(i) / (V/div)2 x 25),
// rounded, passed through Map. No points while either channel is switched
// off (vdivNone) or the device has fewer than two channels.
void OscFillXYTrace(TOscTrace& Trace, const TOscDevice& Device, const TOscXYScale& Scale,
                    TOscColor Color, const TOscPointMap& Map);

struct TOscCapture;

// Color part of the way from Background to itself (45 %): the same hue,
// plainly behind whatever is drawn in full colour.
TOscColor OscDimColor(TOscColor Color, TOscColor Background);

// The traces of a kept capture, drawn as it was shown when kept, whatever the
// device shown now: one per channel that was on (visible, volts per division
// not vdivNone) in channel order, over its filled samples, in the channel's
// trace colour dimmed towards Background. Each of its divisions lies on one
// division of a page of PageSamplesPerDivision samples: point i at
// X = i x PageSamplesPerDivision / (its time base's samples per division),
// rounded, Y = sample i, passed through Map. The traces already there are
// refilled in place.
void OscBuildReferenceTraces(TOscTraces& Traces, const TOscCapture& Capture,
                             int PageSamplesPerDivision, const TOscTraceColors& Colors,
                             TOscColor Background, const TOscPointMap& Map);
