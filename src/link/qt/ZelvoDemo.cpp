#include "link/qt/ZelvoDemo.h"

#include <QTimer>

#include <algorithm>
#include <iterator>

#include "osc/OscErrorBoundary.h"
#include "osc/OscSignalGenerator.h"

namespace {

struct TDemoChannel {
  double Frequency; // Hz
  double Amplitude; // V
};
constexpr TDemoChannel CDemoChannels[] = {{150.0, 20.0}, {300.0, 40.0}};

} // namespace

TZelvoDemo::TZelvoDemo()
    : FTimer(std::make_unique<QTimer>()),
      FSignalGenerator(std::make_unique<TOscSignalGenerator>(this)) {
  FTimer->setInterval(CTimerInterval);
  QObject::connect(FTimer.get(), &QTimer::timeout, FTimer.get(),
                   [this] { OscGuarded([this] { TimerTick(); }); });
  FTimer->start();
}

TZelvoDemo::~TZelvoDemo() {
  // The timer goes first so that no tick can reach a half-destroyed generator.
  FTimer.reset();
  FSignalGenerator.reset();
}

void TZelvoDemo::TimerTick() {
  if (Hold())
    return;
  const int N = std::min(Signals().Count(), static_cast<int>(std::size(CDemoChannels)));
  for (int I = 0; I < N; ++I) {
    FSignalGenerator->SetFrequency(CDemoChannels[I].Frequency);
    FSignalGenerator->SetAmplitude(CDemoChannels[I].Amplitude);
    FSignalGenerator->Generate(Signals()[I]);
  }
  UpdateMeasurements();
}
