#pragma once

// The magnitude spectrum of a capture: a real FFT of a channel's 4096
// samples in volts, through one of the usual windows, in dBV per bin with
// each window's amplitude correction, so that a sine on a bin reads its RMS
// level there whatever the window.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "osc/OscTypes.h"

class TOscSignal;
struct fftw_plan_s;

enum TOscSpectrumWindow : std::uint8_t {
  swRectangular,
  swHann,
  swHamming,
  swBlackmanHarris,
  swFlatTop
};

constexpr int COscSpectrumWindowCount = 5;
constexpr int OscOrdinalCount(TOscSpectrumWindow) {
  return COscSpectrumWindowCount;
}
// "Rectangular", "Hann", "Hamming", "Blackman-Harris", "Flat top".
extern const char* const COscSpectrumWindowNames[COscSpectrumWindowCount];

// Points of the transform and bins of its result, DC and the Nyquist bin
// included.
constexpr int CSpectrumPoints = CSampleCount;
constexpr int CSpectrumBins = CSpectrumPoints / 2 + 1;
// No level is reported below this; a bin of exactly nothing reads it too.
constexpr double CSpectrumFloor = -200;

struct TOscSpectrumPeak {
  int Bin = -1;                  // -1: no bin above DC
  double Frequency = 0;          // hertz
  double Level = CSpectrumFloor; // dBV
};

// One spectrum: the levels of bins 0 .. CSpectrumBins - 1, bin K at
// K x BinWidth hertz, up to half the sample rate.
struct TOscSpectrumLevels {
  std::vector<double> Levels; // dBV, each at least CSpectrumFloor
  double BinWidth = 0;        // hertz; NaN without a sample period

  double Frequency(int Bin) const { return Bin * BinWidth; }
  // The largest bin above DC (the lowest one of equal levels).
  TOscSpectrumPeak Peak() const;
};

// Holds the one FFTW plan, made on construction and reused for every
// transform, with its aligned buffers and the current window's coefficients.
// Not copyable; one instance can serve every channel in turn.
class TOscSpectrum {
public:
  explicit TOscSpectrum(TOscSpectrumWindow AWindow = swHann);
  ~TOscSpectrum();
  TOscSpectrum(const TOscSpectrum&) = delete;
  TOscSpectrum& operator=(const TOscSpectrum&) = delete;

  TOscSpectrumWindow Window() const { return FWindow; }
  // An ordinal outside the enumeration is refused (the window stays).
  void SetWindow(TOscSpectrumWindow Value);

  // The spectrum of Count volts sampled SampleFrequency times a second: the
  // first CSpectrumPoints values, missing ones read as 0 V. Into's storage is
  // reused.
  void Compute(const double* Volts, int Count, double SampleFrequency, TOscSpectrumLevels& Into);
  // A channel's whole buffer in volts, probe and volts/div applied, at the
  // sample rate of its device's time base.
  void Compute(const TOscSignal& Signal, TOscSpectrumLevels& Into);

private:
  void MakeWindow();

  TOscSpectrumWindow FWindow;
  // FFTW's aligned buffers: CSpectrumPoints reals in, CSpectrumBins complex
  // (pairs of doubles) out.
  struct TFree {
    void operator()(void* P) const;
  };
  std::unique_ptr<double, TFree> FIn;
  std::unique_ptr<double, TFree> FOut;
  fftw_plan_s* FPlan = nullptr;
  std::vector<double> FCoefficients; // the window, CSpectrumPoints long
  // Sum of the window's coefficients: a sine of peak A on a bin transforms to
  // a magnitude of A x FGain / 2 there.
  double FGain = 0;
  std::vector<double> FVolts; // a channel's volts, for Compute(Signal)
};

// Two channels' spectra as CSV text: the line "frequency_hz,ch1_dbv,ch2_dbv",
// then one line per bin from 0 to CSpectrumBins - 1 with bin K's frequency
// (Ch1's bin width) and both levels, each line ending in LF. Always with a
// decimal point (the file is read by programs, not people): frequencies as
// exact as they are, levels to 0.001 dB without trailing zeros. A level that
// is missing reads as CSpectrumFloor.
std::string OscSpectrumCsv(const TOscSpectrumLevels& Ch1, const TOscSpectrumLevels& Ch2);
