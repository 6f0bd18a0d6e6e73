#pragma once

// A scope that needs no hardware: both channels are refilled five times a
// second by a signal generator, channel 1 with 150 Hz at 20 V and channel 2
// with 300 Hz at 40 V, shaped by the device's own settings. Calibrate and
// TransmitSettings keep the device's empty behaviour.

#include <memory>

#include "link/Zelvo.h"

class QTimer;
class TOscSignalGenerator;

class TZelvoDemo : public TCustomZelvo {
public:
  // The timer runs from construction on, on the calling (UI) thread.
  TZelvoDemo();
  ~TZelvoDemo() override;

  TOscSignalGenerator& SignalGenerator() const { return *FSignalGenerator; }
  QTimer& Timer() const { return *FTimer; }

  // One refill of both channels, skipped while Hold is set.
  void TimerTick();

  static constexpr int CTimerInterval = 200; // ms

private:
  std::unique_ptr<QTimer> FTimer;
  std::unique_ptr<TOscSignalGenerator> FSignalGenerator;
};
