// The whole window where no OpenGL context can be had (a remote display
// without GLX, a broken driver): the scope view draws with QPainter, the demo
// traces show, and the link panel says so once. The xcb platform's OpenGL
// integration is switched off before the application object exists, as
// QT_XCB_GL_INTEGRATION=none does for zelvo, hence a test program of its own.

#include "AppTestSupport.h"

#include <QLabel>

#include "display/OscScopeView.h"

namespace {

class SoftwareDrawingTest : public AppTest {
protected:
  void SetUp() override {
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    AppTest::SetUp();
  }
};

} // namespace

TEST_F(SoftwareDrawingTest, TheWindowShowsTheDemoAndSaysHowItDraws) {
  TOscScopeView& View = Main().OscRenderer3D();
  ASSERT_TRUE(View.SoftwareDrawing());
  EXPECT_EQ(Main().StatusPanel(3)->toolTip(), "Software drawing");
  const long long Before = View.FramesDrawn();
  EXPECT_TRUE(QTest::qWaitFor([&] { return View.FramesDrawn() > Before + 2; }, 5000));
  // Channel 1's demo sine is drawn in its cyan across the page.
  const QImage Image = View.GrabFramebuffer();
  ASSERT_FALSE(Image.isNull());
  int Cyan = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X) {
      const QColor C = Image.pixelColor(X, Y);
      Cyan += C.red() < 80 && C.green() > 160 && C.blue() > 160;
    }
  EXPECT_GT(Cyan, Image.width() / 2);
}
