#pragma once

// One frame of the scope protocol and the protocol's constants.
//
// Frame: 02 | command | length (16-bit little-endian, whole frame) | data |
// checksum over everything before it | 0A. Frames are delimited by the length
// field; start and end bytes may also occur inside.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "osc/OscTypes.h"

using TCommand = std::uint8_t;

constexpr std::uint8_t COscStx = 0x02;
constexpr std::uint8_t COscEtx = 0x0A;
constexpr int CZelvoHeaderSize = 4;
constexpr int CZelvoFooterSize = 2;
constexpr int CZelvoMinPacketSize = CZelvoHeaderSize + CZelvoFooterSize;
constexpr int CZelvoMaxPacketSize = 1042;

constexpr TCommand CSettingsRequestCommand = 0x10;     // to scope, never sent
constexpr TCommand CChangeScopeSettingsCommand = 0x11; // to scope
constexpr TCommand CRequestSamplesCommand = 0x12;      // to scope
constexpr TCommand CScopeSettingsCommand = 0x20;       // from scope
constexpr TCommand CScopeSampleDataCommand = 0x21;     // from scope
constexpr TCommand CWifiSettings = 0x22;               // from scope
constexpr TCommand CWifiSettingsRequest = 0x0A;        // to scope
constexpr TCommand CChangeWifiSettings = 0x0B;         // to scope
constexpr TCommand CDisableDebug = 0x0C;               // to scope
constexpr TCommand CEnableDebug = 0x0D;                // to scope
constexpr TCommand CStartCalibration = 0xCA;           // to scope

// Little-endian 16-bit fields, byte by byte, independent of the host's order.
inline std::uint16_t ZelvoGetU16(const std::uint8_t* P) {
  return static_cast<std::uint16_t>(P[0] | (P[1] << 8));
}
inline void ZelvoPutU16(std::uint8_t* P, std::uint16_t Value) {
  P[0] = static_cast<std::uint8_t>(Value & 0xFF);
  P[1] = static_cast<std::uint8_t>(Value >> 8);
}

class TZelvoPacket {
public:
  // A 6-byte frame of zero bytes.
  TZelvoPacket();
  // A copy of a whole received frame of Size bytes (Size >= 6).
  TZelvoPacket(const std::uint8_t* Frame, int Size);
  TZelvoPacket(const TZelvoPacket& Other) : TZelvoPacket(Other.Raw(), Other.Size()) {}
  TZelvoPacket& operator=(const TZelvoPacket& Other);
  // A moved-from packet has size 0 and may only be assigned or destroyed.
  TZelvoPacket(TZelvoPacket&& Other) noexcept
      : FSize(std::exchange(Other.FSize, 0)), FRaw(std::move(Other.FRaw)) {}
  TZelvoPacket& operator=(TZelvoPacket&& Other) noexcept {
    FSize = std::exchange(Other.FSize, 0);
    FRaw = std::move(Other.FRaw);
    return *this;
  }

  int Size() const { return FSize; }
  // Below 6 raises "Invalid packet size"; kept bytes stay, new ones are 0.
  void SetSize(int Value);
  TCommand Command() const { return FRaw[1]; }
  void SetCommand(TCommand Value) { FRaw[1] = Value; }

  // Data position i is frame offset 4 + i.
  int DataSize() const { return FSize - CZelvoMinPacketSize; }
  std::uint8_t Data(int Idx) const {
    CheckDataIndex(Idx);
    return FRaw[Idx + CZelvoHeaderSize];
  }
  void SetData(int Idx, std::uint8_t Value) {
    CheckDataIndex(Idx);
    FRaw[Idx + CZelvoHeaderSize] = Value;
  }
  // 16-bit little-endian data field at Idx, Idx + 1.
  std::uint16_t DataWord(int Idx) const;
  void SetDataWord(int Idx, std::uint16_t Value);

  // Fixed-width text fields of 8-bit characters: written padded with 0 bytes
  // (a longer text is cut, with no terminating 0), read up to the first 0.
  void PutString(int StartIdx, int Size, const std::string& Value);
  std::string GetString(int StartIdx, int Size) const;

  // Start byte, length, checksum and end byte; command and data stay as set.
  // The transports call it before sending.
  void Finalize();

  // The whole frame, Size() bytes.
  const std::uint8_t* Raw() const { return FRaw.get(); }
  std::uint8_t* Raw() { return FRaw.get(); }
  // Data positions 0 .. DataSize() - 1, for passes over a whole payload.
  const std::uint8_t* DataPtr() const { return FRaw.get() + CZelvoHeaderSize; }

private:
  void CheckDataIndex(int Idx) const {
    if (Idx < 0 || Idx >= DataSize())
      throw EOscOutOfRangeError(SIndexOutOfRange);
  }

  int FSize = 0;
  std::unique_ptr<std::uint8_t[]> FRaw;
};
