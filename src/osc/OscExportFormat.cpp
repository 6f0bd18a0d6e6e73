#include "osc/OscExportFormat.h"

#include <cstdint>

#include "osc/OscFormat.h"
#include "osc/OscScales.h"
#include "osc/OscSignal.h"

const char* const COscCouplingStr[3] = {"AC", "DC", "GND"};
const char* const COscSlopeStr[2] = {"Rising", "Falling"};
const char* const COscModeStr[3] = {"Normal", "Auto", "Once"};
const char* const COscProbeStr[2] = {"X1", "X10"};
const char* const COscStateStr[2] = {"Off", "On"};

static_assert(sizeof COscCouplingStr / sizeof *COscCouplingStr ==
              OscOrdinalCount(TOscInputCoupling{}));
static_assert(sizeof COscSlopeStr / sizeof *COscSlopeStr == OscOrdinalCount(TOscTriggerSlope{}));
static_assert(sizeof COscModeStr / sizeof *COscModeStr == OscOrdinalCount(TOscTriggerMode{}));
static_assert(sizeof COscProbeStr / sizeof *COscProbeStr == OscOrdinalCount(TOscMultiplier{}));

namespace {

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

} // namespace

std::string OscTimeScaleStr(TOscTimeBase TimeBase) {
  return OscTimeToStr(OscTimeBaseSeconds(TimeBase)) + "/div";
}

std::string OscScaleStr(TOscVoltsPerDivision VoltsPerDivision, TOscMultiplier Multiplier) {
  if (VoltsPerDivision == vdivNone)
    return "None";
  return OscVoltageToStrFormat("%.0f", OscVoltsPerDivisionVoltage(VoltsPerDivision, Multiplier)) +
         "/div";
}

double OscLevelVolts(std::int64_t Position, TOscVoltsPerDivision VoltsPerDivision,
                     TOscMultiplier Multiplier) {
  const double Steps = static_cast<double>(128 - Position);
  double Value = 5 * OscVoltsPerDivisionOf(VoltsPerDivision) * Steps / 128;
  if (Multiplier == multX10)
    Value *= 10;
  return Value;
}

double OscLevelVolts(std::int64_t Position, const TOscSignal& Channel) {
  return OscLevelVolts(Position, Channel.VoltsPerDivision(), Channel.Multiplier());
}

std::string OscLevelToStr(std::int64_t Position, const TOscSignal& Channel) {
  return OscFloatToStr(OscLevelVolts(Position, Channel), 2, false, '.') + "V";
}

std::string OscUtf8ToWindows1252(const std::string& Text) {
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

std::string OscWindows1252ToUtf8(const std::string& Bytes) {
  std::string Result;
  Result.reserve(Bytes.size());
  for (const char C : Bytes) {
    const unsigned char B = static_cast<unsigned char>(C);
    if (B >= 0x80 && B < 0xA0)
      OscAppendUtf8(Result, CWindows1252High[B - 0x80] != 0 ? CWindows1252High[B - 0x80] : 0xFFFD);
    else
      OscAppendUtf8(Result, B);
  }
  return Result;
}

void OscAppendUtf8(std::string& Text, char32_t CodePoint) {
  if (CodePoint < 0x80) {
    Text += static_cast<char>(CodePoint);
  } else if (CodePoint < 0x800) {
    Text += static_cast<char>(0xC0 | (CodePoint >> 6));
    Text += static_cast<char>(0x80 | (CodePoint & 0x3F));
  } else if (CodePoint < 0x10000) {
    Text += static_cast<char>(0xE0 | (CodePoint >> 12));
    Text += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
    Text += static_cast<char>(0x80 | (CodePoint & 0x3F));
  } else {
    Text += static_cast<char>(0xF0 | (CodePoint >> 18));
    Text += static_cast<char>(0x80 | ((CodePoint >> 12) & 0x3F));
    Text += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
    Text += static_cast<char>(0x80 | (CodePoint & 0x3F));
  }
}
