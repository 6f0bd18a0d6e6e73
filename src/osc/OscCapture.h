#pragma once

// A capture kept apart from the device that took it: both channels' samples
// with the settings needed to scale and show them. The window keeps one as a
// reference trace, and TOscCaptureDevice shows one as a device of its own (an
// opened capture file, a paused replay).

#include <string>
#include <vector>

#include "osc/OscDevice.h"
#include "osc/OscTypes.h"

struct TOscChannelCapture {
  TOscInputCoupling Coupling = inAC;
  TOscVoltsPerDivision VoltsPerDivision = vdiv10V;
  int YPosition = 128;
  TOscMultiplier Multiplier = multX1;
  bool Visible = true;
  // The leading samples that hold data (TOscSignal::Fill); the rest are 0.
  int Fill = 0;
  std::vector<TOscSample> Samples = std::vector<TOscSample>(CSampleCount, 0);
};

struct TOscCapture {
  TOscTimeBase TimeBase = tb500us;
  int TriggerLevel = 128;
  TOscTriggerMode TriggerMode = tmRun;
  TOscTriggerSlope TriggerSlope = teRisingSlope;
  int TriggerChannel = 0;
  bool Hold = false;
  bool AutoRange = false;
  std::vector<TOscChannelCapture> Channels = std::vector<TOscChannelCapture>(2);
};

// A copy of what Device shows now: its settings and every channel's samples.
TOscCapture OscCaptureOf(const TOscDevice& Device);

// Puts Capture into Device through the model's setters (with their
// notifications), then its samples, each channel closing with one change
// notification as the signal generator's do, then refreshes the readouts. A
// capture whose channel count or sample counts differ from the device's
// raises EOscInvalidArgumentError before anything changes.
void OscApplyCapture(TOscDevice& Device, const TOscCapture& Capture);

// A device that shows a kept capture instead of a scope: TransmitSettings and
// Calibrate do nothing (those of TOscDevice), and nothing renews its samples.
class TOscCaptureDevice : public TOscDevice {
public:
  // Two empty channels, as every device of the program has.
  TOscCaptureDevice();

  // Reads the samples file FileName and its parameters file (OscReadCapture)
  // and shows them. A file that cannot be read raises one EOscError naming the
  // file and the line; the device then stays as it was.
  void Open(const std::string& FileName);
  // Shows Capture; Name is what a banner calls it (a file name, or empty).
  void Load(const TOscCapture& Capture, const std::string& Name = {});

  // The samples file last opened, or the name given to Load.
  const std::string& Name() const { return FName; }

private:
  std::string FName;
};
