#include "display/OscScopeView.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "osc/OscScales.h"
#include "osc/OscTypes.h"

namespace {

// Rounds to the nearest integer, halves to even, limited so that any pixel
// maps to an int without overflow even on a degenerate page.
int RoundToGrid(double V) {
  constexpr double Lo = std::numeric_limits<int>::min() / 2;
  constexpr double Hi = std::numeric_limits<int>::max() / 2;
  if (!(V == V))
    return 0;
  return static_cast<int>(std::nearbyint(std::min(Hi, std::max(Lo, V))));
}

} // namespace

int TOscScopeView::TFrameGeometry::AreaWidth() const {
  return std::max(1, Width - 2 * Padding);
}

int TOscScopeView::TFrameGeometry::AreaHeight() const {
  return std::max(1, Height - 2 * Padding);
}

TOscScopeView::TOscScopeView(QWidget* Parent) : TOscRenderer(Parent) {
  FMarkers = std::make_unique<TOscMarkers>(this);
  FFrameRateObserver =
      std::make_unique<TOscFpsObserver>([this](TOscFpsLimiter* Sender) { FrameRateTick(Sender); });
  FFrameRateObserver->SetOnRemove([this](TOscFpsLimiter* Sender) {
    if (Sender == FFpsLimiter)
      FFpsLimiter = nullptr;
  });
  FHorizontalScroller = std::make_unique<TOscTimeScroller>(this);
  FHorizontalScroller->SetOnScroll([this](TOscTimeScroller* S) { HandleHorizontalScroll(S); });

  FVDivMarkerA = std::make_unique<TOscVDivMarker>(this);
  FVDivMarkerB = std::make_unique<TOscVDivMarker>(this);
  FVDivMarkers = std::make_unique<TOscMarkerMeasurer>(FVDivMarkerB.get(), FVDivMarkerA.get());
  FTimeBaseMarkerC = std::make_unique<TOscTimeBaseMarker>(this);
  FTimeBaseMarkerD = std::make_unique<TOscTimeBaseMarker>(this);
  FTimeBaseMarkers =
      std::make_unique<TOscMarkerMeasurer>(FTimeBaseMarkerD.get(), FTimeBaseMarkerC.get());
  FVDivMarkers->Marker1()->SetPosition(28);
  FVDivMarkers->Marker2()->SetPosition(228);
  FTimeBaseMarkers->Marker1()->SetPosition(100);
  FTimeBaseMarkers->Marker2()->SetPosition(650);
  // Bound after the first positions: a repaint from here would reach the
  // drawing, which does not exist yet (and nobody listens to OnChange yet).
  FVDivMarkers->SetOnChange([this](TOscMarkerMeasurer* S) { MeasurementChanged(S); });
  FTimeBaseMarkers->SetOnChange([this](TOscMarkerMeasurer* S) { MeasurementChanged(S); });

  FTriggerMarker = std::make_unique<TOscTriggerMarker>(this);
  FTriggerMarker->SetColor(Skin().TriggerColor());
  FTriggerMarker->SetOnChanging([this](TOscMarker* S, int& P) { TriggerChanging(S, P); });
  FPadding = 20;
  FFlip = true;

  // Clicking takes the focus away from other controls; Tab never enters.
  setFocusPolicy(Qt::ClickFocus);
}

TOscScopeView::~TOscScopeView() {
  SetFpsLimiter(nullptr);
}

void TOscScopeView::SetPadding(int Value) {
  if (Value == FPadding)
    return;
  FPadding = Value;
  DoChange();
}

void TOscScopeView::SetFlip(bool Value) {
  if (Value == FFlip)
    return;
  FFlip = Value;
  // The flip is applied to the trace points as they are built.
  InvalidateTraces();
  DoChange();
}

void TOscScopeView::SetHorizontalScroller(const TOscTimeScroller& Value) {
  FHorizontalScroller->SetPosition(Value.Position());
}

void TOscScopeView::SetTriggerMarker(const TOscTriggerMarker& Value) {
  FTriggerMarker->SetPosition(Value.Position());
}

void TOscScopeView::SetFpsLimiter(TOscFpsLimiter* Value) {
  if (FFpsLimiter != nullptr)
    FFpsLimiter->UnRegisterObserver(FFrameRateObserver.get());
  FFpsLimiter = Value;
  if (Value != nullptr)
    Value->RegisterObserver(FFrameRateObserver.get());
}

void TOscScopeView::RegisterMarker(TOscMarker* Marker) {
  FMarkers->Add(Marker);
}

void TOscScopeView::UnregisterMarker(TOscMarker* Marker) {
  if (FMarkers)
    FMarkers->Remove(Marker);
}

void TOscScopeView::SetViewCursor(Qt::CursorShape Shape) {
  if (Shape == FCursor)
    return;
  FCursor = Shape;
  ApplyCursor(Shape);
}

qreal TOscScopeView::DevicePixelRatio() const {
  return devicePixelRatioF();
}

void TOscScopeView::Render() {
  if (UpdateTraces())
    FForceDraw = true;
  if (!CanDraw()) {
    // Whatever comes on screen later must be drawn in full.
    FForceDraw = true;
    return;
  }
  CurrentLook(FLook);
  if (!FForceDraw && FLook == FShownLook)
    return;
  ShowFrame();
}

void TOscScopeView::FrameShown() {
  FLastGeometry = CurrentGeometry();
  FHaveFrame = true;
  CurrentLook(FShownLook);
  FForceDraw = false;
  ++FFramesDrawn;
  if (FOnAfterSwap)
    FOnAfterSwap(this);
}

TOscScopeView::TFrameGeometry TOscScopeView::CurrentGeometry() const {
  return {width(), height(), FPadding, SamplesPerPage()};
}

void TOscScopeView::CurrentLook(TFrameLook& L) const {
  const qreal Dpr = DevicePixelRatio();
  L.Width = width();
  L.Height = height();
  L.PixelWidth = static_cast<int>(width() * Dpr);
  L.PixelHeight = static_cast<int>(height() * Dpr);
  L.Padding = FPadding;
  L.Flip = FFlip;
  L.Divisions = Divisions();
  L.SamplesPerDivision = SamplesPerDivision();
  L.Scroll = FHorizontalScroller->Position();
  L.Grid = Skin().GridColor();
  L.Background = Skin().BackgroundColor();
  L.Markers.clear();
  for (int I = 0; I < FMarkers->Count(); ++I) {
    const TOscMarker& M = FMarkers->Marker(I);
    L.Markers.push_back({M.Visible(), M.Position(), M.Style(), M.Line(), M.Color()});
  }
}

void TOscScopeView::GridLines(std::vector<TOscPoint>& Lines) const {
  const int Right = SamplesPerPage() - 1, Bottom = 255;
  const int Spd = SamplesPerDivision();
  Lines.clear();
  for (int I = 0; I <= VerticalDivisions; ++I) {
    Lines.push_back({0, ClipSize + 25 * I});
    Lines.push_back({Right, ClipSize + 25 * I});
  }
  const int Divisions = this->Divisions();
  for (int I = 0; I <= Divisions; ++I) {
    Lines.push_back({I * Spd, ClipSize});
    Lines.push_back({I * Spd, Bottom - ClipSize + 1});
  }
}

void TOscScopeView::VisibleTracePoints(int Index, int Columns,
                                       std::vector<TOscPoint>& Points) const {
  VisibleTracePoints(Traces().Trace(Index), Columns, Points);
}

void TOscScopeView::VisibleTracePoints(const TOscTrace& Trace, int Columns,
                                       std::vector<TOscPoint>& Points) const {
  Points.clear();
  const std::vector<TOscPoint>& All = Trace.Points;
  if (XY()) {
    Points.assign(All.begin(), All.end());
    return;
  }
  const int Scroll = FHorizontalScroller->Position();
  const int S = SamplesPerPage();
  // The page shows grid X -1 .. S - 1: the points from grid X Scroll - 2 to
  // Scroll + S. X grows with the index (a channel's point i lies at X = i, a
  // reference's points may share an X or skip some).
  const auto First =
      static_cast<int>(std::lower_bound(All.begin(), All.end(), Scroll - 2,
                                        [](const TOscPoint& P, int X) { return P.X < X; }) -
                       All.begin());
  const int Last =
      static_cast<int>(std::upper_bound(All.begin(), All.end(), Scroll + S,
                                        [](int X, const TOscPoint& P) { return X < P.X; }) -
                       All.begin()) -
      1;
  const auto Column = [&](int I) {
    const long long X = static_cast<long long>(All[static_cast<std::size_t>(I)].X) - Scroll + 1;
    return X < 0 ? -1 : static_cast<int>(X * Columns / S);
  };
  const auto Add = [&](int I) {
    const TOscPoint& P = All[static_cast<std::size_t>(I)];
    Points.push_back({P.X - Scroll, P.Y});
  };
  for (int I = First; I <= Last;) {
    const int C = Column(I);
    int J = I, Low = I, High = I;
    while (J < Last && Column(J + 1) == C) {
      ++J;
      const int Y = All[static_cast<std::size_t>(J)].Y;
      if (Y < All[static_cast<std::size_t>(Low)].Y)
        Low = J;
      if (Y > All[static_cast<std::size_t>(High)].Y)
        High = J;
    }
    if (J - I < 2) {
      for (int K = I; K <= J; ++K)
        Add(K);
    } else {
      Add(std::min(Low, High));
      if (Low != High)
        Add(std::max(Low, High));
    }
    I = J + 1;
  }
}

void TOscScopeView::MarkerLine(const TOscMarker& Marker, TOscPoint& A, TOscPoint& B) const {
  // Not shifted by the scroll position: markers stay put on the page.
  if (Marker.Style() == oscMarkerHorizontal) {
    A = {0, Marker.Position()};
    B = {SamplesPerPage() - 1, Marker.Position()};
  } else {
    A = {Marker.Position(), 0};
    B = {Marker.Position(), 255};
  }
  PointToScreen(A);
  PointToScreen(B);
}

void TOscScopeView::ScreenToGrid(int X, int Y, TOscPoint& Point) const {
  if (Y == 0)
    Y = 1;
  const TFrameGeometry G = FHaveFrame ? FLastGeometry : CurrentGeometry();
  const double GX = -1.0 + static_cast<double>(X - G.Padding) * G.SamplesPerPage / G.AreaWidth();
  const double GY = -1.0 + static_cast<double>(Y - G.Padding) * 256.0 / G.AreaHeight();
  Point = {RoundToGrid(GX), RoundToGrid(GY)};
  PointToScreen(Point);
}

int TOscScopeView::SampleAt(int X, int Y) const {
  TOscPoint P;
  ScreenToGrid(X, Y, P);
  return P.X + FHorizontalScroller->Position();
}

void TOscScopeView::AdjustMarkerLimits() {
  FTimeBaseMarkers->Marker1()->SetMaxPosition(SamplesPerPage() - 5);
  FTimeBaseMarkers->Marker2()->SetMaxPosition(SamplesPerPage() - 5);
}

void TOscScopeView::PointToScreen(TOscPoint& Point) const {
  if (FFlip)
    Point.Y = 255 - Point.Y;
}

void TOscScopeView::PointsToScreen(std::vector<TOscPoint>& Points) const {
  if (FFlip)
    for (TOscPoint& P : Points)
      P.Y = 255 - P.Y;
}

void TOscScopeView::CallChange() {
  if (FOnChange)
    FOnChange(this);
}

void TOscScopeView::DoChange() {
  TOscRenderer::DoChange();
  CallChange();
  Paint();
}

void TOscScopeView::DoResizeSignal() {
  AdjustMarkerLimits();
  Paint();
}

void TOscScopeView::DoXYChange() {
  TOscMarker* Time[2] = {FTimeBaseMarkerC.get(), FTimeBaseMarkerD.get()};
  for (int I = 0; I < 2; ++I) {
    if (XY()) {
      FTimeMarkersVisible[I] = Time[I]->Visible();
      Time[I]->SetVisible(false);
      Time[I]->EndDrag();
    } else {
      Time[I]->SetVisible(FTimeMarkersVisible[I]);
    }
  }
  TOscRenderer::DoXYChange();
}

void TOscScopeView::Paint() {
  Render();
}

void TOscScopeView::Resize() {
  TOscRenderer::Resize();
  AdjustMarkerLimits();
  Paint();
}

void TOscScopeView::DoHorizontalScroll() {
  Paint();
  if (FOnHorizontalScroll)
    FOnHorizontalScroll(this);
}

void TOscScopeView::HandleHorizontalScroll(TOscTimeScroller*) {
  DoHorizontalScroll();
}

void TOscScopeView::FrameRateTick(TOscFpsLimiter*) {
  Render();
}

void TOscScopeView::MeasurementChanged(TOscMarkerMeasurer*) {
  DoChange();
}

void TOscScopeView::TriggerChanging(TOscMarker*, int& Position) {
  TOscDevice* Device = Oscilloscope();
  if (Device == nullptr)
    return;
  Device->Trigger().SetLevel(Position);
  Position = Device->Trigger().Level();
  Device->TransmitSettings();
}

void TOscScopeView::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  if (focusPolicy() != Qt::NoFocus && isEnabled())
    setFocus(Qt::MouseFocusReason);
  TOscPoint P;
  ScreenToGrid(X, Y, P);
  // XY shows no time to scroll through.
  if (!XY())
    FHorizontalScroller->MouseDown(Button, Shift, P.X, P.Y);
  FMarkers->MouseDown(Button, Shift, P.X, P.Y);
}

void TOscScopeView::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  TOscPoint P;
  ScreenToGrid(X, Y, P);
  FHorizontalScroller->MouseUp(Button, Shift, P.X, P.Y);
  FMarkers->MouseUp(Button, Shift, P.X, P.Y);
}

void TOscScopeView::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
  SetViewCursor(Qt::ArrowCursor);
  TOscPoint P;
  ScreenToGrid(X, Y, P);
  if (!XY())
    FHorizontalScroller->MouseMove(Shift, P.X, P.Y);
  FMarkers->MouseMove(Shift, P.X, P.Y);
  Hover(X, Y);
}

void TOscScopeView::Hover(int X, int Y) {
  TOscDevice* Device = Oscilloscope();
  if (!FOnHover || Device == nullptr || !Device->HasSignals())
    return;
  TOscSignals& Signals = Device->Signals();
  if (!XY()) {
    const int I = SampleAt(X, Y);
    for (int C = 0; C < Signals.Count(); ++C) {
      TOscSignal& Signal = Signals.Signal(C);
      if (I >= 0 && I < Signal.Count())
        FOnHover(this, &Signal, Signal.GetSampleVoltage(I));
    }
    return;
  }
  TOscPoint P;
  ScreenToGrid(X, Y, P);
  if (Signals.Count() < 2 || P.X < 0 || P.X >= SamplesPerPage() || P.Y < 0 || P.Y > 255)
    return;
  // Back through the XY scale: the grid point as CH1's and CH2's steps above
  // their zero lines.
  const TOscXYScale Scale = XYScale();
  const double Steps1 = (P.X - Scale.XZero) * CSamplesPerVoltDivision / Scale.XPerDivision;
  const double Steps2 = Scale.YZero - P.Y;
  FOnHover(this, &Signals.Signal(0), Signals.Signal(0).Voltage(Steps1));
  FOnHover(this, &Signals.Signal(1), Signals.Signal(1).Voltage(Steps2));
}
