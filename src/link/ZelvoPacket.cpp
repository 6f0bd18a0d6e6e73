#include "link/ZelvoPacket.h"

#include "link/OscCircularBuffer.h"

TZelvoPacket::TZelvoPacket() {
  SetSize(CZelvoMinPacketSize);
}

TZelvoPacket::TZelvoPacket(const std::uint8_t* Frame, int Size) {
  if (Size < CZelvoMinPacketSize)
    throw EOscInvalidArgumentError("Invalid packet size");
  FRaw.assign(Frame, Frame + Size);
  FSize = Size;
}

void TZelvoPacket::SetSize(int Value) {
  if (Value < CZelvoMinPacketSize)
    throw EOscInvalidArgumentError("Invalid packet size");
  if (Value == FSize)
    return;
  FSize = Value;
  FRaw.resize(static_cast<std::size_t>(Value), 0);
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
  ZelvoPutU16(&FRaw[2], static_cast<std::uint16_t>(FSize));
  FRaw[static_cast<std::size_t>(FSize - 2)] = TOscChecksum::Calculate(FRaw.data(), FSize - 2);
  FRaw[static_cast<std::size_t>(FSize - 1)] = COscEtx;
}
