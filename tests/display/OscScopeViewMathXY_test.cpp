// The math trace and XY in the scope view, in both drawings: pixels where the
// volts put them, worked out by hand, and what the markers, the scroller and
// the hover do while XY is on.

#include "DisplayTestSupport.h"

#include <cmath>
#include <utility>
#include <vector>

#include "osc/OscMath.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr TOscColor Cyan = 0xFFFF00;
constexpr TOscColor PaleYellow = 0x7CEEEE;

// Both channels at 1 V/div (0.04 V a step) around sample 128, unflipped as in
// the main window, markers hidden unless a test shows them.
class MathXYTest : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    View->SetFlip(false);
    View->SetOscilloscope(&Device);
    View->SetMath(&Math);
    for (int C = 0; C < 2; ++C) {
      Device.Channel(C).SetVoltsPerDivision(vdiv1V);
      Device.Channel(C).SetYPosition(128);
    }
    for (int I = 0; I < View->Markers().Count(); ++I)
      View->Markers().Marker(I).SetVisible(false);
  }
  TOscMarker& TimeC() { return View->Markers().Marker(2); }
  TOscMarker& VDivA() { return View->Markers().Marker(0); }

  TTestDevice Device;
  TOscMath Math{&Device};
};

} // namespace

TEST_P(MathXYTest, MathTraceLiesAtItsOwnScaleAndZeroLine) {
  // CH1 +2 V throughout; CH2 +1 V up to sample 400, then -1 V.
  Device.Fill(0, 78);
  Device.Fill(1, 103, 0, 400);
  Device.Fill(1, 153, 400);
  Math.SetYPosition(170);
  const struct {
    TOscMathMode Mode;
    TOscVoltsPerDivision Scale;
    int YBefore, YAfter; // grid Y of the result before and after sample 400
  } Cases[] = {
      {mmAdd, vdiv1V, 170 - 75, 170 - 25},      // 3 V, 1 V: 25 steps a volt
      {mmMultiply, vdiv1V, 170 - 50, 170 + 50}, // 2 V², -2 V²
      {mmMultiply, vdiv2V, 170 - 25, 170 + 25}, // the same at 2 V²/div
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(COscMathModeNames[C.Mode]);
    Math.SetMode(C.Mode);
    Math.SetVoltsPerDivision(C.Scale);
    Math.Update();
    const QImage Image = View->GrabFramebuffer();
    EXPECT_TRUE(ShadeNear(Image, PixelX(200), PixelY(C.YBefore), COscMathColor));
    EXPECT_TRUE(ShadeNear(Image, PixelX(600), PixelY(C.YAfter), COscMathColor));
    EXPECT_FALSE(ShadeNear(Image, PixelX(200), PixelY(C.YAfter), COscMathColor, 4));
    EXPECT_FALSE(ShadeNear(Image, PixelX(600), PixelY(C.YBefore), COscMathColor, 4));
    // The channels still show, under it.
    EXPECT_TRUE(ShadeNear(Image, PixelX(200), PixelY(78), Cyan));
    EXPECT_TRUE(ShadeNear(Image, PixelX(600), PixelY(153), PaleYellow));
  }

  // Off, or the math of a device not shown: no math trace.
  Math.SetMode(mmOff);
  EXPECT_EQ(CountShade(View->GrabFramebuffer(), COscMathColor), 0);
  TTestDevice Other;
  TOscMath OthersMath(&Other);
  OthersMath.SetMode(mmAdd);
  Other.Fill(0, 100);
  Other.Fill(1, 100);
  OthersMath.Update();
  View->SetMath(&OthersMath);
  EXPECT_EQ(CountShade(View->GrabFramebuffer(), COscMathColor), 0);
  View->SetMath(nullptr);
}

TEST_P(MathXYTest, MathTraceIsRebuiltOnlyWhenTheMathChanged) {
  Device.Fill(0, 103);
  Device.Fill(1, 103);
  Math.SetMode(mmAdd);
  Math.Update();
  View->Render();
  ASSERT_EQ(View->Traces().Count(), 3);
  const TOscPoint* Points = View->Traces().Trace(2).Points.data();
  const long long Drawn = View->FramesDrawn();
  View->Render();
  EXPECT_EQ(View->FramesDrawn(), Drawn);

  // Each change shows at the next frame, in the same storage.
  const std::function<void()> Changes[] = {
      [&] { Math.Update(); },
      [&] { Math.SetVoltsPerDivision(vdiv500mV); },
      [&] { Math.SetYPosition(100); },
  };
  for (std::size_t I = 0; I < std::size(Changes); ++I) {
    SCOPED_TRACE(I);
    const long long Before = View->FramesDrawn();
    Changes[I]();
    View->Render();
    EXPECT_EQ(View->FramesDrawn(), Before + 1);
    EXPECT_EQ(View->Traces().Trace(2).Points.data(), Points);
  }
  // 2 V at 0.5 V/div is four divisions above the zero line.
  EXPECT_EQ(View->Traces().Trace(2).Points[10], (TOscPoint{10, 100 - 100}));
  Math.SetMode(mmOff);
  View->Render();
  EXPECT_EQ(View->Traces().Count(), 2);
}

TEST_P(MathXYTest, XYDrawsACircleFromTwoSinesAQuarterPeriodApart) {
  // 50 steps (2 V) peak on both, 8 periods: CH1 a cosine, CH2 a sine.
  for (int I = 0; I < CSampleCount; ++I) {
    const double A = 2 * Pi * 8 * I / CSampleCount;
    Device.Channel(0).SetSample(I, static_cast<int>(std::lround(128 - 50 * std::cos(A))));
    Device.Channel(1).SetSample(I, static_cast<int>(std::lround(128 - 50 * std::sin(A))));
  }
  Math.SetMode(mmAdd); // not drawn in XY
  Math.Update();
  View->HorizontalScroller().SetPosition(600); // XY shows the whole capture
  View->SetXY(true);
  const QImage Image = View->GrabFramebuffer();

  // 2 V is two divisions each way: 100 grid units across (50 samples a
  // division), 50 up and down, around the page's centre.
  ASSERT_EQ(View->SamplesPerPage(), 801);
  const double CX = PixelX(400), CY = PixelY(128);
  const double RX = PixelX(500) - CX, RY = PixelY(178) - CY;
  const std::pair<int, int> OnCircle[] = {{500, 128}, {400, 78}, {300, 128}, {400, 178}};
  for (const auto& [X, Y] : OnCircle)
    EXPECT_TRUE(ShadeNear(Image, PixelX(X), PixelY(Y), Cyan)) << X << "," << Y;
  // Every pixel of the trace lies on that circle, within two pixels: no time
  // trace, no math trace.
  int Lit = 0, Off = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X)
      if (IsShadeOf(Image.pixel(X, Y), Cyan)) {
        ++Lit;
        const double R = std::hypot((X + 0.5 - CX) / RX, (Y + 0.5 - CY) / RY);
        Off += std::abs(R - 1) * std::min(RX, RY) > 2.5;
      }
  EXPECT_GT(Lit, 400);
  EXPECT_EQ(Off, 0);
  EXPECT_EQ(CountShade(Image, PaleYellow), 0);
  EXPECT_EQ(CountShade(Image, COscMathColor), 0);

  // Back to time: both channels and the math, scrolled as before.
  View->SetXY(false);
  View->Render();
  EXPECT_EQ(View->Traces().Count(), 3);
  EXPECT_GT(CountShade(View->GrabFramebuffer(), PaleYellow), 300);
}

TEST_P(MathXYTest, XYHidesTheTimeMarkersStopsScrollingAndHoversOnBothAxes) {
  Device.Fill(0, 128);
  Device.Fill(1, 128);
  TimeC().SetVisible(true);
  VDivA().SetVisible(true);
  VDivA().SetPosition(100);
  View->GrabFramebuffer();
  std::vector<std::pair<TOscSignal*, double>> Hovered;
  View->SetOnHover([&](TOscScopeView*, TOscSignal* S, double V) { Hovered.emplace_back(S, V); });

  View->SetXY(true);
  EXPECT_FALSE(TimeC().Visible());
  EXPECT_TRUE(VDivA().Visible());
  // A press on the time marker's line finds nothing; a right drag scrolls
  // nothing; a volts marker still moves.
  const int TimeX = PixelX(TimeC().Position());
  Press(TimeX, PixelY(60));
  EXPECT_FALSE(TimeC().Dragging());
  Release(TimeX, PixelY(60));
  Press(PixelX(400), PixelY(60), Qt::RightButton);
  Move(PixelX(300), PixelY(60), Qt::RightButton);
  Release(PixelX(300), PixelY(60), Qt::RightButton);
  EXPECT_EQ(View->HorizontalScroller().Position(), 0);
  Press(PixelX(200), PixelY(100));
  Move(PixelX(200), PixelY(120), Qt::LeftButton);
  Release(PixelX(200), PixelY(120));
  EXPECT_EQ(VDivA().Position(), 120);

  // The hover reads the point: 50 grid units right of the centre is one
  // division, 1 V of CH1; 25 above the centre line 1 V of CH2.
  Hovered.clear();
  Move(PixelX(450), PixelY(103));
  ASSERT_EQ(Hovered.size(), 2u);
  EXPECT_EQ(Hovered[0].first, &Device.Channel(0));
  EXPECT_NEAR(Hovered[0].second, 1.0, 0.05);
  EXPECT_EQ(Hovered[1].first, &Device.Channel(1));
  EXPECT_NEAR(Hovered[1].second, 1.0, 0.05);
  Hovered.clear();
  Move(5, 5); // in the padding: off the page
  EXPECT_TRUE(Hovered.empty());

  View->SetXY(false);
  EXPECT_TRUE(TimeC().Visible());
  Press(PixelX(400), PixelY(60), Qt::RightButton);
  Move(PixelX(300), PixelY(60), Qt::RightButton);
  Release(PixelX(300), PixelY(60), Qt::RightButton);
  EXPECT_EQ(View->HorizontalScroller().Position(), 100);
}

INSTANTIATE_TEST_SUITE_P(Drawings, MathXYTest,
                         ::testing::Values(TDrawing::OpenGL, TDrawing::Software), DrawingName);
