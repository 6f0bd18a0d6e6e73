#include "link/OscCircularBuffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

std::vector<std::uint8_t> Counting(int Count, std::uint8_t First = 1) {
  std::vector<std::uint8_t> V(static_cast<std::size_t>(Count));
  std::iota(V.begin(), V.end(), First);
  return V;
}

TEST(OscCircularBufferTest, RefusesCapacityOfZeroOrLess) {
  for (int Capacity : {0, -1}) {
    SCOPED_TRACE(Capacity);
    try {
      TOscCircularBuffer Buffer(Capacity);
      FAIL() << "no exception";
    } catch (const EOscError& E) {
      EXPECT_STREQ(E.what(), "Invalid buffer capacity");
    }
  }
}

TEST(OscCircularBufferTest, CompactsOnlyWhenAnAppendWouldNotFit) {
  TOscCircularBuffer Buffer(10);
  EXPECT_EQ(Buffer.Size(), 0);
  EXPECT_EQ(Buffer.BytesFree(), 10);
  const auto Four = Counting(4);
  Buffer.Append(Four.data(), 4);
  Buffer.Discard(3);
  EXPECT_EQ(Buffer.Data(0), 4);
  EXPECT_EQ(Buffer.BytesFree(), 6);

  const auto Nine = Counting(9, 20);
  Buffer.Append(Nine.data(), 9);
  EXPECT_EQ(Buffer.Size(), 10);
  EXPECT_EQ(Buffer.BytesFree(), 0);
  EXPECT_EQ(Buffer.Data(0), 4);
  EXPECT_EQ(Buffer.Data(1), 20);
  EXPECT_EQ(Buffer.Data(9), 28);
  EXPECT_EQ(Buffer.DataPtr()[9], 28);
}

TEST(OscCircularBufferTest, OverflowReportsFreeRoomAfterCompactionAndKeepsHeldBytes) {
  TOscCircularBuffer Buffer(10);
  const auto Four = Counting(4);
  Buffer.Append(Four.data(), 4);
  Buffer.Discard(3);
  const auto Ten = Counting(10, 50);
  try {
    Buffer.Append(Ten.data(), 10);
    FAIL() << "no exception";
  } catch (const EOscBufferOverflowError& E) {
    EXPECT_STREQ(E.what(), "Not enough space: 9 available, 10 needed.");
  }
  ASSERT_EQ(Buffer.Size(), 1);
  EXPECT_EQ(Buffer.Data(0), 4);
}

TEST(OscCircularBufferTest, DiscardingEverythingResetsTheFront) {
  TOscCircularBuffer Buffer(8);
  const auto Bytes = Counting(8);
  Buffer.Append(Bytes.data(), 5);
  Buffer.Discard(5);
  EXPECT_EQ(Buffer.BytesFree(), 8); // no compaction needed for a full append
  Buffer.Append(Bytes.data(), 8);
  EXPECT_EQ(Buffer.Data(7), 8);
  Buffer.Clear();
  EXPECT_EQ(Buffer.Size(), 0);
  EXPECT_EQ(Buffer.BytesFree(), 8);
}

TEST(OscCircularBufferTest, IndexOutsideHeldBytesRaisesAndChangesNothing) {
  TOscCircularBuffer Buffer(8);
  const auto Bytes = Counting(3);
  Buffer.Append(Bytes.data(), 3);
  Buffer.Discard(1); // index 0 is now the second byte appended
  for (int Idx : {-1, 2, 3}) {
    SCOPED_TRACE(Idx);
    EXPECT_THROW(Buffer.Data(Idx), EOscOutOfRangeError);
    EXPECT_THROW(Buffer.SetData(Idx, 0xFF), EOscOutOfRangeError);
  }
  Buffer.SetData(1, 0x77);
  EXPECT_EQ(Buffer.Data(0), 2);
  EXPECT_EQ(Buffer.Data(1), 0x77);
  EXPECT_EQ(Buffer.Size(), 2);
}

TEST(OscCircularBufferTest, DiscardOutsideTheHeldBytesKeepsTheBufferSound) {
  TOscCircularBuffer Buffer(8);
  const auto Bytes = Counting(3);
  Buffer.Append(Bytes.data(), 3);
  Buffer.Discard(-2);
  EXPECT_EQ(Buffer.Size(), 3);
  Buffer.Discard(5);
  EXPECT_EQ(Buffer.Size(), 0);
  EXPECT_EQ(Buffer.BytesFree(), 8);
}

TEST(OscChecksumTest, IsTheTwosComplementOfTheByteSum) {
  const std::uint8_t Abc[] = {0x61, 0x62, 0x63};
  EXPECT_EQ(TOscChecksum::Calculate(Abc, 3), 0xDA);
  EXPECT_EQ(TOscChecksum::Calculate(Abc, 0), 0);
  EXPECT_EQ(TOscChecksum::Calculate(Abc, -1), 0);
  const std::uint8_t Zero[] = {0x80, 0x80};
  EXPECT_EQ(TOscChecksum::Calculate(Zero, 2), 0); // (256 - 0) mod 256, not 256
  // Long runs wrap around many times.
  const std::vector<std::uint8_t> Long(1040, 0xFF);
  EXPECT_EQ(TOscChecksum::Calculate(Long.data(), 1040), static_cast<std::uint8_t>(1040 % 256));
}

} // namespace
