#pragma once

// One channel of the device model and the list that owns the channels.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "osc/OscObserver.h"
#include "osc/OscTypes.h"

class TOscDevice;
class TOscMeasurement;
struct TOscTiming;

// What the measurements of one channel need, gathered in one pass over its
// whole buffer (NaN values for an empty buffer).
struct TOscSignalValues {
  double Vdc = 0;
  double Vmin = 0;
  double Vmax = 0;
  double Vrms = 0;
  double Vtrms = 0;
  bool OverTuned = false;
};

class TOscSignal {
public:
  using TNotifyEvent = std::function<void(TOscSignal* Sender)>;

  TOscSignal(TOscDevice* ADevice, int ACount);
  virtual ~TOscSignal();
  TOscSignal(const TOscSignal&) = delete;
  TOscSignal& operator=(const TOscSignal&) = delete;

  TOscDevice* Owner() const { return FDevice; }
  const TOscMeasurement& Measurement() const { return *FMeasurement; }
  TOscMeasurement& Measurement() { return *FMeasurement; }

  int Fill() const { return FFill; }
  int Count() const { return FCount; }
  void SetCount(int Value) { SetSize(Value); }
  void SetSize(int Value);

  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }

  TOscInputCoupling Coupling() const { return FCoupling; }
  void SetCoupling(TOscInputCoupling Value);
  TOscVoltsPerDivision VoltsPerDivision() const { return FVoltsPerDivision; }
  void SetVoltsPerDivision(TOscVoltsPerDivision Value);
  int YPosition() const { return FYPosition; }
  void SetYPosition(int Value) { FYPosition = Value; } // never notifies
  TOscMultiplier Multiplier() const { return FMultiplier; }
  void SetMultiplier(TOscMultiplier Value);

  // One range check, no notification: called once per sample per block.
  TOscSample GetSample(int Idx) const {
    CheckIndex(Idx);
    return FSamples[static_cast<std::size_t>(Idx)];
  }
  void SetSample(int Idx, TOscSample Value) {
    CheckIndex(Idx);
    if (FFill < Idx + 1)
      FFill = Idx + 1;
    FSamples[static_cast<std::size_t>(Idx)] = Value;
    ++FGeneration;
  }
  // The whole buffer, Count() samples, for passes that read every sample.
  const TOscSample* Samples() const { return FSamples.data(); }
  // Samples From .. From+Length-1 for writers of whole blocks: one range check
  // for the block, Fill raised as SetSample would raise it, no notification.
  TOscSample* SampleBlock(int From, int Length) {
    // In 64 bits: a huge Length must not wrap From + Length - 1 into range.
    CheckIndex(From);
    if (Length < 1 || std::int64_t{From} + Length > FCount)
      throw EOscOutOfRangeError(SIndexOutOfRange);
    if (FFill < From + Length)
      FFill = From + Length;
    ++FGeneration;
    return FSamples.data() + From;
  }
  void Clear();
  // Advanced by every write of samples (one sample, a block, clearing,
  // resizing): whoever shows the samples compares it to know they changed.
  std::uint64_t Generation() const { return FGeneration; }

  // Scales.
  double VoltsPerSample() const;
  double SamplesPerVolt() const;
  double Voltage(double Sample) const;
  double GetSampleVoltage(int Idx) const;
  bool IsOverTuned() const;

  // Measurements over the whole buffer. Each function makes a pass of its
  // own; Values() gives all of them from one pass.
  TOscSignalValues Values() const;
  double Vdc() const;
  double Vmin() const;
  double Vmax() const;
  double Vpkpk() const;
  double Vrms() const;
  double Vtrms() const;
  double dBm() const;
  double Wrms2() const;
  double Wrms4() const;
  double Wrms8() const;
  double Wrms16() const;
  double Wrms32() const;
  // Timing over the whole buffer, with a hysteresis of CTimingHysteresisSteps
  // sample steps, at the owner's sample period (NaN times without an owner).
  TOscTiming Timing() const;
  // Level in dB of an AC RMS voltage against 0.775 V (1 mW into 600 ohms).
  static double dBmOf(double Vrms);
  // Power of an AC RMS voltage into a load.
  static double PowerOf(double Vrms, double Ohms) { return Vrms * Vrms / Ohms; }

  void RegisterObserver(TOscSignalObserver* Observer) { FObservers.Register(Observer); }
  void UnregisterObserver(TOscSignalObserver* Observer) { FObservers.Unregister(Observer); }
  void NotifyObservers(TOscDeviceProperties Changes) { FObservers.Notify(this, Changes); }

  void BeginUpdate();
  void EndUpdate();

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

protected:
  virtual void DoChange(TOscDeviceProperties Changes);
  virtual void InitDefaults();
  void CallChanged(TOscDeviceProperties Changes);
  void CheckIndex(int Idx) const {
    if (Idx < 0 || Idx >= FCount)
      throw EOscOutOfRangeError(SIndexOutOfRange);
  }

private:
  bool OutsideLimits(TOscSample Min, TOscSample Max) const;
  double RunningVmax() const;

  int FFill = 0;
  std::uint64_t FGeneration = 0;
  TOscDevice* FDevice;
  TOscObserverList<TOscSignal> FObservers;
  bool FVisible = true;
  int FCount = 0;
  std::vector<TOscSample> FSamples;
  TOscUpdateBatch FBatch;
  TOscInputCoupling FCoupling = inAC;
  TOscVoltsPerDivision FVoltsPerDivision = vdivNone;
  int FYPosition = 0;
  TOscMultiplier FMultiplier = multX1;
  std::unique_ptr<TOscMeasurement> FMeasurement;
  TNotifyEvent FOnChange;
};

class TOscSignals {
public:
  explicit TOscSignals(TOscDevice* AOwner) : FOwner(AOwner) {}

  TOscSignal* Add(int ALength);
  int Count() const { return static_cast<int>(FSignals.size()); }
  const TOscSignal& Signal(int Idx) const { return *FSignals[Checked(Idx)]; }
  TOscSignal& Signal(int Idx) { return *FSignals[Checked(Idx)]; }
  const TOscSignal& operator[](int Idx) const { return Signal(Idx); }
  TOscSignal& operator[](int Idx) { return Signal(Idx); }

private:
  std::size_t Checked(int Idx) const;

  TOscDevice* FOwner;
  std::vector<std::unique_ptr<TOscSignal>> FSignals;
};
