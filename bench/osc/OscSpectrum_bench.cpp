// Cost of the spectrum view's work per capture: both channels' spectra (4096
// samples each, windowed, one reused FFTW plan, levels in dBV). The goal is
// at most 0.5 ms per capture. Making the plan is a one-time cost, shown apart.

#include <benchmark/benchmark.h>

#include "osc/OscDevice.h"
#include "osc/OscSignalGenerator.h"
#include "osc/OscSpectrum.h"

namespace {

class TBenchDevice : public TOscDevice {
public:
  // The demo device's signals: 150 Hz at 20 V and 300 Hz at 40 V, with noise.
  TBenchDevice() {
    CreateSignals(2);
    TOscSignalGenerator Generator(this);
    Generator.Seed(1);
    Generator.SetFrequency(150);
    Generator.SetAmplitude(20);
    Generator.Generate(Signals()[0]);
    Generator.SetFrequency(300);
    Generator.SetAmplitude(40);
    Generator.Generate(Signals()[1]);
  }
};

void BM_BothChannelsSpectra(benchmark::State& State) {
  TBenchDevice Device;
  TOscSpectrum Spectrum(static_cast<TOscSpectrumWindow>(State.range(0)));
  TOscSpectrumLevels Levels[2];
  for (auto _ : State) {
    for (int C = 0; C < 2; ++C)
      Spectrum.Compute(Device.Signals()[C], Levels[C]);
    benchmark::DoNotOptimize(Levels[1].Levels.data());
  }
  State.SetLabel(COscSpectrumWindowNames[Spectrum.Window()]);
  if (Levels[0].Peak().Bin <= 0)
    State.SkipWithError("no spectrum");
}
BENCHMARK(BM_BothChannelsSpectra)
    ->DenseRange(swRectangular, swFlatTop)
    ->Unit(benchmark::kMicrosecond);

void BM_MakePlan(benchmark::State& State) {
  for (auto _ : State) {
    TOscSpectrum Spectrum;
    benchmark::DoNotOptimize(&Spectrum);
  }
}
BENCHMARK(BM_MakePlan)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
