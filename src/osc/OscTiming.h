#pragma once

// Timing of a repetitive signal: frequency, period, duty cycle, pulse widths
// and edge times, from the signal's crossings of its mid-level.

#include <limits>

// Every value is NaN when the signal does not show it (too few crossings, a
// flat signal, no sample period).
struct TOscTiming {
  static constexpr double CNone = std::numeric_limits<double>::quiet_NaN();
  double Frequency = CNone; // hertz
  double Period = CNone;    // seconds
  double Duty = CNone;      // percent of the period spent above the mid-level
  double PosWidth = CNone;  // seconds above the mid-level, from a rising to a falling crossing
  double NegWidth = CNone;  // seconds below it, from a falling to a rising crossing
  double Rise = CNone;      // seconds from 10 % to 90 % of the way from the low to the high level
  double Fall = CNone;      // seconds from 90 % down to 10 %
};

// Hysteresis of the mid-level crossings, in sample steps: noise on a slow
// edge that wanders this far back across the mid-level does not count as a
// new crossing. It is also the least swing (twice it, in fact) of a signal
// that counts as not flat.
constexpr double CTimingHysteresisSteps = 3;

// Levels: Count values of one signal in any unit in which a larger value is
// a higher voltage (volts, or sample steps above the zero line); Hysteresis in
// the same unit; SamplePeriod in seconds between two values.
//
// The low and high levels are the lowest and highest value. A crossing counts
// when the signal goes from at or below mid - Hysteresis to at or above
// mid + Hysteresis (rising) or back (falling); its time is where the signal
// last passed the mid-level before that, interpolated between two values.
// Period averages all whole cycles between the first and the last crossing of
// the direction seen more often; widths average all their pulses; an edge
// time averages the edges whose 10 % and 90 % points both lie between their
// neighbouring crossings.
TOscTiming OscTimingOf(const double* Levels, int Count, double Hysteresis, double SamplePeriod);
