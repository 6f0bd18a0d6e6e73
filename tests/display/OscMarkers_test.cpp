#include "DisplayTestSupport.h"

#include <string>
#include <vector>

#include "osc/OscErrorBoundary.h"

namespace {

class MarkerTest : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    View->SetFlip(false);
    View->SetOnChange([this](TOscScopeView*) { ++ViewChanges; });
    View->GrabFramebuffer();
  }
  TOscMarker& A() { return View->Markers().Marker(0); }
  TOscMarker& B() { return View->Markers().Marker(1); }
  TOscMarker& C() { return View->Markers().Marker(2); }
  TOscMarker& D() { return View->Markers().Marker(3); }
  TOscMarker& Trigger() { return View->TriggerMarker(); }

  // A client pixel that maps exactly onto the grid point.
  QPoint PixelOf(int GridX, int GridY) {
    for (int DX = -1; DX <= 1; ++DX)
      for (int DY = -1; DY <= 1; ++DY) {
        const int X = PixelX(GridX) + DX, Y = PixelY(GridY) + DY;
        TOscPoint P;
        View->ScreenToGrid(X, Y, P);
        if (P.X == GridX && P.Y == GridY)
          return {X, Y};
      }
    ADD_FAILURE() << "no pixel for " << GridX << "," << GridY;
    return {};
  }

  TTestDevice Device;
  int ViewChanges = 0;
};

} // namespace

TEST_P(MarkerTest, ViewBuildsItsFiveMarkersInHitTestOrder) {
  ASSERT_EQ(View->Markers().Count(), 5);
  EXPECT_EQ(&Trigger(), &View->Markers().Marker(4));
  EXPECT_EQ(View->VDivMarkers().Marker1(), &B());
  EXPECT_EQ(View->TimeBaseMarkers().Marker1(), &D());
  EXPECT_EQ(B().Position(), 28);
  EXPECT_EQ(A().Position(), 228);
  EXPECT_EQ(View->VDivMarkers().Distance(), 200) << "8 vertical divisions of 25";
  EXPECT_EQ(View->TimeBaseMarkers().Distance(), 550);
  EXPECT_EQ(Trigger().Color(), 0x606060u);
  EXPECT_EQ(Trigger().Line(), oscLineSolid);
  EXPECT_EQ(A().Line(), oscLineDash);
  EXPECT_EQ(C().Style(), oscMarkerVertical);
}

TEST_P(MarkerTest, HitBandsAreHalfOpen) {
  A().SetPosition(100);
  C().SetPosition(300);
  const int Last = View->SamplesPerPage() - 1;
  struct {
    TOscMarker* Marker;
    int X, Y;
    bool Hit;
  } const Cases[] = {
      {&A(), 50, 97, false},    {&A(), 50, 98, true},   {&A(), 50, 101, true},
      {&A(), 50, 102, false},   {&A(), 0, 100, true},   {&A(), Last - 1, 100, true},
      {&A(), Last, 100, false}, {&A(), -1, 100, false}, {&C(), 297, 10, false},
      {&C(), 298, 10, true},    {&C(), 301, 10, true},  {&C(), 302, 10, false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(std::to_string(Case.X) + "," + std::to_string(Case.Y));
    EXPECT_EQ(Case.Marker->HitTest(Case.X, Case.Y), Case.Hit);
  }
}

TEST_P(MarkerTest, EarlierMarkerWinsWhereBandsOverlap) {
  A().SetPosition(100);
  Trigger().SetPosition(100);
  C().SetPosition(10);
  EXPECT_EQ(View->Markers().GetMarkerAt(10, 100), &A());
  A().SetVisible(false);
  EXPECT_EQ(View->Markers().GetMarkerAt(10, 100), &C());
  C().SetVisible(false);
  EXPECT_EQ(View->Markers().GetMarkerAt(10, 100), &Trigger());
  Trigger().SetVisible(false);
  EXPECT_EQ(View->Markers().GetMarkerAt(10, 100), nullptr);
}

// Qt's event loop does not carry exceptions: one raised by a callback of the
// view during a drag goes to the program's handler, and the drag and the
// drawing go on.
TEST_P(MarkerTest, ExceptionFromAViewCallbackReachesTheHandlerAndTheViewGoesOn) {
  std::vector<std::string> Handled;
  struct TRestore {
    TOscExceptionHandler Saved;
    ~TRestore() { OscSetExceptionHandler(std::move(Saved)); }
  } Restore{OscSetExceptionHandler(
      [&](std::exception_ptr E) { Handled.push_back(OscExceptionMessage(E)); })};
  View->SetOnChange([](TOscScopeView*) { throw EOscError("readout failed"); });

  const QPoint At = PixelOf(300, 228);
  Press(At.x(), At.y());
  ASSERT_TRUE(A().Dragging());
  Move(At.x(), PixelY(150), Qt::LeftButton);
  EXPECT_EQ(Handled, std::vector<std::string>{"readout failed"});
  EXPECT_EQ(A().Position(), 150);

  View->SetOnChange([this](TOscScopeView*) { ++ViewChanges; });
  Move(At.x(), PixelY(120), Qt::LeftButton);
  Release(At.x(), PixelY(120));
  EXPECT_EQ(A().Position(), 120);
  EXPECT_FALSE(A().Dragging());
  EXPECT_EQ(Handled.size(), 1u);
  const QImage Image = View->GrabFramebuffer();
  EXPECT_TRUE(ShadeNear(Image, PixelX(300), PixelY(120), A().Color()))
      << "the marker is drawn where the drag left it";
}

TEST_P(MarkerTest, DraggedVoltsMarkerStaysWithinItsLimitsAndReportsEveryMove) {
  const QPoint At = PixelOf(300, 228);
  Move(At.x(), At.y());
  EXPECT_EQ(ShownCursor(*View), Qt::PointingHandCursor);
  Press(At.x(), At.y());
  ASSERT_TRUE(A().Dragging());
  EXPECT_TRUE(View->MouseCaptured());

  Move(At.x(), PixelY(150), Qt::LeftButton);
  EXPECT_EQ(A().Position(), 150);
  EXPECT_EQ(View->VDivMarkers().Distance(), 122);
  EXPECT_EQ(ViewChanges, 1);
  Move(At.x(), 0, Qt::LeftButton); // far above the page
  EXPECT_EQ(A().Position(), 6);
  Move(At.x(), View->height() + 100, Qt::LeftButton);
  EXPECT_EQ(A().Position(), 250);
  EXPECT_EQ(ViewChanges, 3);

  Release(At.x(), View->height() + 100);
  EXPECT_FALSE(A().Dragging());
  EXPECT_FALSE(View->MouseCaptured());
  Move(At.x(), PixelY(150));
  EXPECT_EQ(A().Position(), 250);
  EXPECT_EQ(ShownCursor(*View), Qt::ArrowCursor);
}

TEST_P(MarkerTest, TimeMarkersFollowThePageOnlyOnceLimitsAreAdjusted) {
  // A view that was never sized has not adjusted the limits yet.
  auto Fresh = MakeView(GetParam());
  TOscMarker& FreshC = Fresh->Markers().Marker(2);
  EXPECT_EQ(FreshC.MaxPosition(), 0);
  FreshC.SetPosition(2);
  EXPECT_EQ(FreshC.Position(), 2) << "no clamping, not even at the lower limit";

  int MeasurerChanges = 0;
  View->TimeBaseMarkers().SetOnChange([&](TOscMarkerMeasurer*) { ++MeasurerChanges; });
  View->SetOscilloscope(&Device);
  Device.SetTimeBase(tb2us); // 16 divisions of 20 samples: a page of 321
  EXPECT_EQ(View->SamplesPerPage(), 321);
  EXPECT_EQ(C().Position(), 316);
  EXPECT_EQ(MeasurerChanges, 1);
}

TEST_P(MarkerTest, ScrollerClampsToTheBufferAndComparesBeforeClamping) {
  std::vector<int> Scrolls;
  View->SetOnHorizontalScroll(
      [&](TOscScopeView* V) { Scrolls.push_back(V->HorizontalScroller().Position()); });
  TOscTimeScroller& S = View->HorizontalScroller();
  S.SetPosition(-5);
  EXPECT_EQ(Scrolls, std::vector<int>{0}) << "fires although the position stays 0";
  S.SetPosition(0);
  EXPECT_EQ(Scrolls.size(), 1u);
  S.SetPosition(5000);
  EXPECT_EQ(S.Position(), 4096 - 801);

  // Right-button drag from grid X 400 to 300 shows the samples 100 later.
  S.SetPosition(0);
  const QPoint From = PixelOf(400, 100), To = PixelOf(300, 100);
  Press(From.x(), From.y(), Qt::RightButton);
  EXPECT_TRUE(S.Dragging());
  Move(To.x(), To.y(), Qt::RightButton);
  EXPECT_EQ(S.Position(), 100);
  Release(To.x(), To.y(), Qt::RightButton);
  EXPECT_FALSE(S.Dragging());
  EXPECT_EQ(A().Position(), 228) << "a right drag moves no marker";
}

TEST_P(MarkerTest, TriggerMarkerSetsTheDeviceLevelOnEveryMove) {
  View->SetOscilloscope(&Device);
  Device.Trigger().SetMinLevel(50);
  Device.Trigger().SetMaxLevel(200);
  const QPoint At = PixelOf(300, 128);
  Press(At.x(), At.y());
  ASSERT_TRUE(Trigger().Dragging());
  for (int Level : {120, 110, 100}) {
    Move(At.x(), PixelY(Level), Qt::LeftButton);
    EXPECT_EQ(Trigger().Position(), Level);
    EXPECT_EQ(Device.Trigger().Level(), Level);
  }
  EXPECT_EQ(Device.Transmits, 3);
  EXPECT_EQ(ViewChanges, 0) << "the trigger marker belongs to no measurer";
  Move(At.x(), PixelY(20), Qt::LeftButton);
  EXPECT_EQ(Trigger().Position(), 50) << "shows the level the device accepted";
  EXPECT_EQ(Device.Transmits, 4);
  Release(At.x(), PixelY(20));
}

TEST_P(MarkerTest, TriggerMarkerWithoutDeviceOnlyMoves) {
  const QPoint At = PixelOf(300, 128);
  Press(At.x(), At.y());
  Move(At.x(), PixelY(20), Qt::LeftButton);
  Release(At.x(), PixelY(20));
  EXPECT_EQ(Trigger().Position(), 20);
  EXPECT_EQ(Device.Transmits, 0);
  EXPECT_EQ(Device.Trigger().Level(), 128);
}

TEST_P(MarkerTest, HoverReportsEveryChannelsVoltageUnderTheMouse) {
  struct THover {
    TOscSignal* Signal;
    double Voltage;
  };
  std::vector<THover> Hovers;
  View->SetOnHover([&](TOscScopeView*, TOscSignal* S, double V) { Hovers.push_back({S, V}); });
  const QPoint At = PixelOf(100, 50);
  Move(At.x(), At.y());
  EXPECT_TRUE(Hovers.empty()) << "no device, no report";

  View->SetOscilloscope(&Device);
  Device.Fill(0, 100);
  Device.Fill(1, 28);
  Device.Channel(1).SetVisible(false);
  View->HorizontalScroller().SetPosition(10);
  Device.Channel(0).SetSample(110, 153);
  Move(At.x(), At.y());
  ASSERT_EQ(Hovers.size(), 2u);
  EXPECT_EQ(Hovers[0].Signal, &Device.Channel(0));
  EXPECT_DOUBLE_EQ(Hovers[0].Voltage, Device.Channel(0).GetSampleVoltage(110));
  EXPECT_NE(Hovers[0].Voltage, Device.Channel(0).GetSampleVoltage(100));
  EXPECT_EQ(Hovers[1].Signal, &Device.Channel(1)) << "hidden channels are reported too";

  Hovers.clear();
  View->HorizontalScroller().SetPosition(0);
  Move(View->Padding(), At.y()); // grid X -1: left of the first sample
  EXPECT_TRUE(Hovers.empty());
}

INSTANTIATE_TEST_SUITE_P(Drawings, MarkerTest,
                         ::testing::Values(TDrawing::OpenGL, TDrawing::Software), DrawingName);
