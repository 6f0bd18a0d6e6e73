#pragma once

// The device model: time base, hold and auto-range flags, calibration state,
// trigger, battery and the channels. Concrete devices (the scope driver and the
// demo device) derive from TOscDevice and create their channels.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "osc/OscObserver.h"
#include "osc/OscSignal.h"
#include "osc/OscTypes.h"

class TOscDevice;

class TOscTrigger {
public:
  explicit TOscTrigger(TOscDevice* AOwner) : FOwner(AOwner) {}
  virtual ~TOscTrigger() = default;

  int Level() const { return FLevel; }
  void SetLevel(int Value);
  TOscTriggerMode Mode() const { return FMode; }
  void SetMode(TOscTriggerMode Value);
  TOscTriggerSlope Slope() const { return FSlope; }
  void SetSlope(TOscTriggerSlope Value);
  int Channel() const { return FChannel; }
  void SetChannel(int Value);
  // Plain fields: changing the limits has no side effect.
  int MinLevel() const { return FMinLevel; }
  void SetMinLevel(int Value) { FMinLevel = Value; }
  int MaxLevel() const { return FMaxLevel; }
  void SetMaxLevel(int Value) { FMaxLevel = Value; }

  // Copies level, mode, slope and channel, in that order, through the setters;
  // this trigger's own limits apply.
  void Apply(const TOscTrigger& Trigger);

protected:
  virtual void DoChange();

private:
  TOscDevice* FOwner;
  int FLevel = 128;
  int FMinLevel = 3;
  int FMaxLevel = 252;
  TOscTriggerMode FMode = tmRun;
  TOscTriggerSlope FSlope = teRisingSlope;
  int FChannel = 0;
};

class TOscBattery {
public:
  explicit TOscBattery(TOscDevice* AOwner) : FOwner(AOwner) {}

  TOscDevice* Owner() const { return FOwner; }
  TOscBatteryState State() const { return FState; }
  void SetState(TOscBatteryState AState);

private:
  TOscDevice* FOwner;
  TOscBatteryState FState = batteryLow;
};

class TOscDevice {
public:
  using TNotifyEvent = std::function<void(TOscDevice* Sender)>;

  TOscDevice();
  virtual ~TOscDevice();
  TOscDevice(const TOscDevice&) = delete;
  TOscDevice& operator=(const TOscDevice&) = delete;

  const TOscSignals& Signals() const { return *FSignals; }
  TOscSignals& Signals() { return *FSignals; }
  bool HasSignals() const { return FSignals != nullptr; }
  const TOscBattery& Battery() const { return FBattery; }
  TOscBattery& Battery() { return FBattery; }
  const TOscTrigger& Trigger() const { return *FTrigger; }
  TOscTrigger& Trigger() { return *FTrigger; }
  void SetTrigger(const TOscTrigger& Value) { FTrigger->Apply(Value); }

  bool Hold() const { return FHold; }
  void SetHold(bool Value);
  bool AutoRange() const { return FAutoRange; }
  void SetAutoRange(bool Value);
  TOscTimeBase TimeBase() const { return FTimeBase; }
  void SetTimeBase(TOscTimeBase Value);
  bool Calibrating() const { return FCalibrating; }
  void SetCalibrating(bool Value);
  int SampleMin() const { return FSampleMin; }
  int SampleMax() const { return FSampleMax; }

  // Seconds between two samples (a period, despite the name).
  double SampleRate() const;

  // Measurements (all channels' readouts refreshed in index order).
  double dBgain() const;
  // The devices call it once per complete capture; after the readouts it
  // advances Captures and calls OnCapture, so that whatever is computed from
  // a whole capture (the math channel, the spectrum) runs once per capture
  // and not per block.
  void UpdateMeasurements();
  std::uint64_t Captures() const { return FCaptures; }

  // Export of the current capture and settings.
  void SaveToStream(std::ostream& Stream) const;
  void SaveToFile(const std::string& FileName) const;
  void SaveParametersToFile(const std::string& FileName) const;
  std::string ChannelToJson(int Idx) const;

  void ClearSignals();

  void RegisterObserver(TOscDeviceObserver* Observer) { FObservers.Register(Observer); }
  void UnregisterObserver(TOscDeviceObserver* Observer) { FObservers.Unregister(Observer); }
  void NotifyObservers(TOscDeviceProperties Changes) { FObservers.Notify(this, Changes); }
  // Observers' OnFree runs first thing in the destructor (the free
  // notification), while the device and its channels are still whole.

  // Batching is offered for symmetry with the channels; the system itself
  // never opens a batch on the device.
  void BeginUpdate();
  void EndUpdate();

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }
  const TNotifyEvent& OnCapture() const { return FOnCapture; }
  void SetOnCapture(TNotifyEvent Value) { FOnCapture = std::move(Value); }
  const TNotifyEvent& OnCalibrate() const { return FOnCalibrate; }
  void SetOnCalibrate(TNotifyEvent Value) { FOnCalibrate = std::move(Value); }
  const TNotifyEvent& OnCalibrated() const { return FOnCalibrated; }
  void SetOnCalibrated(TNotifyEvent Value) { FOnCalibrated = std::move(Value); }

  virtual void DoChange(TOscDeviceProperties Changes);
  virtual void Calibrate() {}
  virtual void TransmitSettings() {}

protected:
  void CreateSignals(int ACount);
  void DestroySignals();

private:
  void SignalChanged(TOscSignal* Sender, TOscDeviceProperties Changes);
  void CallChange() {
    if (FOnChange)
      FOnChange(this);
  }

  // Declared first so that it is destroyed last.
  TOscObserverList<TOscDevice> FObservers;
  TOscBattery FBattery{this};
  TOscUpdateBatch FBatch;
  std::unique_ptr<TOscTrigger> FTrigger;
  bool FHold = false;
  bool FAutoRange = false;
  bool FCalibrating = false;
  TOscTimeBase FTimeBase = tb500us;
  std::unique_ptr<TOscSignals> FSignals;
  std::unique_ptr<TOscSignalObserver> FSignalObserver;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnCapture;
  TNotifyEvent FOnCalibrate;
  TNotifyEvent FOnCalibrated;
  std::uint64_t FCaptures = 0;
  int FSampleMin = 3;
  int FSampleMax = 252;
};
