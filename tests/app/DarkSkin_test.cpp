#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "app/DarkSkin.h"
#include "app/Glyphs.h"

namespace {

QApplication& App() {
  static int Argc = 1;
  static char Name[] = "zelvo-skin-test";
  static char* Argv[] = {Name, nullptr};
  static QApplication* A = [] {
    auto* New = new QApplication(Argc, Argv);
    ApplyDarkSkin(*New);
    return New;
  }();
  return *A;
}

int Distance(QColor A, QColor B) {
  return std::abs(A.red() - B.red()) + std::abs(A.green() - B.green()) +
         std::abs(A.blue() - B.blue());
}

// A panel pixel of a rendered front-panel button, away from its text.
QColor PanelColour(bool Checked, bool Enabled) {
  QToolButton Button;
  Button.setCheckable(true);
  Button.setAutoRaise(false);
  Button.setText("AC");
  Button.setChecked(Checked);
  Button.setEnabled(Enabled);
  Button.resize(42, 24);
  const QImage Image = Button.grab().toImage();
  return Image.pixelColor(4, Image.height() / 2);
}

TEST(DarkSkin, WindowsAreDarkAndCheckedButtonsStandOut) {
  App();
  QWidget Window;
  Window.resize(40, 30);
  const QColor Background = Window.grab().toImage().pixelColor(20, 15);
  EXPECT_LT(Background.lightness(), 60);
  EXPECT_GT(QApplication::palette().color(QPalette::WindowText).lightness(), 180);

  const QColor Unchecked = PanelColour(false, true);
  const QColor Checked = PanelColour(true, true);
  EXPECT_GT(Distance(Checked, Unchecked), 80)
      << Checked.name().toStdString() << " vs " << Unchecked.name().toStdString();
  // A disabled checked button still reads as checked, but dimmed.
  const QColor CheckedDisabled = PanelColour(true, false);
  EXPECT_LT(CheckedDisabled.lightness(), Checked.lightness());
  EXPECT_GT(Distance(CheckedDisabled, PanelColour(false, false)), 10);
}

TEST(DarkSkin, ScrollBarHandleStandsOutFromItsGroove) {
  App();
  QScrollBar Bar(Qt::Vertical);
  Bar.setRange(0, 255);
  Bar.setPageStep(64);
  Bar.resize(17, 200);
  // At value 0 the handle sits just below the up arrow, about a fifth of
  // the groove long.
  const QImage Image = Bar.grab().toImage();
  EXPECT_GT(Distance(Image.pixelColor(8, 30), Image.pixelColor(8, 150)), 80);
}

int OpaquePixels(const QImage& Image) {
  int Count = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X)
      Count += qAlpha(Image.pixel(X, Y)) > 128;
  return Count;
}

TEST(Glyphs, EveryGlyphDrawsAtEverySizeAndDimsWhenDisabled) {
  App();
  const TGlyph All[] = {TGlyph::SineSmall,       TGlyph::SineLarge,
                        TGlyph::PeriodStretched, TGlyph::PeriodsCompressed,
                        TGlyph::MarkerVoltage,   TGlyph::TimeSpan,
                        TGlyph::SlopeRising,     TGlyph::SlopeFalling,
                        TGlyph::BatteryEmpty,    TGlyph::BatteryCautionCharging,
                        TGlyph::BatteryCharged};
  for (TGlyph G : All) {
    const QIcon Icon = GlyphIcon(G);
    SCOPED_TRACE(Icon.name().toStdString());
    ASSERT_FALSE(Icon.isNull());
    for (int Side : {24, 48}) {
      const QPixmap Pixmap = Icon.pixmap(QSize(Side, Side), 1.0);
      ASSERT_FALSE(Pixmap.isNull());
      EXPECT_EQ(Pixmap.size(), QSize(Side, Side));
      EXPECT_GT(OpaquePixels(Pixmap.toImage()), Side);
    }
    // Drawn afresh for a device pixel ratio of 2, not blown up.
    const QPixmap Sharp = Icon.pixmap(QSize(24, 24), 2.0);
    EXPECT_EQ(Sharp.size(), QSize(48, 48));
    EXPECT_EQ(Sharp.devicePixelRatio(), 2.0);
    EXPECT_LT(OpaquePixels(Icon.pixmap(QSize(24, 24), 1.0, QIcon::Disabled).toImage()),
              OpaquePixels(Icon.pixmap(QSize(24, 24), 1.0).toImage()));
  }
  EXPECT_EQ(GlyphIcon(TGlyph::BatteryEmpty).name(), "battery-empty");
  EXPECT_EQ(GlyphIcon(TGlyph::BatteryCautionCharging).name(), "battery-caution-charging");
  EXPECT_EQ(GlyphIcon(TGlyph::BatteryCharged).name(), "battery-charged");
}

} // namespace
