#pragma once

// The scope view drawn with OpenGL on a native child window of its own: the
// drawing of choice wherever a context can be had (see OscCreateScopeView).
//
// Qt's QOpenGLWidget is not used on purpose: composing it into the window costs
// more than twice the CPU of a native child window for the same scene. The
// price of the native window is that it receives the mouse and keys itself,
// covers any widget laid over the view, and must be redrawn on every expose.

#include <memory>
#include <string>
#include <vector>

#include "display/OscCanvas3D.h"
#include "display/OscScopeView.h"

class QOpenGLContext;
class TOscGLWindow;

class TOscRenderer3D : public TOscScopeView {
public:
  // Creates the native window and its OpenGL context at once. Raises
  // EOscError when no double-buffered context can be created or made
  // current; OscCreateScopeView then draws without OpenGL.
  explicit TOscRenderer3D(QWidget* Parent = nullptr);
  ~TOscRenderer3D() override;

  bool SoftwareDrawing() const override { return false; }
  TOscCanvas3D* Canvas() const { return FCanvas.get(); }
  QOpenGLContext* RenderingContext() const { return FRenderingContext.get(); }
  // The native window that shows the picture and receives mouse and keys.
  QWindow* DeviceContext() const;
  const std::string& Extensions() const { return FExtensions; }

  // Just before each buffer swap: the picture can be read back with
  // glReadPixels (the context is current).
  const TNotifyEvent& OnBeforeSwap() const { return FOnBeforeSwap; }
  void SetOnBeforeSwap(TNotifyEvent Value) { FOnBeforeSwap = std::move(Value); }

  // One frame into the back buffer; the context must be current.
  virtual void Draw();
  QImage GrabFramebuffer() override;

protected:
  bool CanDraw() const override;
  bool ShowFrame() override;
  void ApplyCursor(Qt::CursorShape Shape) override;
  qreal DevicePixelRatio() const override;

  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  friend class TOscGLWindow;

  void CreateWnd();
  void DrawGrid();
  void DrawTraces();
  void DrawMarkers();
  // From the native window.
  void WindowExposed();
  void LeaveByTab(bool Forward);

  TNotifyEvent FOnBeforeSwap;
  // Owned by its container widget, a child of this view.
  TOscGLWindow* FWindow = nullptr;
  QWidget* FContainer = nullptr;
  std::unique_ptr<QOpenGLContext> FRenderingContext;
  std::unique_ptr<TOscCanvas3D> FCanvas;
  std::string FExtensions;
  // Vertices of the frame being drawn, kept so that a frame allocates nothing.
  std::vector<TOscPoint> FVertices;
};
