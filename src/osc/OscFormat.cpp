#include "osc/OscFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "osc/OscTypes.h"

namespace {

char GDecimalSeparator = '.';

// Every finite double has a finite decimal expansion: at most 1074 fractional
// digits and 309 integer digits.
constexpr int CMaxExactDecimals = 1100;
constexpr std::size_t CExactBufferSize = 1536;

// Number of fractional digits that print |Value| exactly (its lowest set bit
// is at most 2^(E-53) for Value = f * 2^E, 0.5 <= f < 1).
int ExactDecimals(double Magnitude) {
  int E = 0;
  std::frexp(Magnitude, &E);
  return std::clamp(53 - E, 0, CMaxExactDecimals);
}

// Adds one unit in the last place of a string of decimal digits.
void IncrementDigits(std::string& Digits) {
  for (std::size_t I = Digits.size(); I-- > 0;) {
    if (Digits[I] != '9') {
      ++Digits[I];
      return;
    }
    Digits[I] = '0';
  }
  Digits.insert(Digits.begin(), '1');
}

std::string ApplyUnit(const char* Fmt, double Value, const char* Unit) {
  if (Fmt == nullptr)
    throw EOscInvalidArgumentError(SArgumentNull);
  std::string Result;
  bool Converted = false;
  for (const char* P = Fmt; *P != '\0'; ++P) {
    if (*P != '%') {
      Result += *P;
      continue;
    }
    ++P;
    if (*P == '%') {
      Result += '%';
      continue;
    }
    int Decimals = 6;
    if (*P == '.') {
      Decimals = 0;
      ++P;
      while (*P >= '0' && *P <= '9' && Decimals < 100)
        Decimals = Decimals * 10 + (*P++ - '0');
    }
    if (*P != 'f' || Converted)
      throw EOscInvalidArgumentError("Invalid format \"" + std::string(Fmt) + "\"");
    Result += OscFloatToStr(Value, Decimals);
    Converted = true;
  }
  if (!Converted)
    throw EOscInvalidArgumentError("Invalid format \"" + std::string(Fmt) + "\"");
  return Result + Unit;
}

// Steps Value by thousands from plain units (index 3 of a six-prefix table,
// giga first) down while it is below 1 (its magnitude, or the signed value
// when SignedStepDown), up while its magnitude is 1000 or more, and returns
// the prefix index. The prefix is chosen before rounding: 999.999 V reads
// "1000.00V".
int ScaleToPrefix(double& Value, bool SignedStepDown) {
  int I = 3;
  while (I < 5 && (SignedStepDown ? Value : std::fabs(Value)) < 1) {
    Value *= 1000;
    ++I;
  }
  while (I > 0 && std::fabs(Value) >= 1000) {
    Value /= 1000;
    --I;
  }
  return I;
}

} // namespace

char OscDecimalSeparator() {
  return GDecimalSeparator;
}

void OscSetDecimalSeparator(char Separator) {
  GDecimalSeparator = Separator;
}

std::string OscFloatToStr(double Value, int Decimals, bool TrimZeros, char Separator) {
  if (std::isnan(Value))
    return "NAN";
  if (std::isinf(Value))
    return Value < 0 ? "-INF" : "INF";
  Decimals = std::clamp(Decimals, 0, CMaxExactDecimals - 1);

  // Print the exact expansion, then round it here: printf would round ties to
  // even and would follow the C library's locale.
  const double Magnitude = std::fabs(Value);
  const int Precision = std::max(ExactDecimals(Magnitude), Decimals + 1);
  char Buffer[CExactBufferSize];
  const auto Printed = std::to_chars(Buffer, Buffer + sizeof(Buffer), Magnitude,
                                     std::chars_format::fixed, Precision);
  const std::string_view Exact(Buffer, static_cast<std::size_t>(Printed.ptr - Buffer));
  const std::size_t Point = Exact.find('.');
  const std::string_view Whole = Exact.substr(0, Point);
  const std::string_view Fraction = Exact.substr(Point + 1);

  std::string Digits(Whole);
  Digits.append(Fraction.substr(0, static_cast<std::size_t>(Decimals)));
  if (Fraction[static_cast<std::size_t>(Decimals)] >= '5')
    IncrementDigits(Digits);

  std::size_t FractionLength = static_cast<std::size_t>(Decimals);
  if (TrimZeros)
    while (FractionLength > 0 && Digits.back() == '0') {
      Digits.pop_back();
      --FractionLength;
    }

  std::string Result;
  if (Value < 0 && Digits.find_first_not_of('0') != std::string::npos)
    Result += '-';
  Result.append(Digits, 0, Digits.size() - FractionLength);
  if (FractionLength > 0) {
    Result += Separator;
    Result.append(Digits, Digits.size() - FractionLength, FractionLength);
  }
  return Result;
}

std::string OscFloatToStr(double Value, int Decimals) {
  return OscFloatToStr(Value, Decimals, false, GDecimalSeparator);
}

int OscLimitValue(int MinValue, int Value, int MaxValue) {
  return std::min(MaxValue, std::max(MinValue, Value));
}

std::string OscVoltageToStrFormat(const char* Fmt, double Value) {
  static const char* const CUnitStr[] = {"GV", "MV", "kV", "V", "mV", "µV"};
  const int I = ScaleToPrefix(Value, false);
  return ApplyUnit(Fmt, Value, CUnitStr[I]);
}

std::string OscVoltageToStr(double Value) {
  return OscVoltageToStrFormat("%.2f", Value);
}

std::string OscFrequencyToStr(double Value) {
  static const char* const CUnitStr[] = {"GHz", "MHz", "kHz", "Hz", "mHz", "µHz"};
  const int I = ScaleToPrefix(Value, false);
  return OscFloatToStr(Value, 0, true, GDecimalSeparator) + CUnitStr[I];
}

std::string OscFrequencyToStrFormat(const char* Fmt, double Value) {
  static const char* const CUnitStr[] = {"GHz", "MHz", "kHz", "Hz", "mHz", "µHz"};
  const int I = ScaleToPrefix(Value, false);
  return ApplyUnit(Fmt, Value, CUnitStr[I]);
}

std::string OscVoltageSquaredToStrFormat(const char* Fmt, double Value) {
  static const char* const CUnitStr[] = {"GV²", "MV²", "kV²", "V²", "mV²", "µV²"};
  const int I = ScaleToPrefix(Value, false);
  return ApplyUnit(Fmt, Value, CUnitStr[I]);
}

std::string OscVoltageSquaredToStr(double Value) {
  return OscVoltageSquaredToStrFormat("%.2f", Value);
}

std::string OscPercentToStr(double Value) {
  return OscFloatToStr(Value, 1) + "%";
}

std::string OscTimeToStr(double Seconds) {
  static const char* const CUnitStr[] = {"s", "ms", "µs"};
  // Signed comparison: every negative time ends in microseconds.
  int I = 0;
  while (I < 2 && Seconds < 1) {
    Seconds *= 1000;
    ++I;
  }
  return OscFloatToStr(Seconds, 3, true, GDecimalSeparator) + CUnitStr[I];
}

std::string OscDecibelToStr(double Value) {
  return OscFloatToStr(Value, 1, true, GDecimalSeparator) + "dB";
}

std::string OscWattsToStr(double Value) {
  static const char* const CUnitStr[] = {"GW", "MW", "kW", "W", "mW", "µW"};
  // The signed value decides the step down: every negative power ends in µW.
  const int I = ScaleToPrefix(Value, true);
  return OscFloatToStr(Value, 1, true, GDecimalSeparator) + CUnitStr[I];
}
