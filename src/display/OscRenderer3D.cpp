#include "display/OscRenderer3D.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QExposeEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QWindow>

#include <GL/gl.h>
#include <GL/glu.h>

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
        FView->WindowResized();
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

// min(upper, max(lower, v)) in floating point, so that any pixel maps to an
// int without overflow even on a degenerate page.
int RoundToGrid(double V) {
  constexpr double Lo = std::numeric_limits<int>::min() / 2;
  constexpr double Hi = std::numeric_limits<int>::max() / 2;
  if (!(V == V))
    return 0;
  return static_cast<int>(std::nearbyint(std::min(Hi, std::max(Lo, V))));
}

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

TOscRenderer3D::TOscRenderer3D(QWidget* Parent) : TOscRenderer(Parent) {
  FMarkers = std::make_unique<TOscMarkers>(this);
  FFrameRateObserver =
      std::make_unique<TOscFpsObserver>([this](TOscFpsLimiter* Sender) { FrameRateTick(Sender); });
  FFrameRateObserver->SetOnRemove([this](TOscFpsLimiter* Sender) {
    if (Sender == FFpsLimiter)
      FFpsLimiter = nullptr;
  });
  FHorizontalScroller = std::make_unique<TOscTimeScroller>(this);
  FHorizontalScroller->SetOnScroll([this](TOscTimeScroller* S) { HandleHorizontalScroll(S); });

  FVDivMarkerA = std::make_unique<TOscVDivMarker>(this);
  FVDivMarkerB = std::make_unique<TOscVDivMarker>(this);
  FVDivMarkers = std::make_unique<TOscMarkerMeasurer>(FVDivMarkerB.get(), FVDivMarkerA.get());
  FVDivMarkers->SetOnChange([this](TOscMarkerMeasurer* S) { MeasurementChanged(S); });
  FTimeBaseMarkerC = std::make_unique<TOscTimeBaseMarker>(this);
  FTimeBaseMarkerD = std::make_unique<TOscTimeBaseMarker>(this);
  FTimeBaseMarkers =
      std::make_unique<TOscMarkerMeasurer>(FTimeBaseMarkerD.get(), FTimeBaseMarkerC.get());
  FTimeBaseMarkers->SetOnChange([this](TOscMarkerMeasurer* S) { MeasurementChanged(S); });
  FVDivMarkers->Marker1()->SetPosition(28);
  FVDivMarkers->Marker2()->SetPosition(228);
  FTimeBaseMarkers->Marker1()->SetPosition(100);
  FTimeBaseMarkers->Marker2()->SetPosition(650);

  FTriggerMarker = std::make_unique<TOscTriggerMarker>(this);
  FTriggerMarker->SetColor(Skin().TriggerColor());
  FTriggerMarker->SetOnChanging([this](TOscMarker* S, int& P) { TriggerChanging(S, P); });
  FPadding = 20;
  FFlip = true;

  // Clicking takes the focus away from other controls; Tab never enters.
  setFocusPolicy(Qt::ClickFocus);
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
  SetFpsLimiter(nullptr);
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
      "The scope view cannot be shown: no OpenGL rendering context with double buffering "
      "and an 8-bit stencil buffer is available";
  FRenderingContext = std::make_unique<QOpenGLContext>();
  FRenderingContext->setFormat(FWindow->requestedFormat());
  if (!FRenderingContext->create())
    throw EOscError(std::string(CNoOpenGL) + " (the context could not be created).");
  if (FRenderingContext->format().stencilBufferSize() < 8 ||
      FWindow->format().stencilBufferSize() < 8)
    throw EOscError(std::string(CNoOpenGL) + " (no stencil buffer).");
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

void TOscRenderer3D::SetPadding(int Value) {
  if (Value == FPadding)
    return;
  FPadding = Value;
  DoChange();
}

void TOscRenderer3D::SetFlip(bool Value) {
  if (Value == FFlip)
    return;
  FFlip = Value;
  // The flip is applied to the trace points as they are built.
  InvalidateTraces();
  DoChange();
}

void TOscRenderer3D::SetHorizontalScroller(const TOscTimeScroller& Value) {
  FHorizontalScroller->SetPosition(Value.Position());
}

void TOscRenderer3D::SetTriggerMarker(const TOscTriggerMarker& Value) {
  FTriggerMarker->SetPosition(Value.Position());
}

void TOscRenderer3D::SetFpsLimiter(TOscFpsLimiter* Value) {
  if (FFpsLimiter != nullptr)
    FFpsLimiter->UnRegisterObserver(FFrameRateObserver.get());
  FFpsLimiter = Value;
  if (Value != nullptr)
    Value->RegisterObserver(FFrameRateObserver.get());
}

void TOscRenderer3D::RegisterMarker(TOscMarker* Marker) {
  FMarkers->Add(Marker);
}

void TOscRenderer3D::UnregisterMarker(TOscMarker* Marker) {
  if (FMarkers)
    FMarkers->Remove(Marker);
}

void TOscRenderer3D::SetViewCursor(Qt::CursorShape Shape) {
  // The cursor belongs to the native window; on the container it never shows.
  if (Shape == FCursor)
    return;
  FCursor = Shape;
  if (FWindow != nullptr)
    FWindow->setCursor(Shape);
}

bool TOscRenderer3D::CanDraw() const {
  return FCanvas && FWindow != nullptr && FWindow->isExposed() && width() > 0 && height() > 0;
}

void TOscRenderer3D::Render() {
  if (UpdateTraces())
    FForceDraw = true;
  if (!CanDraw()) {
    // Whatever comes on screen later must be drawn in full.
    FForceDraw = true;
    return;
  }
  CurrentLook(FLook);
  if (!FForceDraw && FLook == FShownLook)
    return;
  if (!FRenderingContext->makeCurrent(FWindow))
    return;
  Draw();
  if (FOnBeforeSwap)
    FOnBeforeSwap(this);
  FRenderingContext->swapBuffers(FWindow);
  ++FFramesDrawn;
  FForceDraw = false;
  std::swap(FShownLook, FLook);
  if (FOnAfterSwap)
    FOnAfterSwap(this);
}

QImage TOscRenderer3D::GrabFramebuffer() {
  QImage Image;
  TNotifyEvent Saved = FOnBeforeSwap;
  FOnBeforeSwap = [&](TOscRenderer3D*) {
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
  FForceDraw = true;
  Render();
  FOnBeforeSwap = std::move(Saved);
  return Image;
}

TOscRenderer3D::TFrameGeometry TOscRenderer3D::CurrentGeometry() const {
  // glOrtho(Left - 1, Right, Bottom, Top - 1, 0, 1) over the page and an
  // identity model-view, as Draw sets them up.
  TFrameGeometry G;
  const double L = -1, R = SamplesPerPage() - 1, B = 255, T = -1, N = 0, F = 1;
  // clang-format off
  G.Projection = {2 / (R - L),        0,                  0,                  0,
                  0,                  2 / (T - B),        0,                  0,
                  0,                  0,                  -2 / (F - N),       0,
                  -(R + L) / (R - L), -(T + B) / (T - B), -(F + N) / (F - N), 1};
  // clang-format on
  G.ModelView = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  // A window smaller than its padding keeps a one-pixel drawing area, so that
  // no division by zero reaches the picture or the mouse mapping.
  G.Viewport = {FPadding, FPadding, std::max(1, width() - 2 * FPadding),
                std::max(1, height() - 2 * FPadding)};
  return G;
}

void TOscRenderer3D::Draw() {
  const int S = SamplesPerPage();
  SetScopeRect({0, 0, S - 1, 255});
  const TOscRect& R = ScopeRect();

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(R.Left - 1, R.Right, R.Bottom, R.Top - 1, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  const TOscColor Bg = Skin().BackgroundColor();
  glClearColor(OscRed(Bg) / 255.0f, OscGreen(Bg) / 255.0f, OscBlue(Bg) / 255.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);

  FLastGeometry = CurrentGeometry();
  FHaveFrame = true;
  const qreal Dpr = FWindow != nullptr ? FWindow->devicePixelRatio() : 1.0;
  const auto& V = FLastGeometry.Viewport;
  glViewport(static_cast<GLint>(V[0] * Dpr), static_cast<GLint>(V[1] * Dpr),
             static_cast<GLsizei>(V[2] * Dpr), static_cast<GLsizei>(V[3] * Dpr));

  DrawGrid();
  FCanvas->SetClip(true);
  FCanvas->SetClipRect({R.Left, R.Top + ClipSize, R.Right, R.Bottom - ClipSize});
  if (Oscilloscope() != nullptr)
    DrawTraces();
  DrawMarkers();
  FCanvas->SetClip(false);
}

void TOscRenderer3D::BuildGrid() {
  const TOscRect& R = ScopeRect();
  const int Spd = SamplesPerDivision();
  glNewList(glGridList, GL_COMPILE);
  glBegin(GL_LINES);
  for (int I = 0; I <= VerticalDivisions; ++I) {
    glVertex2i(R.Left, R.Top + ClipSize + 25 * I);
    glVertex2i(R.Right, R.Top + ClipSize + 25 * I);
  }
  const int Divisions = this->Divisions();
  for (int I = 0; I <= Divisions; ++I) {
    glVertex2i(R.Left + I * Spd, R.Top + ClipSize);
    glVertex2i(R.Left + I * Spd, R.Bottom - ClipSize + 1);
  }
  glEnd();
  glEndList();
}

void TOscRenderer3D::DrawGrid() {
  BuildGrid();
  FCanvas->Pen().SetWidth(1.0f);
  FCanvas->Pen().SetStyle(TOscPenStyle::psSolid);
  FCanvas->SetColor(Skin().GridColor());
  glCallList(glGridList);
}

void TOscRenderer3D::DrawTraces() {
  FCanvas->Pen().SetWidth(1.0f);
  FCanvas->Pen().SetStyle(TOscPenStyle::psSolid);
  FCanvas->SetAntiAliased(true);
  for (int I = 0; I < Traces().Count(); ++I)
    DrawTrace(Traces().Trace(I), Traces().Trace(I).Color());
  FCanvas->SetAntiAliased(false);
}

void TOscRenderer3D::DrawTrace(const TOscTrace& Trace, TOscColor Color) {
  glPushMatrix();
  glTranslatef(static_cast<float>(-FHorizontalScroller->Position()), 0.0f, 0.0f);
  FCanvas->Pen().SetWidth(1.5f);
  FCanvas->Pen().SetColor(Color);
  FCanvas->PolyLine(Trace.Points);
  glPopMatrix();
}

void TOscRenderer3D::DrawMarkers() {
  for (int I = 0; I < FMarkers->Count(); ++I)
    if (FMarkers->Marker(I).Visible())
      DrawMarker(FMarkers->Marker(I));
}

void TOscRenderer3D::DrawMarker(const TOscMarker& Marker) {
  // Not shifted by the scroll position: markers stay put on the page.
  FCanvas->Pen().SetColor(Marker.Color());
  TOscPoint A, B;
  if (Marker.Style() == oscMarkerHorizontal) {
    A = {0, Marker.Position()};
    B = {SamplesPerPage() - 1, Marker.Position()};
  } else {
    A = {Marker.Position(), 0};
    B = {Marker.Position(), 255};
  }
  PointToScreen(A);
  PointToScreen(B);
  FCanvas->Pen().SetStyle(PenStyleOf(Marker.Line()));
  FCanvas->Line(A.X, A.Y, B.X, B.Y);
}

void TOscRenderer3D::CurrentLook(TFrameLook& L) const {
  const qreal Dpr = FWindow != nullptr ? FWindow->devicePixelRatio() : 1.0;
  L.Width = width();
  L.Height = height();
  L.PixelWidth = static_cast<int>(width() * Dpr);
  L.PixelHeight = static_cast<int>(height() * Dpr);
  L.Padding = FPadding;
  L.Flip = FFlip;
  L.Divisions = Divisions();
  L.SamplesPerDivision = SamplesPerDivision();
  L.Scroll = FHorizontalScroller->Position();
  L.Grid = Skin().GridColor();
  L.Background = Skin().BackgroundColor();
  L.Markers.clear();
  for (int I = 0; I < FMarkers->Count(); ++I) {
    const TOscMarker& M = FMarkers->Marker(I);
    L.Markers.push_back({M.Visible(), M.Position(), M.Style(), M.Line(), M.Color()});
  }
}

void TOscRenderer3D::ScreenToGrid(int X, int Y, TOscPoint& Point) const {
  if (Y == 0)
    Y = 1;
  const TFrameGeometry G = FHaveFrame ? FLastGeometry : CurrentGeometry();
  // gluUnProject counts window Y upward from the bottom edge.
  const double WinY = static_cast<double>(height()) - Y;
  GLdouble OX = 0, OY = 0, OZ = 0;
  if (gluUnProject(X, WinY, 0.0, G.ModelView.data(), G.Projection.data(), G.Viewport.data(), &OX,
                   &OY, &OZ) != GL_TRUE) {
    OX = -1;
    OY = -1;
  }
  Point = {RoundToGrid(OX), RoundToGrid(OY)};
  PointToScreen(Point);
}

int TOscRenderer3D::SampleAt(int X, int Y) const {
  TOscPoint P;
  ScreenToGrid(X, Y, P);
  return P.X + FHorizontalScroller->Position();
}

void TOscRenderer3D::AdjustMarkerLimits() {
  FTimeBaseMarkers->Marker1()->SetMaxPosition(SamplesPerPage() - 5);
  FTimeBaseMarkers->Marker2()->SetMaxPosition(SamplesPerPage() - 5);
}

void TOscRenderer3D::PointToScreen(TOscPoint& Point) const {
  if (FFlip)
    Point.Y = 255 - Point.Y;
}

void TOscRenderer3D::PointsToScreen(std::vector<TOscPoint>& Points) const {
  if (FFlip)
    for (TOscPoint& P : Points)
      P.Y = 255 - P.Y;
}

void TOscRenderer3D::CallChange() {
  if (FOnChange)
    FOnChange(this);
}

void TOscRenderer3D::DoChange() {
  TOscRenderer::DoChange();
  CallChange();
  Paint();
}

void TOscRenderer3D::DoResizeSignal() {
  AdjustMarkerLimits();
  Paint();
}

void TOscRenderer3D::Paint() {
  Render();
}

void TOscRenderer3D::Resize() {
  TOscRenderer::Resize();
  AdjustMarkerLimits();
  Paint();
}

void TOscRenderer3D::DoHorizontalScroll() {
  Paint();
  if (FOnHorizontalScroll)
    FOnHorizontalScroll(this);
}

void TOscRenderer3D::paintEvent(QPaintEvent*) {
  // The native window covers the whole control and paints itself.
}

void TOscRenderer3D::resizeEvent(QResizeEvent* Event) {
  OscGuarded([&] {
    if (FContainer != nullptr)
      FContainer->setGeometry(rect());
    TOscRenderer::resizeEvent(Event);
  });
}

void TOscRenderer3D::HandleHorizontalScroll(TOscTimeScroller*) {
  DoHorizontalScroll();
}

void TOscRenderer3D::FrameRateTick(TOscFpsLimiter*) {
  Render();
}

void TOscRenderer3D::MeasurementChanged(TOscMarkerMeasurer*) {
  DoChange();
}

void TOscRenderer3D::TriggerChanging(TOscMarker*, int& Position) {
  TOscDevice* Device = Oscilloscope();
  if (Device == nullptr)
    return;
  Device->Trigger().SetLevel(Position);
  Position = Device->Trigger().Level();
  Device->TransmitSettings();
}

void TOscRenderer3D::WindowExposed() {
  FForceDraw = true;
  Paint();
}

void TOscRenderer3D::WindowResized() {
  FForceDraw = true;
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

void TOscRenderer3D::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  if (focusPolicy() != Qt::NoFocus && isEnabled())
    setFocus(Qt::MouseFocusReason);
  TOscPoint P;
  ScreenToGrid(X, Y, P);
  FHorizontalScroller->MouseDown(Button, Shift, P.X, P.Y);
  FMarkers->MouseDown(Button, Shift, P.X, P.Y);
}

void TOscRenderer3D::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  TOscPoint P;
  ScreenToGrid(X, Y, P);
  FHorizontalScroller->MouseUp(Button, Shift, P.X, P.Y);
  FMarkers->MouseUp(Button, Shift, P.X, P.Y);
}

void TOscRenderer3D::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
  SetViewCursor(Qt::ArrowCursor);
  TOscPoint P;
  ScreenToGrid(X, Y, P);
  FHorizontalScroller->MouseMove(Shift, P.X, P.Y);
  FMarkers->MouseMove(Shift, P.X, P.Y);
  TOscDevice* Device = Oscilloscope();
  if (!FOnHover || Device == nullptr || !Device->HasSignals())
    return;
  const int I = SampleAt(X, Y);
  for (int C = 0; C < Device->Signals().Count(); ++C) {
    TOscSignal& Signal = Device->Signals().Signal(C);
    if (I >= 0 && I < Signal.Count())
      FOnHover(this, &Signal, Signal.GetSampleVoltage(I));
  }
}
