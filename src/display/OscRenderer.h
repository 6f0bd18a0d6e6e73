#pragma once

// The device-independent base of the scope view: attached to one device, owns
// the skin, defines the page geometry and rebuilds the traces whenever what
// they show changed: the visible channels' traces and the math channel's
// after them, or, in XY, one trace of CH2 against CH1; and the traces of a
// kept reference capture, drawn behind those. The scope view
// (TOscScopeView) derives from it and adds the flip, the markers and the
// mouse; its two drawings supply the pixels.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QWidget>

#include "osc/OscDevice.h"
#include "osc/OscMath.h"
#include "osc/OscSkin.h"
#include "osc/OscTrace.h"

struct TOscCapture;

class TOscRenderer : public QWidget {
public:
  using TNotifyEvent = std::function<void(TOscRenderer* Sender)>;

  explicit TOscRenderer(QWidget* Parent = nullptr);
  ~TOscRenderer() override;

  const TOscSkin& Skin() const { return *FSkin; }
  TOscSkin& Skin() { return *FSkin; }
  int ScopeWidth() const { return FScopeRect.Right - FScopeRect.Left + 1; }
  int ScopeHeight() const { return FScopeRect.Bottom - FScopeRect.Top + 1; }
  const TOscRect& ScopeRect() const { return FScopeRect; }
  void SetScopeRect(const TOscRect& Value) { FScopeRect = Value; }
  const TOscTraces& Traces() const { return *FTraces; }
  TOscTraces& Traces() { return *FTraces; }

  // The view learns of the device's destruction by itself (its channels
  // announce that their buffers are gone) and then holds no device.
  TOscDevice* Oscilloscope() const { return FOscilloscope; }
  void SetOscilloscope(TOscDevice* Value);

  // From the whole control's size; a window without height or width shows
  // one division.
  int Divisions() const { return OscPageDivisions(width(), height()); }
  int SamplesPerDivision() const { return OscPageSamplesPerDivision(FOscilloscope); }
  int SamplesPerPage() const { return OscPageSamples(Divisions(), SamplesPerDivision()); }

  // The math channel, drawn in COscMathColor as a trace after the channels'
  // while it is on and belongs to the device shown (not owned; null for
  // none). Whoever owns it detaches it before destroying it.
  const TOscMath* Math() const { return FMath; }
  void SetMath(const TOscMath* Value) { FMath = Value; }
  // XY: one trace of CH1's volts across against CH2's up, in trace colour 0,
  // instead of the traces over time; no math trace.
  bool XY() const { return FXY; }
  void SetXY(bool Value);
  // Where the XY trace lies: a horizontal division is CH1's volts/div and as
  // many grid units as a page division has samples; CH1's samples lie across
  // the page as they lie up its height in the time view (sample 128, the
  // centre line, at the page's centre), so that its position bar moves the
  // picture sideways. CH2's samples keep their grid Y.
  TOscXYScale XYScale() const;

  // A kept capture, drawn behind the traces in its channels' colours dimmed
  // towards the background, as it was shown when kept (its divisions on the
  // page's, OscBuildReferenceTraces); not in XY. The view keeps a copy, so
  // that no device and no reconnect can take it away; null clears it.
  const TOscCapture* Reference() const { return FReference.get(); }
  void SetReference(const TOscCapture* Value);
  const TOscTraces& ReferenceTraces() const { return *FReferenceTraces; }

  // Rebuilds the traces now, whatever changed.
  void BuildTraces();

  const TNotifyEvent& OnResize() const { return FOnResize; }
  void SetOnResize(TNotifyEvent Value) { FOnResize = std::move(Value); }

protected:
  // Repaints at once.
  virtual void DoChange();
  // Grid orientation to display orientation; the base changes nothing.
  virtual void PointToScreen(TOscPoint& Point) const;
  // The same for all points of a trace at once; a view that overrides
  // PointToScreen may override this with a tighter loop of the same effect.
  virtual void PointsToScreen(std::vector<TOscPoint>& Points) const;
  virtual void DoResizeSignal();
  // After XY was switched: repaints.
  virtual void DoXYChange();
  virtual void Render();
  virtual void Paint();
  virtual void Resize();

  // Rebuilds the traces when a channel's samples (its generation), its
  // visibility, scale or trace colour, the device, the math (its
  // generation), XY or the XY scale changed since the last build, or
  // InvalidateTraces asked for it. True when it rebuilt them.
  bool UpdateTraces();
  // For a change the channels cannot show, such as a new point mapping.
  void InvalidateTraces() {
    FTracesValid = false;
    ++FMapEpoch;
  }

  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  void OnDeviceChanged(TOscDevice* Sender, TOscDeviceProperties Changes);
  void OnSkinChanged(TOscSkin* Sender);
  void Detach();

  // What one trace was built from.
  struct TTraceSource {
    const TOscSignal* Signal;
    std::uint64_t Generation;
    bool Shown;
    TOscColor Color;
    bool operator==(const TTraceSource& O) const {
      return Signal == O.Signal && Generation == O.Generation && Shown == O.Shown &&
             Color == O.Color;
    }
  };
  void CurrentSources(std::vector<TTraceSource>& Sources) const;
  // What the traces beyond the channels' were built from.
  struct TTraceExtras {
    bool XY = false;
    TOscXYScale Scale;
    TOscColor XYColor = 0;
    const TOscMath* Math = nullptr; // null while no math trace is drawn
    std::uint64_t MathGeneration = 0;
    std::uint64_t Reference = 0; // 0 while no reference is drawn
    TOscColor Background = 0;    // what the reference is dimmed towards
    bool operator==(const TTraceExtras& O) const {
      return XY == O.XY && Scale.XZero == O.Scale.XZero &&
             Scale.XPerDivision == O.Scale.XPerDivision && Scale.YZero == O.Scale.YZero &&
             XYColor == O.XYColor && Math == O.Math && MathGeneration == O.MathGeneration &&
             Reference == O.Reference && Background == O.Background;
    }
  };
  TTraceExtras CurrentExtras() const;
  bool MathShown() const;
  // What the reference traces were built from: they are rebuilt when one of
  // these changed, not with every capture of the device shown.
  struct TReferenceKey {
    std::uint64_t Generation = 0; // 0: none built
    std::uint64_t SkinEpoch = 0;
    std::uint64_t MapEpoch = 0;
    int SamplesPerDivision = 0;
    bool operator==(const TReferenceKey& O) const {
      return Generation == O.Generation && SkinEpoch == O.SkinEpoch && MapEpoch == O.MapEpoch &&
             SamplesPerDivision == O.SamplesPerDivision;
    }
  };
  void BuildReferenceTraces(const TOscPointMap& Map);

  std::unique_ptr<TOscDeviceObserver> FDeviceObserver;
  TOscRect FScopeRect;
  std::unique_ptr<TOscTraces> FTraces;
  std::unique_ptr<TOscCapture> FReference;
  // Counts the references set, so that a new one is told from the last.
  std::uint64_t FReferenceGeneration = 0;
  std::unique_ptr<TOscTraces> FReferenceTraces;
  TReferenceKey FBuiltReference;
  // Count the skin's changes and the new point mappings.
  std::uint64_t FSkinEpoch = 0;
  std::uint64_t FMapEpoch = 0;
  TOscDevice* FOscilloscope = nullptr;
  std::unique_ptr<TOscSkin> FSkin;
  std::unique_ptr<TOscSkinObserver> FSkinObserver;
  TNotifyEvent FOnResize;
  // The sources of the traces as built, and a scratch list for the check;
  // both keep their storage from frame to frame.
  std::vector<TTraceSource> FBuiltSources;
  std::vector<TTraceSource> FSources;
  TTraceExtras FBuiltExtras;
  bool FTracesValid = false;
  const TOscMath* FMath = nullptr;
  bool FXY = false;
};
