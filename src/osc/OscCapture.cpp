#include "osc/OscCapture.h"

#include <algorithm>

#include "osc/OscCaptureReader.h"

TOscCapture OscCaptureOf(const TOscDevice& Device) {
  TOscCapture Capture;
  Capture.TimeBase = Device.TimeBase();
  const TOscTrigger& Trigger = Device.Trigger();
  Capture.TriggerLevel = Trigger.Level();
  Capture.TriggerMode = Trigger.Mode();
  Capture.TriggerSlope = Trigger.Slope();
  Capture.TriggerChannel = Trigger.Channel();
  Capture.Hold = Device.Hold();
  Capture.AutoRange = Device.AutoRange();
  const int Count = Device.HasSignals() ? Device.Signals().Count() : 0;
  Capture.Channels.assign(static_cast<std::size_t>(Count), {});
  for (int I = 0; I < Count; ++I) {
    const TOscSignal& Signal = Device.Signals()[I];
    TOscChannelCapture& Channel = Capture.Channels[static_cast<std::size_t>(I)];
    Channel.Coupling = Signal.Coupling();
    Channel.VoltsPerDivision = Signal.VoltsPerDivision();
    Channel.YPosition = Signal.YPosition();
    Channel.Multiplier = Signal.Multiplier();
    Channel.Visible = Signal.Visible();
    Channel.Fill = std::min(Signal.Fill(), Signal.Count());
    Channel.Samples.assign(Signal.Samples(), Signal.Samples() + Signal.Count());
  }
  return Capture;
}

void OscApplyCapture(TOscDevice& Device, const TOscCapture& Capture) {
  const int Count = Device.HasSignals() ? Device.Signals().Count() : 0;
  if (static_cast<std::size_t>(Count) != Capture.Channels.size())
    throw EOscInvalidArgumentError("The capture has " + std::to_string(Capture.Channels.size()) +
                                   " channels, the device " + std::to_string(Count));
  for (int I = 0; I < Count; ++I) {
    const TOscChannelCapture& Channel = Capture.Channels[static_cast<std::size_t>(I)];
    if (Channel.Samples.size() != static_cast<std::size_t>(Device.Signals()[I].Count()) ||
        Channel.Fill < 0 || static_cast<std::size_t>(Channel.Fill) > Channel.Samples.size())
      throw EOscInvalidArgumentError("The capture's samples do not fit the device's channel " +
                                     std::to_string(I + 1));
  }

  // Settings first: a change of scale empties the channels, so the samples
  // must come after.
  Device.SetTimeBase(Capture.TimeBase);
  for (int I = 0; I < Count; ++I) {
    const TOscChannelCapture& Channel = Capture.Channels[static_cast<std::size_t>(I)];
    TOscSignal& Signal = Device.Signals()[I];
    Signal.SetCoupling(Channel.Coupling);
    Signal.SetVoltsPerDivision(Channel.VoltsPerDivision);
    Signal.SetYPosition(Channel.YPosition);
    Signal.SetMultiplier(Channel.Multiplier);
    Signal.SetVisible(Channel.Visible);
  }
  TOscTrigger& Trigger = Device.Trigger();
  Trigger.SetChannel(Capture.TriggerChannel);
  Trigger.SetSlope(Capture.TriggerSlope);
  Trigger.SetMode(Capture.TriggerMode);
  Trigger.SetLevel(Capture.TriggerLevel);
  Device.SetHold(Capture.Hold);
  // Last: a new volts per division or trigger mode has cleared it.
  Device.SetAutoRange(Capture.AutoRange);

  for (int I = 0; I < Count; ++I) {
    const TOscChannelCapture& Channel = Capture.Channels[static_cast<std::size_t>(I)];
    TOscSignal& Signal = Device.Signals()[I];
    Signal.BeginUpdate();
    Signal.Clear();
    if (Channel.Fill > 0)
      std::copy_n(Channel.Samples.begin(), Channel.Fill, Signal.SampleBlock(0, Channel.Fill));
    Signal.EndUpdate();
  }
  Device.UpdateMeasurements();
}

TOscCaptureDevice::TOscCaptureDevice() {
  CreateSignals(2);
}

void TOscCaptureDevice::Open(const std::string& FileName) {
  Load(OscReadCapture(FileName), FileName);
}

void TOscCaptureDevice::Load(const TOscCapture& Capture, const std::string& Name) {
  OscApplyCapture(*this, Capture);
  FName = Name;
}
