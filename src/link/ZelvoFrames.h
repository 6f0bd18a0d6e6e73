#pragma once

// Builders and readers of the protocol's payloads, shared by the driver, the
// scope simulator and the tests. Built packets are not finalized: the
// transports finalize what they send.

#include <cstdint>
#include <string>

#include "link/ZelvoPacket.h"

class TOscDevice;

// Where each payload field lies, in data positions (data position p is frame
// offset 4 + p). The builders and readers here, the driver and the simulator
// all go by these names.

// The settings block, the first 12 data bytes of 0x11, 0x20 and 0x21 frames.
constexpr int CZelvoSettingsBlockSize = 12;
constexpr int CZelvoOffsetPos = 0; // 16-bit little-endian
// Coupling, volts per division and YPosition (low 8 bits) of each channel.
constexpr int ZelvoCouplingPos(int Channel) {
  return 2 + 3 * Channel;
}
constexpr int ZelvoVoltsPerDivisionPos(int Channel) {
  return 3 + 3 * Channel;
}
constexpr int ZelvoYPositionPos(int Channel) {
  return 4 + 3 * Channel;
}
constexpr int CZelvoTimeBasePos = 8;
constexpr int CZelvoLevelPos = 9; // trigger level, low 8 bits
constexpr int CZelvoFlagsPos = 10;
constexpr int CZelvoStatusPos = 11;
// 0x21: pairs of (channel 0, channel 1) sample bytes follow the block.
constexpr int CZelvoSamplePairsPos = CZelvoSettingsBlockSize;

// A fixed-width text field of 8-bit characters, padded with 0 bytes.
struct TZelvoTextField {
  int Pos;
  int Size;
};
// The WiFi frames: the change frame 0x0B ends after the password, the
// scope's report 0x22 after the firmware version.
constexpr int CZelvoWifiChannelPos = 2; // 16-bit little-endian
constexpr TZelvoTextField CZelvoSsidField{4, 32};
constexpr TZelvoTextField CZelvoPasswordField{36, 32};
constexpr TZelvoTextField CZelvoBuildField{68, 4};
constexpr TZelvoTextField CZelvoFirmwareField{72, 16};

// Frame sizes.
constexpr int CZelvoSettingsFrameSize = CZelvoMinPacketSize + CZelvoSettingsBlockSize; // 18
constexpr int CZelvoRequestFrameSize = 8;
constexpr int CZelvoWifiChangeFrameSize =
    CZelvoMinPacketSize + CZelvoPasswordField.Pos + CZelvoPasswordField.Size; // 74
// The smallest 0x22 frame the driver can read: 88 data bytes.
constexpr int CZelvoWifiSettingsFrameSize =
    CZelvoMinPacketSize + CZelvoFirmwareField.Pos + CZelvoFirmwareField.Size; // 94
constexpr int CZelvoMaxSamplePairs = (CZelvoMaxPacketSize - CZelvoSettingsFrameSize) / 2;

// Trigger flags byte (CZelvoFlagsPos), the same in both directions.
constexpr std::uint8_t CZelvoFlagModeMask = 0x03;
constexpr std::uint8_t CZelvoFlagFalling = 0x04;
constexpr std::uint8_t CZelvoFlagChannel1 = 0x08;
constexpr std::uint8_t CZelvoFlagHold = 0x10;
constexpr std::uint8_t CZelvoFlagAutoRange = 0x80;
// Received status byte (CZelvoStatusPos): battery code in bits 0-2.
constexpr std::uint8_t CZelvoStatusBatteryMask = 0x07;
constexpr std::uint8_t CZelvoStatusCalibrating = 0x10;
constexpr std::uint8_t CZelvoBatteryCodeFull = 2;
constexpr std::uint8_t CZelvoBatteryCodeLow = 3;
constexpr std::uint8_t CZelvoBatteryCodeCharging = 4;

// Text fields by name; both raise "Index out of range" for a frame too short
// for the field.
std::string ZelvoGetText(const TZelvoPacket& Packet, TZelvoTextField Field);
void ZelvoPutText(TZelvoPacket& Packet, TZelvoTextField Field, const std::string& Value);

// Reads a received settings block field by field. Each read raises "Index out
// of range" when the frame is too short for that field, so a caller that
// applies the fields one by one keeps those it applied before.
class TZelvoSettingsReader {
public:
  explicit TZelvoSettingsReader(const TZelvoPacket& APacket) : FPacket(APacket) {}
  std::uint16_t Offset() const { return FPacket.DataWord(CZelvoOffsetPos); }
  std::uint8_t Coupling(int Channel) const { return FPacket.Data(ZelvoCouplingPos(Channel)); }
  std::uint8_t VoltsPerDivision(int Channel) const {
    return FPacket.Data(ZelvoVoltsPerDivisionPos(Channel));
  }
  std::uint8_t YPosition(int Channel) const { return FPacket.Data(ZelvoYPositionPos(Channel)); }
  std::uint8_t TimeBase() const { return FPacket.Data(CZelvoTimeBasePos); }
  std::uint8_t Level() const { return FPacket.Data(CZelvoLevelPos); }
  std::uint8_t Flags() const { return FPacket.Data(CZelvoFlagsPos); }
  std::uint8_t Status() const { return FPacket.Data(CZelvoStatusPos); }

private:
  const TZelvoPacket& FPacket;
};

// Reads a WiFi frame (the scope's 0x22 report or a 0x0B change) field by
// field, with the same rule; a 0x0B frame has no build or firmware.
class TZelvoWifiReader {
public:
  explicit TZelvoWifiReader(const TZelvoPacket& APacket) : FPacket(APacket) {}
  int Channel() const { return FPacket.DataWord(CZelvoWifiChannelPos); }
  std::string SSID() const { return ZelvoGetText(FPacket, CZelvoSsidField); }
  std::string Password() const { return ZelvoGetText(FPacket, CZelvoPasswordField); }
  std::string Build() const { return ZelvoGetText(FPacket, CZelvoBuildField); }
  std::string Firmware() const { return ZelvoGetText(FPacket, CZelvoFirmwareField); }

private:
  const TZelvoPacket& FPacket;
};

// The whole settings block, as raw wire values.
struct TZelvoSettingsBlock {
  // 0x21: byte offset of the block's samples within the capture (twice the
  // first sample index); 0 in 0x11.
  std::uint16_t Offset = 0;
  std::uint8_t Coupling[2] = {0, 0};
  std::uint8_t VoltsPerDivision[2] = {0, 0};
  std::uint8_t YPosition[2] = {0, 0};
  std::uint8_t TimeBase = 0;
  std::uint8_t Level = 0;
  std::uint8_t Flags = 0;
  std::uint8_t Status = 0;
};

// The device's trigger mode, slope, channel, hold and auto-range as one byte.
std::uint8_t ZelvoTriggerFlags(const TOscDevice& Device);
// The whole settings block of a two-channel device; offset and status 0.
TZelvoSettingsBlock ZelvoSettingsBlock(const TOscDevice& Device);

// Raises "Index out of range" for a packet with fewer than 12 data bytes,
// before reading any field.
TZelvoSettingsBlock ZelvoReadSettingsBlock(const TZelvoPacket& Packet);
void ZelvoWriteSettingsBlock(TZelvoPacket& Packet, const TZelvoSettingsBlock& Block);

// Whether the whole frame Frame of Size bytes is a 0x21 frame whose block
// ends at the last sample of a capture (where the driver refreshes the
// readouts): a capture is complete with it.
bool ZelvoEndsCapture(const std::uint8_t* Frame, int Size);

// An 8-byte request frame with two zero data bytes (0x12, 0xCA, 0x0A, 0x0D, 0x0C).
TZelvoPacket ZelvoRequestFrame(TCommand Command);
// An 18-byte frame carrying only the settings block (0x11 to the scope, 0x20 from it).
TZelvoPacket ZelvoSettingsFrame(const TZelvoSettingsBlock& Block,
                                TCommand Command = CChangeScopeSettingsCommand);
// A 0x21 frame: the block, then PairCount pairs of (channel 0, channel 1)
// bytes from Pairs. PairCount above 512 raises "Invalid packet size".
TZelvoPacket ZelvoSampleFrame(const TZelvoSettingsBlock& Block, const std::uint8_t* Pairs,
                              int PairCount);
// The scope's 0x22 report, 94 bytes.
TZelvoPacket ZelvoWifiSettingsFrame(int Channel, const std::string& SSID,
                                    const std::string& Password, const std::string& Build,
                                    const std::string& Firmware);
// The 0x0B change frame, 74 bytes; texts longer than 32 bytes are cut.
TZelvoPacket ZelvoChangeWifiFrame(int Channel, const std::string& SSID,
                                  const std::string& Password);
