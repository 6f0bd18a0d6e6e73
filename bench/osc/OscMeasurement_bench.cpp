// Cost of one readout refresh (both channels of 4096 samples) for every kind
// of measurement, next to one plain pass that sums the voltages of the same
// 8192 samples. The goal is at most twice the plain pass for each of the
// thirteen level kinds; the timing kinds (Freq .. Fall) add an analysis of
// the crossings, paid only by a channel that shows one of them.

#include <benchmark/benchmark.h>

#include "osc/OscDevice.h"
#include "osc/OscMeasurement.h"
#include "osc/OscSignalGenerator.h"

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

void BM_PlainVoltageSum(benchmark::State& State) {
  TBenchDevice Device;
  for (auto _ : State) {
    double Sum = 0;
    for (int C = 0; C < Device.Signals().Count(); ++C) {
      const TOscSignal& S = Device.Signals()[C];
      for (int I = 0; I < S.Count(); ++I)
        Sum += S.GetSampleVoltage(I);
    }
    benchmark::DoNotOptimize(Sum);
  }
}
BENCHMARK(BM_PlainVoltageSum);

void BM_UpdateMeasurements(benchmark::State& State, TOscMeasurementType Type) {
  TBenchDevice Device;
  for (int C = 0; C < Device.Signals().Count(); ++C)
    Device.Signals()[C].Measurement().SetValueType(Type);
  for (auto _ : State) {
    Device.UpdateMeasurements();
    benchmark::DoNotOptimize(Device.Signals()[0].Measurement().ToString().data());
  }
  if (Device.Signals()[0].Measurement().ToString() == CInvalidValue)
    State.SkipWithError("the readout measured nothing");
}

#define ZELVO_BENCH_TYPE(T) BENCHMARK_CAPTURE(BM_UpdateMeasurements, T, TOscMeasurementType::T)

ZELVO_BENCH_TYPE(Vdc);
ZELVO_BENCH_TYPE(Vmin);
ZELVO_BENCH_TYPE(Vmax);
ZELVO_BENCH_TYPE(Vpkpk);
ZELVO_BENCH_TYPE(Vrms);
ZELVO_BENCH_TYPE(Vtrms);
ZELVO_BENCH_TYPE(dBm);
ZELVO_BENCH_TYPE(dBgain);
ZELVO_BENCH_TYPE(Wrms2);
ZELVO_BENCH_TYPE(Wrms4);
ZELVO_BENCH_TYPE(Wrms8);
ZELVO_BENCH_TYPE(Wrms16);
ZELVO_BENCH_TYPE(Wrms32);
ZELVO_BENCH_TYPE(Freq);
ZELVO_BENCH_TYPE(Period);
ZELVO_BENCH_TYPE(Duty);
ZELVO_BENCH_TYPE(PosWidth);
ZELVO_BENCH_TYPE(NegWidth);
ZELVO_BENCH_TYPE(Rise);
ZELVO_BENCH_TYPE(Fall);

// All twenty texts of both channels at once, as zelvo-capture prints them.
void BM_AllTexts(benchmark::State& State) {
  TBenchDevice Device;
  for (auto _ : State)
    for (int C = 0; C < Device.Signals().Count(); ++C)
      benchmark::DoNotOptimize(Device.Signals()[C].Measurement().Texts()[0].data());
}
BENCHMARK(BM_AllTexts);

} // namespace

BENCHMARK_MAIN();
