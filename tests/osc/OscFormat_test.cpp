#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "osc/OscFormat.h"
#include "osc/OscScales.h"
#include "osc/OscTypes.h"

namespace {

struct TFormatCase {
  const char* Name;
  std::function<std::string(double)> Format;
  double Value;
  const char* Expected;
};

const auto Voltage = [](double V) { return OscVoltageToStr(V); };
const auto VoltageWhole = [](double V) { return OscVoltageToStrFormat("%.0f", V); };
const auto Frequency = [](double V) { return OscFrequencyToStr(V); };
const auto Frequency2 = [](double V) { return OscFrequencyToStrFormat("%.2f", V); };
const auto Squared = [](double V) { return OscVoltageSquaredToStr(V); };
const auto Percent = [](double V) { return OscPercentToStr(V); };
const auto Time = [](double V) { return OscTimeToStr(V); };
const auto Decibel = [](double V) { return OscDecibelToStr(V); };
const auto Watts = [](double V) { return OscWattsToStr(V); };
const auto Fixed2 = [](double V) { return OscFloatToStr(V, 2); };
const auto Fixed0 = [](double V) { return OscFloatToStr(V, 0); };

// Restores the decimal point even when a test fails half-way.
class FormatTest : public ::testing::Test {
protected:
  ~FormatTest() override { OscSetDecimalSeparator('.'); }

  static void Check(const std::vector<TFormatCase>& Cases) {
    for (const TFormatCase& C : Cases) {
      SCOPED_TRACE(std::string(C.Name) + " of " + std::to_string(C.Value));
      EXPECT_EQ(C.Format(C.Value), C.Expected);
    }
  }
};

TEST_F(FormatTest, ScalesToPrefixAndRoundsWithUnit) {
  Check({
      {"voltage", Voltage, 0, "0.00µV"},
      {"voltage", Voltage, 1000, "1.00kV"},
      {"voltage", Voltage, -0.25, "-250.00mV"},
      {"voltage", Voltage, 2040, "2.04kV"},
      {"voltage", Voltage, 0.5, "500.00mV"},
      {"voltage", Voltage, 999.999, "1000.00V"},
      {"voltage", Voltage, 0.999999, "1000.00mV"},
      {"voltage", Voltage, 0.15e-6, "0.15µV"},
      {"voltage", Voltage, 2.5e12, "2500.00GV"},
      {"voltage", Voltage, -1e-9, "0.00µV"},
      {"voltage %.0f", VoltageWhole, 0.025, "25mV"},
      {"voltage %.0f", VoltageWhole, 0.05, "50mV"},
      {"voltage %.0f", VoltageWhole, 200, "200V"},
      {"frequency", Frequency, 0.5, "500mHz"},
      {"frequency", Frequency, 1500, "2kHz"},
      {"frequency", Frequency, 999.6, "1000Hz"},
      {"frequency", Frequency, 2.5e6, "3MHz"},
      {"frequency %.2f", Frequency2, 1000, "1.00kHz"},
      {"frequency %.2f", Frequency2, 999.996, "1000.00Hz"},
      {"frequency %.2f", Frequency2, 24.4140625, "24.41Hz"},
      {"V²", Squared, 0.5, "500.00mV²"},
      {"V²", Squared, -2500, "-2.50kV²"},
      {"percent", Percent, 25, "25.0%"},
      {"percent", Percent, 33.35, "33.4%"},
      {"time", Time, 0.0005, "500µs"},
      {"time", Time, 0.0000001, "0.1µs"},
      {"time", Time, 2.5, "2.5s"},
      {"time", Time, 0, "0µs"},
      {"time", Time, 3600, "3600s"},
      {"time", Time, -0.001, "-1000µs"},
      {"time", Time, 0.00025, "250µs"},
      {"time", Time, 0.0123456, "12.346ms"},
      {"decibel", Decibel, 25.22, "25.2dB"},
      {"decibel", Decibel, 6.02, "6dB"},
      {"decibel", Decibel, -3, "-3dB"},
      {"decibel", Decibel, -0.04, "0dB"},
      {"decibel", Decibel, -0.25, "-0.3dB"},
      {"watts", Watts, 12.5, "12.5W"},
      {"watts", Watts, 0.0125, "12.5mW"},
      {"watts", Watts, 0, "0µW"},
      {"watts", Watts, 2500, "2.5kW"},
      {"watts", Watts, 999.96, "1000W"},
  });
}

TEST_F(FormatTest, EveryTimeBaseReadsAsWholeNumber) {
  const char* const Expected[] = {"1µs",   "2µs",   "5µs",   "10µs",  "20µs", "50µs", "100µs",
                                  "200µs", "500µs", "1ms",   "2ms",   "5ms",  "10ms", "20ms",
                                  "50ms",  "100ms", "200ms", "500ms", "1s"};
  for (int I = 0; I < OscOrdinalCount(TOscTimeBase{}); ++I) {
    SCOPED_TRACE(I);
    EXPECT_EQ(OscTimeToStr(COscTimeBase[I]), Expected[I]);
  }
}

// Rounding works on the exact binary value: 0.125 is exact and rounds up,
// 2.675 is really 2.67499999... and rounds down.
TEST_F(FormatTest, RoundsHalfAwayFromZeroOnExactValue) {
  const double Denormal = std::numeric_limits<double>::denorm_min();
  Check({
      {"fixed 2", Fixed2, 0.125, "0.13"},
      {"fixed 2", Fixed2, -0.125, "-0.13"},
      {"fixed 2", Fixed2, std::nextafter(0.125, 0.0), "0.12"},
      {"fixed 2", Fixed2, std::nextafter(-0.125, 0.0), "-0.12"},
      {"fixed 2", Fixed2, 2.675, "2.67"},
      {"fixed 2", Fixed2, 1.005, "1.00"},
      {"fixed 2", Fixed2, 9.995, "9.99"},
      {"fixed 2", Fixed2, 9.9951, "10.00"},
      {"fixed 2", Fixed2, -99.999, "-100.00"},
      {"fixed 2", Fixed2, -0.004999, "0.00"},
      {"fixed 2", Fixed2, -0.005, "-0.01"},
      {"fixed 2", Fixed2, -0.0, "0.00"},
      {"fixed 2", Fixed2, Denormal, "0.00"},
      {"fixed 2", Fixed2, -Denormal, "0.00"},
      {"fixed 2", Fixed2, 1e20, "100000000000000000000.00"},
      {"fixed 2", Fixed2, 123456789.015625, "123456789.02"},
      {"fixed 0", Fixed0, 0.5, "1"},
      {"fixed 0", Fixed0, 2.5, "3"},
      {"fixed 0", Fixed0, -2.5, "-3"},
      {"fixed 0", Fixed0, -0.4999, "0"},
      {"fixed 0", Fixed0, 999.5, "1000"},
      {"fixed 0", Fixed0, std::numeric_limits<double>::max(),
       "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589"
       "558632766878171540458953514382464234321326889464182768467546703537516986049910576551282"
       "076245490090389328944075868508455133942304583236903222948165808559332123348274797826204"
       "144723168738177180919299881250404026184124858368"},
      {"fixed 2", Fixed2, std::numeric_limits<double>::infinity(), "INF"},
      {"fixed 2", Fixed2, -std::numeric_limits<double>::infinity(), "-INF"},
      {"fixed 2", Fixed2, std::nan(""), "NAN"},
  });
}

TEST_F(FormatTest, UsesDecimalSeparatorOfLocale) {
  OscSetDecimalSeparator(',');
  Check({
      {"voltage", Voltage, 1.5, "1,50V"},
      {"voltage", Voltage, -1234.5, "-1,23kV"},
      {"time", Time, 2.5, "2,5s"},
      {"decibel", Decibel, 25.22, "25,2dB"},
      {"watts", Watts, 0.0125, "12,5mW"},
      {"whole", VoltageWhole, 1.5, "2V"},
      {"frequency %.2f", Frequency2, 1250, "1,25kHz"},
      {"percent", Percent, 25, "25,0%"},
  });
  EXPECT_EQ(OscFloatToStr(1.5, 2, false, '.'), "1.50");
  OscSetDecimalSeparator('.');
  EXPECT_EQ(OscVoltageToStr(1.5), "1.50V");
}

TEST_F(FormatTest, FormatCopiesLiteralTextAndRefusesOtherConversions) {
  EXPECT_EQ(OscVoltageToStrFormat("~%.1f%%", 0.0123), "~12.3%mV");
  EXPECT_EQ(OscVoltageToStrFormat("%f", 1), "1.000000V");
  for (const char* Bad : {"%d", "%.2e", "none", "%.2f%.2f", "%"}) {
    SCOPED_TRACE(Bad);
    EXPECT_THROW(OscVoltageToStrFormat(Bad, 1), EOscInvalidArgumentError);
  }
  EXPECT_THROW(OscVoltageToStrFormat(nullptr, 1), EOscInvalidArgumentError);
}

TEST(LimitValueTest, ClampsAndCrossedLimitsGiveMax) {
  struct {
    int Min, Value, Max, Expected;
  } const Cases[] = {{3, 300, 252, 252}, {3, -5, 252, 3}, {3, 100, 252, 100}, {3, 3, 252, 3},
                     {3, 252, 252, 252}, {10, 5, 0, 0},   {10, 20, 0, 0}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Min) + " " + std::to_string(C.Value) + " " +
                 std::to_string(C.Max));
    EXPECT_EQ(OscLimitValue(C.Min, C.Value, C.Max), C.Expected);
  }
}

} // namespace
