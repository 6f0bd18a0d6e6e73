#include "osc/OscScales.h"

#include <limits>

const double COscVoltsPerDivision[13] = {0,   20,  10,   4,     2,    1,    0.5,
                                         0.2, 0.1, 0.05, 0.025, 0.01, 0.005};

const double COscTimeBase[19] = {1e-6,  2e-6,  5e-6, 1e-5, 2e-5, 5e-5, 1e-4, 2e-4, 5e-4, 0.001,
                                 0.002, 0.005, 0.01, 0.02, 0.05, 0.1,  0.2,  0.5,  1};

double OscVoltsPerDivisionOf(TOscVoltsPerDivision VoltsPerDivision) {
  return OscIsValidOrdinal(VoltsPerDivision) ? COscVoltsPerDivision[VoltsPerDivision]
                                             : std::numeric_limits<double>::quiet_NaN();
}

double OscTimeBaseSeconds(TOscTimeBase TimeBase) {
  return OscIsValidOrdinal(TimeBase) ? COscTimeBase[TimeBase]
                                     : std::numeric_limits<double>::quiet_NaN();
}

double OscVoltsPerDivisionVoltage(TOscVoltsPerDivision VoltsPerDivision,
                                  TOscMultiplier Multiplier) {
  const double V = OscVoltsPerDivisionOf(VoltsPerDivision);
  return Multiplier == multX10 ? V * 10 : V;
}

int OscSamplesPerDivision(TOscTimeBase TimeBase) {
  switch (TimeBase) {
  case tb1us:
    return 10;
  case tb2us:
    return 20;
  default:
    return 50;
  }
}

double OscSamplePeriod(TOscTimeBase TimeBase) {
  return OscTimeBaseSeconds(TimeBase) / OscSamplesPerDivision(TimeBase);
}

double OscSampleFrequency(TOscTimeBase TimeBase) {
  return OscSamplesPerDivision(TimeBase) / OscTimeBaseSeconds(TimeBase);
}
