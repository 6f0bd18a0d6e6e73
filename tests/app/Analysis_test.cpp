// The analysis views through the real window: the value-type menus with the
// timing kinds, the spectrum view, the math strip and the choices kept in the
// settings store. Captures are written into the scope driver's channels and
// completed as the driver completes them (UpdateMeasurements).

#include "AppTestSupport.h"

#include <QActionGroup>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QToolButton>

#include <cmath>
#include <functional>

#include "app/Analysis.h"
#include "app/ChannelStrip.h"
#include "app/MathStrip.h"
#include "display/OscScopeView.h"
#include "display/OscSpectrumView.h"
#include "link/Zelvo.h"
#include "link/ZelvoMemoryConnection.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "osc/OscMath.h"
#include "osc/OscSpectrum.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

// The scope driver shown, on a link that records what it sends, with both
// channels at 1 V/div (0.04 V per sample step) around sample 128; the demo
// device holds still so that its ticks cannot interfere.
class AnalysisTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    Main().ZelvoDemo().SetHold(true);
    Driver().SetConnection(&Link);
    Link.Open();
    Main().SetActiveScope(&Driver());
    for (int I = 0; I < 2; ++I) {
      Channel(I).SetVoltsPerDivision(vdiv1V);
      Channel(I).SetYPosition(128);
    }
    Main().VisualizeSettings();
  }
  void TearDown() override {
    Driver().SetConnection(&Main().ZelvoUsbConnection());
    AppTest::TearDown();
  }
  TZelvo& Driver() { return Main().Zelvo(); }
  TOscSignal& Channel(int I) { return Driver().Signals()[I]; }
  TOscSpectrumView& View() { return Main().SpectrumView(); }
  const TMathStrip& MathStrip() { return Main().MathStrip(); }

  // Sample I of channel C becomes 128 minus Steps(I), so that positive steps
  // are positive volts.
  void Fill(int C, const std::function<double(int)>& Steps) {
    for (int I = 0; I < CSampleCount; ++I)
      Channel(C).SetSample(I, static_cast<TOscSample>(std::lround(128 - Steps(I))));
  }
  // A sine of Amplitude steps with Cycles periods in the 4096 samples: on bin
  // Cycles of the spectrum.
  void FillSine(int C, double Amplitude, double Cycles) {
    Fill(C, [=](int I) { return Amplitude * std::sin(2 * Pi * Cycles * I / CSampleCount); });
  }
  // The capture is complete, as the driver's last block of it completes it.
  void Capture() { Driver().UpdateMeasurements(); }
  // What the readout labels show after the next timer tick.
  void ShowValues() { Main().tmrValuesTimer(); }
  static void Choose(QMenu* Menu, int Index) { Menu->actions()[Index]->trigger(); }

  TZelvoMemoryConnection Link;
};

// The driver's time base is 2 ms/div: 25000 samples a second, 6.1035 Hz a bin.
constexpr double CBinWidth = 25000.0 / CSpectrumPoints;
// A sine of 50 steps (2 V) peak reads 20 log10(2 / sqrt 2) dBV on its bin.
constexpr double CSineLevel = 3.0103;

TEST_F(AnalysisTest, ValueTypeMenusOfferTheTimingKindsAfterTheThirteenUnchanged) {
  const char* const Thirteen[13] = {"Vdc",    "Vmin",  "Vmax",  "Vpp",   "Vrms",   "Vtrms", "dBm",
                                    "dBgain", "Wrms2", "Wrms4", "Wrms8", "Wrms16", "Wrms32"};
  QMenu* Menus[] = {Main().ValueTypeMenu(0), Main().ValueTypeMenu(1), MathStrip().ValueTypeMenu()};
  for (int M = 0; M < 3; ++M) {
    SCOPED_TRACE(M);
    const QList<QAction*> Items = Menus[M]->actions();
    ASSERT_EQ(Items.size(), 20);
    EXPECT_EQ(Menus[M]->property("tag").toInt(), M);
    for (int J = 0; J < 20; ++J) {
      EXPECT_EQ(Items[J]->text(), J < 13 ? Thirteen[J] : COscTimingTypeNames[J - 13]) << J;
      EXPECT_EQ(Items[J]->data().toInt(), J);
    }
  }

  // A 1 kHz square (25 samples a period) on CH1, a 625 Hz one high a quarter
  // of its 40 samples on CH2.
  Fill(0, [](int I) { return I % 25 < 12 ? 50 : -50; });
  Fill(1, [](int I) { return I % 40 < 10 ? 50 : -50; });
  Choose(Main().ValueTypeMenu(0), 13);
  Choose(Main().ValueTypeMenu(1), 15);
  EXPECT_EQ(Main().Strip(0).cbValueType()->text(), "Freq");
  EXPECT_EQ(Main().Strip(1).cbValueType()->text(), "Duty");
  Capture();
  ShowValues();
  EXPECT_EQ(Main().Strip(0).lblValue()->text(), "1.00kHz");
  EXPECT_EQ(Main().Strip(1).lblValue()->text(), "25.0%");
}

TEST_F(AnalysisTest, SpectrumShowsTheSinesPeakAtItsFrequencyAndLevel) {
  Channel(1).SetVoltsPerDivision(vdivNone); // off: no spectrum
  FillSine(0, 50, 100);
  Capture();
  ASSERT_FALSE(View().isVisible());
  Click(Main().SideBar().btnSpectrum());
  ASSERT_TRUE(Main().Analysis().actSpectrum->isChecked());
  ASSERT_TRUE(View().isVisible());

  ASSERT_NE(View().Levels(0), nullptr);
  EXPECT_EQ(View().Levels(1), nullptr);
  EXPECT_EQ(View().PeakText(0), "CH1 peak: 610.35Hz, 3.0dBV");
  EXPECT_EQ(View().PeakText(1), "");

  // The highest point of CH1's colour inside the grid is the peak, drawn at
  // bin 100 and 3 dBV; CH2's colour is nowhere.
  View().SetTopLevel(10);
  const QImage Image = View().grab().toImage();
  const QRect Plot = View().PlotArea().toAlignedRect();
  const QColor Ch1(0, 255, 255), Ch2(238, 238, 124);
  QPoint Top(-1, Image.height());
  bool Ch2Seen = false;
  for (int Y = Plot.top(); Y <= Plot.bottom(); ++Y)
    for (int X = Plot.left(); X <= Plot.right(); ++X) {
      const QColor C = Image.pixelColor(X, Y);
      Ch2Seen |= C == Ch2;
      if (C == Ch1 && Y < Top.y())
        Top = QPoint(X, Y);
    }
  EXPECT_NEAR(Top.x(), View().XOfBin(100), 1.5);
  EXPECT_NEAR(Top.y(), View().YOfLevel(CSineLevel), 1.5);
  EXPECT_FALSE(Ch2Seen);
}

TEST_F(AnalysisTest, TheMarkerIsDraggedToABinAndReadsItsFrequencyAndLevels) {
  FillSine(0, 50, 100);
  FillSine(1, 5, 300);
  Main().Analysis().actSpectrum->trigger();
  Capture();
  // Mouse events at the x of a bin, with the buttons held after the event.
  const auto Mouse = [this](QEvent::Type Type, double Bin, Qt::MouseButtons Held) {
    const QPointF At(View().XOfBin(Bin), View().PlotArea().center().y());
    const Qt::MouseButton Button = Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent Event(Type, At, View().mapToGlobal(At), Button, Held, Qt::NoModifier);
    QApplication::sendEvent(&View(), &Event);
  };
  Mouse(QEvent::MouseButtonPress, 40, Qt::LeftButton);
  EXPECT_EQ(View().MarkerBin(), 40);
  Mouse(QEvent::MouseMove, 100, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, 100, Qt::NoButton);
  Mouse(QEvent::MouseMove, 300, Qt::NoButton); // not dragging any more
  EXPECT_EQ(View().MarkerBin(), 100);
  const QString Ch2Level = TOscSpectrumView::LevelText(View().Levels(1)->Levels[100]);
  EXPECT_EQ(View().MarkerText(), "Marker: 610.35Hz, CH1 3.0dBV, CH2 " + Ch2Level);
  EXPECT_LT(View().Levels(1)->Levels[100], -60);
}

TEST_F(AnalysisTest, TheWindowChoiceRecomputesTheSpectrumWithItsCorrection) {
  // Half-way between two bins each window loses its own part of the level;
  // the flat top almost none.
  FillSine(0, 50, 100.5);
  Main().Analysis().actSpectrum->trigger();
  Capture();
  const struct {
    TOscSpectrumWindow Window;
    double Loss; // dB below the sine's level
  } Cases[] = {{swRectangular, 3.92}, {swHann, 1.42}, {swBlackmanHarris, 0.83}, {swFlatTop, 0}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(COscSpectrumWindowNames[C.Window]);
    const auto Before = View().Computations();
    Choose(Main().Analysis().SpectrumWindowMenu(), C.Window);
    EXPECT_TRUE(Main().Analysis().SpectrumWindowMenu()->actions()[C.Window]->isChecked());
    EXPECT_EQ(View().Window(), C.Window);
    EXPECT_GT(View().Computations(), Before);
    const TOscSpectrumPeak Peak = View().Levels(0)->Peak();
    EXPECT_NEAR(Peak.Level, CSineLevel - C.Loss, 0.1);
    EXPECT_TRUE(Peak.Bin == 100 || Peak.Bin == 101) << Peak.Bin;
  }
}

TEST_F(AnalysisTest, SpectraAreComputedOnlyWhenShownAndWhenTheirInputsChange) {
  Channel(1).SetVoltsPerDivision(vdivNone);
  FillSine(0, 50, 100);
  Capture();
  EXPECT_EQ(View().Computations(), 0u); // hidden
  Main().Analysis().actSpectrum->trigger();
  EXPECT_EQ(View().Computations(), 1u); // shown: the latest capture, CH1 only
  Driver().SetHold(true);               // a change the spectrum does not depend on
  Main().VisualizeSettings();
  EXPECT_EQ(View().Computations(), 1u);
  Capture();
  EXPECT_EQ(View().Computations(), 2u);
  Channel(0).SetMultiplier(multX10); // the same capture in other volts
  EXPECT_EQ(View().Computations(), 3u);
  EXPECT_NEAR(View().Levels(0)->Peak().Level, CSineLevel + 20, 0.1);
  Main().Analysis().actSpectrum->trigger();
  Capture();
  EXPECT_EQ(View().Computations(), 3u);
  // A range change erases the capture: nothing to show until the next one.
  Main().Analysis().actSpectrum->trigger();
  Channel(0).SetVoltsPerDivision(vdiv2V);
  EXPECT_EQ(View().Levels(0), nullptr);
}

TEST_F(AnalysisTest, MathReadoutsAgreeWithHandComputedVolts) {
  // CH1 a square of +-2 V; CH2 1 V through a x10 probe, 10 V.
  Channel(1).SetMultiplier(multX10);
  Fill(0, [](int I) { return I % 2 ? 50 : -50; });
  Fill(1, [](int) { return 25; });
  EXPECT_FALSE(MathStrip().isVisible());
  const struct {
    TOscMathMode Mode;
    TOscMeasurementType Type;
    const char* Value;
    const char* Scale;
  } Cases[] = {
      {mmAdd, TOscMeasurementType::Vdc, "10.00V", "10V/div"},
      {mmAdd, TOscMeasurementType::Vpkpk, "4.00V", "10V/div"},
      {mmSubtract, TOscMeasurementType::Vdc, "-10.00V", "10V/div"},
      {mmSubtractReverse, TOscMeasurementType::Vmax, "12.00V", "10V/div"},
      {mmMultiply, TOscMeasurementType::Vrms, "20.00V²", "10V²/div"},
      {mmMultiply, TOscMeasurementType::dBm, "-", "10V²/div"}, // needs volts
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(COscMathModeNames[C.Mode]);
    Choose(MathStrip().ModeMenu(), C.Mode);
    Choose(MathStrip().ValueTypeMenu(), static_cast<int>(C.Type));
    Capture();
    ShowValues();
    EXPECT_TRUE(MathStrip().isVisible());
    EXPECT_EQ(MathStrip().cbMode()->text(), MathModeName(C.Mode));
    EXPECT_EQ(MathStrip().cbValueType()->text(), ValueTypeName(C.Type));
    EXPECT_EQ(MathStrip().lblValue()->text(), QString::fromUtf8(C.Value));
    EXPECT_EQ(MathStrip().pnlVDiv()->text(), QString::fromUtf8(C.Scale));
  }
  // The scale steps as a channel's, without "no range" at the large end.
  Click(MathStrip().btnVDivDec());
  EXPECT_EQ(MathStrip().pnlVDiv()->text(), QString::fromUtf8("4V²/div"));
  for (int I = 0; I < 3; ++I)
    Click(MathStrip().btnVDivInc());
  EXPECT_EQ(Main().Analysis().Math().VoltsPerDivision(), vdiv20V);

  Choose(MathStrip().ModeMenu(), mmOff);
  EXPECT_FALSE(MathStrip().isVisible());
  EXPECT_TRUE(Main().Analysis().Math().Values().empty());
}

TEST_F(AnalysisTest, TheScopeViewDrawsTheShownDevicesMathAndXY) {
  TOscScopeView& Scope = Main().OscRenderer3D();
  // +1 V on both channels: CH1+CH2 is 2 V, a fifth of a division at the
  // default 10 V/div above the math's zero line at 128.
  Fill(0, [](int) { return 25; });
  Fill(1, [](int) { return 25; });
  Choose(MathStrip().ModeMenu(), mmAdd);
  Capture();
  EXPECT_EQ(Scope.Math(), &Main().Analysis().MathOf(&Driver()));
  Scope.Render();
  ASSERT_EQ(Scope.Traces().Count(), 3);
  EXPECT_EQ(Scope.Traces().Trace(2).Color(), COscMathColor);
  EXPECT_EQ(Scope.Traces().Trace(2).Points[0].Y, 128 - 5);
  Click(MathStrip().btnVDivDec()); // 4 V/div: half a division
  Scope.Render();
  EXPECT_EQ(Scope.Traces().Trace(2).Points[0].Y, 128 - 12);

  // XY from the menu: one trace, the math not among it, and no time span
  // between markers that are hidden.
  const QString Span = Main().SideBar().lblTimeSpan()->text();
  Main().Analysis().actXY->trigger();
  EXPECT_TRUE(Scope.XY());
  Scope.Render();
  EXPECT_EQ(Scope.Traces().Count(), 1);
  EXPECT_EQ(Main().SideBar().lblTimeSpan()->text(), "-");
  Main().Analysis().actXY->trigger();
  EXPECT_FALSE(Scope.XY());
  EXPECT_EQ(Main().SideBar().lblTimeSpan()->text(), Span);

  // Another device shown: its own math, caught up with its capture.
  for (int C = 0; C < 2; ++C)
    for (int I = 0; I < CSampleCount; ++I)
      Main().ZelvoDemo().Signals()[C].SetSample(I, 128);
  Main().SetActiveScope(&Main().ZelvoDemo());
  const TOscMath& DemoMath = Main().Analysis().MathOf(&Main().ZelvoDemo());
  EXPECT_EQ(Scope.Math(), &DemoMath);
  EXPECT_EQ(DemoMath.Mode(), mmAdd);
  EXPECT_EQ(DemoMath.Fill(), CSampleCount);
}

TEST_F(AnalysisTest, ChoicesAreKeptForTheNextStart) {
  const QString File = Dir.filePath("zelvo.ini");
  // Starting wrote nothing.
  EXPECT_TRUE(QSettings(File, QSettings::IniFormat).allKeys().isEmpty());

  Main().Analysis().actSpectrum->trigger();
  Choose(Main().Analysis().SpectrumWindowMenu(), swFlatTop);
  Choose(MathStrip().ModeMenu(), mmSubtract);
  Click(MathStrip().btnVDivDec());
  Main().Analysis().actXY->trigger();
  TearDown();
  SetUp();

  EXPECT_TRUE(Main().Analysis().actSpectrum->isChecked());
  EXPECT_TRUE(Main().SideBar().btnSpectrum()->isChecked());
  EXPECT_TRUE(View().isVisible());
  EXPECT_EQ(View().Window(), swFlatTop);
  EXPECT_TRUE(Main().Analysis().SpectrumWindowMenu()->actions()[swFlatTop]->isChecked());
  for (const TOscDevice* D :
       {static_cast<TOscDevice*>(&Driver()), static_cast<TOscDevice*>(&Main().ZelvoDemo())}) {
    EXPECT_EQ(Main().Analysis().MathOf(D).Mode(), mmSubtract);
    EXPECT_EQ(Main().Analysis().MathOf(D).VoltsPerDivision(), vdiv4V);
  }
  EXPECT_TRUE(MathStrip().isVisible());
  EXPECT_TRUE(MathStrip().ModeMenu()->actions()[mmSubtract]->isChecked());
  EXPECT_EQ(MathStrip().pnlVDiv()->text(), "4V/div");
  EXPECT_TRUE(Main().Analysis().actXY->isChecked());
  EXPECT_TRUE(Main().OscRenderer3D().XY());
  // The frame-rate limit stays where and as it was: not stored.
  EXPECT_FALSE(QSettings(File, QSettings::IniFormat).contains("MaxFps"));
}

} // namespace
