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
    glEnable(GL_STENCIL_TEST);
  else
    glDisable(GL_STENCIL_TEST);
}

void TOscCanvas3D::SetClipRect(const TOscRect& Rect) {
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDepthMask(GL_FALSE);
  // Every fragment fails the test and writes 1.
  glStencilFunc(GL_NEVER, 1, 0xFF);
  glStencilOp(GL_REPLACE, GL_KEEP, GL_KEEP);
  glStencilMask(0xFF);
  glClear(GL_STENCIL_BUFFER_BIT);
  FillRect(Rect);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0);
  glStencilFunc(GL_EQUAL, 1, 0xFF);
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
