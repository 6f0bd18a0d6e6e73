#pragma once

// The scope view drawn with QPainter on a plain widget: the same grid,
// traces, colours and markers as the OpenGL drawing, for where no OpenGL
// context can be created or made current (a remote display without GLX, a
// broken driver). A black window would tell the user nothing.

#include <vector>

#include <QLineF>

#include "display/OscScopeView.h"

class QPainter;

class TOscPainterRenderer : public TOscScopeView {
public:
  explicit TOscPainterRenderer(QWidget* Parent = nullptr);

  bool SoftwareDrawing() const override { return true; }
  // One frame onto the painter, which covers the whole view.
  virtual void Draw(QPainter& Painter);
  QImage GrabFramebuffer() override;

protected:
  bool CanDraw() const override;
  bool ShowFrame() override;
  void ApplyCursor(Qt::CursorShape Shape) override;

  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;

private:
  // Grid coordinates to client pixels (continuous: pixel i covers i .. i + 1).
  QPointF ToPixel(const TOscPoint& P) const;
  void DrawGrid(QPainter& Painter);
  void DrawTraces(QPainter& Painter);
  void DrawMarkers(QPainter& Painter, bool AfterTraces);

  TFrameGeometry FGeometry;
  // Kept from frame to frame, so that a frame allocates nothing.
  std::vector<TOscPoint> FPoints;
  std::vector<QLineF> FSegments;
};
