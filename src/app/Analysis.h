#pragma once

// The analysis side of the main window: the spectrum view below the scope
// view, the math channel (one per device, shown in the math strip and drawn
// as a trace in the scope view) and XY. It owns the View menu's analysis
// actions and the per-device maths, computes what a complete capture of the
// device shown asks for, shows the user's stored choices at start and stores
// every new one. The main window creates it with the devices, lays out the
// views, attaches them and tells it which device is shown.

#include <QObject>

#include <memory>
#include <vector>

#include "osc/OscMath.h"
#include "osc/OscMeasurement.h"
#include "osc/OscSpectrum.h"

class QAction;
class QMenu;
class TApplicationSettings;
class TMathStrip;
class TOscDevice;
class TOscScopeView;
class TOscSpectrumView;

class TAnalysis : public QObject {
  Q_OBJECT

public:
  // One math channel per device. The devices (not owned) must outlive it; it
  // takes their OnCapture callbacks and gives them back when it goes.
  TAnalysis(TApplicationSettings& Settings, const std::vector<TOscDevice*>& Devices,
            QObject* Parent = nullptr);
  ~TAnalysis() override;

  // The views it works (not owned; they must outlive it), once, before
  // anything is shown: the scope view draws the math and XY, the spectrum
  // view follows the Spectrum action, the strip reports the math choices;
  // ViewMenu gets Spectrum, Spectrum window, Math and XY.
  void Attach(TOscScopeView& ScopeView, TOscSpectrumView& SpectrumView, TMathStrip& MathStrip,
              QMenu& ViewMenu);
  // Shows the stored choices, at start; nothing is written.
  void LoadChoices();
  // The device the views show: its spectrum, its math's trace and readout.
  // The math of a device not shown was left alone and catches up here.
  void ShowDevice(TOscDevice* Device);
  // The math readout as of the last capture, into the strip (with the
  // window's readout timer).
  void ShowValue();

  // The math channel of a device (each device keeps its own value type; mode
  // and scale are the user's and the same on all), of the device shown. A
  // device it was not made with gets the first device's.
  TOscMath& MathOf(const TOscDevice* Device) const;
  TOscMath& Math() const { return MathOf(FShown); }
  // View › Spectrum window: one checkable item per window in ordinal order.
  QMenu* SpectrumWindowMenu() const { return FSpectrumWindowMenu; }

  // View › Spectrum (also the side bar's SPECTRUM button) and View › XY.
  QAction* actSpectrum;
  QAction* actXY;

  // The handlers; each stores the user's choice.
  void actSpectrumExecute(bool Shown);
  void SpectrumWindowChange(TOscSpectrumWindow Window);
  void MathModeChange(TOscMathMode Mode);
  // -1 the next larger volts (or V²) per division, +1 the next smaller; the
  // steps of a channel, without "no range".
  void MathVDivStep(int Diff);
  void MathValueTypeChange(TOscMeasurementType Type);
  void actXYExecute(bool On);
  // A device completed a capture: the math and the spectrum follow it when it
  // is the one shown.
  void DeviceCaptured(TOscDevice* Device);

private:
  TApplicationSettings& FSettings;
  std::vector<TOscDevice*> FDevices;
  // One per device, in the same order.
  std::vector<std::unique_ptr<TOscMath>> FMaths;
  TOscDevice* FShown = nullptr;
  TOscScopeView* FScopeView = nullptr;
  TOscSpectrumView* FSpectrumView = nullptr;
  TMathStrip* FMathStrip = nullptr;
  QMenu* FSpectrumWindowMenu = nullptr;
};
