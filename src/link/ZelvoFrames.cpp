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

bool ZelvoEndsCapture(const std::uint8_t* Frame, int Size) {
  if (Size < CZelvoSettingsFrameSize || Frame[1] != CScopeSampleDataCommand)
    return false;
  const int From = ZelvoGetU16(Frame + CZelvoHeaderSize + CZelvoOffsetPos) >> 1;
  return From + (Size - CZelvoSettingsFrameSize) / 2 == CSampleCount;
}

TZelvoSettingsBlock ZelvoReadSettingsBlock(const TZelvoPacket& Packet) {
  if (Packet.DataSize() < CZelvoSettingsBlockSize)
    throw EOscOutOfRangeError(SIndexOutOfRange);
  const TZelvoSettingsReader Read(Packet);
  TZelvoSettingsBlock Block;
  Block.Offset = Read.Offset();
  for (int I = 0; I < 2; ++I) {
    Block.Coupling[I] = Read.Coupling(I);
    Block.VoltsPerDivision[I] = Read.VoltsPerDivision(I);
    Block.YPosition[I] = Read.YPosition(I);
  }
  Block.TimeBase = Read.TimeBase();
  Block.Level = Read.Level();
  Block.Flags = Read.Flags();
  Block.Status = Read.Status();
  return Block;
}

void ZelvoWriteSettingsBlock(TZelvoPacket& Packet, const TZelvoSettingsBlock& Block) {
  Packet.SetDataWord(CZelvoOffsetPos, Block.Offset);
  for (int I = 0; I < 2; ++I) {
    Packet.SetData(ZelvoCouplingPos(I), Block.Coupling[I]);
    Packet.SetData(ZelvoVoltsPerDivisionPos(I), Block.VoltsPerDivision[I]);
    Packet.SetData(ZelvoYPositionPos(I), Block.YPosition[I]);
  }
  Packet.SetData(CZelvoTimeBasePos, Block.TimeBase);
  Packet.SetData(CZelvoLevelPos, Block.Level);
  Packet.SetData(CZelvoFlagsPos, Block.Flags);
  Packet.SetData(CZelvoStatusPos, Block.Status);
}

std::string ZelvoGetText(const TZelvoPacket& Packet, TZelvoTextField Field) {
  return Packet.GetString(Field.Pos, Field.Size);
}

void ZelvoPutText(TZelvoPacket& Packet, TZelvoTextField Field, const std::string& Value) {
  Packet.PutString(Field.Pos, Field.Size, Value);
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
    std::memcpy(Packet.Raw() + CZelvoHeaderSize + CZelvoSamplePairsPos, Pairs,
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
  Packet.SetDataWord(CZelvoWifiChannelPos, static_cast<std::uint16_t>(Channel));
  ZelvoPutText(Packet, CZelvoSsidField, SSID);
  ZelvoPutText(Packet, CZelvoPasswordField, Password);
  return Packet;
}

} // namespace

TZelvoPacket ZelvoWifiSettingsFrame(int Channel, const std::string& SSID,
                                    const std::string& Password, const std::string& Build,
                                    const std::string& Firmware) {
  TZelvoPacket Packet =
      WifiFrame(CZelvoWifiSettingsFrameSize, CWifiSettings, Channel, SSID, Password);
  ZelvoPutText(Packet, CZelvoBuildField, Build);
  ZelvoPutText(Packet, CZelvoFirmwareField, Firmware);
  return Packet;
}

TZelvoPacket ZelvoChangeWifiFrame(int Channel, const std::string& SSID,
                                  const std::string& Password) {
  return WifiFrame(CZelvoWifiChangeFrameSize, CChangeWifiSettings, Channel, SSID, Password);
}
