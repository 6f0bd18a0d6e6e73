#include "osc/OscTrace.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "osc/OscCapture.h"
#include "osc/OscDevice.h"
#include "osc/OscScales.h"
#include "osc/OscTypes.h"

void TOscTrace::SetCount(int Value) {
  if (Value < 0)
    throw EOscInvalidArgumentError(SBufferSizeNegative);
  if (Value == FCount)
    return;
  FCount = Value;
  Points.resize(static_cast<std::size_t>(Value));
}

TOscTrace* TOscTraces::Add(std::unique_ptr<TOscTrace> Trace) {
  if (!Trace)
    throw EOscInvalidArgumentError(SArgumentNull);
  FTraces.push_back(std::move(Trace));
  return FTraces.back().get();
}

std::size_t TOscTraces::Checked(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EOscOutOfRangeError(SIndexOutOfRange);
  return static_cast<std::size_t>(Index);
}

void TOscTraces::Truncate(int Count) {
  if (Count >= 0 && Count < this->Count())
    FTraces.resize(static_cast<std::size_t>(Count));
}

int OscPageDivisions(int Width, int Height) {
  if (Width <= 0 || Height <= 0)
    return 1;
  const float Divisions =
      std::ceil(static_cast<float>(Width) / (static_cast<float>(Height) / 10.0f));
  return static_cast<int>(Divisions);
}

int OscPageSamplesPerDivision(const TOscDevice* Device) {
  return Device != nullptr ? OscSamplesPerDivision(Device->TimeBase()) : 50;
}

void OscFillTrace(TOscTrace& Trace, const TOscSignal& Signal, TOscColor Color,
                  const TOscPointMap& Map) {
  Trace.SetCount(Signal.Fill());
  Trace.SetColor(Color);
  const TOscSample* Samples = Signal.Samples(); // Fill() <= Count(): no range check needed
  for (int I = 0; I < Trace.Count(); ++I) {
    TOscPoint& P = Trace.Points[static_cast<std::size_t>(I)];
    P.X = I;
    P.Y = Samples[I];
  }
  if (Map)
    Map(Trace.Points);
}

std::unique_ptr<TOscTrace> OscBuildTrace(const TOscSignal& Signal, TOscColor Color,
                                         const TOscPointMap& Map) {
  auto Trace = std::make_unique<TOscTrace>();
  OscFillTrace(*Trace, Signal, Color, Map);
  return Trace;
}

void OscBuildTraces(TOscTraces& Traces, const TOscDevice* Device, const TOscTraceColors& Colors,
                    const TOscPointMap& Map) {
  Traces.Truncate(OscFillTraces(Traces, Device, Colors, Map));
}

int OscFillTraces(TOscTraces& Traces, const TOscDevice* Device, const TOscTraceColors& Colors,
                  const TOscPointMap& Map) {
  int Used = 0;
  if (Device == nullptr || !Device->HasSignals())
    return Used;
  const TOscSignals& Signals = Device->Signals();
  for (int I = 0; I < Signals.Count(); ++I) {
    const TOscSignal& Signal = Signals.Signal(I);
    if (!Signal.Visible() || Signal.VoltsPerDivision() == vdivNone)
      continue;
    OscFillTrace(OscTraceAt(Traces, Used), Signal, Colors.Color(I).Color(), Map);
    ++Used;
  }
  return Used;
}

TOscTrace& OscTraceAt(TOscTraces& Traces, int Index) {
  if (Index < Traces.Count())
    return Traces.Trace(Index);
  return *Traces.Add(std::make_unique<TOscTrace>());
}

std::int32_t OscGridCoordinate(double Value) {
  constexpr double Limit = 1 << 20;
  if (std::isnan(Value))
    return 0;
  return static_cast<std::int32_t>(std::lround(std::clamp(Value, -Limit, Limit)));
}

void OscFillXYTrace(TOscTrace& Trace, const TOscDevice& Device, const TOscXYScale& Scale,
                    TOscColor Color, const TOscPointMap& Map) {
  Trace.SetColor(Color);
  if (!Device.HasSignals() || Device.Signals().Count() < 2 ||
      Device.Signals()[0].VoltsPerDivision() == vdivNone ||
      Device.Signals()[1].VoltsPerDivision() == vdivNone) {
    Trace.SetCount(0);
    return;
  }
  const TOscSignal& X = Device.Signals()[0];
  const TOscSignal& Y = Device.Signals()[1];
  Trace.SetCount(std::min(X.Fill(), Y.Fill()));
  // A voltage over its channel's volts per division is the distance from the
  // zero line in sample steps over 25, whatever the probe: computed so, the
  // divisions are exact.
  const double XPerStep = Scale.XPerDivision / CSamplesPerVoltDivision;
  const std::int64_t XZeroLine = X.YPosition();
  const std::int64_t YZeroLine = Y.YPosition();
  for (int I = 0; I < Trace.Count(); ++I) {
    TOscPoint& P = Trace.Points[static_cast<std::size_t>(I)];
    const double XSteps = static_cast<double>(XZeroLine - X.Samples()[I]);
    const double YSteps = static_cast<double>(YZeroLine - Y.Samples()[I]);
    P.X = OscGridCoordinate(Scale.XZero + XSteps * XPerStep);
    P.Y = OscGridCoordinate(Scale.YZero - YSteps);
  }
  if (Map)
    Map(Trace.Points);
}

TOscColor OscDimColor(TOscColor Color, TOscColor Background) {
  const auto Mix = [](int C, int B) {
    return static_cast<TOscColor>(B + ((C - B) * 45 + (C >= B ? 50 : -50)) / 100);
  };
  return Mix(OscRed(Color), OscRed(Background)) | Mix(OscGreen(Color), OscGreen(Background)) << 8 |
         Mix(OscBlue(Color), OscBlue(Background)) << 16;
}

void OscBuildReferenceTraces(TOscTraces& Traces, const TOscCapture& Capture,
                             int PageSamplesPerDivision, const TOscTraceColors& Colors,
                             TOscColor Background, const TOscPointMap& Map) {
  const std::int64_t Own = OscSamplesPerDivision(Capture.TimeBase);
  const std::int64_t Page = PageSamplesPerDivision;
  int Used = 0;
  for (std::size_t C = 0; C < Capture.Channels.size(); ++C) {
    const TOscChannelCapture& Channel = Capture.Channels[C];
    if (!Channel.Visible || Channel.VoltsPerDivision == vdivNone)
      continue;
    if (Used == Traces.Count())
      Traces.Add(std::make_unique<TOscTrace>());
    TOscTrace& Trace = Traces.Trace(Used++);
    const int Fill = std::clamp(Channel.Fill, 0, static_cast<int>(Channel.Samples.size()));
    Trace.SetCount(Fill);
    Trace.SetColor(OscDimColor(Colors.Color(static_cast<int>(C)).Color(), Background));
    for (int I = 0; I < Fill; ++I) {
      TOscPoint& P = Trace.Points[static_cast<std::size_t>(I)];
      P.X = static_cast<std::int32_t>((I * Page + Own / 2) / Own);
      P.Y = Channel.Samples[static_cast<std::size_t>(I)];
    }
    if (Map)
      Map(Trace.Points);
  }
  Traces.Truncate(Used);
}
