#pragma once

// The device-independent base of the scope view: attached to one device, owns
// the skin, defines the page geometry and rebuilds the traces of the visible
// channels on every frame. The OpenGL view derives from it and supplies the
// drawing, the flip and the mouse.

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

  TOscSkin& Skin() const { return *FSkin; }
  int ScopeWidth() const { return FScopeRect.Right - FScopeRect.Left + 1; }
  int ScopeHeight() const { return FScopeRect.Bottom - FScopeRect.Top + 1; }
  const TOscRect& ScopeRect() const { return FScopeRect; }
  void SetScopeRect(const TOscRect& Value) { FScopeRect = Value; }
  TOscTraces& Traces() const { return *FTraces; }

  // The view learns of the device's destruction by itself (its channels
  // announce that their buffers are gone) and then holds no device.
  TOscDevice* Oscilloscope() const { return FOscilloscope; }
  void SetOscilloscope(TOscDevice* Value);

  // From the whole control's size; a window without height or width shows
  // one division.
  int Divisions() const { return OscPageDivisions(width(), height()); }
  int SamplesPerDivision() const { return OscPageSamplesPerDivision(FOscilloscope); }
  int SamplesPerPage() const { return OscPageSamples(Divisions(), SamplesPerDivision()); }

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

  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  void OnDeviceChanged(TOscDevice* Sender, TOscDeviceProperties Changes);
  void OnSkinChanged(TOscSkin* Sender);
  void Detach();

  std::unique_ptr<TOscDeviceObserver> FDeviceObserver;
  TOscRect FScopeRect;
  std::unique_ptr<TOscTraces> FTraces;
  TOscDevice* FOscilloscope = nullptr;
  std::unique_ptr<TOscSkin> FSkin;
  std::unique_ptr<TOscSkinObserver> FSkinObserver;
  TNotifyEvent FOnResize;
};
