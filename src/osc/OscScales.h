#pragma once

// How the model's enumerations and sample values map to physical units.
// A vertical division is 25 sample steps; the view shows 10 of them.

#include "osc/OscTypes.h"

constexpr int CSamplesPerVoltDivision = 25;

// Volts per division, indexed by TOscVoltsPerDivision ordinal.
extern const double COscVoltsPerDivision[13];
// Seconds per horizontal division, indexed by TOscTimeBase ordinal.
extern const double COscTimeBase[19];

// The tables read through a check of the ordinal: an ordinal outside its
// enumeration (one that bypassed the setters) gives NaN, a value that no
// readout shows, instead of a read past the table.
double OscVoltsPerDivisionOf(TOscVoltsPerDivision VoltsPerDivision);
double OscTimeBaseSeconds(TOscTimeBase TimeBase);

// Volts per division at the probe tip.
double OscVoltsPerDivisionVoltage(TOscVoltsPerDivision VoltsPerDivision, TOscMultiplier Multiplier);

// Samples per horizontal division: 10 at 1 us/div, 20 at 2 us/div, else 50.
int OscSamplesPerDivision(TOscTimeBase TimeBase);

// Seconds between two samples at the given time base.
double OscSamplePeriod(TOscTimeBase TimeBase);
// Samples per second at the given time base. Computed as samples per
// division over seconds per division, it is the whole number it should be
// (100000 at 500 us/div), where the reciprocal of the period is not.
double OscSampleFrequency(TOscTimeBase TimeBase);
