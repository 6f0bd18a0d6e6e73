// The capture export of TOscDevice: the samples file (two voltage columns)
// and the parameters file (one line of JSON). Other programs read them, and
// OscCaptureReader opens them again, so their bytes are fixed: Windows-1252
// text, CR LF after every sample line, no newline in the parameters file.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "osc/OscExport.h"

#include "osc/OscDevice.h"
#include "osc/OscExportFormat.h"
#include "osc/OscFormat.h"

namespace {

std::string SamplesText(const TOscDevice& Device) {
  const TOscSignal& Channel1 = Device.Signals()[0];
  const TOscSignal& Channel2 = Device.Signals()[1];
  std::string Text;
  Text.reserve(CSampleCount * 16);
  for (int I = 0; I < CSampleCount; ++I) {
    Text += OscFloatToStr(Channel1.GetSampleVoltage(I), 2);
    Text += ';';
    Text += OscFloatToStr(Channel2.GetSampleVoltage(I), 2);
    Text += "\r\n";
  }
  return Text;
}

std::string SystemReason(int Error) {
  return Error != 0 ? std::strerror(Error) : "Input/output error";
}

} // namespace

// Creates (or replaces) the file and writes Bytes in one piece. A write that
// fails, typically on a full disk, often shows only when the buffer is flushed
// at close, so the close is checked too.
void OscWriteFile(const std::string& FileName, const std::string& Bytes) {
  errno = 0;
  std::ofstream File(FileName, std::ios::binary | std::ios::trunc);
  if (!File.is_open())
    throw EOscError("Cannot create file \"" + FileName + "\". " + SystemReason(errno));
  errno = 0;
  File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  int Error = errno;
  File.close();
  if (Error == 0)
    Error = errno;
  if (File.fail()) {
    // A half-written file would pass for a capture; devices and pipes are
    // not ours to remove.
    std::error_code Ignored;
    if (std::filesystem::is_regular_file(FileName, Ignored))
      std::filesystem::remove(FileName, Ignored);
    throw EOscError("Cannot write file \"" + FileName + "\". " + SystemReason(Error));
  }
}

void TOscDevice::SaveToStream(std::ostream& Stream) const {
  const std::string Text = SamplesText(*this);
  Stream.write(Text.data(), static_cast<std::streamsize>(Text.size()));
  if (!Stream)
    throw EOscError("Cannot write the samples");
}

// The text is built before the file is created, so a failure while building
// never replaces an existing file with a truncated one.
void TOscDevice::SaveToFile(const std::string& FileName) const {
  OscWriteFile(FileName, SamplesText(*this));
}

void TOscDevice::SaveParametersToFile(const std::string& FileName) const {
  const TOscTrigger& Trigger = this->Trigger();
  const TOscSignal& TriggerChannel = Signals()[Trigger.Channel()];
  std::string Text = "{\"TimeScale\":\"" + OscTimeScaleStr(TimeBase()) + "\"";
  Text += ",\"Trigger\":{\"Source\":" + std::to_string(Trigger.Channel() + 1);
  Text += ",\"Coupling\":\"" + std::string(COscCouplingStr[TriggerChannel.Coupling()]) + "\"";
  Text += ",\"Slope\":\"" + std::string(COscSlopeStr[Trigger.Slope()]) + "\"";
  Text += ",\"Mode\":\"" + std::string(COscModeStr[Trigger.Mode()]) + "\"";
  Text += ",\"Level\":\"" + OscLevelToStr(Trigger.Level(), TriggerChannel) + "\"}";
  Text += ",\"Channels\":[" + ChannelToJson(0) + "," + ChannelToJson(1) + "]}";
  OscWriteFile(FileName, OscUtf8ToWindows1252(Text));
}

std::string TOscDevice::ChannelToJson(int Idx) const {
  if (Idx != 0 && Idx != 1)
    throw EOscError("Invalid signal");
  const TOscSignal& Channel = Signals()[Idx];
  const bool On = Channel.VoltsPerDivision() != vdivNone;
  return "{\"Channel\":" + std::to_string(Idx + 1) + ",\"State\":\"" + COscStateStr[On ? 1 : 0] +
         "\",\"Scale\":\"" + OscScaleStr(Channel.VoltsPerDivision(), Channel.Multiplier()) +
         "\",\"Level\":\"" + OscLevelToStr(Channel.YPosition(), Channel) + "\",\"Coupling\":\"" +
         COscCouplingStr[Channel.Coupling()] + "\",\"Probe\":\"" +
         COscProbeStr[Channel.Multiplier()] + "\"}";
}
