// Where no OpenGL context can be had (a remote display without GLX, a broken
// driver), the view draws with QPainter instead of showing a black window.
// The xcb platform's OpenGL integration is switched off for this program, as
// QT_XCB_GL_INTEGRATION=none does for zelvo; it must be set before the
// application object exists, hence a test program of its own.

#include "DisplayTestSupport.h"

#include "display/OscScopeViewFactory.h"

TEST(ScopeViewFallback, WithoutOpenGLTheViewDrawsTheTracesWithQPainter) {
  qputenv("QT_XCB_GL_INTEGRATION", "none");
  TestApp();
  TTestDevice Device;
  std::unique_ptr<TOscScopeView> View(OscCreateScopeView(nullptr));
  ASSERT_TRUE(View->SoftwareDrawing());
  View->SetFlip(false);
  View->SetOscilloscope(&Device);
  View->resize(697, 449);
  View->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(View.get()));
  Device.Fill(0, 100);
  Device.Fill(1, 200);
  const QImage Image = View->GrabFramebuffer();
  // Grid X 400 and grid Y 100 / 200 in a 657 x 409 drawing area.
  const int X = 20 + 401 * 657 / 801;
  EXPECT_TRUE(ShadeNear(Image, X, 20 + 101 * 409 / 256, 0xFFFF00));
  EXPECT_TRUE(ShadeNear(Image, X, 20 + 201 * 409 / 256, 0x7CEEEE));
  EXPECT_GT(View->FramesDrawn(), 0);
}
