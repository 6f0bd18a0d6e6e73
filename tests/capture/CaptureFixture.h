#pragma once

// zelvo-capture against the in-process scope simulator, and the oracle: the
// capture the simulator really sent, rebuilt from its record of frames.

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "capture/ZelvoCapture.h"
#include "link/Zelvo.h"
#include "link/ZelvoPacket.h"
#include "osc/OscMeasurement.h"
#include "osc/OscSpectrum.h"
#include "sim/ZelvoSimulator.h"

enum class TLinkKind { Tcp, Pty };

inline std::string LinkName(const ::testing::TestParamInfo<TLinkKind>& Info) {
  return Info.param == TLinkKind::Tcp ? "Tcp" : "Pty";
}

using TFrame = std::vector<std::uint8_t>;

inline std::string ReadBytes(const QString& Path) {
  QFile F(Path);
  if (!F.open(QIODevice::ReadOnly))
    return "<missing " + Path.toStdString() + ">";
  return F.readAll().toStdString();
}

inline std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> Result;
  std::istringstream In(Text);
  for (std::string L; std::getline(In, L);)
    Result.push_back(L);
  return Result;
}

class CaptureFixture {
public:
  CaptureFixture() {
    Config.RecordFrames = true;
    Config.FrameRate = 400;
    Config.LineRate = 0;
  }

  // Starts the simulator; the returned options name its link.
  QStringList Start(TLinkKind Kind) {
    FKind = Kind;
    Sim = std::make_unique<TZelvoSimulator>(Config);
    if (Kind == TLinkKind::Tcp)
      return {"--host", "127.0.0.1", "--port",
              QString::number(Sim->ListenTcp(QHostAddress::LocalHost, 0))};
    return {"--serial", Sim->OpenPty()};
  }

  // Runs zelvo-capture in-process with the link of Start and more options.
  int RunCapture(const QStringList& Args) {
    std::ostringstream O, E;
    const int Code = ZelvoCaptureMain(QStringList{"zelvo-capture"} + Args, O, E);
    Out = O.str();
    Err = E.str();
    return Code;
  }

  QString Path(const QString& Name) const { return Dir.filePath(Name); }

  const TZelvoSimRecord& Record() const {
    return FKind == TLinkKind::Tcp ? Sim->TcpRecord() : Sim->PtyRecord();
  }

  std::vector<TFrame> ReceivedWithCommand(TCommand Command) const {
    std::vector<TFrame> Result;
    for (const TFrame& F : Record().Received)
      if (F[1] == Command)
        Result.push_back(F);
    return Result;
  }

  // The frames of the K-th (from 0) complete capture the simulator sent, from
  // sample 0 to 4096 without a gap, all carrying the settings of the one 0x11
  // frame it received (frame bytes 6..14: both channels, time base, level,
  // trigger flags).
  std::vector<TFrame> SentCapture(int K) const {
    const std::vector<TFrame> Settings = ReceivedWithCommand(0x11);
    if (Settings.empty())
      return {};
    const TFrame& S = Settings.front();
    std::vector<TFrame> Blocks;
    int Next = -1;
    for (const TFrame& F : Record().SentGood) {
      if (F[1] != 0x21)
        continue;
      const int From = (F[4] | (F[5] << 8)) / 2;
      const int To = From + (static_cast<int>(F.size()) - 18) / 2;
      if (!std::equal(F.begin() + 6, F.begin() + 15, S.begin() + 6)) {
        Next = -1;
        continue;
      }
      if (From == 0) {
        Blocks.clear();
        Next = 0;
      }
      if (From != Next) {
        Next = -1;
        continue;
      }
      Blocks.push_back(F);
      Next = To;
      if (To == CSampleCount && K-- == 0)
        return Blocks;
    }
    return {};
  }

  // A fresh driver fed with a capture's frames, probes as given: the state the
  // program would export.
  static std::unique_ptr<TZelvo> Replay(const std::vector<TFrame>& Frames,
                                        TOscMultiplier Probe1 = multX1,
                                        TOscMultiplier Probe2 = multX1) {
    auto Device = std::make_unique<TZelvo>();
    Device->Signals()[0].SetMultiplier(Probe1);
    Device->Signals()[1].SetMultiplier(Probe2);
    for (const TFrame& F : Frames)
      Device->HandlePacket(TZelvoPacket(F.data(), static_cast<int>(F.size())));
    return Device;
  }

  // The 40 readout lines for a device, as the program names them, each kind
  // through the channel's own readout.
  static std::vector<std::string> ReadoutLines(TZelvo& Device) {
    static const char* const Names[] = {"Vdc",   "Vmin",   "Vmax",   "Vpp",   "Vrms",
                                        "Vtrms", "dBm",    "dBgain", "Wrms2", "Wrms4",
                                        "Wrms8", "Wrms16", "Wrms32", "Freq",  "Period",
                                        "Duty",  "+Width", "-Width", "Rise",  "Fall"};
    std::vector<std::string> Result;
    for (int C = 0; C < 2; ++C)
      for (int T = 0; T < 20; ++T) {
        TOscMeasurement& M = Device.Signals()[C].Measurement();
        M.SetValueType(static_cast<TOscMeasurementType>(T));
        M.Update();
        Result.push_back("CH" + std::to_string(C + 1) + " " + Names[T] + " " + M.ToString());
      }
    return Result;
  }

  // Both channels' spectra of a device as the CSV text zelvo-capture writes.
  static std::string SpectrumCsv(TZelvo& Device, TOscSpectrumWindow Window) {
    TOscSpectrum Spectrum(Window);
    TOscSpectrumLevels Levels[2];
    for (int C = 0; C < 2; ++C)
      Spectrum.Compute(Device.Signals()[C], Levels[C]);
    return OscSpectrumCsv(Levels[0], Levels[1]);
  }

  TZelvoSimConfig Config;
  std::unique_ptr<TZelvoSimulator> Sim;
  QTemporaryDir Dir;
  std::string Out;
  std::string Err;

private:
  TLinkKind FKind = TLinkKind::Tcp;
};
