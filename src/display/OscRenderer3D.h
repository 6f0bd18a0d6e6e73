#pragma once

// The scope display: draws background, grid, traces and markers with OpenGL
// on a native child window of its own, maps between window pixels and grid
// coordinates, routes the mouse to the time scroller and the markers, and
// renders a frame on every tick of its frame-rate limiter.
//
// Qt's QOpenGLWidget is not used on purpose: composing it into the window costs
// more than twice the CPU of a native child window for the same scene. The
// price of the native window is that it receives the mouse and keys itself,
// covers any widget laid over the view, and must be redrawn on every expose.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>

#include "display/OscCanvas3D.h"
#include "display/OscFpsLimiter.h"
#include "display/OscMarkers.h"
#include "display/OscRenderer.h"

class QOpenGLContext;
class TOscGLWindow;

class TOscRenderer3D : public TOscRenderer {
public:
  using TNotifyEvent = std::function<void(TOscRenderer3D* Sender)>;
  using THoverEvent =
      std::function<void(TOscRenderer3D* Sender, TOscSignal* Signal, double Voltage)>;

  static constexpr int VerticalDivisions = 10;
  // Grid units cut off at the top and bottom of the page by the clip.
  static constexpr int ClipSize = 3;
  static constexpr unsigned glGridList = 1;

  // Creates the native window and its OpenGL context at once. Raises
  // EOscError with a message for the user when no double-buffered context
  // with an 8-bit stencil buffer can be had: a black view would tell nothing.
  explicit TOscRenderer3D(QWidget* Parent = nullptr);
  ~TOscRenderer3D() override;

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
  TOscCanvas3D* Canvas() const { return FCanvas.get(); }
  const TOscMarkers& Markers() const { return *FMarkers; }
  TOscMarkers& Markers() { return *FMarkers; }
  QOpenGLContext* RenderingContext() const { return FRenderingContext.get(); }
  // The native window that shows the picture and receives mouse and keys.
  QWindow* DeviceContext() const;
  const std::string& Extensions() const { return FExtensions; }

  const TNotifyEvent& OnHorizontalScroll() const { return FOnHorizontalScroll; }
  void SetOnHorizontalScroll(TNotifyEvent Value) { FOnHorizontalScroll = std::move(Value); }
  // After a change of the presentation or of a measurement.
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }
  // Voltage under the mouse, once per channel (hidden ones too).
  const THoverEvent& OnHover() const { return FOnHover; }
  void SetOnHover(THoverEvent Value) { FOnHover = std::move(Value); }
  // Just before and just after each buffer swap: the picture can be read back
  // with glReadPixels in the first (the context is current).
  const TNotifyEvent& OnBeforeSwap() const { return FOnBeforeSwap; }
  void SetOnBeforeSwap(TNotifyEvent Value) { FOnBeforeSwap = std::move(Value); }
  const TNotifyEvent& OnAfterSwap() const { return FOnAfterSwap; }
  void SetOnAfterSwap(TNotifyEvent Value) { FOnAfterSwap = std::move(Value); }

  // Rebuilds the traces when their samples changed and shows a frame. A
  // frame is drawn only when the window and its context exist and are on
  // screen, and only when the picture differs from the one shown (new
  // samples, settings, skin, markers, scroll position, size) or the window
  // was exposed or resized.
  void Render() override;
  // One frame into the back buffer; the context must be current.
  virtual void Draw();
  // Draws a frame now, whatever is on screen, and returns it as read back
  // before the swap; a null image when the window is not on screen.
  QImage GrabFramebuffer();
  // Frames drawn and swapped so far.
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
  // Mouse capture is the implicit pointer grab the window system holds from a
  // button press to its release; this only records the markers' and the
  // scroller's wish for it.
  void SetMouseCapture(bool Value) { FMouseCaptured = Value; }
  bool MouseCaptured() const { return FMouseCaptured; }

  // Mouse input in client pixels, as delivered by the view's window.
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);

protected:
  void DoChange() override;
  void PointToScreen(TOscPoint& Point) const override;
  void PointsToScreen(std::vector<TOscPoint>& Points) const override;
  void DoResizeSignal() override;
  void Paint() override;
  void Resize() override;
  virtual void DoHorizontalScroll();

  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  friend class TOscGLWindow;

  struct TFrameGeometry {
    std::array<double, 16> Projection{};
    std::array<double, 16> ModelView{};
    std::array<int, 4> Viewport{};
  };
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

  void CreateWnd();
  bool CanDraw() const;
  TFrameGeometry CurrentGeometry() const;
  void CurrentLook(TFrameLook& Look) const;
  void BuildGrid();
  void DrawGrid();
  void DrawTraces();
  void DrawTrace(const TOscTrace& Trace, TOscColor Color);
  void DrawMarkers();
  void DrawMarker(const TOscMarker& Marker);
  void CallChange();
  void HandleHorizontalScroll(TOscTimeScroller* Sender);
  void FrameRateTick(TOscFpsLimiter* Sender);
  void MeasurementChanged(TOscMarkerMeasurer* Sender);
  void TriggerChanging(TOscMarker* Sender, int& Position);
  // From the native window.
  void WindowExposed();
  void WindowResized();
  void LeaveByTab(bool Forward);

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
  TNotifyEvent FOnBeforeSwap;
  TNotifyEvent FOnAfterSwap;

  // Owned by its container widget, a child of this view.
  TOscGLWindow* FWindow = nullptr;
  QWidget* FContainer = nullptr;
  std::unique_ptr<QOpenGLContext> FRenderingContext;
  std::unique_ptr<TOscCanvas3D> FCanvas;
  std::string FExtensions;

  bool FForceDraw = true;
  bool FHaveFrame = false;
  TFrameGeometry FLastGeometry;
  // The look of the frame on screen, and the one of this tick; they swap
  // after a draw, so that neither allocates from frame to frame.
  TFrameLook FShownLook;
  TFrameLook FLook;
  long long FFramesDrawn = 0;
  bool FMouseCaptured = false;
  Qt::CursorShape FCursor = Qt::ArrowCursor;
};
