#include "display/OscRenderer.h"

#include "osc/OscCapture.h"
#include "osc/OscErrorBoundary.h"
#include "osc/OscScales.h"

TOscRenderer::TOscRenderer(QWidget* Parent)
    : QWidget(Parent), FDeviceObserver(std::make_unique<TOscDeviceObserver>(
                           [this](TOscDevice* Sender, TOscDeviceProperties Changes) {
                             OnDeviceChanged(Sender, Changes);
                           })),
      FTraces(std::make_unique<TOscTraces>()), FReferenceTraces(std::make_unique<TOscTraces>()),
      FSkin(std::make_unique<TOscSkin>()),
      FSkinObserver(
          std::make_unique<TOscSkinObserver>([this](TOscSkin* Sender) { OnSkinChanged(Sender); })) {
  // A device destroyed while shown must not leave the view with a dangling link.
  FDeviceObserver->SetOnFree([this](TOscDevice*) { Detach(); });
  FSkin->RegisterObserver(FSkinObserver.get());
}

TOscRenderer::~TOscRenderer() {
  SetOscilloscope(nullptr);
  FSkin->UnregisterObserver(FSkinObserver.get());
}

void TOscRenderer::Detach() {
  if (FOscilloscope != nullptr)
    FOscilloscope->UnregisterObserver(FDeviceObserver.get());
  FOscilloscope = nullptr;
  // The traces' sources may be gone with the device.
  FTracesValid = false;
}

void TOscRenderer::SetOscilloscope(TOscDevice* Value) {
  Detach();
  FOscilloscope = Value;
  if (Value == nullptr)
    return;
  Value->RegisterObserver(FDeviceObserver.get());
}

void TOscRenderer::SetXY(bool Value) {
  if (Value == FXY)
    return;
  FXY = Value;
  DoXYChange();
}

TOscXYScale TOscRenderer::XYScale() const {
  TOscXYScale Scale;
  Scale.XPerDivision = SamplesPerDivision();
  const double XPerStep = Scale.XPerDivision / CSamplesPerVoltDivision;
  const double Centre = (SamplesPerPage() - 1) / 2.0;
  const bool Channels = FOscilloscope != nullptr && FOscilloscope->HasSignals() &&
                        FOscilloscope->Signals().Count() >= 2;
  const int Zero1 = Channels ? FOscilloscope->Signals()[0].YPosition() : 128;
  const int Zero2 = Channels ? FOscilloscope->Signals()[1].YPosition() : 128;
  // Sample 128 at the centre, larger samples (lower volts) to the left.
  Scale.XZero = Centre + (128 - Zero1) * XPerStep;
  Scale.YZero = Zero2;
  return Scale;
}

void TOscRenderer::SetReference(const TOscCapture* Value) {
  FReference = Value != nullptr ? std::make_unique<TOscCapture>(*Value) : nullptr;
  ++FReferenceGeneration;
  DoChange();
}

bool TOscRenderer::MathShown() const {
  return !FXY && FMath != nullptr && FOscilloscope != nullptr && FMath->Device() == FOscilloscope &&
         FMath->Mode() != mmOff && FMath->Fill() > 0;
}

void TOscRenderer::BuildTraces() {
  const TOscPointMap Map = [this](std::vector<TOscPoint>& Points) { PointsToScreen(Points); };
  int Count = 0;
  if (FXY) {
    if (FOscilloscope != nullptr) {
      OscFillXYTrace(OscTraceAt(*FTraces, 0), *FOscilloscope, XYScale(),
                     FSkin->TraceColors().Color(0).Color(), Map);
      Count = 1;
    }
  } else {
    Count = OscFillTraces(*FTraces, FOscilloscope, FSkin->TraceColors(), Map);
    if (MathShown())
      OscFillMathTrace(OscTraceAt(*FTraces, Count++), *FMath, COscMathColor, Map);
  }
  FTraces->Truncate(Count);
  BuildReferenceTraces(Map);
  CurrentSources(FBuiltSources);
  FBuiltExtras = CurrentExtras();
  FTracesValid = true;
}

void TOscRenderer::BuildReferenceTraces(const TOscPointMap& Map) {
  if (FReference == nullptr || FXY) {
    FReferenceTraces->Truncate(0);
    FBuiltReference = {};
    return;
  }
  const TReferenceKey Key{FReferenceGeneration, FSkinEpoch, FMapEpoch, SamplesPerDivision()};
  if (Key == FBuiltReference)
    return;
  OscBuildReferenceTraces(*FReferenceTraces, *FReference, Key.SamplesPerDivision,
                          FSkin->TraceColors(), FSkin->BackgroundColor(), Map);
  FBuiltReference = Key;
}

void TOscRenderer::CurrentSources(std::vector<TTraceSource>& Sources) const {
  Sources.clear();
  if (FOscilloscope == nullptr || !FOscilloscope->HasSignals())
    return;
  const TOscSignals& Signals = FOscilloscope->Signals();
  for (int I = 0; I < Signals.Count(); ++I) {
    const TOscSignal& S = Signals.Signal(I);
    const bool Shown = S.Visible() && S.VoltsPerDivision() != vdivNone;
    Sources.push_back(
        {&S, S.Generation(), Shown, Shown ? FSkin->TraceColors().Color(I).Color() : 0});
  }
}

TOscRenderer::TTraceExtras TOscRenderer::CurrentExtras() const {
  TTraceExtras E;
  E.XY = FXY;
  if (FXY) {
    E.Scale = XYScale();
    E.XYColor = FSkin->TraceColors().Color(0).Color();
  } else if (MathShown()) {
    E.Math = FMath;
    E.MathGeneration = FMath->Generation();
  }
  if (FReference != nullptr && !FXY) {
    E.Reference = FReferenceGeneration;
    E.Background = FSkin->BackgroundColor();
  }
  return E;
}

bool TOscRenderer::UpdateTraces() {
  CurrentSources(FSources);
  if (FTracesValid && FSources == FBuiltSources && CurrentExtras() == FBuiltExtras)
    return false;
  BuildTraces();
  return true;
}

void TOscRenderer::OnDeviceChanged(TOscDevice*, TOscDeviceProperties Changes) {
  // New samples show through the frame pacing, not through notifications.
  if (Changes.Contains(propTimeBase))
    DoResizeSignal();
}

void TOscRenderer::OnSkinChanged(TOscSkin*) {
  ++FSkinEpoch;
  DoChange();
}

void TOscRenderer::DoChange() {
  Paint();
}

void TOscRenderer::PointToScreen(TOscPoint&) const {}

void TOscRenderer::PointsToScreen(std::vector<TOscPoint>& Points) const {
  for (TOscPoint& P : Points)
    PointToScreen(P);
}

void TOscRenderer::DoResizeSignal() {
  BuildTraces();
}

void TOscRenderer::DoXYChange() {
  DoChange();
}

void TOscRenderer::Render() {
  UpdateTraces();
}

void TOscRenderer::Paint() {
  Render();
}

void TOscRenderer::Resize() {
  if (FOnResize)
    FOnResize(this);
}

// Entry points from the event loop: nothing thrown may reach Qt.
void TOscRenderer::paintEvent(QPaintEvent*) {
  OscGuarded([&] { Paint(); });
}

void TOscRenderer::resizeEvent(QResizeEvent*) {
  OscGuarded([&] { Resize(); });
}
