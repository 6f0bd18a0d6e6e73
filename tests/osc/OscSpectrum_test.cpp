// The spectrum: levels in dBV of known sines through every window, on a bin
// and between bins, the bins' frequencies, the peak, and the CSV text.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "osc/OscDevice.h"
#include "osc/OscSignalGenerator.h"
#include "osc/OscSpectrum.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
};

// A sine of peak Amplitude volts at Bin bins (fractional: between bins).
std::vector<double> Sine(double Amplitude, double Bin) {
  std::vector<double> V(CSpectrumPoints);
  for (int N = 0; N < CSpectrumPoints; ++N)
    V[static_cast<std::size_t>(N)] = Amplitude * std::sin(2 * Pi * Bin * N / CSpectrumPoints + 0.3);
  return V;
}

double RmsLevel(double Amplitude) {
  return 20 * std::log10(Amplitude / std::sqrt(2.0));
}

// On a bin every window reads the sine's RMS level; half-way between two
// bins each loses its known scalloping loss (the flat top almost none), and
// far from the sine each leaks as much as its side lobes let through.
TEST(SpectrumTest, EachWindowReadsASineAtItsLevel) {
  const struct {
    TOscSpectrumWindow Window;
    double HalfBinLoss;  // dB
    double LeakageAbove; // dB below the peak, 100 bins away, at least
    double LeakageBelow; // and at most
  } Cases[] = {
      {swRectangular, 3.92, -60, -40},     {swHann, 1.42, -140, -100},  {swHamming, 1.75, -90, -50},
      {swBlackmanHarris, 0.83, -200, -92}, {swFlatTop, 0.0, -200, -90},
  };
  TOscSpectrum Spectrum;
  TOscSpectrumLevels Levels;
  for (const auto& C : Cases) {
    SCOPED_TRACE(COscSpectrumWindowNames[C.Window]);
    Spectrum.SetWindow(C.Window);
    ASSERT_EQ(Spectrum.Window(), C.Window);
    const std::vector<double> OnBin = Sine(3, 100);
    Spectrum.Compute(OnBin.data(), CSpectrumPoints, 1e5, Levels);
    ASSERT_EQ(Levels.Levels.size(), static_cast<std::size_t>(CSpectrumBins));
    EXPECT_NEAR(Levels.Levels[100], RmsLevel(3), 0.1);
    EXPECT_EQ(Levels.Peak().Bin, 100);

    const std::vector<double> Between = Sine(3, 300.5);
    Spectrum.Compute(Between.data(), CSpectrumPoints, 1e5, Levels);
    const double Top = std::max(Levels.Levels[300], Levels.Levels[301]);
    EXPECT_NEAR(RmsLevel(3) - Top, C.HalfBinLoss, 0.05);
    const double Leak = Levels.Levels[400] - Top;
    EXPECT_GT(Leak, C.LeakageAbove);
    EXPECT_LT(Leak, C.LeakageBelow);
  }
}

// Through a channel: samples in volts with the probe and volts/div applied,
// bins spaced by the time base's sample rate.
TEST(SpectrumTest, ChannelSpectrumUsesItsScaleAndTheSampleRate) {
  const struct {
    TOscVoltsPerDivision Scale;
    TOscMultiplier Probe;
    double Amplitude; // peak volts at the scope input
    double Reads;     // peak volts at the probe tip
  } Cases[] = {{vdiv10V, multX1, 20, 20}, {vdiv1V, multX10, 2, 20}, {vdiv500mV, multX1, 1, 1}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Amplitude);
    TTestDevice Device;
    Device.SetTimeBase(tb1ms); // 50 kHz sampling: bins of 50000 / 4096 Hz
    TOscSignal& Channel = Device.Signals()[0];
    Channel.SetVoltsPerDivision(C.Scale);
    Channel.SetMultiplier(C.Probe);
    TOscSignalGenerator Generator(&Device);
    Generator.SetAutoNoise(false);
    Generator.SetAmplitude(C.Amplitude); // 50 steps
    const double BinWidth = 50000.0 / 4096;
    Generator.SetFrequency(82 * BinWidth);
    Generator.Generate(Channel);

    TOscSpectrum Spectrum(swHann);
    TOscSpectrumLevels Levels;
    Spectrum.Compute(Channel, Levels);
    EXPECT_DOUBLE_EQ(Levels.BinWidth, BinWidth);
    EXPECT_DOUBLE_EQ(Levels.Frequency(CSpectrumBins - 1), 25000);
    const TOscSpectrumPeak Peak = Levels.Peak();
    EXPECT_EQ(Peak.Bin, 82);
    EXPECT_DOUBLE_EQ(Peak.Frequency, 82 * BinWidth);
    EXPECT_NEAR(Peak.Level, RmsLevel(C.Reads), 0.1);
  }
}

TEST(SpectrumTest, DcReadsInBinZeroAndNothingReadsTheFloor) {
  TOscSpectrum Spectrum(swBlackmanHarris);
  TOscSpectrumLevels Levels;
  const std::vector<double> Dc(CSpectrumPoints, -2.0);
  Spectrum.Compute(Dc.data(), CSpectrumPoints, 1e5, Levels);
  EXPECT_NEAR(Levels.Levels[0], 20 * std::log10(2.0), 1e-9);
  EXPECT_LT(Levels.Levels[10], -150);
  // The peak is looked for above DC.
  EXPECT_GT(Levels.Peak().Bin, 0);

  Spectrum.Compute(nullptr, 0, 1e5, Levels);
  for (double L : Levels.Levels)
    ASSERT_EQ(L, CSpectrumFloor);
  EXPECT_EQ(Levels.Peak().Bin, 1);
  EXPECT_EQ(Levels.Peak().Level, CSpectrumFloor);
}

TEST(SpectrumTest, CsvHasAHeaderAndOneLinePerBinWithDecimalPoints) {
  TOscSpectrum Spectrum(swRectangular);
  TOscSpectrumLevels Ch1, Ch2;
  const std::vector<double> Wave = Sine(1, 1);
  Spectrum.Compute(Wave.data(), CSpectrumPoints, 1e7, Ch1); // 10 MHz sampling
  Spectrum.Compute(nullptr, 0, 1e7, Ch2);
  const std::string Csv = OscSpectrumCsv(Ch1, Ch2);
  std::vector<std::string> Lines;
  for (std::size_t From = 0, To; (To = Csv.find('\n', From)) != std::string::npos; From = To + 1)
    Lines.push_back(Csv.substr(From, To - From));
  ASSERT_EQ(Lines.size(), 1u + CSpectrumBins);
  EXPECT_EQ(Csv.back(), '\n');
  EXPECT_EQ(Lines[0], "frequency_hz,ch1_dbv,ch2_dbv");
  EXPECT_EQ(Lines[1], "0,-200,-200");
  EXPECT_EQ(Lines[2], "2441.40625,-3.01,-200");
  EXPECT_EQ(Lines.back().substr(0, Lines.back().find(',')), "5000000");
}

} // namespace
