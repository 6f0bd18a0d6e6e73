#include "link/ZelvoPacketParser.h"

#include <cstring>

TZelvoPacketParser::TZelvoPacketParser()
    : FBuffer(std::make_unique<TOscCircularBuffer>(COscBufferSize)) {}

void TZelvoPacketParser::Append(const std::uint8_t* Data, int Length) {
  FBuffer->Append(Data, Length);
}

TZelvoPacketParser::TFrameState TZelvoPacketParser::FrontState() const {
  const int Held = FBuffer->Size();
  if (Held < FHeaderSize)
    return TFrameState::Incomplete;
  const std::uint8_t* P = FBuffer->DataPtr();
  const int L = ZelvoGetU16(P + 2);
  // A length below the smallest frame is as impossible as one above the
  // largest; waiting on it or reading its footer would go wrong.
  if (P[0] != FStxChar || L > CZelvoMaxPacketSize || L < FHeaderSize + FFooterSize)
    return TFrameState::Corrupt;
  if (Held < L)
    return TFrameState::Incomplete;
  if (P[L - 1] != FEtxChar || P[L - 2] != TOscChecksum::Calculate(P, L - 2))
    return TFrameState::Corrupt;
  return TFrameState::Complete;
}

void TZelvoPacketParser::SeekTo(std::uint8_t Value) {
  const int Held = FBuffer->Size();
  if (Held <= 0)
    return;
  const std::uint8_t* P = FBuffer->DataPtr();
  const void* Found =
      Held > 1 ? std::memchr(P + 1, Value, static_cast<std::size_t>(Held - 1)) : nullptr;
  const int I = Found ? static_cast<int>(static_cast<const std::uint8_t*>(Found) - P) : Held;
  FBuffer->Discard(I);
}

std::unique_ptr<TZelvoPacket> TZelvoPacketParser::Next() {
  TFrameState State = FrontState();
  while (State == TFrameState::Corrupt) {
    SeekTo(FStxChar);
    State = FrontState();
  }
  if (State == TFrameState::Incomplete)
    return nullptr;
  const int L = ZelvoGetU16(FBuffer->DataPtr() + 2);
  auto Packet = std::make_unique<TZelvoPacket>(FBuffer->DataPtr(), L);
  FBuffer->Discard(L);
  return Packet;
}
