// A kept reference capture in the scope view, in both drawings: dimmed, behind
// the live traces, with its own divisions on the page's, kept across a change
// of device, gone in XY and once cleared.

#include "DisplayTestSupport.h"

#include <algorithm>
#include <cmath>

#include "osc/OscCapture.h"

namespace {

constexpr TOscColor Cyan = 0xFFFF00;
constexpr TOscColor PaleYellow = 0x7CEEEE;

class ReferenceTest : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    View->SetFlip(false);
    View->SetOscilloscope(&Device);
    for (int C = 0; C < 2; ++C)
      Device.Channel(C).SetVoltsPerDivision(vdiv1V);
    for (int I = 0; I < View->Markers().Count(); ++I)
      View->Markers().Marker(I).SetVisible(false);
  }
  // How much of Color a smoothed horizontal line puts into the pixel column
  // at grid X near grid row Y: each pixel's share of the full colour, for
  // pixels that are a shade of it, summed over three pixels each way. A line
  // in full colour gives about its width, a reference line under half that.
  // Grid X and Y lie between grid lines, whose grey would count.
  double Weight(const QImage& Image, double GridX, double GridY, TOscColor Color) const {
    double Sum = 0;
    ForShares(Image, GridX, GridY, Color, [&](double Share) { Sum += Share; });
    return Sum;
  }
  // The largest of those shares: the line's core.
  double Peak(const QImage& Image, double GridX, double GridY, TOscColor Color) const {
    double Max = 0;
    ForShares(Image, GridX, GridY, Color, [&](double Share) { Max = std::max(Max, Share); });
    return Max;
  }
  template <typename F>
  void ForShares(const QImage& Image, double GridX, double GridY, TOscColor Color, F Take) const {
    const int X = PixelX(GridX), Y = PixelY(GridY);
    const double R = OscRed(Color), G = OscGreen(Color), B = OscBlue(Color);
    for (int Dy = -3; Dy <= 3; ++Dy) {
      const QRgb P = Image.pixel(X, Y + Dy);
      const double Share = (qRed(P) * R + qGreen(P) * G + qBlue(P) * B) / (R * R + G * G + B * B);
      const double Off = std::abs(qRed(P) - Share * R) + std::abs(qGreen(P) - Share * G) +
                         std::abs(qBlue(P) - Share * B);
      if (Share > 0.04 && Off <= 24)
        Take(Share);
    }
  }
  bool Live(const QImage& Image, double GridX, double GridY, TOscColor Color) const {
    return Weight(Image, GridX, GridY, Color) > 0.9;
  }
  bool Dimmed(const QImage& Image, double GridX, double GridY, TOscColor Color) const {
    const double W = Weight(Image, GridX, GridY, Color);
    return W > 0.3 && W < 0.85;
  }
  bool None(const QImage& Image, double GridX, double GridY, TOscColor Color) const {
    return Weight(Image, GridX, GridY, Color) < 0.1;
  }
  TTestDevice Device;
};

} // namespace

TEST_P(ReferenceTest, IsDrawnDimmedBehindTheLiveTraces) {
  // Kept: CH1 at 140, CH2 at 190. Live: CH1 at 90 up to sample 400, then on
  // the reference's 140; CH2 off.
  Device.Fill(0, 140);
  Device.Fill(1, 190);
  const TOscCapture Kept = OscCaptureOf(Device);
  View->SetReference(&Kept);
  // A new setting empties the channels, as a scope's new capture would.
  Device.Channel(1).SetVoltsPerDivision(vdivNone);
  Device.Fill(0, 90, 0, 400);
  Device.Fill(0, 140, 400);
  const QImage Image = View->GrabFramebuffer();

  EXPECT_TRUE(Dimmed(Image, 225, 140, Cyan));
  EXPECT_TRUE(Dimmed(Image, 225, 190, PaleYellow));
  EXPECT_TRUE(Live(Image, 225, 90, Cyan));
  // Where both lie on one line, the live trace covers the reference: its
  // core is at least as bright as without the reference (checked below).
  EXPECT_TRUE(Live(Image, 625, 140, Cyan));

  // Another device shown: the reference stays as it was.
  TTestDevice Other;
  Other.Fill(0, 40);
  View->SetOscilloscope(&Other);
  const QImage OnOther = View->GrabFramebuffer();
  EXPECT_TRUE(Dimmed(OnOther, 625, 140, Cyan));
  EXPECT_TRUE(Dimmed(OnOther, 625, 190, PaleYellow));
  EXPECT_TRUE(Live(OnOther, 625, 40, Cyan));

  // None in XY (the XY trace lies elsewhere); none once cleared.
  View->SetXY(true);
  EXPECT_TRUE(None(View->GrabFramebuffer(), 225, 190, PaleYellow));
  View->SetXY(false);
  EXPECT_TRUE(Dimmed(View->GrabFramebuffer(), 225, 190, PaleYellow));
  View->SetReference(nullptr);
  const QImage Cleared = View->GrabFramebuffer();
  EXPECT_TRUE(None(Cleared, 225, 140, Cyan));
  EXPECT_TRUE(None(Cleared, 225, 190, PaleYellow));
  View->SetOscilloscope(&Device);
  const QImage Plain = View->GrabFramebuffer();
  // A reference over it would pull the core towards the dimmed colour.
  EXPECT_GE(Peak(Image, 625, 140, Cyan), Peak(Plain, 625, 140, Cyan) - 0.02);
}

TEST_P(ReferenceTest, LaysItsDivisionsOnThePagesScrollsAndFlipsWithIt) {
  // Kept at 1 µs/div (10 samples a division): a step from 90 to 140 at
  // sample 30, its third division. Shown on a page of 50 samples a division
  // (the device now at 1 ms/div), the step lies at page X 150.
  Device.SetTimeBase(tb1us);
  Device.Channel(1).SetVoltsPerDivision(vdivNone);
  Device.Fill(0, 90, 0, 30);
  Device.Fill(0, 140, 30);
  const TOscCapture Kept = OscCaptureOf(Device);
  Device.SetTimeBase(tb1ms);
  Device.Channel(0).SetVoltsPerDivision(vdivNone);
  View->SetReference(&Kept);
  QImage Image = View->GrabFramebuffer();
  EXPECT_TRUE(Dimmed(Image, 120, 90, Cyan));
  EXPECT_TRUE(None(Image, 120, 140, Cyan));
  EXPECT_TRUE(Dimmed(Image, 180, 140, Cyan));
  EXPECT_TRUE(None(Image, 180, 90, Cyan));

  // Scrolled by 100 samples, the step is at page X 50.
  View->HorizontalScroller().SetPosition(100);
  Image = View->GrabFramebuffer();
  EXPECT_TRUE(Dimmed(Image, 20, 90, Cyan));
  EXPECT_TRUE(Dimmed(Image, 80, 140, Cyan));
  EXPECT_TRUE(None(Image, 80, 90, Cyan));

  // Flipped as the live traces are: sample 90 at grid Y 165.
  View->SetFlip(true);
  Image = View->GrabFramebuffer();
  EXPECT_TRUE(Dimmed(Image, 20, 255 - 90, Cyan));
  EXPECT_TRUE(None(Image, 20, 90, Cyan));
}

INSTANTIATE_TEST_SUITE_P(Drawings, ReferenceTest,
                         ::testing::Values(TDrawing::OpenGL, TDrawing::Software), DrawingName);
