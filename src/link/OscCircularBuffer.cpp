#include "link/OscCircularBuffer.h"

#include "osc/OscKernel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

TOscCircularBuffer::TOscCircularBuffer(int ACapacity) {
  if (ACapacity <= 0)
    throw EOscInvalidArgumentError("Invalid buffer capacity");
  FCapacity = ACapacity;
  FData = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(ACapacity));
}

void TOscCircularBuffer::Clear() {
  FSize = 0;
  FGarbage = 0;
}

void TOscCircularBuffer::GarbageCollect() {
  if (FGarbage <= 0)
    return;
  std::memmove(FData.get(), FData.get() + FGarbage, static_cast<std::size_t>(FSize));
  FGarbage = 0;
}

void TOscCircularBuffer::Append(const std::uint8_t* Data, int Count) {
  if (BytesFree() < Count)
    GarbageCollect();
  if (BytesFree() < Count) {
    char Msg[96];
    std::snprintf(Msg, sizeof Msg, "Not enough space: %d available, %d needed.", BytesFree(),
                  Count);
    throw EOscBufferOverflowError(Msg);
  }
  if (Count <= 0)
    return;
  std::memcpy(FData.get() + FGarbage + FSize, Data, static_cast<std::size_t>(Count));
  FSize += Count;
}

void TOscCircularBuffer::Discard(int Count) {
  // Callers stay within 0..Size; a count outside cannot break the invariants.
  Count = std::clamp(Count, 0, FSize);
  FGarbage += Count;
  FSize -= Count;
  if (FSize == 0)
    FGarbage = 0;
}

namespace {

// Summed modulo 256 in a byte, so the loop vectorises as plain byte adds.
OSC_VECTOR_KERNEL std::uint8_t ByteSum(const std::uint8_t* Data, int Size) {
  std::uint8_t Sum = 0;
  for (int I = 0; I < Size; ++I)
    Sum = static_cast<std::uint8_t>(Sum + Data[I]);
  return Sum;
}

} // namespace

std::uint8_t TOscChecksum::Calculate(const std::uint8_t* Data, int Size) {
  return static_cast<std::uint8_t>(0u - ByteSum(Data, Size));
}
