#pragma once

// The model's enumerations, change sets and exceptions. The ordinals of the
// enumerations travel as bytes in the scope's settings frames, so they must
// never be renumbered.

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

enum TOscInputCoupling : std::uint8_t { inAC, inDC, inGND };

enum TOscVoltsPerDivision : std::uint8_t {
  vdivNone,
  vdiv20V,
  vdiv10V,
  vdiv4V,
  vdiv2V,
  vdiv1V,
  vdiv500mV,
  vdiv200mV,
  vdiv100mV,
  vdiv50mV,
  vdiv25mV,
  vdiv10mV,
  vdiv5mV
};

enum TOscTimeBase : std::uint8_t {
  tb1us,
  tb2us,
  tb5us,
  tb10us,
  tb20us,
  tb50us,
  tb100us,
  tb200us,
  tb500us,
  tb1ms,
  tb2ms,
  tb5ms,
  tb10ms,
  tb20ms,
  tb50ms,
  tb100ms,
  tb200ms,
  tb500ms,
  tb1s
};

enum TOscMultiplier : std::uint8_t { multX1, multX10 };
enum TOscTriggerMode : std::uint8_t { tmNormal, tmRun, tmOnce };
enum TOscTriggerSlope : std::uint8_t { teRisingSlope, teFallingSlope };
enum TOscBatteryState : std::uint8_t { batteryLow, batteryCharging, batteryFull };

enum TOscDeviceProperty : std::uint8_t {
  propMultiplier,
  propSignal,
  propTimeBase,
  propVdiv,
  propCoupling,
  propTrigger,
  propBattery,
  propWifiSettings
};

// Number of members of each enumeration. A byte received from the scope can
// hold any value 0..255; the model's setters refuse ordinals at or above these
// counts (keeping the current value), so no table look-up anywhere can go out
// of range.
constexpr int OscOrdinalCount(TOscInputCoupling) {
  return 3;
}
constexpr int OscOrdinalCount(TOscVoltsPerDivision) {
  return 13;
}
constexpr int OscOrdinalCount(TOscTimeBase) {
  return 19;
}
constexpr int OscOrdinalCount(TOscMultiplier) {
  return 2;
}
constexpr int OscOrdinalCount(TOscTriggerMode) {
  return 3;
}
constexpr int OscOrdinalCount(TOscTriggerSlope) {
  return 2;
}
constexpr int OscOrdinalCount(TOscBatteryState) {
  return 3;
}
constexpr int OscOrdinalCount(TOscDeviceProperty) {
  return 8;
}

template <class E> constexpr bool OscIsValidOrdinal(E Value) {
  return static_cast<int>(Value) >= 0 && static_cast<int>(Value) < OscOrdinalCount(E{});
}

// A set of TOscDeviceProperty held in 8 bits: member n is bit n.
class TOscDeviceProperties {
public:
  constexpr TOscDeviceProperties() = default;
  constexpr TOscDeviceProperties(std::initializer_list<TOscDeviceProperty> Members) {
    for (TOscDeviceProperty P : Members)
      FBits = static_cast<std::uint8_t>(FBits | Bit(P));
  }
  static constexpr TOscDeviceProperties FromBits(std::uint8_t Bits) {
    TOscDeviceProperties S;
    S.FBits = Bits;
    return S;
  }

  constexpr std::uint8_t Bits() const { return FBits; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr bool Contains(TOscDeviceProperty P) const { return (FBits & Bit(P)) != 0; }
  constexpr bool ContainsAny(TOscDeviceProperties Other) const {
    return (FBits & Other.FBits) != 0;
  }

  constexpr TOscDeviceProperties& operator+=(TOscDeviceProperties Other) {
    FBits = static_cast<std::uint8_t>(FBits | Other.FBits);
    return *this;
  }
  friend constexpr TOscDeviceProperties operator+(TOscDeviceProperties A, TOscDeviceProperties B) {
    return A += B;
  }
  friend constexpr bool operator==(TOscDeviceProperties A, TOscDeviceProperties B) {
    return A.FBits == B.FBits;
  }
  friend constexpr bool operator!=(TOscDeviceProperties A, TOscDeviceProperties B) {
    return A.FBits != B.FBits;
  }

private:
  static constexpr std::uint8_t Bit(TOscDeviceProperty P) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(P));
  }
  std::uint8_t FBits = 0;
};

using TOscSample = std::int32_t;
using TOscVoltage = double;

constexpr int CSampleCount = 4096;

// User-visible message texts of the model.
inline constexpr const char* SIndexOutOfRange = "Index out of range";
inline constexpr const char* SArgumentNull = "Argument cannot be null";
inline constexpr const char* SBufferSizeNegative = "Buffer size must be >= 0";

class EOscError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
class EOscOutOfRangeError : public EOscError {
public:
  using EOscError::EOscError;
};
class EOscInvalidArgumentError : public EOscError {
public:
  using EOscError::EOscError;
};
class EOscBufferOverflowError : public EOscError {
public:
  using EOscError::EOscError;
};
