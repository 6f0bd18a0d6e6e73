#pragma once

// The scope view as the rest of the program sees it, whatever draws it: the
// markers, measurers and time scroller, the flip and padding, the mapping
// between window pixels and grid coordinates, the mouse, and the frame
// pacing (a frame on every tick of the frame-rate limiter, drawn only when
// the picture would change). What the picture holds is decided here too (the
// grid lines, the visible part of each trace, the marker lines); how it is
// put on screen is the work of the two drawings: TOscRenderer3D (OpenGL on a
// native child window) and TOscPainterRenderer (QPainter on a plain widget,
// for where no OpenGL context can be had). OscCreateScopeView chooses.
//
// In XY the page shows no time: the time markers are hidden (their places
// are kept for when XY ends) and the right-button drag does not scroll; the
// volts markers and the trigger marker stay, since their levels still mean
// volts on CH2's vertical axis and the trigger still picks the capture shown.
// The hover reports the volts the mouse points at on both axes: CH1's at its
// X, CH2's at its Y.

#include <functional>
#include <memory>
#include <vector>

#include <QImage>

#include "display/OscFpsLimiter.h"
#include "display/OscMarkers.h"
#include "display/OscRenderer.h"

class TOscScopeView : public TOscRenderer {
public:
  using TNotifyEvent = std::function<void(TOscScopeView* Sender)>;
  using THoverEvent =
      std::function<void(TOscScopeView* Sender, TOscSignal* Signal, double Voltage)>;

  static constexpr int VerticalDivisions = 10;
  // Grid units cut off at the top and bottom of the page by the clip.
  static constexpr int ClipSize = 3;

  explicit TOscScopeView(QWidget* Parent = nullptr);
  ~TOscScopeView() override;

  int Padding() const { return FPadding; }
  void SetPadding(int Value);
  // True: a sample value v is shown at grid Y 255 - v.
  bool Flip() const { return FFlip; }
  void SetFlip(bool Value);
  const TOscTimeScroller& HorizontalScroller() const { return *FHorizontalScroller; }
  TOscTimeScroller& HorizontalScroller() { return *FHorizontalScroller; }
  // Copies the position; the view's own scroller is never replaced.
  void SetHorizontalScroller(const TOscTimeScroller& Value);
  TOscFpsLimiter* FpsLimiter() const { return FFpsLimiter; }
  // Not owned; a limiter destroyed while attached detaches itself.
  void SetFpsLimiter(TOscFpsLimiter* Value);
  const TOscTriggerMarker& TriggerMarker() const { return *FTriggerMarker; }
  TOscTriggerMarker& TriggerMarker() { return *FTriggerMarker; }
  // Copies the position into the view's own trigger marker.
  void SetTriggerMarker(const TOscTriggerMarker& Value);
  const TOscMarkerMeasurer& TimeBaseMarkers() const { return *FTimeBaseMarkers; }
  TOscMarkerMeasurer& TimeBaseMarkers() { return *FTimeBaseMarkers; }
  const TOscMarkerMeasurer& VDivMarkers() const { return *FVDivMarkers; }
  TOscMarkerMeasurer& VDivMarkers() { return *FVDivMarkers; }
  const TOscMarkers& Markers() const { return *FMarkers; }
  TOscMarkers& Markers() { return *FMarkers; }

  // True for the QPainter drawing that stands in when OpenGL is missing.
  virtual bool SoftwareDrawing() const = 0;

  const TNotifyEvent& OnHorizontalScroll() const { return FOnHorizontalScroll; }
  void SetOnHorizontalScroll(TNotifyEvent Value) { FOnHorizontalScroll = std::move(Value); }
  // After a change of the presentation or of a measurement.
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }
  // Voltage under the mouse, once per channel (hidden ones too).
  const THoverEvent& OnHover() const { return FOnHover; }
  void SetOnHover(THoverEvent Value) { FOnHover = std::move(Value); }
  // Just after each frame is put on screen.
  const TNotifyEvent& OnAfterSwap() const { return FOnAfterSwap; }
  void SetOnAfterSwap(TNotifyEvent Value) { FOnAfterSwap = std::move(Value); }

  // Rebuilds the traces when their samples changed and shows a frame. A
  // frame is drawn only when the view is on screen, and only when the
  // picture differs from the one shown (new samples, settings, skin,
  // markers, scroll position, size) or the view was exposed or resized.
  void Render() override;
  // Draws a frame now, whatever is on screen, and returns its pixels; a null
  // image when the view is not on screen.
  virtual QImage GrabFramebuffer() = 0;
  // Frames drawn and shown so far.
  long long FramesDrawn() const { return FFramesDrawn; }

  // Client pixels (Y downward) to grid coordinates through the projection and
  // viewport of the last frame drawn (of the current geometry before the
  // first). Page coordinates: not shifted by the scroll position.
  void ScreenToGrid(int X, int Y, TOscPoint& Point) const;
  // The index into the channel buffers of the sample under (X, Y).
  int SampleAt(int X, int Y) const;
  void AdjustMarkerLimits();

  void RegisterMarker(TOscMarker* Marker);
  void UnregisterMarker(TOscMarker* Marker);
  void SetViewCursor(Qt::CursorShape Shape);
  Qt::CursorShape ViewCursor() const { return FCursor; }
  // Mouse capture is the implicit pointer grab the window system holds from a
  // button press to its release; this only records the markers' and the
  // scroller's wish for it.
  void SetMouseCapture(bool Value) { FMouseCaptured = Value; }
  bool MouseCaptured() const { return FMouseCaptured; }

  // Mouse input in client pixels.
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);

protected:
  // Where a frame's picture is mapped to pixels: the page of SamplesPerPage
  // samples by 256 sample values, in the client area less the padding.
  struct TFrameGeometry {
    int Width = 0, Height = 0, Padding = 0, SamplesPerPage = 1;
    // The drawing area, at least one pixel each way.
    int AreaWidth() const;
    int AreaHeight() const;
  };

  void DoChange() override;
  void PointToScreen(TOscPoint& Point) const override;
  void PointsToScreen(std::vector<TOscPoint>& Points) const override;
  void DoResizeSignal() override;
  void DoXYChange() override;
  void Paint() override;
  void Resize() override;
  virtual void DoHorizontalScroll();

  // Whether the view is on screen and can take a frame.
  virtual bool CanDraw() const = 0;
  // Draws the current picture and puts it on screen; false when it could
  // not. The drawing calls FrameShown once the frame is on screen.
  virtual bool ShowFrame() = 0;
  virtual void ApplyCursor(Qt::CursorShape Shape) = 0;
  virtual qreal DevicePixelRatio() const;

  // Records that the current picture is on screen.
  void FrameShown();
  // The next Render draws, whatever changed.
  void ForceDraw() { FForceDraw = true; }
  TFrameGeometry CurrentGeometry() const;

  // The picture, in grid coordinates. The vectors are the caller's to reuse,
  // so that a frame allocates nothing once they have grown.
  // Pairs of end points: 11 horizontal lines, then one vertical line per
  // division edge.
  void GridLines(std::vector<TOscPoint>& Lines) const;
  // The points of trace Index that the page shows, scrolled into page
  // coordinates, with one point beyond each edge so that the line reaches
  // it. Where more than two points fall into one of Columns pixel columns,
  // only the column's lowest and highest point are kept, in sample order:
  // the same pixels, fewer lines. In XY, where X is no sample index, all
  // points as they are.
  void VisibleTracePoints(int Index, int Columns, std::vector<TOscPoint>& Points) const;
  // The same for any trace whose X grows with the index, such as a
  // reference's.
  void VisibleTracePoints(const TOscTrace& Trace, int Columns,
                          std::vector<TOscPoint>& Points) const;
  // The end points of a marker line, flipped like the traces.
  void MarkerLine(const TOscMarker& Marker, TOscPoint& A, TOscPoint& B) const;

private:
  struct TMarkerLook {
    bool Visible;
    int Position;
    TOscMarkerStyle Style;
    TOscMarkerLine Line;
    TOscColor Color;
    bool operator==(const TMarkerLook& O) const {
      return Visible == O.Visible && Position == O.Position && Style == O.Style && Line == O.Line &&
             Color == O.Color;
    }
  };
  // Everything a frame's picture depends on besides the traces.
  struct TFrameLook {
    int Width = -1, Height = -1, PixelWidth = -1, PixelHeight = -1;
    int Padding = 0;
    bool Flip = false;
    int Divisions = 0, SamplesPerDivision = 0, Scroll = 0;
    TOscColor Grid = 0, Background = 0;
    std::vector<TMarkerLook> Markers;
    bool operator==(const TFrameLook& O) const {
      return Width == O.Width && Height == O.Height && PixelWidth == O.PixelWidth &&
             PixelHeight == O.PixelHeight && Padding == O.Padding && Flip == O.Flip &&
             Divisions == O.Divisions && SamplesPerDivision == O.SamplesPerDivision &&
             Scroll == O.Scroll && Grid == O.Grid && Background == O.Background &&
             Markers == O.Markers;
    }
  };

  void CurrentLook(TFrameLook& Look) const;
  void CallChange();
  void HandleHorizontalScroll(TOscTimeScroller* Sender);
  void FrameRateTick(TOscFpsLimiter* Sender);
  void MeasurementChanged(TOscMarkerMeasurer* Sender);
  void TriggerChanging(TOscMarker* Sender, int& Position);
  // The voltage under the mouse per channel: of the sample under it, or in
  // XY of the point it is over.
  void Hover(int X, int Y);

  // Declared before the markers, so that it outlives them.
  std::unique_ptr<TOscMarkers> FMarkers;
  std::unique_ptr<TOscFpsObserver> FFrameRateObserver;
  bool FFlip = true;
  std::unique_ptr<TOscTimeScroller> FHorizontalScroller;
  int FPadding = 20;
  std::unique_ptr<TOscVDivMarker> FVDivMarkerA;
  std::unique_ptr<TOscVDivMarker> FVDivMarkerB;
  std::unique_ptr<TOscTimeBaseMarker> FTimeBaseMarkerC;
  std::unique_ptr<TOscTimeBaseMarker> FTimeBaseMarkerD;
  std::unique_ptr<TOscTriggerMarker> FTriggerMarker;
  // Declared after the markers, so that they let go of them first.
  std::unique_ptr<TOscMarkerMeasurer> FVDivMarkers;
  std::unique_ptr<TOscMarkerMeasurer> FTimeBaseMarkers;
  TOscFpsLimiter* FFpsLimiter = nullptr;
  TNotifyEvent FOnHorizontalScroll;
  TNotifyEvent FOnChange;
  THoverEvent FOnHover;
  TNotifyEvent FOnAfterSwap;

  bool FForceDraw = true;
  bool FHaveFrame = false;
  TFrameGeometry FLastGeometry;
  // The look of the frame on screen, and the one of this tick; both keep
  // their storage from frame to frame.
  TFrameLook FShownLook;
  TFrameLook FLook;
  long long FFramesDrawn = 0;
  bool FMouseCaptured = false;
  Qt::CursorShape FCursor = Qt::ArrowCursor;
  // Whether each time marker was visible when XY began.
  bool FTimeMarkersVisible[2] = {true, true};
};
