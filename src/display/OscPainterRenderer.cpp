#include "display/OscPainterRenderer.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "osc/OscErrorBoundary.h"

namespace {

QColor ColorOf(TOscColor C) {
  return QColor(OscRed(C), OscGreen(C), OscBlue(C));
}

int Px(qreal V) {
  return static_cast<int>(std::floor(V));
}

// The first pixel whose centre lies at or past V: a fill from V to W covers
// the pixels FirstCentre(V) .. FirstCentre(W) - 1, as the OpenGL drawing's
// clip does.
int FirstCentre(double V) {
  return static_cast<int>(std::ceil(V - 0.5));
}

} // namespace

TOscPainterRenderer::TOscPainterRenderer(QWidget* Parent) : TOscScopeView(Parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Hover reports the voltage under the mouse without a button held.
  setMouseTracking(true);
}

bool TOscPainterRenderer::CanDraw() const {
  const QWindow* Top = window()->windowHandle();
  return isVisible() && width() > 0 && height() > 0 && Top != nullptr && Top->isExposed();
}

bool TOscPainterRenderer::ShowFrame() {
  // Paints and flushes at once; paintEvent records the frame.
  repaint();
  return true;
}

void TOscPainterRenderer::ApplyCursor(Qt::CursorShape Shape) {
  setCursor(Shape);
}

QImage TOscPainterRenderer::GrabFramebuffer() {
  if (!CanDraw())
    return {};
  ForceDraw();
  Render();
  const qreal Dpr = DevicePixelRatio();
  QImage Image(static_cast<int>(width() * Dpr), static_cast<int>(height() * Dpr),
               QImage::Format_RGB32);
  Image.setDevicePixelRatio(Dpr);
  QPainter Painter(&Image);
  Draw(Painter);
  return Image;
}

QPointF TOscPainterRenderer::ToPixel(const TOscPoint& P) const {
  const TFrameGeometry& G = FGeometry;
  return {G.Padding + (P.X + 1.0) * G.AreaWidth() / G.SamplesPerPage,
          G.Padding + (P.Y + 1.0) * G.AreaHeight() / 256.0};
}

void TOscPainterRenderer::Draw(QPainter& Painter) {
  FGeometry = CurrentGeometry();
  SetScopeRect({0, 0, FGeometry.SamplesPerPage - 1, 255});
  Painter.fillRect(rect(), ColorOf(Skin().BackgroundColor()));
  DrawGrid(Painter);

  // The clip band of the page, grid Y 3 .. 252.
  const QPointF TopLeft = ToPixel({0, ClipSize});
  const QPointF BottomRight = ToPixel({FGeometry.SamplesPerPage - 1, 255 - ClipSize});
  const int L = FirstCentre(TopLeft.x()), T = FirstCentre(TopLeft.y());
  const int R = FirstCentre(BottomRight.x()), B = FirstCentre(BottomRight.y());
  Painter.setClipRect(QRect(L, T, R - L, B - T));
  const bool Traces =
      Oscilloscope() != nullptr && this->Traces().Count() + ReferenceTraces().Count() > 0;
  if (Traces)
    DrawTraces(Painter);
  DrawMarkers(Painter, Traces);
  Painter.setClipping(false);
}

void TOscPainterRenderer::DrawGrid(QPainter& Painter) {
  // One-pixel lines on the pixel the line passes through, as OpenGL draws
  // them without smoothing.
  Painter.setRenderHint(QPainter::Antialiasing, false);
  Painter.setPen(QPen(ColorOf(Skin().GridColor()), 0));
  GridLines(FPoints);
  for (std::size_t I = 0; I + 1 < FPoints.size(); I += 2) {
    const QPointF A = ToPixel(FPoints[I]), B = ToPixel(FPoints[I + 1]);
    Painter.drawLine(Px(A.x()), Px(A.y()), Px(B.x()), Px(B.y()));
  }
}

void TOscPainterRenderer::DrawTraces(QPainter& Painter) {
  Painter.setRenderHint(QPainter::Antialiasing, true);
  const int Columns = static_cast<int>(FGeometry.AreaWidth() * DevicePixelRatio());
  // The reference first, so that the live traces lie over it.
  const TOscTraces* const Sets[] = {&ReferenceTraces(), &Traces()};
  for (const TOscTraces* Set : Sets)
    for (int I = 0; I < Set->Count(); ++I) {
      Painter.setPen(QPen(ColorOf(Set->Trace(I).Color()), 1.5, Qt::SolidLine, Qt::FlatCap));
      VisibleTracePoints(Set->Trace(I), Columns, FPoints);
      // Separate segments, as OpenGL draws a strip; stroked one by one they
      // also cost a third of one polyline, whose outline QPainter fills as a
      // single large polygon.
      FSegments.clear();
      for (std::size_t K = 0; K + 1 < FPoints.size(); ++K)
        FSegments.emplace_back(ToPixel(FPoints[K]), ToPixel(FPoints[K + 1]));
      Painter.drawLines(FSegments.data(), static_cast<int>(FSegments.size()));
    }
  Painter.setRenderHint(QPainter::Antialiasing, false);
}

void TOscPainterRenderer::DrawMarkers(QPainter& Painter, bool AfterTraces) {
  // The OpenGL drawing keeps the traces' pen width of 1.5 for the markers,
  // which unsmoothed lines round to 2 pixels.
  const int Width = AfterTraces ? 2 : 1;
  for (int I = 0; I < Markers().Count(); ++I) {
    const TOscMarker& Marker = Markers().Marker(I);
    if (!Marker.Visible())
      continue;
    QPen Pen(ColorOf(Marker.Color()), Width, Qt::SolidLine, Qt::FlatCap);
    // The stipple patterns, counted from the line's start in pixels: dash
    // 0xF8F8 is 3 off and 5 on, dot 0xAAAA 1 off and 1 on.
    if (Marker.Line() == oscLineDash) {
      Pen.setDashPattern({5.0 / Width, 3.0 / Width});
      Pen.setDashOffset(5.0 / Width);
    } else if (Marker.Line() == oscLineDot) {
      Pen.setDashPattern({1.0 / Width, 1.0 / Width});
      Pen.setDashOffset(1.0 / Width);
    }
    Painter.setPen(Pen);
    TOscPoint A, B;
    MarkerLine(Marker, A, B);
    const QPointF PA = ToPixel(A), PB = ToPixel(B);
    Painter.drawLine(Px(PA.x()), Px(PA.y()), Px(PB.x()), Px(PB.y()));
  }
}

// Entry points from the event loop: nothing thrown may reach Qt.
void TOscPainterRenderer::paintEvent(QPaintEvent*) {
  OscGuarded([&] {
    UpdateTraces();
    {
      QPainter Painter(this);
      Draw(Painter);
    }
    FrameShown();
  });
}

void TOscPainterRenderer::mousePressEvent(QMouseEvent* E) {
  OscGuarded([&] {
    MouseDown(E->button(), E->modifiers(), Px(E->position().x()), Px(E->position().y()));
  });
}

void TOscPainterRenderer::mouseReleaseEvent(QMouseEvent* E) {
  OscGuarded(
      [&] { MouseUp(E->button(), E->modifiers(), Px(E->position().x()), Px(E->position().y())); });
}

void TOscPainterRenderer::mouseMoveEvent(QMouseEvent* E) {
  OscGuarded([&] { MouseMove(E->modifiers(), Px(E->position().x()), Px(E->position().y())); });
}
