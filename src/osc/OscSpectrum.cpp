#include "osc/OscSpectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "osc/OscDevice.h"
#include "osc/OscFormat.h"
#include "osc/OscScales.h"
#include "osc/OscSignal.h"

const char* const COscSpectrumWindowNames[COscSpectrumWindowCount] = {
    "Rectangular", "Hann", "Hamming", "Blackman-Harris", "Flat top"};

namespace {

constexpr double Pi = 3.14159265358979323846;

// Cosine-sum windows, w(n) = a0 - a1 cos(x) + a2 cos(2x) - a3 cos(3x) + ...
// with x = 2 pi n / N: the periodic form, which suits a DFT of N points.
struct TCosineSum {
  double A[5];
};

const TCosineSum CWindows[COscSpectrumWindowCount] = {
    {{1, 0, 0, 0, 0}},
    {{0.5, 0.5, 0, 0, 0}},
    {{0.54, 0.46, 0, 0, 0}},
    {{0.35875, 0.48829, 0.14128, 0.01168, 0}},
    // The usual five-term flat top: less than 0.02 dB of scalloping loss, so a
    // sine between two bins still reads its level.
    {{0.21557895, 0.41663158, 0.277263158, 0.083578947, 0.006947368}}};

} // namespace

TOscSpectrumPeak TOscSpectrumLevels::Peak() const {
  TOscSpectrumPeak P;
  for (int K = 1; K < static_cast<int>(Levels.size()); ++K)
    if (P.Bin < 0 || Levels[static_cast<std::size_t>(K)] > P.Level) {
      P.Bin = K;
      P.Level = Levels[static_cast<std::size_t>(K)];
    }
  if (P.Bin >= 0)
    P.Frequency = Frequency(P.Bin);
  return P;
}

void TOscSpectrum::TFree::operator()(void* P) const {
  fftw_free(P);
}

TOscSpectrum::TOscSpectrum(TOscSpectrumWindow AWindow)
    : FWindow(OscIsValidOrdinal(AWindow) ? AWindow : swHann), FIn(fftw_alloc_real(CSpectrumPoints)),
      FOut(reinterpret_cast<double*>(fftw_alloc_complex(CSpectrumBins))),
      FCoefficients(CSpectrumPoints), FVolts(CSpectrumPoints) {
  if (!FIn || !FOut)
    throw std::bad_alloc();
  // Estimated, not measured: planning stays instant and the transform is
  // still far inside the budget of a capture (see bench/osc).
  FPlan = fftw_plan_dft_r2c_1d(CSpectrumPoints, FIn.get(),
                               reinterpret_cast<fftw_complex*>(FOut.get()), FFTW_ESTIMATE);
  if (FPlan == nullptr)
    throw EOscError("Cannot plan the spectrum transform");
  MakeWindow();
}

TOscSpectrum::~TOscSpectrum() {
  fftw_destroy_plan(FPlan);
}

void TOscSpectrum::SetWindow(TOscSpectrumWindow Value) {
  if (!OscIsValidOrdinal(Value) || Value == FWindow)
    return;
  FWindow = Value;
  MakeWindow();
}

void TOscSpectrum::MakeWindow() {
  const TCosineSum& W = CWindows[FWindow];
  FGain = 0;
  for (int N = 0; N < CSpectrumPoints; ++N) {
    const double X = 2 * Pi * N / CSpectrumPoints;
    double C = 0;
    for (int K = 0; K < 5; ++K)
      C += (K % 2 == 0 ? 1 : -1) * W.A[K] * std::cos(K * X);
    FCoefficients[static_cast<std::size_t>(N)] = C;
    FGain += C;
  }
}

void TOscSpectrum::Compute(const double* Volts, int Count, double SampleFrequency,
                           TOscSpectrumLevels& Into) {
  const int Used = std::clamp(Count, 0, CSpectrumPoints);
  double* In = FIn.get();
  for (int N = 0; N < Used; ++N)
    In[N] = Volts[N] * FCoefficients[static_cast<std::size_t>(N)];
  std::fill(In + Used, In + CSpectrumPoints, 0.0);
  fftw_execute(FPlan);

  // RMS volts of bin K: a sine of peak A on the bin gives |X| = A x gain / 2,
  // so its RMS A / sqrt(2) is |X| sqrt(2) / gain. DC and the Nyquist bin have
  // no mirror image: their RMS is |X| / gain. Levels from the squares, which
  // spares a square root per bin.
  Into.Levels.resize(CSpectrumBins);
  const double* Out = FOut.get();
  const double Inner = 2 / (FGain * FGain);
  const double Outer = 1 / (FGain * FGain);
  for (int K = 0; K < CSpectrumBins; ++K) {
    const double Re = Out[2 * K];
    const double Im = Out[2 * K + 1];
    const double Factor = K == 0 || K == CSpectrumBins - 1 ? Outer : Inner;
    // log10(0) is -inf, a NaN input stays NaN: both read as the floor.
    const double Level = 10 * std::log10((Re * Re + Im * Im) * Factor);
    Into.Levels[static_cast<std::size_t>(K)] = Level >= CSpectrumFloor ? Level : CSpectrumFloor;
  }
  Into.BinWidth = SampleFrequency / CSpectrumPoints;
}

void TOscSpectrum::Compute(const TOscSignal& Signal, TOscSpectrumLevels& Into) {
  const int Count = std::min(Signal.Count(), CSpectrumPoints);
  const double Vps = Signal.VoltsPerSample();
  const std::int64_t Zero = Signal.YPosition();
  const TOscSample* Samples = Signal.Samples();
  for (int N = 0; N < Count; ++N)
    FVolts[static_cast<std::size_t>(N)] = Vps * static_cast<double>(Zero - Samples[N]);
  const TOscDevice* Device = Signal.Owner();
  Compute(FVolts.data(), Count,
          Device != nullptr ? OscSampleFrequency(Device->TimeBase())
                            : std::numeric_limits<double>::quiet_NaN(),
          Into);
}

namespace {

std::string LevelText(const TOscSpectrumLevels& Spectrum, int Bin) {
  const double Level = Bin < static_cast<int>(Spectrum.Levels.size())
                           ? Spectrum.Levels[static_cast<std::size_t>(Bin)]
                           : CSpectrumFloor;
  return OscFloatToStr(Level, 3, true, '.');
}

// The shortest text that reads back as the same double, in fixed notation
// (never "5e+06"); independent of the C library's locale.
std::string ExactText(double Value) {
  char Buffer[400];
  const auto Printed =
      std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::fixed);
  return Printed.ec == std::errc() ? std::string(Buffer, Printed.ptr) : "nan";
}

} // namespace

std::string OscSpectrumCsv(const TOscSpectrumLevels& Ch1, const TOscSpectrumLevels& Ch2) {
  std::string Text = "frequency_hz,ch1_dbv,ch2_dbv\n";
  Text.reserve(CSpectrumBins * 32);
  for (int K = 0; K < CSpectrumBins; ++K) {
    Text += ExactText(Ch1.Frequency(K));
    Text += ',';
    Text += LevelText(Ch1, K);
    Text += ',';
    Text += LevelText(Ch2, K);
    Text += '\n';
  }
  return Text;
}
