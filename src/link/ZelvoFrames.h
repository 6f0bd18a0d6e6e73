#pragma once

// Builders and readers of the protocol's payloads, shared by the driver, the
// scope simulator and the tests. Built packets are not finalized: the
// transports finalize what they send.

#include <cstdint>
#include <string>

#include "link/ZelvoPacket.h"

class TOscDevice;

// Size of the 0x11 settings frame and of the shared settings block in data
// positions.
constexpr int CZelvoSettingsFrameSize = 18;
constexpr int CZelvoSettingsBlockSize = 12;
constexpr int CZelvoRequestFrameSize = 8;
constexpr int CZelvoWifiChangeFrameSize = 74;
// The smallest 0x22 frame the driver can read: 88 data bytes.
constexpr int CZelvoWifiSettingsFrameSize = 94;
constexpr int CZelvoMaxSamplePairs = (CZelvoMaxPacketSize - CZelvoSettingsFrameSize) / 2;

// Trigger flags byte (data position 10), the same in both directions.
constexpr std::uint8_t CZelvoFlagModeMask = 0x03;
constexpr std::uint8_t CZelvoFlagFalling = 0x04;
constexpr std::uint8_t CZelvoFlagChannel1 = 0x08;
constexpr std::uint8_t CZelvoFlagHold = 0x10;
constexpr std::uint8_t CZelvoFlagAutoRange = 0x80;
// Received status byte (data position 11): battery code in bits 0-2.
constexpr std::uint8_t CZelvoStatusBatteryMask = 0x07;
constexpr std::uint8_t CZelvoStatusCalibrating = 0x10;
constexpr std::uint8_t CZelvoBatteryCodeFull = 2;
constexpr std::uint8_t CZelvoBatteryCodeLow = 3;
constexpr std::uint8_t CZelvoBatteryCodeCharging = 4;

// The first 12 data bytes of 0x11, 0x20 and 0x21 frames, as raw wire values.
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

// Raises "Index out of range" for a packet with fewer than 12 data bytes.
TZelvoSettingsBlock ZelvoReadSettingsBlock(const TZelvoPacket& Packet);
void ZelvoWriteSettingsBlock(TZelvoPacket& Packet, const TZelvoSettingsBlock& Block);

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
