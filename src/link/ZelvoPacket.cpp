#include "link/ZelvoPacket.h"

#include <algorithm>
#include <cstring>

#include "link/OscCircularBuffer.h"

TZelvoPacket::TZelvoPacket() {
  SetSize(CZelvoMinPacketSize);
}

TZelvoPacket::TZelvoPacket(const std::uint8_t* Frame, int Size) {
  if (Size < CZelvoMinPacketSize)
    throw EOscInvalidArgumentError("Invalid packet size");
  FRaw.reset(new std::uint8_t[static_cast<std::size_t>(Size)]);
  std::memcpy(FRaw.get(), Frame, static_cast<std::size_t>(Size));
  FSize = Size;
}

TZelvoPacket& TZelvoPacket::operator=(const TZelvoPacket& Other) {
  if (this != &Other)
    *this = TZelvoPacket(Other);
  return *this;
}

void TZelvoPacket::SetSize(int Value) {
  if (Value < CZelvoMinPacketSize)
    throw EOscInvalidArgumentError("Invalid packet size");
  if (Value == FSize)
    return;
  auto Raw = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(Value)); // zeroed
  if (FSize > 0)
    std::memcpy(Raw.get(), FRaw.get(), static_cast<std::size_t>(std::min(FSize, Value)));
  FRaw = std::move(Raw);
  FSize = Value;
}

std::uint16_t TZelvoPacket::DataWord(int Idx) const {
  const std::uint8_t Bytes[2] = {Data(Idx), Data(Idx + 1)};
  return ZelvoGetU16(Bytes);
}

void TZelvoPacket::SetDataWord(int Idx, std::uint16_t Value) {
  std::uint8_t Bytes[2];
  ZelvoPutU16(Bytes, Value);
  SetData(Idx, Bytes[0]);
  SetData(Idx + 1, Bytes[1]);
}

void TZelvoPacket::PutString(int StartIdx, int Size, const std::string& Value) {
  for (int I = 0; I < Size; ++I) {
    const bool InText = static_cast<std::size_t>(I) < Value.size();
    SetData(StartIdx + I,
            InText ? static_cast<std::uint8_t>(Value[static_cast<std::size_t>(I)]) : 0);
  }
}

std::string TZelvoPacket::GetString(int StartIdx, int Size) const {
  std::string Result;
  for (int I = 0; I < Size; ++I) {
    const std::uint8_t C = Data(StartIdx + I);
    if (C == 0)
      break;
    Result += static_cast<char>(C);
  }
  return Result;
}

void TZelvoPacket::Finalize() {
  FRaw[0] = COscStx;
  ZelvoPutU16(FRaw.get() + 2, static_cast<std::uint16_t>(FSize));
  FRaw[FSize - 2] = TOscChecksum::Calculate(FRaw.get(), FSize - 2);
  FRaw[FSize - 1] = COscEtx;
}
