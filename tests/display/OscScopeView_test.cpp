#include "DisplayTestSupport.h"

#include "display/OscScopeViewFactory.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr TOscColor Cyan = 0xFFFF00;
constexpr TOscColor PaleYellow = 0x7CEEEE;
constexpr TOscColor Green = 0x00FF00;

class RenderTest : public ViewTest {
protected:
  void SetUp() override {
    ViewTest::SetUp();
    // A vivid grid is easy to find; the traces keep the default colours.
    View->Skin().SetGridColor(Green);
    for (int I = 0; I < View->Markers().Count(); ++I)
      View->Markers().Marker(I).SetVisible(false);
  }
  void ShowMarkers(std::initializer_list<TOscMarker*> Markers) {
    for (TOscMarker* M : Markers)
      M->SetVisible(true);
  }
  TOscMarker* VDivA() { return &View->Markers().Marker(0); }
  TOscMarker* TimeC() { return &View->Markers().Marker(2); }
  TTestDevice Device;
};

} // namespace

TEST_P(RenderTest, GridLinesLieWhereTheProjectionPutsThem) {
  const QImage Image = View->GrabFramebuffer();
  ASSERT_FALSE(Image.isNull());
  ASSERT_EQ(Image.width(), 697);
  ASSERT_EQ(View->SamplesPerPage(), 801); // 16 divisions of 50 samples
  // Horizontal lines at grid Y 3, 28, ..., 253, sampled between two columns.
  const int MidX = PixelX(25);
  for (int I = 0; I <= 10; ++I) {
    SCOPED_TRACE(I);
    EXPECT_TRUE(ColorNear(Image, MidX, PixelY(3 + 25 * I), Green, 1, 30));
  }
  EXPECT_FALSE(ColorNear(Image, MidX, PixelY(15), Green, 3, 30)) << "no sub-division lines";
  // Vertical lines every 50 samples, from the left to the right edge.
  const int MidY = PixelY(15);
  for (int I = 0; I <= 16; ++I) {
    SCOPED_TRACE(I);
    EXPECT_TRUE(ColorNear(Image, PixelX(50 * I), MidY, Green, 1, 30));
  }
  // The padding stays background.
  EXPECT_EQ(CountColor(Image.copy(0, 0, 697, 15), Green, 30), 0);
  EXPECT_EQ(CountColor(Image.copy(0, 0, 15, 449), Green, 30), 0);
}

TEST_P(RenderTest, TracesShowInTheirSkinColoursOnlyInsideTheClipBand) {
  View->SetFlip(false);
  View->SetOscilloscope(&Device);
  Device.Fill(0, 100);
  Device.Fill(1, 200);
  QImage Image = View->GrabFramebuffer();
  EXPECT_TRUE(ShadeNear(Image, PixelX(400), PixelY(100), Cyan));
  EXPECT_TRUE(ShadeNear(Image, PixelX(400), PixelY(200), PaleYellow));
  EXPECT_FALSE(ShadeNear(Image, PixelX(400), PixelY(150), Cyan, 5));

  // Grid Y 1 and 254 lie outside the band 3 .. 252.
  Device.Fill(0, 1);
  Device.Fill(1, 254);
  Image = View->GrabFramebuffer();
  EXPECT_EQ(CountShade(Image, Cyan), 0);
  EXPECT_EQ(CountShade(Image, PaleYellow), 0);

  // A taller view moves the band: the clip follows it. Grid Y 4 lies above
  // the band of the old height and must show now; Y 254 still must not.
  View->resize(697, 700);
  QCoreApplication::processEvents();
  Device.Fill(0, 4);
  Image = View->GrabFramebuffer();
  EXPECT_GT(CountShade(Image, Cyan), 100);
  EXPECT_EQ(CountShade(Image, PaleYellow), 0);
}

TEST_P(RenderTest, FlipMirrorsTracesAndHorizontalMarkers) {
  View->SetOscilloscope(&Device);
  ShowMarkers({&View->TriggerMarker()});
  View->TriggerMarker().SetPosition(60); // erases the samples: a trigger change
  Device.Fill(0, 10);
  Device.Channel(1).SetVisible(false);
  const TOscColor Trigger = View->Skin().TriggerColor();

  QImage Image = View->GrabFramebuffer(); // Flip is on by default
  EXPECT_TRUE(ShadeNear(Image, PixelX(300), PixelY(245), Cyan));
  EXPECT_FALSE(ShadeNear(Image, PixelX(300), PixelY(10), Cyan, 4));
  EXPECT_TRUE(ColorNear(Image, PixelX(300), PixelY(195), Trigger, 1, 20));

  View->SetFlip(false);
  Image = View->GrabFramebuffer();
  EXPECT_TRUE(ShadeNear(Image, PixelX(300), PixelY(10), Cyan));
  EXPECT_FALSE(ShadeNear(Image, PixelX(300), PixelY(245), Cyan, 4));
  EXPECT_TRUE(ColorNear(Image, PixelX(300), PixelY(60), Trigger, 1, 20));
}

TEST_P(RenderTest, MarkerLinesFollowTheirLineStyle) {
  View->SetFlip(false);
  VDivA()->SetPosition(100);
  ShowMarkers({VDivA()});
  struct {
    TOscMarkerLine Line;
    double MinLit, MaxLit;
  } const Cases[] = {
      {oscLineSolid, 0.97, 1.0}, // 0xFFFF
      {oscLineDash, 0.55, 0.70}, // 0xF8F8: 10 of 16
      {oscLineDot, 0.40, 0.60},  // 0xAAAA: 8 of 16
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Line);
    VDivA()->SetLine(C.Line);
    const QImage Image = View->GrabFramebuffer();
    // The row with most marker pixels near the marker's place.
    int Best = 0;
    for (int Y = PixelY(100) - 1; Y <= PixelY(100) + 1; ++Y) {
      int Lit = 0;
      for (int X = PixelX(0); X < PixelX(800); ++X)
        Lit += ColorDistance(Image.pixel(X, Y), VDivA()->Color()) <= 20;
      Best = std::max(Best, Lit);
    }
    const double Share = static_cast<double>(Best) / (PixelX(800) - PixelX(0));
    EXPECT_GE(Share, C.MinLit);
    EXPECT_LE(Share, C.MaxLit);
  }
}

TEST_P(RenderTest, ScrollingMovesTheTracesButNotTheGridOrTheMarkers) {
  View->SetFlip(false);
  View->SetOscilloscope(&Device);
  Device.Fill(0, 50, 0, 1000);
  Device.Fill(0, 200, 1000, CSampleCount);
  Device.Channel(1).SetVisible(false);
  ShowMarkers({VDivA(), TimeC()});
  VDivA()->SetPosition(120);
  TimeC()->SetPosition(330);

  const QImage Before = View->GrabFramebuffer();
  View->HorizontalScroller().SetPosition(600);
  const QImage After = View->GrabFramebuffer();

  EXPECT_TRUE(ShadeNear(Before, PixelX(500), PixelY(50), Cyan));
  EXPECT_TRUE(ShadeNear(After, PixelX(500), PixelY(200), Cyan)) << "sample 1100 now at X 500";
  EXPECT_FALSE(ShadeNear(After, PixelX(500), PixelY(50), Cyan, 4));
  // Grid columns and both marker lines are the same pixels as before.
  for (int Y = PixelY(3); Y <= PixelY(253); ++Y) {
    ASSERT_EQ(Before.pixel(PixelX(150), Y), After.pixel(PixelX(150), Y)) << Y;
    ASSERT_EQ(Before.pixel(PixelX(330), Y), After.pixel(PixelX(330), Y)) << Y;
  }
  for (int X = PixelX(0); X < PixelX(100); ++X)
    ASSERT_EQ(Before.pixel(X, PixelY(120)), After.pixel(X, PixelY(120))) << X;
}

TEST_P(RenderTest, HiddenOrSwitchedOffChannelDrawsNothing) {
  View->SetOscilloscope(&Device);
  Device.Fill(0, 100);
  Device.Fill(1, 150);
  Device.Channel(0).SetVisible(false);
  QImage Image = View->GrabFramebuffer();
  EXPECT_EQ(CountShade(Image, Cyan), 0);
  EXPECT_GT(CountShade(Image, PaleYellow), 500);

  Device.Channel(0).SetVisible(true);
  Device.Channel(1).SetVoltsPerDivision(vdivNone); // also empties both channels
  Device.Fill(0, 100);
  Image = View->GrabFramebuffer();
  EXPECT_GT(CountShade(Image, Cyan), 500);
  EXPECT_EQ(CountShade(Image, PaleYellow), 0);
}

TEST_P(RenderTest, ScreenToGridInvertsTheProjection) {
  View->SetFlip(false);
  View->GrabFramebuffer();
  TOscPoint P;
  View->ScreenToGrid(20, 100, P);
  EXPECT_EQ(P.X, -1);
  View->ScreenToGrid(677, 100, P);
  EXPECT_EQ(P.X, 800);
  TOscPoint Q;
  View->ScreenToGrid(300, 0, P);
  View->ScreenToGrid(300, 1, Q);
  EXPECT_EQ(P, Q) << "client Y 0 is taken as 1";

  // A marker line's own pixel row maps back to its position, flipped or not.
  for (bool Flip : {false, true}) {
    SCOPED_TRACE(Flip);
    View->SetFlip(Flip);
    View->GrabFramebuffer();
    for (int Pos : {6, 28, 128, 228, 250}) {
      View->ScreenToGrid(300, PixelY(Flip ? 255 - Pos : Pos), P);
      EXPECT_EQ(P.Y, Pos);
    }
  }
}

TEST_P(RenderTest, DegenerateWindowsGiveDefinedValues) {
  for (QSize Size : {QSize(30, 30), QSize(697, 1), QSize(1, 449), QSize(697, 0)}) {
    SCOPED_TRACE(Size.width() * 10000 + Size.height());
    View->resize(Size);
    QCoreApplication::processEvents();
    EXPECT_GE(View->Divisions(), 1);
    View->Render();
    TOscPoint P{12345, 12345};
    View->ScreenToGrid(Size.width() / 2, Size.height() / 2, P);
    View->ScreenToGrid(Size.width() + 50, -50, P); // far outside: still a number
    EXPECT_EQ(View->SampleAt(0, 0), View->SampleAt(0, 0));
  }
}

TEST_P(RenderTest, DrawsOnlyWhenThePictureWouldChange) {
  View->SetOscilloscope(&Device);
  Device.Fill(0, 100);
  View->Render();
  const long long Drawn = View->FramesDrawn();
  View->Render();
  EXPECT_EQ(View->FramesDrawn(), Drawn) << "identical picture is not drawn again";

  // An expose (a window closing over the view) redraws the same picture.
  View->hide();
  View->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(InputWindow(*View)));
  // QTRY_* would report to QTestLib, not to gtest: wait with qWaitFor.
  EXPECT_TRUE(QTest::qWaitFor([&] { return View->FramesDrawn() > Drawn; }));

  // Every kind of change shows at the next frame, including samples that
  // were stored without any notification.
  const std::function<void()> Changes[] = {
      [&] { Device.Channel(0).SetSample(7, 101); },
      [&] { View->HorizontalScroller().SetPosition(3); },
      [&] { View->Markers().Marker(0).SetPosition(40); },
      [&] {
        TOscTraceColors C;
        C.Add(0x0000FF);
        View->Skin().SetTraceColors(C); // silent by design
      },
      [&] { View->resize(600, 400); },
  };
  for (std::size_t I = 0; I < std::size(Changes); ++I) {
    SCOPED_TRACE(I);
    const long long Before = View->FramesDrawn();
    Changes[I]();
    QCoreApplication::processEvents();
    View->Render();
    EXPECT_GT(View->FramesDrawn(), Before);
    const long long After = View->FramesDrawn();
    View->Render();
    EXPECT_EQ(View->FramesDrawn(), After);
  }
}

TEST_P(RenderTest, NewSamplesRefillTheTracesInPlace) {
  View->SetOscilloscope(&Device);
  Device.Fill(0, 100);
  Device.Fill(1, 120);
  View->Render();
  ASSERT_EQ(View->Traces().Count(), 2);
  const TOscTrace* First = &View->Traces().Trace(0);
  const TOscPoint* Points = View->Traces().Trace(0).Points.data();
  const long long Drawn = View->FramesDrawn();
  Device.Fill(0, 90);
  View->Render();
  EXPECT_EQ(View->FramesDrawn(), Drawn + 1);
  EXPECT_EQ(&View->Traces().Trace(0), First);
  EXPECT_EQ(View->Traces().Trace(0).Points.data(), Points);
  EXPECT_EQ(View->Traces().Trace(0).Points[5].Y, 255 - 90);
  // A hidden channel drops its trace at the next tick, though nothing notifies.
  Device.Channel(1).SetVisible(false);
  View->Render();
  EXPECT_EQ(View->Traces().Count(), 1);
  EXPECT_EQ(View->FramesDrawn(), Drawn + 2);
}

TEST_P(RenderTest, SamplesAloneDoNotRepaintButTimeBaseAndSkinDo) {
  View->SetOscilloscope(&Device);
  View->Render();
  long long Drawn = View->FramesDrawn();
  Device.Fill(0, 90);
  EXPECT_EQ(View->FramesDrawn(), Drawn);
  Device.SetTimeBase(tb2us);
  EXPECT_EQ(View->FramesDrawn(), Drawn + 1);
  View->Skin().SetBackgroundColor(0x101010);
  EXPECT_EQ(View->FramesDrawn(), Drawn + 2);
}

TEST_P(RenderTest, PresentationChangesFireOnChangeOnlyWhenValuesChange) {
  int Changes = 0;
  View->SetOnChange([&](TOscScopeView*) { ++Changes; });
  View->SetPadding(20);
  View->SetFlip(true);
  EXPECT_EQ(Changes, 0);
  View->SetPadding(10);
  View->SetFlip(false);
  EXPECT_EQ(Changes, 2);
}

TEST_P(RenderTest, ResizeChangesPageAndTimeMarkerLimit) {
  View->GrabFramebuffer();
  EXPECT_EQ(TimeC()->MaxPosition(), 801 - 5);
  View->resize(449, 449);
  QCoreApplication::processEvents();
  EXPECT_EQ(View->Divisions(), 10);
  EXPECT_EQ(View->SamplesPerPage(), 501);
  EXPECT_EQ(TimeC()->Position(), 496);
  const QImage Image = View->GrabFramebuffer();
  EXPECT_EQ(Image.width(), 449);
  EXPECT_TRUE(ColorNear(Image, PixelX(500), PixelY(15), Green, 1, 30)) << "last grid column";
}

INSTANTIATE_TEST_SUITE_P(Drawings, RenderTest,
                         ::testing::Values(TDrawing::OpenGL, TDrawing::Software), DrawingName);

namespace {

class RendererLifetime : public ::testing::TestWithParam<TDrawing> {
protected:
  void SetUp() override { TestApp(); }
};

} // namespace

TEST_P(RendererLifetime, FramesBeforeTheWindowIsShownAreSkipped) {
  TTestDevice Device;
  auto View = MakeView(GetParam());
  View->SetOscilloscope(&Device);
  TOscFpsLimiter Limiter;
  int Ticks = 0;
  TOscFpsObserver Counter([&](TOscFpsLimiter*) { ++Ticks; });
  Limiter.RegisterObserver(&Counter);
  View->SetFpsLimiter(&Limiter);
  View->Render();
  // Ticks ask the view for frames; none may be drawn while it is not shown.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ticks >= 3; }));
  EXPECT_EQ(View->FramesDrawn(), 0);
  EXPECT_TRUE(View->GrabFramebuffer().isNull());
}

TEST_P(RendererLifetime, DestroyedDeviceAndLimiterDetachThemselves) {
  auto View = MakeView(GetParam());
  auto Device = std::make_unique<TTestDevice>();
  auto Limiter = std::make_unique<TOscFpsLimiter>();
  View->SetOscilloscope(Device.get());
  View->SetFpsLimiter(Limiter.get());
  Device.reset();
  Limiter.reset();
  EXPECT_EQ(View->Oscilloscope(), nullptr);
  EXPECT_EQ(View->FpsLimiter(), nullptr);
  View->Render(); // must not touch either (ASan)
}

TEST_P(RendererLifetime, TabLeavesTheView) {
  QWidget Host;
  auto* Layout = new QVBoxLayout(&Host);
  auto* Before = new QLineEdit(&Host);
  TOscScopeView* View = MakeView(GetParam(), &Host).release();
  auto* After = new QPushButton("after", &Host);
  After->setFocusPolicy(Qt::StrongFocus);
  Layout->addWidget(Before);
  Layout->addWidget(View);
  Layout->addWidget(After);
  Host.resize(400, 400);
  Host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Host));
  View->setFocus();
  ASSERT_EQ(Host.focusWidget(), View);
  QKeyEvent Tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
  QCoreApplication::sendEvent(InputTarget(*View), &Tab);
  EXPECT_EQ(Host.focusWidget(), After);
}

INSTANTIATE_TEST_SUITE_P(Drawings, RendererLifetime,
                         ::testing::Values(TDrawing::OpenGL, TDrawing::Software), DrawingName);

TEST(ScopeViewFactory, DrawsWithOpenGLWhereAContextCanBeHad) {
  TestApp();
  std::unique_ptr<TOscScopeView> View(OscCreateScopeView(nullptr));
  EXPECT_FALSE(View->SoftwareDrawing());
  EXPECT_NE(dynamic_cast<TOscRenderer3D*>(View.get()), nullptr);
  View.reset(OscCreateScopeView(nullptr, TOscDrawing::Software));
  EXPECT_TRUE(View->SoftwareDrawing());
}
