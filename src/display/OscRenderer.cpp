#include "display/OscRenderer.h"

TOscRenderer::TOscRenderer(QWidget* Parent)
    : QWidget(Parent), FDeviceObserver(std::make_unique<TOscDeviceObserver>(
                           [this](TOscDevice* Sender, TOscDeviceProperties Changes) {
                             OnDeviceChanged(Sender, Changes);
                           })),
      FTraces(std::make_unique<TOscTraces>()), FSkin(std::make_unique<TOscSkin>()),
      FSkinObserver(
          std::make_unique<TOscSkinObserver>([this](TOscSkin* Sender) { OnSkinChanged(Sender); })),
      FChannelObserver(std::make_unique<TOscSignalObserver>(
          [this](TOscSignal* Sender, TOscDeviceProperties Changes) {
            OnChannelChanged(Sender, Changes);
          })) {
  FSkin->RegisterObserver(FSkinObserver.get());
}

TOscRenderer::~TOscRenderer() {
  SetOscilloscope(nullptr);
  FSkin->UnregisterObserver(FSkinObserver.get());
}

void TOscRenderer::Detach() {
  for (TOscSignal* Channel : FWatchedChannels)
    Channel->UnregisterObserver(FChannelObserver.get());
  FWatchedChannels.clear();
  if (FOscilloscope != nullptr)
    FOscilloscope->UnregisterObserver(FDeviceObserver.get());
  FOscilloscope = nullptr;
}

void TOscRenderer::SetOscilloscope(TOscDevice* Value) {
  Detach();
  FOscilloscope = Value;
  if (Value == nullptr)
    return;
  Value->RegisterObserver(FDeviceObserver.get());
  if (Value->HasSignals()) {
    for (int I = 0; I < Value->Signals().Count(); ++I) {
      TOscSignal* Channel = &Value->Signals().Signal(I);
      Channel->RegisterObserver(FChannelObserver.get());
      FWatchedChannels.push_back(Channel);
    }
  }
}

void TOscRenderer::OnChannelChanged(TOscSignal* Sender, TOscDeviceProperties Changes) {
  // A channel shrinks to nothing only while its device destroys it. The
  // device's own members are still alive at that point, so unhooking from it
  // is safe; afterwards nothing of it may be touched.
  if (Changes.Contains(propSignal) && Sender->Count() == 0 && Sender->Owner() == FOscilloscope)
    Detach();
}

void TOscRenderer::BuildTraces() {
  OscBuildTraces(*FTraces, FOscilloscope, FSkin->TraceColors(),
                 [this](std::vector<TOscPoint>& Points) { PointsToScreen(Points); });
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
  BuildTraces();
}

void TOscRenderer::Paint() {
  Render();
}

void TOscRenderer::Resize() {
  if (FOnResize)
    FOnResize(this);
}

void TOscRenderer::paintEvent(QPaintEvent*) {
  Paint();
}

void TOscRenderer::resizeEvent(QResizeEvent*) {
  Resize();
}
