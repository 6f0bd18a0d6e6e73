#pragma once

// A connection without a wire: received bytes are fed in by hand and sent
// frames are recorded. It drives the real receive and send paths for the
// tests, the fuzz target and the benchmark.

#include <cstdint>
#include <functional>
#include <vector>

#include "link/ZelvoConnection.h"

class TZelvoMemoryConnection : public TZelvoConnection {
public:
  // Comes up at once and reports it through DoConnect.
  bool Open() override;
  // Reports DoDisconnect when it was up.
  void Close() override;
  bool Connected() const override { return FConnected; }
  // Finalizes, records the frame's bytes and reports DoSend, connected or not.
  void Send(TZelvoPacket& Packet) override;

  // Hands received bytes to the receive path, as a transport's read event does.
  void Feed(const std::uint8_t* Data, int Length) { ProcessData(Data, Length); }
  void Feed(const std::vector<std::uint8_t>& Bytes) {
    Feed(Bytes.data(), static_cast<int>(Bytes.size()));
  }
  // Copies the bytes into the scratch array first and feeds them from there,
  // as the TCP and serial links do (at most ScratchBufferSize bytes).
  void FeedThroughScratch(const std::uint8_t* Data, int Length);
  // The Qt links' read path after each readyRead: delivers the complete
  // frames still held, then reads through the scratch array until Read
  // returns 0 or less. Read(Buffer, MaxLength) returns the bytes it wrote.
  void ReadFrom(const std::function<long long(std::uint8_t* Buffer, int MaxLength)>& Read) {
    ProcessData(nullptr, 0);
    ReadAvailable(Read);
  }
  // Reports a link error.
  void Fail() { DoError(); }

  // Every sent frame, whole, in sending order.
  const std::vector<std::vector<std::uint8_t>>& SentFrames() const { return FSentFrames; }
  void ClearSent() { FSentFrames.clear(); }

private:
  bool FConnected = false;
  std::vector<std::vector<std::uint8_t>> FSentFrames;
};
