// The OpenGL drawing against the immediate-mode drawing it replaced: every
// point of every trace sent one by one (each inner point twice), the grid
// compiled into a display list on every frame, the page clipped by a stencil
// mask. Both draw into one framebuffer object with a stencil buffer, so that
// only the drawing code differs; the pictures must agree pixel by pixel
// within a small tolerance.

#include "DisplayTestSupport.h"

#include <QOpenGLFramebufferObject>
#include <QPainter>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

// The view with the drawing as it was, for comparison only.
class TReferenceView : public TOscRenderer3D {
public:
  using TOscRenderer3D::UpdateTraces;
  using TOscRenderer3D::VisibleTracePoints;

  void DrawBefore() {
    TOscCanvas3D& C = *Canvas();
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
    const int P = Padding();
    glViewport(P, P, std::max(1, width() - 2 * P), std::max(1, height() - 2 * P));

    glNewList(1, GL_COMPILE);
    glBegin(GL_LINES);
    for (int I = 0; I <= VerticalDivisions; ++I) {
      glVertex2i(R.Left, R.Top + ClipSize + 25 * I);
      glVertex2i(R.Right, R.Top + ClipSize + 25 * I);
    }
    for (int I = 0; I <= Divisions(); ++I) {
      glVertex2i(R.Left + I * SamplesPerDivision(), R.Top + ClipSize);
      glVertex2i(R.Left + I * SamplesPerDivision(), R.Bottom - ClipSize + 1);
    }
    glEnd();
    glEndList();
    C.Pen().SetWidth(1.0f);
    C.Pen().SetStyle(TOscPenStyle::psSolid);
    C.SetColor(Skin().GridColor());
    glCallList(1);

    glEnable(GL_STENCIL_TEST);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glStencilFunc(GL_NEVER, 1, 0xFF);
    glStencilOp(GL_REPLACE, GL_KEEP, GL_KEEP);
    glStencilMask(0xFF);
    glClear(GL_STENCIL_BUFFER_BIT);
    C.FillRect({R.Left, R.Top + ClipSize, R.Right, R.Bottom - ClipSize});
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0);
    glStencilFunc(GL_EQUAL, 1, 0xFF);

    C.Pen().SetWidth(1.0f);
    C.SetAntiAliased(true);
    for (int I = 0; I < Traces().Count(); ++I) {
      glPushMatrix();
      glTranslatef(static_cast<float>(-HorizontalScroller().Position()), 0.0f, 0.0f);
      C.Pen().SetWidth(1.5f);
      C.Pen().SetColor(Traces().Trace(I).Color());
      C.PolyLine(Traces().Trace(I).Points);
      glPopMatrix();
    }
    C.SetAntiAliased(false);

    for (int I = 0; I < Markers().Count(); ++I) {
      const TOscMarker& M = Markers().Marker(I);
      if (!M.Visible())
        continue;
      C.Pen().SetColor(M.Color());
      TOscPoint A, B;
      MarkerLine(M, A, B);
      C.Pen().SetStyle(M.Line() == oscLineSolid ? TOscPenStyle::psSolid
                       : M.Line() == oscLineDot ? TOscPenStyle::psDot
                                                : TOscPenStyle::psDash);
      C.Line(A.X, A.Y, B.X, B.Y);
    }
    glDisable(GL_STENCIL_TEST);
  }
};

QImage ReadBack(int Width, int Height) {
  QImage Image(Width, Height, QImage::Format_RGBA8888);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Image.bits());
  return Image.mirrored();
}

struct TWave {
  const char* Name;
  std::function<int(int)> Sample; // of the sample index
};

const TWave CWaves[] = {
    {"sine", [](int I) { return 128 + static_cast<int>(std::lround(100 * std::sin(I / 31.0))); }},
    {"square", [](int I) { return (I / 50) % 2 ? 215 : 40; }},
    {"noise",
     [](int I) {
       std::minstd_rand R(static_cast<unsigned>(I) * 2654435761u + 1);
       return 30 + static_cast<int>(R() % 196);
     }},
    {"glitch", [](int I) { return I % 700 == 333   ? 250
                                  : I % 700 == 533 ? 8
                                                   : 128; }},
    {"clipped",
     [](int I) {
       return std::clamp(128 + static_cast<int>(std::lround(200 * std::sin(I / 45.0))), 0, 255);
     }},
};

class PictureTest : public ::testing::Test {
protected:
  void SetUp() override {
    TestApp();
    View = std::make_unique<TReferenceView>();
    View->SetOscilloscope(&Device);
    for (int I = 0; I < View->Markers().Count(); ++I)
      View->Markers().Marker(I).SetVisible(true);
  }

  // Both pictures of the wave (channel 2 the wave mirrored and shifted) at a
  // size and scroll position.
  void DrawBoth(const TWave& Wave, QSize Size, int Scroll, bool Flip, QImage& Before,
                QImage& After) {
    View->SetFlip(Flip);
    for (int I = 0; I < CSampleCount; ++I) {
      Device.Channel(0).SetSample(I, Wave.Sample(I));
      Device.Channel(1).SetSample(I, 255 - Wave.Sample(I + 17));
    }
    View->resize(Size);
    View->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(View->DeviceContext()));
    View->HorizontalScroller().SetPosition(Scroll);
    ASSERT_EQ(View->HorizontalScroller().Position(), Scroll);
    ASSERT_TRUE(View->RenderingContext()->makeCurrent(View->DeviceContext()));
    QOpenGLFramebufferObject Fbo(Size, QOpenGLFramebufferObject::CombinedDepthStencil);
    ASSERT_TRUE(Fbo.bind());
    GLint Stencil = 0;
    glGetIntegerv(GL_STENCIL_BITS, &Stencil);
    ASSERT_GE(Stencil, 8);
    View->UpdateTraces();
    View->DrawBefore();
    Before = ReadBack(Size.width(), Size.height());
    View->Draw();
    After = ReadBack(Size.width(), Size.height());
    Fbo.release();
  }

  TTestDevice Device;
  std::unique_ptr<TReferenceView> View;
};

std::string CaseName(const TWave& Wave, QSize Size, int Scroll, bool Flip) {
  return std::string(Wave.Name) + " " + std::to_string(Size.width()) + "x" +
         std::to_string(Size.height()) + " scroll " + std::to_string(Scroll) +
         (Flip ? " flipped" : "");
}

// The largest difference of one colour channel over the picture.
int LargestDifference(const QImage& A, const QImage& B) {
  int Largest = 0;
  for (int Y = 0; Y < A.height(); ++Y)
    for (int X = 0; X < A.width(); ++X) {
      const QRgb P = A.pixel(X, Y), Q = B.pixel(X, Y);
      Largest = std::max({Largest, std::abs(qRed(P) - qRed(Q)), std::abs(qGreen(P) - qGreen(Q)),
                          std::abs(qBlue(P) - qBlue(Q))});
    }
  return Largest;
}

// Pixels of the trace colour in A with no pixel of that colour within one
// pixel in B.
int Unmatched(const QImage& A, const QImage& B, TOscColor Color) {
  int N = 0;
  for (int Y = 0; Y < A.height(); ++Y)
    for (int X = 0; X < A.width(); ++X)
      N += IsShadeOf(A.pixel(X, Y), Color) && !ShadeNear(B, X, Y, Color, 1);
  return N;
}

constexpr TOscColor Cyan = 0xFFFF00;

} // namespace

// Where a pixel column holds at most two samples (the program's default
// window shows fewer samples than it has columns), only the way the points
// reach the driver changed: the pictures are the same.
TEST_F(PictureTest, MatchesTheImmediateModeDrawingWhereNothingIsThinned) {
  const struct {
    QSize Size;
    int Scroll;
  } Layouts[] = {{{881, 604}, 0}, {{697, 449}, 1234}};
  for (const TWave& Wave : CWaves)
    for (const auto& L : Layouts)
      for (bool Flip : {false, true}) {
        SCOPED_TRACE(CaseName(Wave, L.Size, L.Scroll, Flip));
        QImage Before, After;
        DrawBoth(Wave, L.Size, L.Scroll, Flip, Before, After);
        EXPECT_LE(LargestDifference(Before, After), 3);
      }
  // Without a device: grid and markers alone, the markers with the grid's
  // pen width.
  View->SetOscilloscope(nullptr);
  QImage Before, After;
  DrawBoth(CWaves[0], {881, 604}, 0, false, Before, After);
  EXPECT_LE(LargestDifference(Before, After), 3);
}

// A short window shows about four samples per column, which the drawing thins
// to each column's lowest and highest. Every pixel the old drawing lit is
// still lit, within a pixel: spikes, edges and clipped tops stay. Brightness
// is not compared: the old drawing dimmed flat stretches drawn as dozens of
// sub-pixel smoothed segments, which now show as in the default window.
TEST_F(PictureTest, ThinnedTracesLightWhatTheImmediateModeDrawingLit) {
  Device.Channel(1).SetVisible(false); // overlapping traces would hide what moved
  const QSize Short(697, 150);
  for (const TWave& Wave : CWaves)
    for (int Scroll : {0, 1700})
      for (bool Flip : {false, true}) {
        SCOPED_TRACE(CaseName(Wave, Short, Scroll, Flip));
        QImage Before, After;
        DrawBoth(Wave, Short, Scroll, Flip, Before, After);
        std::vector<TOscPoint> Points;
        View->VisibleTracePoints(0, 657, Points);
        ASSERT_GT(View->SamplesPerPage(), 3 * 657);
        ASSERT_LE(static_cast<int>(Points.size()), 2 * (657 + 2)) << "thinned";
        EXPECT_EQ(Unmatched(Before, After, Cyan), 0);
        EXPECT_LE(Unmatched(After, Before, Cyan), CountShade(After, Cyan) / 100);
      }
}
