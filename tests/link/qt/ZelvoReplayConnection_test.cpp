#include "link/qt/ZelvoReplayConnection.h"

#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"
#include "link/qt/ZelvoLinkError.h"
#include "osc/OscMeasurement.h"

namespace {

using TBytes = std::vector<std::uint8_t>;
constexpr std::int64_t CMs = 1000; // microseconds

// Block K (0..7) of capture Capture: 512 pairs, every sample 100 + Capture * 10 + K.
TBytes CaptureBlock(int Capture, int K) {
  TZelvoSettingsBlock Block;
  Block.Offset = static_cast<std::uint16_t>(2 * 512 * K);
  Block.Coupling[0] = inDC;
  Block.VoltsPerDivision[0] = vdiv1V;
  Block.VoltsPerDivision[1] = vdiv2V;
  Block.YPosition[0] = Block.YPosition[1] = 128;
  Block.TimeBase = tb1ms;
  Block.Level = 100;
  Block.Flags = tmRun;
  Block.Status = CZelvoBatteryCodeFull;
  const TBytes Pairs(1024, static_cast<std::uint8_t>(100 + Capture * 10 + K));
  TZelvoPacket P = ZelvoSampleFrame(Block, Pairs.data(), 512);
  P.Finalize();
  return TBytes(P.Raw(), P.Raw() + P.Size());
}

class ZelvoReplayTest : public ::testing::Test {
protected:
  ZelvoReplayTest()
      : File((std::filesystem::temp_directory_path() /
              ("zelvo_replay_" + std::to_string(::getpid()) + ".zrec"))
                 .string()),
        Replay([this] { return Now; }) {
    // Two captures of eight blocks, 10 ms apart, the first block at 5 ms.
    TZelvoRecordingWriter Writer(File, 0);
    for (int C = 0; C < 2; ++C)
      for (int K = 0; K < 8; ++K) {
        const TBytes F = CaptureBlock(C, K);
        Frames.push_back(F);
        Writer.Append((5 + 10 * (8 * C + K)) * CMs, F.data(), static_cast<int>(F.size()));
      }
    Writer.Close();
    Replay.SetFileName(File);
    Replay.SetOnReceive([this](TZelvoConnection*, const TZelvoPacket& P) {
      Played.emplace_back(P.Raw(), P.Raw() + P.Size());
    });
    Replay.SetOnFinished([this](TZelvoConnection*) { ++Finishes; });
    Driver.SetConnection(&Replay);
  }
  ~ZelvoReplayTest() override { std::filesystem::remove(File); }

  void Advance(std::int64_t Microseconds) {
    Now += Microseconds;
    Replay.Pump();
  }
  int Sample(int Idx) const { return Driver.Signals()[0].GetSample(Idx); }

  std::string File;
  std::vector<TBytes> Frames;
  std::int64_t Now = 1000000;
  TZelvoReplayConnection Replay;
  TZelvo Driver;
  std::vector<TBytes> Played;
  int Finishes = 0;
};

// The frames reach the real driver at their recorded times, and what the
// driver sends goes nowhere.
TEST_F(ZelvoReplayTest, PlaysFramesAtTheirRecordedTimes) {
  EXPECT_TRUE(Replay.Open());
  EXPECT_TRUE(Replay.Connected());
  EXPECT_EQ(Replay.Statistics().PacketsOut(), 2); // settings and sample request
  EXPECT_TRUE(Played.empty());

  Advance(5 * CMs);
  ASSERT_EQ(Played.size(), 1u);
  EXPECT_EQ(Played[0], Frames[0]);
  EXPECT_EQ(Driver.TimeBase(), tb1ms);
  EXPECT_EQ(Driver.Signals()[0].Coupling(), inDC);
  EXPECT_EQ(Sample(511), 100);
  EXPECT_EQ(Driver.Signals()[0].Fill(), 512);

  Advance(24 * CMs); // 29 ms: the blocks at 15 and 25 ms
  EXPECT_EQ(Played.size(), 3u);
  Advance(200 * CMs);
  EXPECT_EQ(Played, Frames);
  EXPECT_EQ(Sample(4095), 117);
  EXPECT_TRUE(Replay.Finished());
  EXPECT_EQ(Finishes, 1);
  EXPECT_EQ(Replay.DroppedBytes(), 0);
  EXPECT_TRUE(Replay.Connected()); // showing the last capture
}

TEST_F(ZelvoReplayTest, PausedPlaysNothingAndResumesWhereItStopped) {
  Replay.Open();
  Advance(20 * CMs);
  EXPECT_EQ(Played.size(), 2u);
  Replay.Pause();
  EXPECT_EQ(Replay.Position(), 20 * CMs);
  Advance(60000 * CMs);
  EXPECT_EQ(Played.size(), 2u);
  EXPECT_EQ(Replay.Position(), 20 * CMs);

  Replay.Resume();
  Advance(4 * CMs);
  EXPECT_EQ(Played.size(), 2u);
  Advance(1 * CMs); // 25 ms of recording time
  EXPECT_EQ(Played.size(), 3u);
}

// A step plays up to the end of the next capture, however long that takes in
// recording time, and leaves the playback paused there.
TEST_F(ZelvoReplayTest, StepPlaysToTheEndOfTheNextCapture) {
  Replay.Open();
  Advance(20 * CMs);
  EXPECT_EQ(Driver.Signals()[0].Measurement().ToString(), CInvalidValue);
  Replay.Step();
  EXPECT_TRUE(Replay.Paused());
  EXPECT_EQ(Played.size(), 8u);
  EXPECT_EQ(Sample(4095), 107);
  EXPECT_NE(Driver.Signals()[0].Measurement().ToString(), CInvalidValue);
  EXPECT_EQ(Replay.Position(), 75 * CMs);
  Advance(1000 * CMs);
  EXPECT_EQ(Played.size(), 8u);

  Replay.Step();
  EXPECT_EQ(Played.size(), 16u);
  EXPECT_EQ(Sample(0), 110);
  EXPECT_EQ(Finishes, 1);
  Replay.Step(); // at the end: nothing more
  EXPECT_EQ(Played.size(), 16u);

  Replay.Close();
  EXPECT_FALSE(Replay.Connected());
}

TEST_F(ZelvoReplayTest, SpeedScalesRecordingTimeWithinItsLimits) {
  Replay.Open();
  Replay.SetSpeed(4);
  Advance(10 * CMs); // 40 ms of recording: blocks at 5, 15, 25 and 35 ms
  EXPECT_EQ(Played.size(), 4u);
  Replay.SetSpeed(0.25);
  Advance(19 * CMs); // 44.75 ms
  EXPECT_EQ(Played.size(), 4u);
  Advance(1 * CMs); // 45 ms
  EXPECT_EQ(Played.size(), 5u);

  Replay.SetSpeed(100);
  EXPECT_EQ(Replay.Speed(), TZelvoReplayConnection::CMaxSpeed);
  Replay.SetSpeed(0);
  EXPECT_EQ(Replay.Speed(), TZelvoReplayConnection::CMinSpeed);
}

TEST_F(ZelvoReplayTest, CutShortRecordingPlaysItsCompleteRecordsAndSaysWhatWasDropped) {
  std::filesystem::resize_file(File, std::filesystem::file_size(File) - 100);
  Replay.Open();
  Advance(1000 * CMs);
  EXPECT_EQ(Played.size(), 15u);
  EXPECT_TRUE(Replay.Finished());
  EXPECT_EQ(Replay.DroppedBytes(), static_cast<std::int64_t>(Frames[15].size() + 12 - 100));
}

TEST_F(ZelvoReplayTest, EmptyRecordingFinishesAtOnce) {
  TZelvoRecordingWriter(File, 0).Close();
  Replay.Open();
  EXPECT_TRUE(Replay.Finished());
  EXPECT_EQ(Finishes, 1);
  Advance(1000 * CMs);
  EXPECT_EQ(Finishes, 1);
  EXPECT_TRUE(Played.empty());
}

TEST_F(ZelvoReplayTest, OpenRefusesWhatIsNotARecording) {
  Replay.SetFileName(File + ".missing");
  EXPECT_THROW(Replay.Open(), EOscError);
  EXPECT_FALSE(Replay.Connected());
  Replay.SetFileName(File);
  Replay.Open();
  EXPECT_THROW(Replay.SetFileName(File + ".other"), EZelvoLinkError);
}

// With the real clock the transport's own timer plays the whole recording
// in order, within its 160 ms.
TEST(ZelvoReplayTimer, PlaysTheWholeRecordingFromTheEventLoop) {
  const std::string File = (std::filesystem::temp_directory_path() /
                            ("zelvo_replay_timer_" + std::to_string(::getpid()) + ".zrec"))
                               .string();
  std::vector<TBytes> Frames;
  {
    TZelvoRecordingWriter Writer(File, 0);
    for (int K = 0; K < 16; ++K) {
      Frames.push_back(CaptureBlock(K / 8, K % 8));
      Writer.Append(10 * K * CMs, Frames.back().data(), static_cast<int>(Frames.back().size()));
    }
  }
  TZelvoReplayConnection Replay;
  TZelvo Driver;
  Driver.SetConnection(&Replay);
  std::vector<TBytes> Played;
  Replay.SetOnReceive([&](TZelvoConnection*, const TZelvoPacket& P) {
    Played.emplace_back(P.Raw(), P.Raw() + P.Size());
  });
  Replay.SetFileName(File);
  Replay.Open();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Replay.Finished(); }, 5000));
  EXPECT_EQ(Played, Frames);
  EXPECT_EQ(Driver.Signals()[1].GetSample(4095), 117);
  std::filesystem::remove(File);
}

} // namespace
