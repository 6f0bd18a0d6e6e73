#include "link/ZelvoMemoryConnection.h"

#include <algorithm>
#include <cstring>

bool TZelvoMemoryConnection::Open() {
  if (!FConnected) {
    FConnected = true;
    DoConnect();
  }
  return FConnected;
}

void TZelvoMemoryConnection::Close() {
  if (FConnected) {
    FConnected = false;
    DoDisconnect();
  }
}

void TZelvoMemoryConnection::Send(TZelvoPacket& Packet) {
  Packet.Finalize();
  FSentFrames.emplace_back(Packet.Raw(), Packet.Raw() + Packet.Size());
  DoSend(Packet);
}

void TZelvoMemoryConnection::FeedThroughScratch(const std::uint8_t* Data, int Length) {
  const int Count = std::clamp(Length, 0, ScratchBufferSize());
  if (Count > 0)
    std::memcpy(ScratchBuffer(), Data, static_cast<std::size_t>(Count));
  ProcessData(ScratchBuffer(), Count);
}
