#pragma once

// Cuts frames out of the received byte stream and resynchronises after
// garbage. A frame is delivered only when all its bytes are there and its start
// byte, length bound, end byte and checksum check out; a frame still arriving
// ("incomplete") is kept, a front that cannot be a frame ("corrupt") is dropped
// up to the next candidate start byte.

#include <cstdint>
#include <memory>

#include "link/OscCircularBuffer.h"
#include "link/ZelvoPacket.h"

class TZelvoPacketParser {
public:
  enum class TFrameState { Incomplete, Corrupt, Complete };

  TZelvoPacketParser();

  TOscBuffer& Buffer() const { return *FBuffer; }
  int HeaderSize() const { return FHeaderSize; }
  int FooterSize() const { return FFooterSize; }
  std::uint8_t StxChar() const { return FStxChar; }
  std::uint8_t EtxChar() const { return FEtxChar; }

  // Raises EOscBufferOverflowError when the bytes do not fit; nothing of them
  // is kept then.
  void Append(const std::uint8_t* Data, int Length);
  // The next complete valid frame, or nullptr; call until it returns nullptr.
  std::unique_ptr<TZelvoPacket> Next();

  // Whether the front of the buffer may be kept (a frame, or the start of one).
  bool BufferValid() const { return FrontState() != TFrameState::Corrupt; }
  // Drops bytes up to the next byte equal to Value, at least one.
  void SeekTo(std::uint8_t Value);

  // What the front of the buffer holds; fewer than HeaderSize bytes count as
  // incomplete.
  TFrameState FrontState() const;

private:
  std::unique_ptr<TOscCircularBuffer> FBuffer;
  int FHeaderSize = CZelvoHeaderSize;
  int FFooterSize = CZelvoFooterSize;
  std::uint8_t FStxChar = COscStx;
  std::uint8_t FEtxChar = COscEtx;
};
