#include "app/Glyphs.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <iterator>
#include <utility>

namespace {

// Every glyph is drawn on a 24 x 24 grid and scaled to the requested size.
constexpr qreal CGrid = 24;
constexpr qreal CStroke = 1.75;
constexpr qreal CPi = 3.14159265358979323846;
const QColor CInk(0xE8, 0xE8, 0xE8);
const QColor CAxis(0x80, 0x86, 0x8E);
const QColor CEmpty(0xE0, 0x44, 0x44);
const QColor CCaution(0xF0, 0xB0, 0x30);
const QColor CCharged(0x4C, 0xC8, 0x5A);
// Disabled icons keep their shapes and fade into the background.
constexpr qreal CDisabledOpacity = 0.4;

QPen InkPen(const QColor& Colour = CInk, qreal Width = CStroke) {
  return QPen(Colour, Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawAxis(QPainter& P) {
  P.setPen(InkPen(CAxis, 1));
  P.drawLine(QPointF(1.5, 12), QPointF(22.5, 12));
}

// Periods full waves of the given amplitude between x = 2 and x = 22.
void DrawSine(QPainter& P, qreal Amplitude, qreal Periods) {
  constexpr qreal Left = 2, Width = 20;
  constexpr int Steps = 96;
  QPainterPath Path(QPointF(Left, 12));
  for (int I = 1; I <= Steps; ++I) {
    const qreal T = qreal(I) / Steps;
    Path.lineTo(Left + Width * T, 12 - Amplitude * std::sin(2 * CPi * Periods * T));
  }
  P.setPen(InkPen());
  P.drawPath(Path);
}

// An open arrow head at Tip, pointing along (Dx, Dy), a unit direction.
void DrawArrowHead(QPainter& P, QPointF Tip, qreal Dx, qreal Dy) {
  constexpr qreal Size = 3;
  const QPointF Back(-Dx * Size, -Dy * Size);
  const QPointF Side(-Dy * Size, Dx * Size);
  P.drawLine(Tip, Tip + Back + Side);
  P.drawLine(Tip, Tip + Back - Side);
}

void DrawDoubleArrow(QPainter& P, QPointF From, QPointF To) {
  const qreal Length = std::hypot(To.x() - From.x(), To.y() - From.y());
  const qreal Dx = (To.x() - From.x()) / Length, Dy = (To.y() - From.y()) / Length;
  P.setPen(InkPen());
  P.drawLine(From, To);
  DrawArrowHead(P, To, Dx, Dy);
  DrawArrowHead(P, From, -Dx, -Dy);
}

// A question mark about 9.5 units high, its top at Top, centred on X.
void DrawQuestionMark(QPainter& P, qreal X, qreal Top) {
  QPainterPath Hook(QPointF(X - 2.3, Top + 2.4));
  Hook.cubicTo(X - 2.3, Top - 0.7, X + 2.5, Top - 0.7, X + 2.5, Top + 2.3);
  Hook.cubicTo(X + 2.5, Top + 3.9, X, Top + 4.0, X, Top + 5.8);
  Hook.lineTo(X, Top + 6.3);
  P.setPen(InkPen());
  P.drawPath(Hook);
  P.setPen(Qt::NoPen);
  P.setBrush(CInk);
  P.drawEllipse(QPointF(X, Top + 8.6), 1.1, 1.1);
  P.setBrush(Qt::NoBrush);
}

void DrawMarkerVoltage(QPainter& P) {
  P.setPen(InkPen());
  P.drawLine(QPointF(1.5, 3.5), QPointF(22.5, 3.5));
  P.drawLine(QPointF(1.5, 20.5), QPointF(22.5, 20.5));
  DrawDoubleArrow(P, QPointF(7, 6.5), QPointF(7, 17.5));
  DrawQuestionMark(P, 16.5, 7.3);
}

void DrawTimeSpan(QPainter& P) {
  P.setPen(InkPen());
  P.drawLine(QPointF(3.5, 1.5), QPointF(3.5, 22.5));
  P.drawLine(QPointF(20.5, 1.5), QPointF(20.5, 22.5));
  DrawDoubleArrow(P, QPointF(6.5, 18), QPointF(17.5, 18));
  DrawQuestionMark(P, 12, 3);
}

// A step from Low to High (or back) with an arrow head on the edge.
void DrawSlope(QPainter& P, bool Rising) {
  const qreal From = Rising ? 19 : 5, To = Rising ? 5 : 19;
  QPainterPath Step(QPointF(2.5, From));
  Step.lineTo(12, From);
  Step.lineTo(12, To);
  Step.lineTo(21.5, To);
  P.setPen(InkPen());
  P.drawPath(Step);
  DrawArrowHead(P, QPointF(12, Rising ? 10 : 14), 0, Rising ? -1 : 1);
}

// A battery lying on its side, filled to Level (0..1) in Fill.
void DrawBattery(QPainter& P, qreal Level, const QColor& Fill, bool Charging) {
  const QRectF Inside(4, 9, 14, 6);
  P.setPen(Qt::NoPen);
  P.setBrush(Fill);
  P.drawRect(QRectF(Inside.left(), Inside.top(), Inside.width() * Level, Inside.height()));
  P.setPen(InkPen(CInk, 1.5));
  P.setBrush(Qt::NoBrush);
  P.drawRoundedRect(QRectF(2, 7, 18, 10), 1.5, 1.5);
  P.setPen(Qt::NoPen);
  P.setBrush(CInk);
  P.drawRoundedRect(QRectF(20.5, 9.5, 2, 5), 0.75, 0.75);
  if (Charging) {
    // A lightning bolt across the body, outlined dark to stand out on the fill.
    const QPointF Bolt[] = {{12.5, 4.5}, {7.5, 12.8},  {10.6, 12.8},
                            {9.5, 19.5}, {14.5, 11.2}, {11.4, 11.2}};
    P.setPen(QPen(QColor(0x20, 0x20, 0x20), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(QColor(0xFF, 0xF4, 0xC0));
    P.drawPolygon(Bolt, int(std::size(Bolt)));
  }
  P.setBrush(Qt::NoBrush);
}

void DrawWarning(QPainter& P) {
  const QPointF Triangle[] = {{12, 2}, {22.5, 21}, {1.5, 21}};
  P.setPen(QPen(QColor(0x8A, 0x4A, 0x00), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  P.setBrush(QColor(0xFF, 0x9A, 0x1F));
  P.drawPolygon(Triangle, int(std::size(Triangle)));
  P.setPen(Qt::NoPen);
  P.setBrush(QColor(0x20, 0x20, 0x20));
  P.drawRoundedRect(QRectF(11, 8, 2, 7.5), 1, 1);
  P.drawEllipse(QPointF(12, 18), 1.2, 1.2);
  P.setBrush(Qt::NoBrush);
}

void DrawInformation(QPainter& P) {
  P.setPen(QPen(QColor(0x10, 0x40, 0x90), 1));
  P.setBrush(QColor(0x2F, 0x7B, 0xE0));
  P.drawEllipse(QPointF(12, 12), 10.5, 10.5);
  P.setPen(Qt::NoPen);
  P.setBrush(Qt::white);
  P.drawEllipse(QPointF(12, 7), 1.5, 1.5);
  P.drawRoundedRect(QRectF(10.8, 10, 2.4, 8.5), 1, 1);
  P.setBrush(Qt::NoBrush);
}

void DrawGlyph(QPainter& P, TGlyph Glyph) {
  switch (Glyph) {
  case TGlyph::SineSmall:
    DrawAxis(P);
    DrawSine(P, 3, 2);
    break;
  case TGlyph::SineLarge:
    DrawAxis(P);
    DrawSine(P, 8.5, 2);
    break;
  case TGlyph::PeriodStretched:
    DrawAxis(P);
    DrawSine(P, 7, 1);
    break;
  case TGlyph::PeriodsCompressed:
    DrawAxis(P);
    DrawSine(P, 7, 3);
    break;
  case TGlyph::MarkerVoltage:
    DrawMarkerVoltage(P);
    break;
  case TGlyph::TimeSpan:
    DrawTimeSpan(P);
    break;
  case TGlyph::SlopeRising:
    DrawSlope(P, true);
    break;
  case TGlyph::SlopeFalling:
    DrawSlope(P, false);
    break;
  case TGlyph::BatteryEmpty:
    DrawBattery(P, 0.15, CEmpty, false);
    break;
  case TGlyph::BatteryCautionCharging:
    DrawBattery(P, 0.45, CCaution, true);
    break;
  case TGlyph::BatteryCharged:
    DrawBattery(P, 1, CCharged, false);
    break;
  case TGlyph::Warning:
    DrawWarning(P);
    break;
  case TGlyph::Information:
    DrawInformation(P);
    break;
  }
}

const char* GlyphName(TGlyph Glyph) {
  switch (Glyph) {
  case TGlyph::SineSmall:
    return "sine-small";
  case TGlyph::SineLarge:
    return "sine-large";
  case TGlyph::PeriodStretched:
    return "period-stretched";
  case TGlyph::PeriodsCompressed:
    return "periods-compressed";
  case TGlyph::MarkerVoltage:
    return "marker-voltage";
  case TGlyph::TimeSpan:
    return "time-span";
  case TGlyph::SlopeRising:
    return "slope-rising";
  case TGlyph::SlopeFalling:
    return "slope-falling";
  case TGlyph::BatteryEmpty:
    return "battery-empty";
  case TGlyph::BatteryCautionCharging:
    return "battery-caution-charging";
  case TGlyph::BatteryCharged:
    return "battery-charged";
  case TGlyph::Warning:
    return "dialog-warning";
  case TGlyph::Information:
    return "dialog-information";
  }
  return "";
}

// Draws the glyph afresh for every size asked, so that it is as sharp at a
// device pixel ratio of 2 as at 1.
class TGlyphIconEngine : public QIconEngine {
public:
  explicit TGlyphIconEngine(TGlyph Glyph) : FGlyph(Glyph) {}

  void paint(QPainter* Painter, const QRect& Rect, QIcon::Mode Mode, QIcon::State) override {
    const qreal Side = qMin(Rect.width(), Rect.height());
    if (Side <= 0)
      return;
    Painter->save();
    Painter->setRenderHint(QPainter::Antialiasing);
    Painter->translate(Rect.x() + (Rect.width() - Side) / 2, Rect.y() + (Rect.height() - Side) / 2);
    Painter->scale(Side / CGrid, Side / CGrid);
    if (Mode == QIcon::Disabled)
      Painter->setOpacity(Painter->opacity() * CDisabledOpacity);
    DrawGlyph(*Painter, FGlyph);
    Painter->restore();
  }

  QPixmap pixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State State) override {
    if (Size.isEmpty())
      return QPixmap();
    QImage Image(Size, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    QPainter Painter(&Image);
    paint(&Painter, Image.rect(), Mode, State);
    Painter.end();
    return QPixmap::fromImage(std::move(Image));
  }

  QSize actualSize(const QSize& Size, QIcon::Mode, QIcon::State) override { return Size; }
  QString iconName() override { return QString::fromLatin1(GlyphName(FGlyph)); }
  QString key() const override { return QStringLiteral("TGlyphIconEngine"); }
  QIconEngine* clone() const override { return new TGlyphIconEngine(FGlyph); }

private:
  TGlyph FGlyph;
};

} // namespace

QIcon GlyphIcon(TGlyph Glyph) {
  return QIcon(new TGlyphIconEngine(Glyph));
}
