#include "link/ZelvoConnection.h"
#include "link/ZelvoFrames.h"
#include "link/ZelvoMemoryConnection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

// A 0x21 frame of Pairs sample pairs that carries Id in its offset field.
TBytes IdFrame(int Id, int Pairs = 4) {
  TZelvoSettingsBlock Block;
  Block.Offset = static_cast<std::uint16_t>(Id);
  const TBytes Samples(static_cast<std::size_t>(2 * Pairs), static_cast<std::uint8_t>(Id));
  TZelvoPacket Packet = ZelvoSampleFrame(Block, Samples.data(), Pairs);
  Packet.Finalize();
  return TBytes(Packet.Raw(), Packet.Raw() + Packet.Size());
}

// Frames 0 .. Count - 1 back to back.
TBytes IdStream(int Count, int Pairs = 4) {
  TBytes All;
  for (int I = 0; I < Count; ++I) {
    const TBytes F = IdFrame(I, Pairs);
    All.insert(All.end(), F.begin(), F.end());
  }
  return All;
}

std::vector<int> Counting(int Count) {
  std::vector<int> V;
  for (int I = 0; I < Count; ++I)
    V.push_back(I);
  return V;
}

class ZelvoConnectionTest : public ::testing::Test {
protected:
  // Records every event of an observer or of the connection under a name.
  void Listen(TZelvoConnectionObserver& O, const std::string& Name) {
    O.SetOnConnect([this, Name](TZelvoConnection*) { Log.push_back(Name + " connect"); });
    O.SetOnDisconnect([this, Name](TZelvoConnection*) { Log.push_back(Name + " disconnect"); });
    O.SetOnSend(
        [this, Name](TZelvoConnection*, const TZelvoPacket&) { Log.push_back(Name + " send"); });
    O.SetOnReceive(
        [this, Name](TZelvoConnection*, const TZelvoPacket&) { Log.push_back(Name + " receive"); });
  }
  void ListenToConnection() {
    Link.SetOnConnect([this](TZelvoConnection*) { Log.push_back("own connect"); });
    Link.SetOnDisconnect([this](TZelvoConnection*) { Log.push_back("own disconnect"); });
    Link.SetOnSend([this](TZelvoConnection*, const TZelvoPacket&) { Log.push_back("own send"); });
    Link.SetOnReceive(
        [this](TZelvoConnection*, const TZelvoPacket&) { Log.push_back("own receive"); });
    Link.SetOnError([this](TZelvoConnection*) { Log.push_back("own error"); });
  }

  TZelvoMemoryConnection Link;
  std::vector<std::string> Log;
};

TEST_F(ZelvoConnectionTest, ObserversHearEachEventInRegistrationOrderBeforeTheOwnCallback) {
  TZelvoConnectionObserver A, B, ReceiveOnly;
  Listen(A, "A");
  Listen(B, "B");
  ReceiveOnly.SetOnReceive(
      [this](TZelvoConnection*, const TZelvoPacket&) { Log.push_back("R receive"); });
  ListenToConnection();
  Link.RegisterObserver(&B);
  Link.RegisterObserver(&ReceiveOnly);
  Link.RegisterObserver(&A);

  Link.Open();
  TZelvoPacket Packet = ZelvoRequestFrame(CRequestSamplesCommand);
  Link.Send(Packet);
  Link.Feed(IdFrame(1));
  Link.Fail();
  Link.Close();

  const std::vector<std::string> Expected = {"B connect",    "A connect",    "own connect", //
                                             "B send",       "A send",       "own send",    //
                                             "B receive",    "R receive",    "A receive",
                                             "own receive", //
                                             "own error",   //
                                             "B disconnect", "A disconnect", "own disconnect"};
  EXPECT_EQ(Log, Expected);
  EXPECT_EQ(Link.Statistics().PacketsOut(), 1);
  EXPECT_EQ(Link.Statistics().PacketsIn(), 1);
}

TEST_F(ZelvoConnectionTest, RegisteringTwiceHearsTwiceAndOneUnregisterRemovesOne) {
  TZelvoConnectionObserver A, Unknown;
  Listen(A, "A");
  Link.RegisterObserver(&A);
  Link.RegisterObserver(&A);
  Link.Open();
  EXPECT_EQ(Log, (std::vector<std::string>{"A connect", "A connect"}));
  Log.clear();
  Link.UnregisterObserver(&A);
  Link.UnregisterObserver(&Unknown);
  Link.Close();
  EXPECT_EQ(Log, std::vector<std::string>{"A disconnect"});
  try {
    Link.RegisterObserver(nullptr);
    FAIL() << "no exception";
  } catch (const EOscInvalidArgumentError& E) {
    EXPECT_STREQ(E.what(), "Argument cannot be null");
  }
  EXPECT_THROW(Link.UnregisterObserver(nullptr), EOscInvalidArgumentError);
}

TEST_F(ZelvoConnectionTest, HalfFrameAtTheEndOfAChunkCompletesWithTheNext) {
  std::vector<int> Ids;
  Link.SetOnReceive([&](TZelvoConnection*, const TZelvoPacket& P) {
    Ids.push_back(TZelvoSettingsReader(P).Offset());
  });
  const TBytes Stream = IdStream(3);
  const int Cut = static_cast<int>(Stream.size()) - 10;
  Link.Feed(Stream.data(), Cut);
  EXPECT_EQ(Ids, (std::vector<int>{0, 1}));
  EXPECT_EQ(Link.Statistics().PacketsIn(), 2);
  Link.Feed(Stream.data() + Cut, 10);
  EXPECT_EQ(Ids, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Link.Statistics().PacketsIn(), 3);
}

TEST_F(ZelvoConnectionTest, ChunkLargerThanTheParsersFreeRoomLosesNothing) {
  // 1041 bytes of a largest frame are held when a full scratch array arrives,
  // as after a TCP read of 25600 bytes.
  std::vector<int> Ids;
  Link.SetOnReceive([&](TZelvoConnection*, const TZelvoPacket& P) {
    Ids.push_back(TZelvoSettingsReader(P).Offset());
  });
  const TBytes Stream = IdStream(40, CZelvoMaxSamplePairs); // 41680 bytes
  Link.FeedThroughScratch(Stream.data(), 1041);
  EXPECT_TRUE(Ids.empty());
  ASSERT_NO_THROW(Link.FeedThroughScratch(Stream.data() + 1041, COscBufferSize));
  const int Fed = 1041 + COscBufferSize;
  EXPECT_EQ(Ids, Counting(Fed / 1042));
  Link.FeedThroughScratch(Stream.data() + Fed, static_cast<int>(Stream.size()) - Fed);
  EXPECT_EQ(Ids, Counting(40));
  EXPECT_EQ(Link.Parser().Buffer().Size(), 0);
}

TEST_F(ZelvoConnectionTest, NestedDeliveryFromInsideAHandlerKeepsEveryFrameOnceAndInOrder) {
  // A handler that runs a nested event loop: while frame 3 is being handled,
  // the transport reads the next chunk into its scratch array and processes it
  // on the same connection. The outer chunk is larger than the parser's room,
  // so part of it is still waiting when the nested chunk arrives.
  const int Count = 60;
  const TBytes Stream = IdStream(Count, CZelvoMaxSamplePairs);
  const int Outer = 1000 + COscBufferSize; // starts mid-frame after a first piece
  std::vector<int> Entered, Done;
  bool Nested = false;
  int Fed = 1000;
  Link.SetOnReceive([&](TZelvoConnection*, const TZelvoPacket& P) {
    const int Id = TZelvoSettingsReader(P).Offset();
    Entered.push_back(Id);
    if (Id == 3 && !Nested) {
      Nested = true;
      Link.FeedThroughScratch(Stream.data() + Fed, COscBufferSize);
      Fed += COscBufferSize;
    }
    // The packet must still be intact after the nested delivery.
    EXPECT_EQ(P.Data(CZelvoSamplePairsPos), static_cast<std::uint8_t>(Id));
    Done.push_back(Id);
  });
  Link.FeedThroughScratch(Stream.data(), Fed);
  Fed = Outer;
  Link.FeedThroughScratch(Stream.data() + 1000, COscBufferSize);
  ASSERT_TRUE(Nested);
  Link.FeedThroughScratch(Stream.data() + Fed, static_cast<int>(Stream.size()) - Fed);
  EXPECT_EQ(Entered, Counting(Count));
  EXPECT_EQ(Link.Statistics().PacketsIn(), Count);
  std::vector<int> Sorted = Done;
  std::sort(Sorted.begin(), Sorted.end());
  EXPECT_EQ(Sorted, Counting(Count));
}

TEST_F(ZelvoConnectionTest, FramesLeftByAThrowingListenerComeWithTheNextChunk) {
  std::vector<int> Ids;
  Link.SetOnReceive([&](TZelvoConnection*, const TZelvoPacket& P) {
    Ids.push_back(TZelvoSettingsReader(P).Offset());
    if (Ids.size() == 1)
      throw EOscError("listener failed");
  });
  const TBytes Stream = IdStream(30, CZelvoMaxSamplePairs);
  // Larger than the parser's room, so part of the chunk waits behind the throw.
  EXPECT_THROW(Link.FeedThroughScratch(Stream.data(), COscBufferSize), EOscError);
  EXPECT_EQ(Ids, std::vector<int>{0});
  Link.FeedThroughScratch(Stream.data() + COscBufferSize,
                          static_cast<int>(Stream.size()) - COscBufferSize);
  EXPECT_EQ(Ids, Counting(30));
}

TEST(ZelvoConnectionLifetimeTest, ObserverDestroyedFirstUnregistersItself) {
  TZelvoMemoryConnection Link;
  int Heard = 0;
  {
    TZelvoConnectionObserver O;
    O.SetOnConnect([&](TZelvoConnection*) { ++Heard; });
    Link.RegisterObserver(&O);
    Link.RegisterObserver(&O);
    EXPECT_EQ(Link.ObserverCount(), 2);
  }
  EXPECT_EQ(Link.ObserverCount(), 0);
  Link.Open();
  EXPECT_EQ(Heard, 0);
}

TEST(ZelvoConnectionLifetimeTest, ConnectionDestroyedFirstDropsItsRegistrationsAndTellsOnce) {
  TZelvoConnectionObserver O;
  std::vector<TZelvoConnection*> Destroyed;
  O.SetOnConnectionDestroy([&](TZelvoConnection* C) { Destroyed.push_back(C); });
  auto First = std::make_unique<TZelvoMemoryConnection>();
  TZelvoMemoryConnection Second;
  First->RegisterObserver(&O);
  First->RegisterObserver(&O);
  Second.RegisterObserver(&O);
  TZelvoConnection* Gone = First.get();
  First.reset();
  EXPECT_EQ(Destroyed, std::vector<TZelvoConnection*>{Gone});
  EXPECT_EQ(Second.ObserverCount(), 1);
}

} // namespace
