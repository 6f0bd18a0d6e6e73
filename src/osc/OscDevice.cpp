#include "osc/OscDevice.h"

#include <vector>

#include "osc/OscMeasurement.h"
#include "osc/OscScales.h"
#include "osc/OscTiming.h"

void TOscTrigger::SetLevel(int Value) {
  // Raised to the minimum first, then lowered to the maximum, so crossed
  // limits give the maximum.
  if (Value < FMinLevel)
    Value = FMinLevel;
  if (Value > FMaxLevel)
    Value = FMaxLevel;
  if (Value == FLevel)
    return;
  FLevel = Value;
  DoChange();
}

void TOscTrigger::SetMode(TOscTriggerMode Value) {
  if (!OscIsValidOrdinal(Value) || Value == FMode)
    return;
  FMode = Value;
  if (Value == tmNormal || Value == tmOnce)
    FOwner->SetAutoRange(false);
  DoChange();
}

void TOscTrigger::SetSlope(TOscTriggerSlope Value) {
  if (!OscIsValidOrdinal(Value) || Value == FSlope)
    return;
  FSlope = Value;
  DoChange();
}

void TOscTrigger::SetChannel(int Value) {
  // Like an ordinal outside its enumeration, an index of no channel is refused,
  // so that no look-up through the trigger channel can fail later.
  const int Channels = FOwner->HasSignals() ? FOwner->Signals().Count() : 2;
  if (Value < 0 || Value >= Channels || Value == FChannel)
    return;
  FChannel = Value;
  DoChange();
}

void TOscTrigger::Apply(const TOscTrigger& Trigger) {
  SetLevel(Trigger.Level());
  SetMode(Trigger.Mode());
  SetSlope(Trigger.Slope());
  SetChannel(Trigger.Channel());
}

void TOscTrigger::DoChange() {
  FOwner->DoChange({propTrigger});
}

void TOscBattery::SetState(TOscBatteryState AState) {
  if (!OscIsValidOrdinal(AState) || AState == FState)
    return;
  FState = AState;
  FOwner->DoChange({propBattery});
}

TOscDevice::TOscDevice()
    : FTrigger(std::make_unique<TOscTrigger>(this)),
      FSignalObserver(std::make_unique<TOscSignalObserver>(
          [this](TOscSignal* Sender, TOscDeviceProperties Changes) {
            SignalChanged(Sender, Changes);
          })) {}

TOscDevice::~TOscDevice() {
  FObservers.NotifyFree(this);
  // Then the channels, so that the channels' own notifications while they are destroyed
  // reach no device.
  DestroySignals();
}

void TOscDevice::CreateSignals(int ACount) {
  FSignals = std::make_unique<TOscSignals>(this);
  for (int I = 0; I < ACount; ++I)
    FSignals->Add(CSampleCount)->RegisterObserver(FSignalObserver.get());
}

void TOscDevice::DestroySignals() {
  if (!FSignals)
    return;
  for (int I = 0; I < FSignals->Count(); ++I)
    FSignals->Signal(I).UnregisterObserver(FSignalObserver.get());
  FSignals.reset();
}

void TOscDevice::ClearSignals() {
  if (!FSignals)
    return;
  for (int I = 0; I < FSignals->Count(); ++I)
    FSignals->Signal(I).Clear();
}

double TOscDevice::dBgain() const {
  if (!HasSignals() || Signals().Count() < 2)
    throw EOscOutOfRangeError(SIndexOutOfRange);
  return Signals()[1].dBm() - Signals()[0].dBm();
}

void TOscDevice::UpdateMeasurements() {
  if (!HasSignals())
    return;
  // One pass per channel serves every readout, the gain included.
  const int Count = Signals().Count();
  std::vector<TOscSignalValues> Values;
  Values.reserve(static_cast<std::size_t>(Count));
  for (int I = 0; I < Count; ++I)
    Values.push_back(Signals()[I].Values());
  const TOscSignalValues* First = Count >= 2 ? &Values[0] : nullptr;
  const TOscSignalValues* Second = Count >= 2 ? &Values[1] : nullptr;
  for (int I = 0; I < Count; ++I) {
    TOscSignal& Signal = Signals()[I];
    // The timing costs a pass of its own; only a timing kind pays for it.
    TOscTiming Timing;
    if (OscIsTimingType(Signal.Measurement().ValueType()))
      Timing = Signal.Timing();
    Signal.Measurement().Update(Values[static_cast<std::size_t>(I)], First, Second, &Timing);
  }
  ++FCaptures;
  if (FOnCapture)
    FOnCapture(this);
}

void TOscDevice::SignalChanged(TOscSignal*, TOscDeviceProperties Changes) {
  DoChange(Changes);
}

void TOscDevice::SetHold(bool Value) {
  if (Value == FHold)
    return;
  FHold = Value;
  DoChange({});
}

void TOscDevice::SetAutoRange(bool Value) {
  if (Value == FAutoRange)
    return;
  FAutoRange = Value;
  DoChange({});
}

void TOscDevice::SetTimeBase(TOscTimeBase Value) {
  if (!OscIsValidOrdinal(Value) || Value == FTimeBase)
    return;
  FTimeBase = Value;
  FAutoRange = false; // silently: the time-base notification follows
  DoChange({propTimeBase});
}

void TOscDevice::SetCalibrating(bool Value) {
  if (Value == FCalibrating)
    return;
  FCalibrating = Value;
  DoChange({});
  if (Value) {
    if (FOnCalibrate)
      FOnCalibrate(this);
  } else if (FOnCalibrated) {
    FOnCalibrated(this);
  }
}

double TOscDevice::SampleRate() const {
  return OscSamplePeriod(FTimeBase);
}

void TOscDevice::BeginUpdate() {
  FBatch.Begin();
}

void TOscDevice::EndUpdate() {
  TOscDeviceProperties Changes;
  if (FBatch.End(Changes))
    DoChange(Changes);
}

void TOscDevice::DoChange(TOscDeviceProperties Changes) {
  if (FBatch.Gather(Changes))
    return;
  if (Changes.ContainsAny({propTimeBase, propVdiv, propTrigger, propCoupling}))
    ClearSignals();
  NotifyObservers(Changes);
  CallChange();
}
