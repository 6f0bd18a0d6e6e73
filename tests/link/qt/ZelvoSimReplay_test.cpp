// A recording made from the simulated scope and served again by the simulator
// (zelvo-sim --replay): the program receives the very frames it recorded.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "SimLinkFixture.h"
#include "link/ZelvoRecorder.h"

namespace {

constexpr int CRecordedFrames = 40;

class ZelvoSimReplayTest : public ::testing::TestWithParam<std::tuple<TLinkKind, bool>> {
protected:
  ZelvoSimReplayTest()
      : File((std::filesystem::temp_directory_path() /
              ("zelvo_sim_replay_" + std::to_string(::getpid()) + ".zrec"))
                 .string()) {}
  ~ZelvoSimReplayTest() override { std::filesystem::remove(File); }

  std::string File;
};

TEST_P(ZelvoSimReplayTest, ReplayGivesTheRecordedFramesByteForByteInOrder) {
  const auto [Kind, Unpaced] = GetParam();
  std::vector<TFrame> Recorded;
  {
    SimLinkFixture Scope;
    Scope.Start(Kind);
    TZelvoRecorder Recorder(*Scope.Link, File);
    Scope.Link->SetOnConnect([&](TZelvoConnection*) { Scope.Driver.RequestWifiSettings(); });
    ASSERT_TRUE(Scope.Connect());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Scope.Received.size() >= static_cast<std::size_t>(CRecordedFrames); }, 5000));
    Recorder.Stop();
    ASSERT_EQ(Recorder.Error(), "");
    TZelvoRecordingReader Reader(File);
    for (TZelvoRecord R; Reader.Next(R);)
      Recorded.push_back(R.Frame);
    EXPECT_EQ(Reader.DroppedBytes(), 0);
    // Everything the link delivered, the WiFi answer among the captures.
    ASSERT_EQ(Recorded.size(), Scope.Received.size());
    EXPECT_EQ(Recorded, Scope.Received);
    EXPECT_EQ(Scope.ReceivedWithCommand(CWifiSettings), 1);
  }

  SimLinkFixture Replay;
  Replay.Config.ReplayFile = File;
  Replay.Config.FrameRate = Unpaced ? 0 : 160;
  Replay.Start(Kind);
  ASSERT_TRUE(Replay.Connect());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Replay.Received.size() >= Recorded.size(); }, 5000));
  EXPECT_EQ(Replay.Received, Recorded);
  // The simulator sent the recording and nothing else, although the program
  // sent its settings and sample request.
  EXPECT_EQ(Replay.Record().SentGood, Recorded);
  EXPECT_EQ(Replay.Record().Received.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Links, ZelvoSimReplayTest,
    ::testing::Combine(::testing::Values(TLinkKind::Tcp, TLinkKind::Pty), ::testing::Bool()),
    [](const auto& Info) {
      return std::string(std::get<0>(Info.param) == TLinkKind::Tcp ? "Tcp" : "Pty") +
             (std::get<1>(Info.param) ? "AsFastAsTheLinkTakes" : "AtRecordedSpacing");
    });

} // namespace
