#pragma once

// The texts of the marker readouts: the voltage between the two horizontal
// markers in a channel's volts, and the time between the two vertical markers
// with its frequency.

#include <QString>

class TOscDevice;
class TOscSignal;

// Distance sample steps in Signal's volts, e.g. "1.00V".
QString MarkerVoltageText(int Distance, const TOscSignal& Signal);

// Distance samples as time at Device's sample rate, with the frequency of that
// period: "1ms (1kHz)", or "0µs (-)" for no distance.
QString TimeSpanText(int Distance, const TOscDevice& Device);
