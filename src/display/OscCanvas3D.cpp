#include "display/OscCanvas3D.h"

#include <algorithm>
#include <cmath>

#include <GL/gl.h>

TOscPen3D::TOscPen3D() {
  // The style stays solid without touching OpenGL.
  SetWidth(1.0f);
}

void TOscPen3D::SetWidth(float Value) {
  FWidth = Value;
  glPointSize(Value);
  glLineWidth(Value);
}

unsigned short TOscPen3D::StipplePattern(TOscPenStyle Style) {
  switch (Style) {
  case TOscPenStyle::psDash:
    return 0xF8F8;
  case TOscPenStyle::psDot:
    return 0xAAAA;
  case TOscPenStyle::psDashDot:
    return 0x6F6F;
  case TOscPenStyle::psDashDotDot:
    return 0xEAEA;
  case TOscPenStyle::psClear:
    return 0x0000;
  case TOscPenStyle::psSolid:
  case TOscPenStyle::psInsideFrame:
    break;
  }
  return 0xFFFF;
}

void TOscPen3D::SetStyle(TOscPenStyle Value) {
  FStyle = Value;
  if (Value == TOscPenStyle::psSolid)
    glDisable(GL_LINE_STIPPLE);
  else
    glEnable(GL_LINE_STIPPLE);
  glLineStipple(1, StipplePattern(Value));
}

TOscCanvas3D::TOscCanvas3D(TOscRenderer3D* AOwner) : FOwner(AOwner) {}

void TOscCanvas3D::SetColor(TOscColor Value) {
  glColor3ub(OscRed(Value), OscGreen(Value), OscBlue(Value));
}

void TOscCanvas3D::SetAntiAliased(bool Value) {
  FAntiAliased = Value;
  if (Value) {
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_DONT_CARE);
  } else {
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
  }
}

void TOscCanvas3D::SetClip(bool Value) {
  if (Value == FClip)
    return;
  FClip = Value;
  if (Value)
    glEnable(GL_SCISSOR_TEST);
  else
    glDisable(GL_SCISSOR_TEST);
}

void TOscCanvas3D::SetClipRect(const TOscRect& Rect) {
  GLdouble Projection[16], ModelView[16];
  GLint Viewport[4];
  glGetDoublev(GL_PROJECTION_MATRIX, Projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, ModelView);
  glGetIntegerv(GL_VIEWPORT, Viewport);
  // Window coordinates of a corner (column-major matrices).
  const auto Window = [&](double X, double Y, double& WX, double& WY) {
    double Eye[4], Clip[4];
    for (int R = 0; R < 4; ++R)
      Eye[R] = ModelView[R] * X + ModelView[4 + R] * Y + ModelView[12 + R];
    for (int R = 0; R < 4; ++R)
      Clip[R] = Projection[R] * Eye[0] + Projection[4 + R] * Eye[1] + Projection[8 + R] * Eye[2] +
                Projection[12 + R] * Eye[3];
    WX = Viewport[0] + (Clip[0] / Clip[3] + 1) / 2 * Viewport[2];
    WY = Viewport[1] + (Clip[1] / Clip[3] + 1) / 2 * Viewport[3];
  };
  double X0, Y0, X1, Y1;
  Window(Rect.Left, Rect.Bottom, X0, Y0);
  Window(Rect.Right, Rect.Top, X1, Y1);
  // The first pixel whose centre is at or past V.
  const auto Centre = [](double V) { return static_cast<GLint>(std::ceil(V - 0.5)); };
  const GLint L = Centre(std::min(X0, X1)), R = Centre(std::max(X0, X1));
  const GLint B = Centre(std::min(Y0, Y1)), T = Centre(std::max(Y0, Y1));
  glScissor(L, B, std::max(0, R - L), std::max(0, T - B));
}

void TOscCanvas3D::FillRect(const TOscRect& Rect) {
  SetColor(FBrush.Color());
  glBegin(GL_POLYGON);
  glVertex3f(static_cast<float>(Rect.Left), static_cast<float>(Rect.Bottom), 0.0f);
  glVertex3f(static_cast<float>(Rect.Right), static_cast<float>(Rect.Bottom), 0.0f);
  glVertex3f(static_cast<float>(Rect.Right), static_cast<float>(Rect.Top), 0.0f);
  glVertex3f(static_cast<float>(Rect.Left), static_cast<float>(Rect.Top), 0.0f);
  glEnd();
}

void TOscCanvas3D::PolyLine(const std::vector<TOscPoint>& Points) {
  SetColor(FPen.Color());
  glBegin(GL_LINE_STRIP);
  // Every inner point goes twice in a row; the strip is still the polyline
  // through all points.
  for (std::size_t I = 0; I + 1 < Points.size(); ++I) {
    glVertex2i(Points[I].X, Points[I].Y);
    glVertex2i(Points[I + 1].X, Points[I + 1].Y);
  }
  glEnd();
}

void TOscCanvas3D::Line(int X1, int Y1, int X2, int Y2) {
  SetColor(FPen.Color());
  glBegin(GL_LINES);
  glVertex2i(X1, Y1);
  glVertex2i(X2, Y2);
  glEnd();
}

void TOscCanvas3D::PolyLineArray(const std::vector<TOscPoint>& Points) {
  DrawArray(GL_LINE_STRIP, Points);
}

void TOscCanvas3D::LinesArray(const std::vector<TOscPoint>& Points) {
  DrawArray(GL_LINES, Points);
}

void TOscCanvas3D::DrawArray(unsigned Mode, const std::vector<TOscPoint>& Points) {
  static_assert(sizeof(TOscPoint) == 2 * sizeof(GLint), "points are read as pairs of GLint");
  SetColor(FPen.Color());
  if (Points.size() < 2)
    return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_INT, sizeof(TOscPoint), Points.data());
  glDrawArrays(Mode, 0, static_cast<GLsizei>(Points.size()));
  glDisableClientState(GL_VERTEX_ARRAY);
}
