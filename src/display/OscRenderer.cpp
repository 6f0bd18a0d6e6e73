#include "display/OscRenderer.h"

#include "osc/OscErrorBoundary.h"

TOscRenderer::TOscRenderer(QWidget* Parent)
    : QWidget(Parent), FDeviceObserver(std::make_unique<TOscDeviceObserver>(
                           [this](TOscDevice* Sender, TOscDeviceProperties Changes) {
                             OnDeviceChanged(Sender, Changes);
                           })),
      FTraces(std::make_unique<TOscTraces>()), FSkin(std::make_unique<TOscSkin>()),
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

void TOscRenderer::BuildTraces() {
  OscBuildTraces(*FTraces, FOscilloscope, FSkin->TraceColors(),
                 [this](std::vector<TOscPoint>& Points) { PointsToScreen(Points); });
  CurrentSources(FBuiltSources);
  FTracesValid = true;
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

bool TOscRenderer::UpdateTraces() {
  CurrentSources(FSources);
  if (FTracesValid && FSources == FBuiltSources)
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
