// The capture export of TOscDevice: the samples file (two voltage columns)
// and the parameters file (one line of JSON). Neither is ever read back, but
// other programs read them, so their bytes are fixed: Windows-1252 text, CR LF
// after every sample line, no newline in the parameters file.

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "osc/OscExport.h"

#include "osc/OscDevice.h"
#include "osc/OscFormat.h"
#include "osc/OscScales.h"

namespace {

const char* const CCouplingStr[OscOrdinalCount(TOscInputCoupling{})] = {"AC", "DC", "GND"};
const char* const CSlopeStr[OscOrdinalCount(TOscTriggerSlope{})] = {"Rising", "Falling"};
const char* const CModeStr[OscOrdinalCount(TOscTriggerMode{})] = {"Normal", "Auto", "Once"};
const char* const CProbeStr[OscOrdinalCount(TOscMultiplier{})] = {"X1", "X10"};
const char* const CStateStr[2] = {"Off", "On"};

// Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned ones.
const char32_t CWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char Windows1252Char(char32_t CodePoint) {
  if (CodePoint < 0x80 || (CodePoint >= 0xA0 && CodePoint <= 0xFF))
    return static_cast<char>(CodePoint);
  for (int I = 0; I < 32; ++I)
    if (CWindows1252High[I] != 0 && CWindows1252High[I] == CodePoint)
      return static_cast<char>(0x80 + I);
  return '?';
}

// The model's texts are UTF-8; the files hold single bytes ("µ" becomes 0xB5).
// Characters the code page lacks and malformed sequences become '?'.
std::string Utf8ToWindows1252(const std::string& Text) {
  std::string Result;
  Result.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size();) {
    const unsigned char Lead = static_cast<unsigned char>(Text[I]);
    int Length = 1;
    char32_t CodePoint = Lead;
    if (Lead >= 0xF0 && Lead <= 0xF4) {
      Length = 4;
      CodePoint = Lead & 0x07u;
    } else if (Lead >= 0xE0) {
      Length = 3;
      CodePoint = Lead & 0x0Fu;
    } else if (Lead >= 0xC2 && Lead <= 0xDF) {
      Length = 2;
      CodePoint = Lead & 0x1Fu;
    } else if (Lead >= 0x80) {
      Result += '?';
      ++I;
      continue;
    }
    int Taken = 1;
    while (Taken < Length && I + static_cast<std::size_t>(Taken) < Text.size() &&
           (static_cast<unsigned char>(Text[I + static_cast<std::size_t>(Taken)]) & 0xC0u) ==
               0x80u) {
      CodePoint = (CodePoint << 6) |
                  (static_cast<unsigned char>(Text[I + static_cast<std::size_t>(Taken)]) & 0x3Fu);
      ++Taken;
    }
    Result += Taken == Length ? Windows1252Char(CodePoint) : '?';
    I += static_cast<std::size_t>(Taken);
  }
  return Result;
}

// The zero line (or trigger level) P in volts, counting 128 sample steps as
// five divisions around the middle of the 8-bit range. Always with a decimal
// point, whatever the user's locale, so that the JSON reads the same anywhere.
std::string LevelToStr(int Position, const TOscSignal& Channel) {
  // The difference in 64 bits: any 32-bit position is accepted.
  const double Steps = static_cast<double>(std::int64_t{128} - Position);
  double Value = 5 * OscVoltsPerDivisionOf(Channel.VoltsPerDivision()) * Steps / 128;
  if (Channel.Multiplier() == multX10)
    Value *= 10;
  return OscFloatToStr(Value, 2, false, '.') + "V";
}

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
  std::string Text = "{\"TimeScale\":\"" + OscTimeToStr(OscTimeBaseSeconds(TimeBase())) + "/div\"";
  Text += ",\"Trigger\":{\"Source\":" + std::to_string(Trigger.Channel() + 1);
  Text += ",\"Coupling\":\"" + std::string(CCouplingStr[TriggerChannel.Coupling()]) + "\"";
  Text += ",\"Slope\":\"" + std::string(CSlopeStr[Trigger.Slope()]) + "\"";
  Text += ",\"Mode\":\"" + std::string(CModeStr[Trigger.Mode()]) + "\"";
  Text += ",\"Level\":\"" + LevelToStr(Trigger.Level(), TriggerChannel) + "\"}";
  Text += ",\"Channels\":[" + ChannelToJson(0) + "," + ChannelToJson(1) + "]}";
  OscWriteFile(FileName, Utf8ToWindows1252(Text));
}

std::string TOscDevice::ChannelToJson(int Idx) const {
  if (Idx != 0 && Idx != 1)
    throw EOscError("Invalid signal");
  const TOscSignal& Channel = Signals()[Idx];
  const bool On = Channel.VoltsPerDivision() != vdivNone;
  const std::string Scale =
      On ? OscVoltageToStrFormat("%.0f", OscVoltsPerDivisionVoltage(Channel.VoltsPerDivision(),
                                                                    Channel.Multiplier())) +
               "/div"
         : "None";
  return "{\"Channel\":" + std::to_string(Idx + 1) + ",\"State\":\"" + CStateStr[On ? 1 : 0] +
         "\",\"Scale\":\"" + Scale + "\",\"Level\":\"" + LevelToStr(Channel.YPosition(), Channel) +
         "\",\"Coupling\":\"" + CCouplingStr[Channel.Coupling()] + "\",\"Probe\":\"" +
         CProbeStr[Channel.Multiplier()] + "\"}";
}
