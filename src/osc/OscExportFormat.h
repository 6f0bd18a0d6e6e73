#pragma once

// The texts of the capture files, shared by the export that writes them and
// the reader that opens them again, so that the two cannot drift apart.
// Texts are UTF-8 here; the files hold Windows-1252 bytes.

#include <string>

#include "osc/OscTypes.h"

class TOscSignal;

// Member texts of the parameters file, indexed by the enumeration ordinals.
extern const char* const COscCouplingStr[3]; // "AC", "DC", "GND"
extern const char* const COscSlopeStr[2];    // "Rising", "Falling"
extern const char* const COscModeStr[3];     // "Normal", "Auto", "Once"
extern const char* const COscProbeStr[2];    // "X1", "X10"
extern const char* const COscStateStr[2];    // "Off", "On"

// "TimeScale": "500µs/div" (UTF-8), whatever the locale.
std::string OscTimeScaleStr(TOscTimeBase TimeBase);
// A channel's "Scale": "10V/div", "50mV/div" (probe factor applied), "None"
// for a channel switched off.
std::string OscScaleStr(TOscVoltsPerDivision VoltsPerDivision, TOscMultiplier Multiplier);

// The position P (a sample value) in volts for a "Level" member, counting 128
// sample steps as five divisions of Channel around the middle of the 8-bit
// range, probe factor included.
double OscLevelVolts(std::int64_t Position, const TOscSignal& Channel);
double OscLevelVolts(std::int64_t Position, TOscVoltsPerDivision VoltsPerDivision,
                     TOscMultiplier Multiplier);
// "-2.50V": always with a decimal point, so that the JSON reads the same anywhere.
std::string OscLevelToStr(std::int64_t Position, const TOscSignal& Channel);

// The files' code page. Characters Windows-1252 lacks and malformed UTF-8
// become '?'; the five unassigned bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D become
// U+FFFD.
std::string OscUtf8ToWindows1252(const std::string& Text);
std::string OscWindows1252ToUtf8(const std::string& Bytes);
// Appends one code point (up to U+10FFFF) as UTF-8.
void OscAppendUtf8(std::string& Text, char32_t CodePoint);
