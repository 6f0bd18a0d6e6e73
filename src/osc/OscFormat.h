#pragma once

// Short texts of measured quantities: a number with an SI prefix and a unit
// glued to it ("500.00mV", "2kHz", "250µs", "12.5mW", "25.2dB"). Results are
// UTF-8; the export turns them into Windows-1252 bytes.

#include <string>

// Clamps Value to MinValue..MaxValue; crossed limits give MaxValue.
int OscLimitValue(int MinValue, int Value, int MaxValue);

// Fmt is "%.2f" or "%.0f" (a fixed format with one floating argument).
std::string OscVoltageToStrFormat(const char* Fmt, double Value);
std::string OscVoltageToStr(double Value);
std::string OscFrequencyToStr(double Value);
std::string OscTimeToStr(double Seconds);
std::string OscDecibelToStr(double Value);
std::string OscWattsToStr(double Value);

// The decimal separator of the user's regional settings. The program sets it
// once at start; tests set it to check other locales.
char OscDecimalSeparator();
void OscSetDecimalSeparator(char Separator);
