#include "DisplayTestSupport.h"

namespace {

// Draws on the view's context in plain pixel coordinates.
class CanvasTest : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    Canvas = static_cast<TOscRenderer3D&>(*View).Canvas();
    ASSERT_NE(Canvas, nullptr);
    glViewport(0, 0, View->width(), View->height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, View->width(), View->height(), 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  static GLint Int(GLenum Name) {
    GLint V = 0;
    glGetIntegerv(Name, &V);
    return V;
  }
  // Red pixels in row Y of the back buffer, between X0 and X1.
  int RedInRow(int Y, int X0, int X1) {
    std::vector<unsigned char> Row(static_cast<std::size_t>(View->width()) * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, View->height() - 1 - Y, View->width(), 1, GL_RGBA, GL_UNSIGNED_BYTE,
                 Row.data());
    int N = 0;
    for (int X = X0; X < X1; ++X)
      N += Row[static_cast<std::size_t>(X) * 4] > 200;
    return N;
  }
  TOscCanvas3D* Canvas = nullptr;
};

} // namespace

TEST_P(CanvasTest, PenStyleSetsStippleStateAndPattern) {
  struct {
    TOscPenStyle Style;
    bool Stippled;
    GLint Pattern;
  } const Cases[] = {
      {TOscPenStyle::psSolid, false, 0xFFFF},      {TOscPenStyle::psDash, true, 0xF8F8},
      {TOscPenStyle::psDot, true, 0xAAAA},         {TOscPenStyle::psDashDot, true, 0x6F6F},
      {TOscPenStyle::psDashDotDot, true, 0xEAEA},  {TOscPenStyle::psClear, true, 0x0000},
      {TOscPenStyle::psInsideFrame, true, 0xFFFF},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.Style));
    Canvas->Pen().SetStyle(C.Style);
    EXPECT_EQ(glIsEnabled(GL_LINE_STIPPLE) == GL_TRUE, C.Stippled);
    EXPECT_EQ(Int(GL_LINE_STIPPLE_PATTERN), C.Pattern);
  }
  Canvas->Pen().SetWidth(1.5f);
  GLfloat Width = 0;
  glGetFloatv(GL_LINE_WIDTH, &Width);
  EXPECT_FLOAT_EQ(Width, 1.5f);
}

TEST_P(CanvasTest, ClearPenDrawsNothing) {
  Canvas->Pen().SetColor(0x0000FF);
  Canvas->Pen().SetStyle(TOscPenStyle::psClear);
  Canvas->Line(10, 50, 300, 50);
  EXPECT_EQ(RedInRow(50, 0, View->width()), 0);
  Canvas->Pen().SetStyle(TOscPenStyle::psSolid);
  Canvas->Line(10, 50, 300, 50);
  EXPECT_GT(RedInRow(50, 0, View->width()), 250);
}

TEST_P(CanvasTest, ClipSetterIssuesCallsOnlyOnChangeAntiAliasingAlways) {
  glEnable(GL_SCISSOR_TEST);
  Canvas->SetClip(false); // already false: no call, the state stays
  EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
  glDisable(GL_SCISSOR_TEST);

  Canvas->SetAntiAliased(true);
  glDisable(GL_LINE_SMOOTH);
  Canvas->SetAntiAliased(true); // same value: the calls are issued again
  EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  Canvas->SetAntiAliased(false);
  EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_P(CanvasTest, ClipRectCutsLinesOnlyWhileClipIsOn) {
  Canvas->Pen().SetColor(0x0000FF);
  Canvas->SetClip(true);
  Canvas->SetClipRect({100, 40, 200, 60});
  Canvas->Line(0, 50, 300, 50);
  const int Inside = RedInRow(50, 0, View->width());
  EXPECT_GE(Inside, 95);
  EXPECT_LE(Inside, 102);
  EXPECT_EQ(RedInRow(50, 0, 98), 0);
  EXPECT_EQ(RedInRow(50, 203, View->width()), 0);

  Canvas->SetClip(false);
  Canvas->Line(0, 55, 300, 55);
  EXPECT_GE(RedInRow(55, 0, View->width()), 299);
  Canvas->SetClip(true); // the last mask is still there
  Canvas->Line(0, 45, 300, 45);
  EXPECT_LE(RedInRow(45, 0, View->width()), 102);
  Canvas->SetClip(false);
}

INSTANTIATE_TEST_SUITE_P(Drawings, CanvasTest, ::testing::Values(TDrawing::OpenGL), DrawingName);
