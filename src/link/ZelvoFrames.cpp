#include "link/ZelvoFrames.h"

#include <cstring>

#include "osc/OscDevice.h"

std::uint8_t ZelvoTriggerFlags(const TOscDevice& Device) {
  const TOscTrigger& Trigger = Device.Trigger();
  unsigned Flags = static_cast<unsigned>(Trigger.Mode()) & CZelvoFlagModeMask;
  if (Trigger.Slope() == teFallingSlope)
    Flags |= CZelvoFlagFalling;
  if (Trigger.Channel() == 1)
    Flags |= CZelvoFlagChannel1;
  if (Device.Hold())
    Flags |= CZelvoFlagHold;
  if (Device.AutoRange())
    Flags |= CZelvoFlagAutoRange;
  return static_cast<std::uint8_t>(Flags);
}

TZelvoSettingsBlock ZelvoSettingsBlock(const TOscDevice& Device) {
  TZelvoSettingsBlock Block;
  for (int I = 0; I < 2; ++I) {
    const TOscSignal& Signal = Device.Signals()[I];
    Block.Coupling[I] = static_cast<std::uint8_t>(Signal.Coupling());
    Block.VoltsPerDivision[I] = static_cast<std::uint8_t>(Signal.VoltsPerDivision());
    Block.YPosition[I] = static_cast<std::uint8_t>(Signal.YPosition() & 0xFF);
  }
  Block.TimeBase = static_cast<std::uint8_t>(Device.TimeBase());
  Block.Level = static_cast<std::uint8_t>(Device.Trigger().Level() & 0xFF);
  Block.Flags = ZelvoTriggerFlags(Device);
  return Block;
}

TZelvoSettingsBlock ZelvoReadSettingsBlock(const TZelvoPacket& Packet) {
  if (Packet.DataSize() < CZelvoSettingsBlockSize)
    throw EOscOutOfRangeError(SIndexOutOfRange);
  TZelvoSettingsBlock Block;
  Block.Offset = Packet.DataWord(0);
  for (int I = 0; I < 2; ++I) {
    Block.Coupling[I] = Packet.Data(3 * I + 2);
    Block.VoltsPerDivision[I] = Packet.Data(3 * I + 3);
    Block.YPosition[I] = Packet.Data(3 * I + 4);
  }
  Block.TimeBase = Packet.Data(8);
  Block.Level = Packet.Data(9);
  Block.Flags = Packet.Data(10);
  Block.Status = Packet.Data(11);
  return Block;
}

void ZelvoWriteSettingsBlock(TZelvoPacket& Packet, const TZelvoSettingsBlock& Block) {
  Packet.SetDataWord(0, Block.Offset);
  for (int I = 0; I < 2; ++I) {
    Packet.SetData(3 * I + 2, Block.Coupling[I]);
    Packet.SetData(3 * I + 3, Block.VoltsPerDivision[I]);
    Packet.SetData(3 * I + 4, Block.YPosition[I]);
  }
  Packet.SetData(8, Block.TimeBase);
  Packet.SetData(9, Block.Level);
  Packet.SetData(10, Block.Flags);
  Packet.SetData(11, Block.Status);
}

TZelvoPacket ZelvoRequestFrame(TCommand Command) {
  TZelvoPacket Packet;
  Packet.SetSize(CZelvoRequestFrameSize);
  Packet.SetCommand(Command);
  Packet.SetData(0, 0);
  Packet.SetData(1, 0);
  return Packet;
}

TZelvoPacket ZelvoSettingsFrame(const TZelvoSettingsBlock& Block, TCommand Command) {
  TZelvoPacket Packet;
  Packet.SetSize(CZelvoSettingsFrameSize);
  Packet.SetCommand(Command);
  ZelvoWriteSettingsBlock(Packet, Block);
  return Packet;
}

TZelvoPacket ZelvoSampleFrame(const TZelvoSettingsBlock& Block, const std::uint8_t* Pairs,
                              int PairCount) {
  if (PairCount < 0 || PairCount > CZelvoMaxSamplePairs)
    throw EOscInvalidArgumentError("Invalid packet size");
  TZelvoPacket Packet;
  Packet.SetSize(CZelvoSettingsFrameSize + 2 * PairCount);
  Packet.SetCommand(CScopeSampleDataCommand);
  ZelvoWriteSettingsBlock(Packet, Block);
  if (PairCount > 0)
    std::memcpy(Packet.Raw() + CZelvoHeaderSize + CZelvoSettingsBlockSize, Pairs,
                static_cast<std::size_t>(2 * PairCount));
  return Packet;
}

namespace {

// Both WiFi frames begin alike: the channel word, then SSID and password in
// zero-padded 32-byte fields.
TZelvoPacket WifiFrame(int Size, TCommand Command, int Channel, const std::string& SSID,
                       const std::string& Password) {
  TZelvoPacket Packet;
  Packet.SetSize(Size);
  Packet.SetCommand(Command);
  Packet.SetDataWord(2, static_cast<std::uint16_t>(Channel));
  Packet.PutString(4, 32, SSID);
  Packet.PutString(36, 32, Password);
  return Packet;
}

} // namespace

TZelvoPacket ZelvoWifiSettingsFrame(int Channel, const std::string& SSID,
                                    const std::string& Password, const std::string& Build,
                                    const std::string& Firmware) {
  TZelvoPacket Packet =
      WifiFrame(CZelvoWifiSettingsFrameSize, CWifiSettings, Channel, SSID, Password);
  Packet.PutString(68, 4, Build);
  Packet.PutString(72, 16, Firmware);
  return Packet;
}

TZelvoPacket ZelvoChangeWifiFrame(int Channel, const std::string& SSID,
                                  const std::string& Password) {
  return WifiFrame(CZelvoWifiChangeFrameSize, CChangeWifiSettings, Channel, SSID, Password);
}
