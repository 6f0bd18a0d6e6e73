#pragma once

// The staging store of received bytes and the frame checksum.

#include <cstdint>
#include <memory>

#include "osc/OscTypes.h"

// Size of a connection's receive scratch array and of the parser's buffer.
constexpr int COscBufferSize = 25600;

// An abstract byte buffer: the held bytes are one contiguous run that starts at
// DataPtr() and is Size() bytes long.
class TOscBuffer {
public:
  TOscBuffer() = default;
  virtual ~TOscBuffer() = default;
  TOscBuffer(const TOscBuffer&) = delete;
  TOscBuffer& operator=(const TOscBuffer&) = delete;

  virtual int Size() const = 0;
  virtual int Capacity() const = 0;
  // Idx counts from the oldest byte held.
  virtual std::uint8_t Data(int Idx) const = 0;
  virtual void SetData(int Idx, std::uint8_t Value) = 0;
  // Valid until the next Append (which may compact) or Discard.
  virtual const std::uint8_t* DataPtr() const = 0;
  virtual void Clear() = 0;
  virtual void Append(const std::uint8_t* Data, int Count) = 0;
  // Drops the Count oldest bytes; callers pass 0 <= Count <= Size().
  virtual void Discard(int Count) = 0;
};

// Despite its name it never wraps: consumed space at the front is reclaimed by
// moving the held bytes to the start of the array, and only when an append
// would not fit otherwise.
class TOscCircularBuffer final : public TOscBuffer {
public:
  explicit TOscCircularBuffer(int ACapacity);

  int Size() const override { return FSize; }
  int Capacity() const override { return FCapacity; }
  std::uint8_t Data(int Idx) const override {
    CheckIndex(Idx);
    return FData[static_cast<std::size_t>(FGarbage + Idx)];
  }
  void SetData(int Idx, std::uint8_t Value) override {
    CheckIndex(Idx);
    FData[static_cast<std::size_t>(FGarbage + Idx)] = Value;
  }
  const std::uint8_t* DataPtr() const override { return FData.get() + FGarbage; }
  void Clear() override;
  void Append(const std::uint8_t* Data, int Count) override;
  void Discard(int Count) override;

  // Room behind the held bytes without compaction.
  int BytesFree() const { return FCapacity - FGarbage - FSize; }
  void GarbageCollect();

private:
  void CheckIndex(int Idx) const {
    if (Idx < 0 || Idx >= FSize)
      throw EOscOutOfRangeError(SIndexOutOfRange);
  }

  std::unique_ptr<std::uint8_t[]> FData;
  int FGarbage = 0;
  int FCapacity = 0;
  int FSize = 0;
};

class TOscChecksum {
public:
  TOscChecksum() = delete;
  // Two's complement of the byte sum: the covered bytes plus the result add up
  // to 0 modulo 256. A Size of 0 or less gives 0.
  static std::uint8_t Calculate(const std::uint8_t* Data, int Size);
};
