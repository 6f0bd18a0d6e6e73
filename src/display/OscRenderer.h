#pragma once

// The device-independent base of the scope view: attached to one device, owns
// the skin, defines the page geometry and rebuilds the traces of the visible
// channels whenever what they show changed. The scope view (TOscScopeView)
// derives from it and adds the flip, the markers and the mouse; its two
// drawings supply the pixels.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QWidget>

#include "osc/OscDevice.h"
#include "osc/OscSkin.h"
#include "osc/OscTrace.h"

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
  virtual void Render();
  virtual void Paint();
  virtual void Resize();

  // Rebuilds the traces when a channel's samples (its generation), its
  // visibility, scale or trace colour, or the device changed since the last
  // build, or InvalidateTraces asked for it. True when it rebuilt them.
  bool UpdateTraces();
  // For a change the channels cannot show, such as a new point mapping.
  void InvalidateTraces() { FTracesValid = false; }

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

  std::unique_ptr<TOscDeviceObserver> FDeviceObserver;
  TOscRect FScopeRect;
  std::unique_ptr<TOscTraces> FTraces;
  TOscDevice* FOscilloscope = nullptr;
  std::unique_ptr<TOscSkin> FSkin;
  std::unique_ptr<TOscSkinObserver> FSkinObserver;
  TNotifyEvent FOnResize;
  // The sources of the traces as built, and a scratch list for the check;
  // both keep their storage from frame to frame.
  std::vector<TTraceSource> FBuiltSources;
  std::vector<TTraceSource> FSources;
  bool FTracesValid = false;
};
