#pragma once

// Short texts of measured quantities: a number with an SI prefix and a unit
// glued to it ("500.00mV", "2kHz", "250µs", "12.5mW", "25.2dB"). Results are
// UTF-8; the export turns them into Windows-1252 bytes.
//
// Numbers are rounded half away from zero on the exact decimal value of the
// double, carry no thousands separator, and a value that rounds to zero has no
// sign. None of this depends on the C library's locale.

#include <string>

// Clamps Value to MinValue..MaxValue; crossed limits give MaxValue.
int OscLimitValue(int MinValue, int Value, int MaxValue);

// Fmt is "%.2f" or "%.0f" (a fixed format with one floating argument); text
// around the conversion is copied and "%%" gives "%". Any other conversion
// raises EOscInvalidArgumentError.
std::string OscVoltageToStrFormat(const char* Fmt, double Value);
std::string OscVoltageToStr(double Value);
std::string OscFrequencyToStr(double Value);
// As OscFrequencyToStr, with the number formatted with Fmt as
// OscVoltageToStrFormat does ("%.2f" gives "1.00kHz").
std::string OscFrequencyToStrFormat(const char* Fmt, double Value);
// Values in V² (a product of two voltages), scaled like voltages: the prefix
// scales the whole unit, as scopes label their product traces, so "500.00mV²"
// is 0.5 V².
std::string OscVoltageSquaredToStrFormat(const char* Fmt, double Value);
std::string OscVoltageSquaredToStr(double Value);
// A percentage with one decimal: "25.0%".
std::string OscPercentToStr(double Value);
std::string OscTimeToStr(double Seconds);
std::string OscDecibelToStr(double Value);
std::string OscWattsToStr(double Value);

// The decimal separator of the user's regional settings. The program sets it
// once at start; tests set it to check other locales.
char OscDecimalSeparator();
void OscSetDecimalSeparator(char Separator);

// Value with exactly Decimals decimals ("%.*f"), or with at most Decimals and
// trailing zeros dropped when TrimZeros (the pictures "0", "0.#", "0.###").
// Infinite and not-a-number values give "INF", "-INF" and "NAN".
std::string OscFloatToStr(double Value, int Decimals, bool TrimZeros, char Separator);
std::string OscFloatToStr(double Value, int Decimals);
