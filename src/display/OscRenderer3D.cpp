#include "display/OscRenderer3D.h"

#include <algorithm>
#include <cmath>

#include <QExposeEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QWindow>

#include <GL/gl.h>

#include "osc/OscErrorBoundary.h"
#include "osc/OscTypes.h"

// The native child window the view draws on. It receives the mouse and the
// keys itself (its container widget never sees them) and hands them to the
// view.
class TOscGLWindow : public QWindow {
public:
  explicit TOscGLWindow(TOscRenderer3D* AView) : FView(AView) {
    setSurfaceType(QSurface::OpenGLSurface);
    // A click would otherwise hand the keyboard to this foreign window, where
    // the main window's shortcuts and the Tab chain no longer reach; the view
    // widget takes the focus instead (see MouseDown).
    setFlag(Qt::WindowDoesNotAcceptFocus);
  }
  // Set to null while the view is destroyed: late events then go nowhere.
  TOscRenderer3D* FView;

protected:
  // Entry points from the event loop: nothing thrown may reach Qt.
  void exposeEvent(QExposeEvent*) override {
    OscGuarded([&] {
      if (FView != nullptr && isExposed())
        FView->WindowExposed();
    });
  }
  void resizeEvent(QResizeEvent*) override {
    OscGuarded([&] {
      if (FView != nullptr)
        FView->WindowExposed();
    });
  }
  void mousePressEvent(QMouseEvent* E) override {
    OscGuarded([&] {
      if (FView != nullptr)
        FView->MouseDown(E->button(), E->modifiers(), Px(E->position().x()), Px(E->position().y()));
    });
  }
  void mouseReleaseEvent(QMouseEvent* E) override {
    OscGuarded([&] {
      if (FView != nullptr)
        FView->MouseUp(E->button(), E->modifiers(), Px(E->position().x()), Px(E->position().y()));
    });
  }
  void mouseMoveEvent(QMouseEvent* E) override {
    OscGuarded([&] {
      if (FView != nullptr)
        FView->MouseMove(E->modifiers(), Px(E->position().x()), Px(E->position().y()));
    });
  }
  void keyPressEvent(QKeyEvent* E) override {
    // Should the window get the keyboard after all: keys do nothing in the
    // view, but Tab must still lead out of it.
    OscGuarded([&] {
      const bool Plain = (E->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0;
      if (FView != nullptr && Plain && (E->key() == Qt::Key_Tab || E->key() == Qt::Key_Backtab))
        FView->LeaveByTab(E->key() == Qt::Key_Tab && (E->modifiers() & Qt::ShiftModifier) == 0);
    });
  }
  void keyReleaseEvent(QKeyEvent*) override {}

private:
  static int Px(qreal V) { return static_cast<int>(std::floor(V)); }
};

namespace {

TOscPenStyle PenStyleOf(TOscMarkerLine Line) {
  switch (Line) {
  case oscLineDot:
    return TOscPenStyle::psDot;
  case oscLineSolid:
    return TOscPenStyle::psSolid;
  case oscLineDash:
    break;
  }
  return TOscPenStyle::psDash;
}

} // namespace

TOscRenderer3D::TOscRenderer3D(QWidget* Parent) : TOscScopeView(Parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  try {
    CreateWnd();
  } catch (...) {
    // The window outlives this constructor as a child widget's child; it must
    // not call back into a view that never came to be.
    if (FWindow != nullptr)
      FWindow->FView = nullptr;
    throw;
  }
}

TOscRenderer3D::~TOscRenderer3D() {
  if (FWindow != nullptr)
    FWindow->FView = nullptr;
  FCanvas.reset();
  if (FRenderingContext)
    FRenderingContext->doneCurrent();
  FRenderingContext.reset();
}

void TOscRenderer3D::CreateWnd() {
  QSurfaceFormat Format;
  Format.setRenderableType(QSurfaceFormat::OpenGL);
  Format.setProfile(QSurfaceFormat::CompatibilityProfile);
  Format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  Format.setRedBufferSize(8);
  Format.setGreenBufferSize(8);
  Format.setBlueBufferSize(8);
  // No alpha: an alpha visual could let a compositor show the view through.
  // The usual 24 depth and 8 stencil bits are asked for, but neither is
  // needed: the canvas clips with a scissor box, so a context without them
  // draws all the same.
  Format.setDepthBufferSize(24);
  Format.setStencilBufferSize(8);
  // The limiter paces the frames; a swap that waited for the display would
  // stall the user-interface thread on every marker drag as well.
  Format.setSwapInterval(0);

  FWindow = new TOscGLWindow(this);
  FWindow->setFormat(Format);
  FWindow->resize(std::max(1, width()), std::max(1, height()));
  FContainer = QWidget::createWindowContainer(FWindow, this);
  FContainer->setGeometry(rect());
  FContainer->setFocusPolicy(Qt::NoFocus);
  FWindow->create();

  static const char* const CNoOpenGL =
      "No OpenGL rendering context with double buffering is available";
  FRenderingContext = std::make_unique<QOpenGLContext>();
  FRenderingContext->setFormat(FWindow->requestedFormat());
  if (!FRenderingContext->create())
    throw EOscError(std::string(CNoOpenGL) + " (the context could not be created).");
  if (!FRenderingContext->makeCurrent(FWindow))
    throw EOscError(std::string(CNoOpenGL) + " (the context could not be made current).");
  const auto* Renderer = glGetString(GL_RENDERER);
  if (Renderer == nullptr)
    throw EOscError(std::string(CNoOpenGL) + " (OpenGL does not answer).");
  if (const auto* Ext = glGetString(GL_EXTENSIONS))
    FExtensions = reinterpret_cast<const char*>(Ext);
  FCanvas = std::make_unique<TOscCanvas3D>(this);
}

QWindow* TOscRenderer3D::DeviceContext() const {
  return FWindow;
}

void TOscRenderer3D::ApplyCursor(Qt::CursorShape Shape) {
  // The cursor belongs to the native window; on the container it never shows.
  if (FWindow != nullptr)
    FWindow->setCursor(Shape);
}

qreal TOscRenderer3D::DevicePixelRatio() const {
  return FWindow != nullptr ? FWindow->devicePixelRatio() : 1.0;
}

bool TOscRenderer3D::CanDraw() const {
  return FCanvas && FWindow != nullptr && FWindow->isExposed() && width() > 0 && height() > 0;
}

bool TOscRenderer3D::ShowFrame() {
  // Making the context current again is not free (GLX asks the X server
  // about the window), and it normally still is.
  const bool Current = QOpenGLContext::currentContext() == FRenderingContext.get() &&
                       FRenderingContext->surface() == FWindow;
  if (!Current && !FRenderingContext->makeCurrent(FWindow))
    return false;
  Draw();
  if (FOnBeforeSwap)
    FOnBeforeSwap(this);
  FRenderingContext->swapBuffers(FWindow);
  FrameShown();
  return true;
}

QImage TOscRenderer3D::GrabFramebuffer() {
  QImage Image;
  TNotifyEvent Saved = FOnBeforeSwap;
  FOnBeforeSwap = [&](TOscScopeView*) {
    const qreal Dpr = FWindow->devicePixelRatio();
    const int PW = static_cast<int>(width() * Dpr);
    const int PH = static_cast<int>(height() * Dpr);
    QImage Raw(PW, PH, QImage::Format_RGBA8888);
    Raw.fill(0); // the native window may still be smaller than the control
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, PW, PH, GL_RGBA, GL_UNSIGNED_BYTE, Raw.bits());
    Image = Raw.mirrored();
    if (Saved)
      Saved(this);
  };
  ForceDraw();
  Render();
  FOnBeforeSwap = std::move(Saved);
  return Image;
}

void TOscRenderer3D::Draw() {
  const TFrameGeometry G = CurrentGeometry();
  SetScopeRect({0, 0, G.SamplesPerPage - 1, 255});
  const TOscRect& R = ScopeRect();

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(R.Left - 1, R.Right, R.Bottom, R.Top - 1, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  const TOscColor Bg = Skin().BackgroundColor();
  glClearColor(OscRed(Bg) / 255.0f, OscGreen(Bg) / 255.0f, OscBlue(Bg) / 255.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);

  // A window smaller than its padding keeps a one-pixel drawing area.
  const qreal Dpr = DevicePixelRatio();
  glViewport(static_cast<GLint>(G.Padding * Dpr), static_cast<GLint>(G.Padding * Dpr),
             static_cast<GLsizei>(G.AreaWidth() * Dpr), static_cast<GLsizei>(G.AreaHeight() * Dpr));

  DrawGrid();
  FCanvas->SetClip(true);
  FCanvas->SetClipRect({R.Left, R.Top + ClipSize, R.Right, R.Bottom - ClipSize});
  if (Oscilloscope() != nullptr)
    DrawTraces();
  DrawMarkers();
  FCanvas->SetClip(false);
}

void TOscRenderer3D::DrawGrid() {
  FCanvas->Pen().SetWidth(1.0f);
  FCanvas->Pen().SetStyle(TOscPenStyle::psSolid);
  FCanvas->Pen().SetColor(Skin().GridColor());
  GridLines(FVertices);
  FCanvas->LinesArray(FVertices);
}

void TOscRenderer3D::DrawTraces() {
  FCanvas->Pen().SetWidth(1.0f);
  FCanvas->Pen().SetStyle(TOscPenStyle::psSolid);
  FCanvas->SetAntiAliased(true);
  const int Columns = static_cast<int>(CurrentGeometry().AreaWidth() * DevicePixelRatio());
  // The reference first, so that the live traces lie over it.
  const TOscTraces* const Sets[] = {&ReferenceTraces(), &Traces()};
  for (const TOscTraces* Set : Sets)
    for (int I = 0; I < Set->Count(); ++I) {
      FCanvas->Pen().SetWidth(1.5f);
      FCanvas->Pen().SetColor(Set->Trace(I).Color());
      VisibleTracePoints(Set->Trace(I), Columns, FVertices);
      FCanvas->PolyLineArray(FVertices);
    }
  FCanvas->SetAntiAliased(false);
}

void TOscRenderer3D::DrawMarkers() {
  // Without anti-aliasing, with the pen width in force (1.5 after a trace).
  for (int I = 0; I < Markers().Count(); ++I) {
    const TOscMarker& Marker = Markers().Marker(I);
    if (!Marker.Visible())
      continue;
    FCanvas->Pen().SetColor(Marker.Color());
    TOscPoint A, B;
    MarkerLine(Marker, A, B);
    FCanvas->Pen().SetStyle(PenStyleOf(Marker.Line()));
    FCanvas->Line(A.X, A.Y, B.X, B.Y);
  }
}

void TOscRenderer3D::paintEvent(QPaintEvent*) {
  // The native window covers the whole control and paints itself.
}

void TOscRenderer3D::resizeEvent(QResizeEvent* Event) {
  OscGuarded([&] {
    if (FContainer != nullptr)
      FContainer->setGeometry(rect());
    TOscScopeView::resizeEvent(Event);
  });
}

void TOscRenderer3D::WindowExposed() {
  ForceDraw();
  Paint();
}

void TOscRenderer3D::LeaveByTab(bool Forward) {
  QWidget* Top = window();
  focusNextPrevChild(Forward);
  // Keyboard focus sits on the native child window; give it back to the
  // top-level window, where the next control now holds the focus.
  if (Top != nullptr && Top->windowHandle() != nullptr)
    Top->windowHandle()->requestActivate();
}
