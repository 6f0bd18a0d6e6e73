#include "display/OscSpectrumView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

#include "osc/OscDevice.h"
#include "osc/OscErrorBoundary.h"
#include "osc/OscFormat.h"
#include "osc/OscScales.h"

namespace {

constexpr int CLastBin = CSpectrumBins - 1;
constexpr int CWheelStep = 120; // eighths of a degree: one notch of a common wheel

QColor ColorOf(TOscColor C) {
  return QColor(OscRed(C), OscGreen(C), OscBlue(C));
}

// A channel whose spectrum is worth computing: shown and with a range.
bool IsOn(const TOscSignal& S) {
  return S.Visible() && S.VoltsPerDivision() != vdivNone;
}

// The axis labels: "0", "5kHz", "12.5kHz", trailing zeros of the two decimals
// dropped.
QString AxisFrequencyText(double Hertz) {
  if (Hertz == 0)
    return QStringLiteral("0");
  QString Text = QString::fromStdString(OscFrequencyToStrFormat("%.2f", Hertz));
  const QChar Separator = QLatin1Char(OscDecimalSeparator());
  const qsizetype Point = Text.indexOf(Separator);
  if (Point < 0)
    return Text;
  qsizetype End = Point + 3; // past the two decimals
  while (End > Point + 1 && Text[End - 1] == QLatin1Char('0'))
    --End;
  if (End == Point + 1)
    --End;
  return Text.left(End) + Text.mid(Point + 3);
}

// Every how many grid lines a label fits: 1, 2, 5 or 10.
int LabelStride(double Spacing, double Needed) {
  for (int Stride : {1, 2, 5})
    if (Spacing * Stride >= Needed)
      return Stride;
  return 10;
}

} // namespace

TOscSpectrumView::TOscSpectrumView(QWidget* Parent)
    : QWidget(Parent), FDeviceObserver(std::make_unique<TOscDeviceObserver>(
                           [this](TOscDevice*, TOscDeviceProperties) { Refresh(); })) {
  FDeviceObserver->SetOnFree([this](TOscDevice*) { Detach(); });
  setObjectName("SpectrumView");
  setMinimumHeight(100);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TOscSpectrumView::~TOscSpectrumView() {
  SetOscilloscope(nullptr);
}

void TOscSpectrumView::Detach() {
  if (FOscilloscope != nullptr)
    FOscilloscope->UnregisterObserver(FDeviceObserver.get());
  FOscilloscope = nullptr;
  FShown[0] = FShown[1] = false;
  FValid = false;
}

void TOscSpectrumView::SetOscilloscope(TOscDevice* Value) {
  if (Value == FOscilloscope)
    return;
  Detach();
  FOscilloscope = Value;
  if (Value != nullptr)
    Value->RegisterObserver(FDeviceObserver.get());
  Refresh();
  update();
}

void TOscSpectrumView::SetWindow(TOscSpectrumWindow Value) {
  FSpectrum.SetWindow(Value);
  Refresh();
}

void TOscSpectrumView::SetTopLevel(double Value) {
  const double Top = std::clamp(Value, CMinTopLevel, CMaxTopLevel);
  if (Top == FTopLevel)
    return;
  FTopLevel = Top;
  update();
}

void TOscSpectrumView::SetMarkerBin(int Value) {
  const int Bin = std::clamp(Value, 0, CLastBin);
  if (Bin == FMarkerBin)
    return;
  FMarkerBin = Bin;
  update();
}

TOscSpectrumView::TInputs TOscSpectrumView::CurrentInputs() const {
  TInputs In;
  In.Window = FSpectrum.Window();
  In.Device = FOscilloscope;
  if (FOscilloscope == nullptr || !FOscilloscope->HasSignals())
    return In;
  In.Captures = FOscilloscope->Captures();
  In.TimeBase = FOscilloscope->TimeBase();
  const int Count = std::min(FOscilloscope->Signals().Count(), 2);
  for (int I = 0; I < Count; ++I) {
    const TOscSignal& S = FOscilloscope->Signals()[I];
    In.Channels[I] = {IsOn(S), S.VoltsPerDivision(), S.Multiplier(), S.YPosition()};
  }
  return In;
}

void TOscSpectrumView::Refresh() {
  if (!isVisible())
    return;
  const TInputs Now = CurrentInputs();
  if (FValid && Now == FInputs)
    return;
  FInputs = Now;
  FValid = true;
  for (int I = 0; I < 2; ++I) {
    FShown[I] = false;
    if (!Now.Channels[I].On)
      continue;
    const TOscSignal& S = FOscilloscope->Signals()[I];
    // A range or time base change erased the capture; the next one follows.
    if (S.Fill() < S.Count())
      continue;
    FSpectrum.Compute(S, FLevels[I]);
    FShown[I] = true;
    ++FComputations;
  }
  update();
}

const TOscSpectrumLevels* TOscSpectrumView::Levels(int Channel) const {
  return Channel >= 0 && Channel < 2 && FShown[Channel] ? &FLevels[Channel] : nullptr;
}

double TOscSpectrumView::BinWidth() const {
  if (FOscilloscope == nullptr)
    return std::numeric_limits<double>::quiet_NaN();
  return OscSampleFrequency(FOscilloscope->TimeBase()) / CSpectrumPoints;
}

QString TOscSpectrumView::FrequencyText(double Hertz) {
  if (Hertz == 0)
    return QString::fromStdString(OscFloatToStr(0, 2, false, OscDecimalSeparator())) + "Hz";
  return QString::fromStdString(OscFrequencyToStrFormat("%.2f", Hertz));
}

QString TOscSpectrumView::LevelText(double Level) {
  return QString::fromStdString(OscFloatToStr(Level, 1, false, OscDecimalSeparator())) + "dBV";
}

QString TOscSpectrumView::PeakText(int Channel) const {
  const TOscSpectrumLevels* L = Levels(Channel);
  if (L == nullptr)
    return {};
  const TOscSpectrumPeak Peak = L->Peak();
  if (Peak.Bin < 0)
    return tr("CH%1 peak: -").arg(Channel + 1);
  return tr("CH%1 peak: %2, %3")
      .arg(Channel + 1)
      .arg(FrequencyText(Peak.Frequency), LevelText(Peak.Level));
}

QString TOscSpectrumView::MarkerText() const {
  const double Width = BinWidth();
  QString Text =
      tr("Marker: %1")
          .arg(std::isnan(Width) ? QStringLiteral("-") : FrequencyText(FMarkerBin * Width));
  for (int I = 0; I < 2; ++I)
    if (const TOscSpectrumLevels* L = Levels(I))
      Text += tr(", CH%1 %2").arg(I + 1).arg(LevelText(L->Levels[FMarkerBin]));
  return Text;
}

QRectF TOscSpectrumView::PlotArea() const {
  const int Line = fontMetrics().height();
  const double Left = fontMetrics().horizontalAdvance(QStringLiteral("-100dBV")) + 8;
  const double Top = Line + 6;
  const double Bottom = Line + 4;
  const double Right = 12;
  return QRectF(Left, Top, std::max(1.0, width() - Left - Right),
                std::max(1.0, height() - Top - Bottom));
}

double TOscSpectrumView::XOfBin(double Bin) const {
  return XOfBin(Bin, PlotArea());
}

double TOscSpectrumView::YOfLevel(double Level) const {
  return YOfLevel(Level, PlotArea());
}

double TOscSpectrumView::XOfBin(double Bin, const QRectF& Plot) {
  return Plot.left() + Bin / CLastBin * Plot.width();
}

double TOscSpectrumView::YOfLevel(double Level, const QRectF& Plot) const {
  const double Span = CLevelPerDivision * CLevelDivisions;
  return Plot.top() + (FTopLevel - Level) / Span * Plot.height();
}

int TOscSpectrumView::BinAtX(double X) const {
  const QRectF Plot = PlotArea();
  const double Bin = std::round((X - Plot.left()) / Plot.width() * CLastBin);
  return static_cast<int>(std::clamp(Bin, 0.0, double(CLastBin)));
}

void TOscSpectrumView::paintEvent(QPaintEvent*) {
  OscGuarded([&] {
    QPainter P(this);
    Paint(P);
  });
}

void TOscSpectrumView::Paint(QPainter& P) {
  P.fillRect(rect(), ColorOf(FSkin.BackgroundColor()));
  const QRectF Plot = PlotArea();
  PaintGrid(P, Plot);

  P.save();
  P.setClipRect(Plot.adjusted(0, 0, 1, 1));
  QPolygonF Line(CSpectrumBins);
  for (int I = 0; I < 2; ++I) {
    const TOscSpectrumLevels* L = Levels(I);
    if (L == nullptr)
      continue;
    // Bins are laid along the axis by number: the view computes again when
    // the time base changes, so the bin width is the axis's.
    for (int K = 0; K < CSpectrumBins; ++K)
      Line[K] = QPointF(XOfBin(K, Plot), YOfLevel(L->Levels[static_cast<std::size_t>(K)], Plot));
    P.setPen(QPen(ColorOf(FSkin.TraceColors().Color(I).Color()), 1));
    P.drawPolyline(Line);
  }
  QPen MarkerPen(ColorOf(FSkin.MarkerColor()), 1, Qt::DashLine);
  P.setPen(MarkerPen);
  const double X = XOfBin(FMarkerBin, Plot);
  P.drawLine(QPointF(X, Plot.top()), QPointF(X, Plot.bottom()));
  P.restore();

  PaintReadouts(P);
}

void TOscSpectrumView::PaintGrid(QPainter& P, const QRectF& Plot) {
  const QColor Grid = ColorOf(FSkin.GridColor()).lighter(200);
  const QColor Label = ColorOf(FSkin.MarkerColor());
  const QFontMetrics M = fontMetrics();
  P.setPen(QPen(Grid, 1, Qt::DotLine));
  for (int I = 0; I <= CFrequencyDivisions; ++I) {
    const double X = Plot.left() + Plot.width() * I / CFrequencyDivisions;
    P.drawLine(QPointF(X, Plot.top()), QPointF(X, Plot.bottom()));
  }
  for (int I = 0; I <= CLevelDivisions; ++I) {
    const double Y = Plot.top() + Plot.height() * I / CLevelDivisions;
    P.drawLine(QPointF(Plot.left(), Y), QPointF(Plot.right(), Y));
  }

  P.setPen(Label);
  // Levels on the left, the unit on the top one.
  const int LevelStride = LabelStride(Plot.height() / CLevelDivisions, M.height());
  for (int I = 0; I <= CLevelDivisions; I += LevelStride) {
    const double Level = FTopLevel - I * CLevelPerDivision;
    QString Text = QString::number(Level, 'f', 0);
    if (I == 0)
      Text += QStringLiteral("dBV");
    const double Y = Plot.top() + Plot.height() * I / CLevelDivisions;
    P.drawText(QRectF(0, Y - M.height() / 2.0, Plot.left() - 4, M.height()),
               Qt::AlignRight | Qt::AlignVCenter, Text);
  }
  // Frequencies below: the first label starts at its line, the last ends
  // there, the others are centred.
  const double Nyquist = BinWidth() * CLastBin;
  if (std::isnan(Nyquist))
    return;
  const int Widest = M.horizontalAdvance(AxisFrequencyText(Nyquist * 0.95)) + 12;
  const int Stride = LabelStride(Plot.width() / CFrequencyDivisions, Widest);
  for (int I = 0; I <= CFrequencyDivisions; I += Stride) {
    const QString Text = AxisFrequencyText(Nyquist * I / CFrequencyDivisions);
    const double X = Plot.left() + Plot.width() * I / CFrequencyDivisions;
    const int W = M.horizontalAdvance(Text);
    const double Left = I == 0 ? X : I == CFrequencyDivisions ? X - W : X - W / 2.0;
    P.drawText(QRectF(Left, Plot.bottom() + 2, W + 1, M.height()), Qt::AlignLeft | Qt::AlignTop,
               Text);
  }
}

void TOscSpectrumView::PaintReadouts(QPainter& P) {
  const QFontMetrics M = fontMetrics();
  const QRectF Row(PlotArea().left(), 2, PlotArea().width(), M.height());
  double X = Row.left();
  for (int I = 0; I < 2; ++I) {
    const QString Text = PeakText(I);
    if (Text.isEmpty())
      continue;
    P.setPen(ColorOf(FSkin.TraceColors().Color(I).Color()));
    P.drawText(QRectF(X, Row.top(), Row.right() - X, Row.height()), Qt::AlignLeft, Text);
    X += M.horizontalAdvance(Text) + 16;
  }
  P.setPen(ColorOf(FSkin.MarkerColor()));
  P.drawText(Row, Qt::AlignRight, MarkerText());
}

void TOscSpectrumView::MoveMarkerTo(double X) {
  SetMarkerBin(BinAtX(X));
}

void TOscSpectrumView::mousePressEvent(QMouseEvent* Event) {
  OscGuarded([&] {
    if (Event->button() == Qt::LeftButton)
      MoveMarkerTo(Event->position().x());
  });
}

void TOscSpectrumView::mouseMoveEvent(QMouseEvent* Event) {
  OscGuarded([&] {
    if (Event->buttons() & Qt::LeftButton)
      MoveMarkerTo(Event->position().x());
  });
}

void TOscSpectrumView::wheelEvent(QWheelEvent* Event) {
  OscGuarded([&] {
    // Turning up shows higher levels: the top level rises a division per notch.
    FWheelRest += Event->angleDelta().y();
    const int Steps = FWheelRest / CWheelStep;
    FWheelRest -= Steps * CWheelStep;
    if (Steps != 0)
      SetTopLevel(FTopLevel + Steps * CLevelPerDivision);
    Event->accept();
  });
}

void TOscSpectrumView::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  OscGuarded([&] { Refresh(); });
}
