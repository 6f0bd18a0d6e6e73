#pragma once

// The spectrum view: the magnitude spectrum of each shown channel's latest
// complete capture in the channel's colour, over 0 to half the sample rate of
// the device's time base (linear, ten divisions) and 10 dB per division below
// an adjustable top level, with a peak readout per channel and one draggable
// marker reading frequency and level.
//
// It computes only while it is visible, only for channels that are on, and
// only when what the spectra depend on changed: a new capture (the device's
// Captures), the window, the time base or a channel's scale. Painting and
// moving the marker reuse the last result.

#include <QWidget>

#include <cstdint>
#include <memory>

#include "osc/OscSkin.h"
#include "osc/OscSpectrum.h"

class TOscDevice;
class TOscDeviceObserver;

class TOscSpectrumView : public QWidget {
  Q_OBJECT

public:
  explicit TOscSpectrumView(QWidget* Parent = nullptr);
  ~TOscSpectrumView() override;

  // The device shown (not owned); the view lets go of it when it is destroyed
  // and follows its change notifications.
  TOscDevice* Oscilloscope() const { return FOscilloscope; }
  void SetOscilloscope(TOscDevice* Value);

  TOscSpectrumWindow Window() const { return FSpectrum.Window(); }
  void SetWindow(TOscSpectrumWindow Value);

  // dBV at the top grid line; limited to CMinTopLevel .. CMaxTopLevel.
  double TopLevel() const { return FTopLevel; }
  void SetTopLevel(double Value);
  static constexpr double CLevelPerDivision = 10; // dB
  static constexpr int CLevelDivisions = 10;
  static constexpr int CFrequencyDivisions = 10;
  static constexpr double CMinTopLevel = -100;
  static constexpr double CMaxTopLevel = 60;
  static constexpr double CDefaultTopLevel = 40;

  // The bin the marker stands on, 0 .. CSpectrumBins - 1.
  int MarkerBin() const { return FMarkerBin; }
  void SetMarkerBin(int Value);

  // Computes the shown channels' spectra again when something they depend on
  // changed since the last time; nothing while the view is hidden. The owner
  // calls it on each complete capture; the view calls it itself on a change
  // of its device's settings, of the window and when it is shown.
  void Refresh();

  // A channel's spectrum as last computed; null for a channel that is off or
  // holds no complete capture.
  const TOscSpectrumLevels* Levels(int Channel) const;
  // "CH1 peak: 610.35Hz, 3.0dBV"; empty for a channel without a spectrum.
  QString PeakText(int Channel) const;
  // "Marker: 610.35Hz, CH1 3.0dBV, CH2 -61.2dBV", the levels of the channels
  // with a spectrum.
  QString MarkerText() const;
  // Spectra computed so far.
  std::uint64_t Computations() const { return FComputations; }

  // Where the view draws, in its own pixels: the grid's rectangle, the x of a
  // bin, the y of a level (above the rectangle for levels above the top), and
  // the bin nearest to an x (limited to the bins).
  QRectF PlotArea() const;
  double XOfBin(double Bin) const;
  double YOfLevel(double Level) const;
  int BinAtX(double X) const;

  // Frequency texts with two decimals ("610.35Hz", "1.50kHz"; 0 is "0.00Hz")
  // and level texts with one ("3.0dBV"), in the user's decimal separator.
  static QString FrequencyText(double Hertz);
  static QString LevelText(double Level);

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void wheelEvent(QWheelEvent* Event) override;
  void showEvent(QShowEvent* Event) override;

private:
  // What the spectra were computed from; a difference means computing again.
  struct TInputs {
    const TOscDevice* Device = nullptr;
    std::uint64_t Captures = 0;
    int TimeBase = -1;
    int Window = -1;
    struct TChannel {
      bool On = false;
      int VoltsPerDivision = -1;
      int Multiplier = -1;
      int YPosition = 0;
      bool operator==(const TChannel& O) const {
        return On == O.On && VoltsPerDivision == O.VoltsPerDivision && Multiplier == O.Multiplier &&
               YPosition == O.YPosition;
      }
    } Channels[2];
    bool operator==(const TInputs& O) const {
      return Device == O.Device && Captures == O.Captures && TimeBase == O.TimeBase &&
             Window == O.Window && Channels[0] == O.Channels[0] && Channels[1] == O.Channels[1];
    }
  };
  TInputs CurrentInputs() const;
  void Detach();
  // Hertz per bin at the device's time base; NaN without a device.
  double BinWidth() const;
  // The mappings for a plot area found once (finding it measures text).
  static double XOfBin(double Bin, const QRectF& Plot);
  double YOfLevel(double Level, const QRectF& Plot) const;
  void Paint(QPainter& P);
  void PaintGrid(QPainter& P, const QRectF& Plot);
  void PaintReadouts(QPainter& P);
  void MoveMarkerTo(double X);

  TOscDevice* FOscilloscope = nullptr;
  std::unique_ptr<TOscDeviceObserver> FDeviceObserver;
  TOscSkin FSkin;
  // The one transform plan, made here and reused for every spectrum.
  TOscSpectrum FSpectrum;
  TOscSpectrumLevels FLevels[2];
  bool FShown[2] = {false, false};
  TInputs FInputs;
  bool FValid = false; // FInputs describe FLevels
  std::uint64_t FComputations = 0;
  double FTopLevel = CDefaultTopLevel;
  int FMarkerBin = CSpectrumBins / 4;
  int FWheelRest = 0; // eighths of a degree not yet turned into a step
};
