// Writes the fuzz seed corpus into the folder given as the argument: valid
// frames of every kind the scope sends, alone and in streams, each file
// prefixed with the chunk size and read piece sizes the fuzz target reads
// first.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Bytes(TZelvoPacket Packet) {
  Packet.Finalize();
  return TBytes(Packet.Raw(), Packet.Raw() + Packet.Size());
}

TBytes Samples(const TZelvoSettingsBlock& Base, int FirstSample, int Pairs) {
  TBytes Data(static_cast<std::size_t>(2 * Pairs));
  for (std::size_t I = 0; I < Data.size(); ++I)
    Data[I] = static_cast<std::uint8_t>(128 + (I % 64) - 32);
  TZelvoSettingsBlock Block = Base;
  Block.Offset = static_cast<std::uint16_t>(2 * FirstSample);
  return Bytes(ZelvoSampleFrame(Block, Data.data(), Pairs));
}

} // namespace

int main(int Argc, char** Argv) {
  if (Argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", Argv[0]);
    return 2;
  }
  const std::string Dir = Argv[1];
  TZelvo Device;
  TZelvoSettingsBlock Block = ZelvoSettingsBlock(Device);
  Block.Status = CZelvoBatteryCodeFull;

  std::vector<TBytes> Seeds;
  TBytes Capture;
  for (int B = 0; B < CSampleCount / CZelvoMaxSamplePairs; ++B) {
    const TBytes F = Samples(Block, B * CZelvoMaxSamplePairs, CZelvoMaxSamplePairs);
    Capture.insert(Capture.end(), F.begin(), F.end());
  }
  Seeds.push_back(Capture);
  Seeds.push_back(Samples(Block, 3840, CZelvoMaxSamplePairs)); // runs past the end
  Seeds.push_back(Samples(Block, 100, 3));
  Seeds.push_back(Bytes(ZelvoSettingsFrame(Block, CScopeSettingsCommand)));

  TZelvoSettingsBlock Odd = Block;
  Odd.TimeBase = 19;
  Odd.VoltsPerDivision[1] = 200;
  Odd.Coupling[0] = 3;
  Odd.Flags = 0x9F;
  Seeds.push_back(Bytes(ZelvoSettingsFrame(Odd, CScopeSettingsCommand)));

  TZelvoSettingsBlock Calibrating = Block;
  Calibrating.Status = CZelvoStatusCalibrating | CZelvoBatteryCodeCharging;
  TBytes Calibration = Samples(Calibrating, 0, 16);
  const TBytes Done = Samples(Block, 16, 16);
  Calibration.insert(Calibration.end(), Done.begin(), Done.end());
  Seeds.push_back(Calibration);

  Seeds.push_back(Bytes(ZelvoWifiSettingsFrame(11, "Zelvo_AP", "password", "0042", "1.2.3")));
  for (TCommand C : {CRequestSamplesCommand, CStartCalibration, CWifiSettingsRequest, CEnableDebug})
    Seeds.push_back(Bytes(ZelvoRequestFrame(C)));
  TZelvoPacket Short = ZelvoSettingsFrame(Block, CScopeSettingsCommand);
  Short.SetSize(14);
  Seeds.push_back(Bytes(Short));
  TBytes Garbage = {0x55, 0xAA, 0x02, 0x02, 0x12, 0x05, 0x00, 0x02, 0x21, 0x13, 0x04};
  const TBytes After = Samples(Block, 0, 8);
  Garbage.insert(Garbage.end(), After.begin(), After.end());
  Seeds.push_back(Garbage);

  // Whole chunks and reads; then 3-byte chunks and reads of 1 byte, none,
  // 600 bytes and 7 bytes in turn.
  const TBytes Heads[] = {{0, 0}, {3, 4, 1, 0, 130, 7}};
  int N = 0;
  for (const TBytes& Seed : Seeds) {
    for (const TBytes& Head : Heads) {
      std::ofstream Out(Dir + "/seed" + std::to_string(N++), std::ios::binary);
      Out.write(reinterpret_cast<const char*>(Head.data()),
                static_cast<std::streamsize>(Head.size()));
      Out.write(reinterpret_cast<const char*>(Seed.data()),
                static_cast<std::streamsize>(Seed.size()));
      if (!Out) {
        std::fprintf(stderr, "cannot write the corpus in %s\n", Dir.c_str());
        return 1;
      }
    }
  }
  return 0;
}
