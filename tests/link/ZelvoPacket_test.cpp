#include "link/ZelvoFrames.h"
#include "link/ZelvoPacket.h"
#include "link/ZelvoPacketParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

const TBytes CRequestSamplesFrame = {0x02, 0x12, 0x08, 0x00, 0x00, 0x00, 0xE4, 0x0A};

TBytes Finalized(TZelvoPacket Packet) {
  Packet.Finalize();
  return TBytes(Packet.Raw(), Packet.Raw() + Packet.Size());
}

TBytes Concat(std::initializer_list<TBytes> Parts) {
  TBytes All;
  for (const TBytes& P : Parts)
    All.insert(All.end(), P.begin(), P.end());
  return All;
}

// A 0x21 frame whose samples count up from Seed, so frames differ.
TBytes SampleFrame(int Pairs, std::uint8_t Seed) {
  TBytes Samples(static_cast<std::size_t>(2 * Pairs));
  for (std::size_t I = 0; I < Samples.size(); ++I)
    Samples[I] = static_cast<std::uint8_t>(Seed + I);
  TZelvoSettingsBlock Block;
  Block.Offset = static_cast<std::uint16_t>(Seed);
  return Finalized(ZelvoSampleFrame(Block, Samples.data(), Pairs));
}

void Append(TZelvoPacketParser& Parser, const TBytes& Bytes) {
  Parser.Append(Bytes.data(), static_cast<int>(Bytes.size()));
}

std::vector<TBytes> Drain(TZelvoPacketParser& Parser) {
  std::vector<TBytes> Frames;
  while (auto P = Parser.Next())
    Frames.emplace_back(P->Raw(), P->Raw() + P->Size());
  return Frames;
}

// --- TZelvoPacket -----------------------------------------------------------

TEST(ZelvoPacketTest, NewPacketIsSixZeroBytesAndSizeBelowSixIsRefused) {
  TZelvoPacket Packet;
  EXPECT_EQ(Packet.Size(), 6);
  EXPECT_EQ(Packet.DataSize(), 0);
  EXPECT_EQ(TBytes(Packet.Raw(), Packet.Raw() + 6), TBytes(6, 0));
  for (int Size : {5, 0, -1}) {
    SCOPED_TRACE(Size);
    try {
      Packet.SetSize(Size);
      FAIL() << "no exception";
    } catch (const EOscInvalidArgumentError& E) {
      EXPECT_STREQ(E.what(), "Invalid packet size");
    }
  }
  EXPECT_EQ(Packet.Size(), 6);
}

TEST(ZelvoPacketTest, ResizingKeepsBytesAndZeroesNewOnes) {
  TZelvoPacket Packet;
  Packet.SetSize(8);
  Packet.SetData(0, 0x11);
  Packet.SetData(1, 0x22);
  Packet.SetSize(10);
  EXPECT_EQ(Packet.Data(0), 0x11);
  EXPECT_EQ(Packet.Data(1), 0x22);
  EXPECT_EQ(Packet.Data(3), 0);
  Packet.SetSize(7);
  EXPECT_EQ(Packet.DataSize(), 1);
  EXPECT_EQ(Packet.Data(0), 0x11);
}

TEST(ZelvoPacketTest, DataIndexOutsidePayloadRaises) {
  TZelvoPacket Packet;
  Packet.SetSize(8);
  for (int Idx : {-1, 2}) {
    SCOPED_TRACE(Idx);
    EXPECT_THROW(Packet.Data(Idx), EOscOutOfRangeError);
    EXPECT_THROW(Packet.SetData(Idx, 1), EOscOutOfRangeError);
  }
  EXPECT_THROW(Packet.DataWord(1), EOscOutOfRangeError);
}

TEST(ZelvoPacketTest, FinalizeWritesHeaderChecksumAndEndByte) {
  TZelvoPacket Packet;
  Packet.SetSize(8);
  Packet.SetCommand(CRequestSamplesCommand);
  EXPECT_EQ(Finalized(Packet), CRequestSamplesFrame);
  // A length above 255 goes low byte first.
  TZelvoPacket Big;
  Big.SetSize(1042);
  const TBytes Raw = Finalized(Big);
  EXPECT_EQ(Raw[2], 0x12);
  EXPECT_EQ(Raw[3], 0x04);
}

TEST(ZelvoPacketTest, FixedWidthTextFields) {
  TZelvoPacket Packet;
  Packet.SetSize(6 + 40);
  const std::string Forty(40, 'x');
  Packet.PutString(4, 32, std::string(36, 'y') + Forty); // overwritten below
  Packet.PutString(4, 32, Forty);
  EXPECT_EQ(Packet.GetString(4, 32), std::string(32, 'x')); // cut, no terminating 0
  EXPECT_EQ(Packet.Data(35), 'x');

  Packet.PutString(4, 32, "Lab");
  EXPECT_EQ(Packet.GetString(4, 32), "Lab");
  for (int I = 7; I < 36; ++I)
    EXPECT_EQ(Packet.Data(I), 0) << I;
  EXPECT_EQ(Packet.GetString(7, 8), "");

  // A field reaching past the data raises; bytes before that point are written.
  EXPECT_THROW(Packet.PutString(36, 5, "abcde"), EOscOutOfRangeError);
  EXPECT_EQ(Packet.Data(39), 'd');
  EXPECT_THROW(Packet.GetString(36, 5), EOscOutOfRangeError);
  // Reading stops at a 0 byte before the end of the data.
  Packet.SetData(38, 0);
  EXPECT_EQ(Packet.GetString(36, 5), "ab");
}

// --- TZelvoPacketParser -----------------------------------------------------

TEST(ZelvoPacketParserTest, DeliversAFrameOnlyWhenAllItsBytesArrived) {
  TZelvoPacketParser Parser;
  Append(Parser, CRequestSamplesFrame);
  auto Packet = Parser.Next();
  ASSERT_NE(Packet, nullptr);
  EXPECT_EQ(Packet->Command(), 0x12);
  EXPECT_EQ(Packet->Size(), 8);
  EXPECT_EQ(Packet->DataSize(), 2);
  EXPECT_EQ(Parser.Next(), nullptr);

  for (std::size_t I = 0; I < CRequestSamplesFrame.size(); ++I) {
    Parser.Append(&CRequestSamplesFrame[I], 1);
    auto P = Parser.Next();
    EXPECT_EQ(P != nullptr, I == CRequestSamplesFrame.size() - 1) << I;
  }
  EXPECT_EQ(Parser.Buffer().Size(), 0);
}

TEST(ZelvoPacketParserTest, TwoFramesInOneAppendComeOutOneByOne) {
  TZelvoPacketParser Parser;
  const TBytes Second = SampleFrame(3, 7);
  Append(Parser, Concat({CRequestSamplesFrame, Second}));
  EXPECT_EQ(Drain(Parser), (std::vector<TBytes>{CRequestSamplesFrame, Second}));
}

struct TResyncCase {
  const char* Name;
  TBytes Before; // bytes ahead of a good frame, appended with it in one piece
};

TEST(ZelvoPacketParserTest, ResynchronisesOnTheNextStartByte) {
  TBytes BadChecksum = CRequestSamplesFrame;
  BadChecksum[6] ^= 0x01;
  TBytes BadEnd = CRequestSamplesFrame;
  BadEnd[7] = 0x0B;
  // A header whose frame would pass the end-byte and checksum tests if its
  // length of 5 were believed.
  const TBytes FiveBytes = {0x02, 0xF9, 0x05, 0x00, 0x0A};
  const TResyncCase Cases[] = {
      {"garbage and a stray start byte with a huge length", {0x55, 0xAA, 0x02}},
      {"bad checksum", BadChecksum},
      {"bad end byte", BadEnd},
      {"length 1043", {0x02, 0x12, 0x13, 0x04}},
      {"length 65535", {0x02, 0x12, 0xFF, 0xFF}},
      {"length 0", {0x02, 0x12, 0x00, 0x00}},
      {"length 1", {0x02, 0x12, 0x01, 0x00}},
      {"length 5 with a matching footer", FiveBytes},
  };
  for (const TResyncCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TZelvoPacketParser Parser;
    Append(Parser, Concat({C.Before, CRequestSamplesFrame}));
    std::vector<TBytes> Frames;
    ASSERT_NO_THROW(Frames = Drain(Parser));
    EXPECT_EQ(Frames, std::vector<TBytes>{CRequestSamplesFrame});
    EXPECT_EQ(Parser.Buffer().Size(), 0);
  }
}

TEST(ZelvoPacketParserTest, ImplausibleLengthIsDroppedWithoutWaiting) {
  const TBytes Headers[] = {
      {0x02, 0x21, 0x13, 0x04}, {0x02, 0x21, 0x00, 0x00}, {0x02, 0x21, 0x05, 0x00}};
  for (const TBytes& Header : Headers) {
    SCOPED_TRACE(static_cast<int>(Header[2] | Header[3] << 8));
    TZelvoPacketParser Parser;
    Append(Parser, Header);
    EXPECT_EQ(Parser.Next(), nullptr);
    EXPECT_EQ(Parser.Buffer().Size(), 0);
  }
}

TEST(ZelvoPacketParserTest, StrayStartByteWithPlausibleLengthWaitsThenIsDropped) {
  TZelvoPacketParser Parser;
  const TBytes Stray = {0x02, 0x20, 64, 0x00}; // announces 64 bytes
  std::vector<TBytes> Good;
  for (std::uint8_t I = 0; I < 6; ++I)
    Good.push_back(SampleFrame(2, I));               // 22 bytes each
  Append(Parser, Concat({Stray, Good[0], Good[1]})); // 48 bytes held
  EXPECT_EQ(Parser.Next(), nullptr);
  EXPECT_EQ(Parser.Buffer().Size(), 48);
  Append(Parser, Concat({Good[2], Good[3], Good[4], Good[5]}));
  EXPECT_EQ(Drain(Parser), Good);
}

TEST(ZelvoPacketParserTest, LargestFrameIsAccepted) {
  TZelvoPacketParser Parser;
  const TBytes Largest = SampleFrame(CZelvoMaxSamplePairs, 3);
  ASSERT_EQ(Largest.size(), 1042u);
  Append(Parser, Largest);
  EXPECT_EQ(Drain(Parser), std::vector<TBytes>{Largest});
}

TEST(ZelvoPacketParserTest, SameFramesWhereverTheStreamIsSplit) {
  TBytes BadChecksum = SampleFrame(4, 9);
  BadChecksum[BadChecksum.size() - 2] ^= 0xFF;
  const std::vector<TBytes> Good = {CRequestSamplesFrame, SampleFrame(5, 1), SampleFrame(0, 2),
                                    SampleFrame(7, 0x0A)};
  const TBytes Stream = Concat({{0x0A, 0x02},
                                Good[0],
                                {0x33},
                                Good[1],
                                BadChecksum,
                                Good[2],
                                {0x02, 0x12, 0x13, 0x04},
                                Good[3],
                                {0x02, 0x20}});
  const int N = static_cast<int>(Stream.size());
  for (int Cut1 = 0; Cut1 <= N; ++Cut1) {
    for (int Cut2 = Cut1; Cut2 <= N; ++Cut2) {
      TZelvoPacketParser Parser;
      std::vector<TBytes> Frames;
      for (auto [From, To] : {std::pair{0, Cut1}, {Cut1, Cut2}, {Cut2, N}}) {
        Parser.Append(Stream.data() + From, To - From);
        for (TBytes& F : Drain(Parser))
          Frames.push_back(std::move(F));
      }
      ASSERT_EQ(Frames, Good) << "cut at " << Cut1 << " and " << Cut2;
      ASSERT_EQ(Parser.Buffer().Size(), 2); // the trailing start of a header waits
    }
  }
}

TEST(ZelvoPacketParserTest, AppendBeyondTheBufferRaisesAndKeepsHeldBytes) {
  TZelvoPacketParser Parser;
  Append(Parser, TBytes(CRequestSamplesFrame.begin(), CRequestSamplesFrame.begin() + 5));
  const TBytes Big(COscBufferSize - 4, 0);
  EXPECT_THROW(Append(Parser, Big), EOscBufferOverflowError);
  EXPECT_EQ(Parser.Buffer().Size(), 5);
  Append(Parser, TBytes(CRequestSamplesFrame.begin() + 5, CRequestSamplesFrame.end()));
  EXPECT_EQ(Drain(Parser), std::vector<TBytes>{CRequestSamplesFrame});
}

} // namespace
