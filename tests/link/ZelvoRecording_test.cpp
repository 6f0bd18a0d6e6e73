#include "link/ZelvoFrames.h"
#include "link/ZelvoMemoryConnection.h"
#include "link/ZelvoRecorder.h"
#include "link/ZelvoRecording.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

// A 0x21 frame of Pairs sample pairs, its samples and offset telling it apart.
TBytes SampleFrame(int Id, int Pairs) {
  TZelvoSettingsBlock Block;
  Block.Offset = static_cast<std::uint16_t>(Id);
  const TBytes Samples(static_cast<std::size_t>(2 * Pairs), static_cast<std::uint8_t>(Id));
  TZelvoPacket Packet = ZelvoSampleFrame(Block, Samples.data(), Pairs);
  Packet.Finalize();
  return TBytes(Packet.Raw(), Packet.Raw() + Packet.Size());
}

class RecordingTest : public ::testing::Test {
protected:
  RecordingTest() {
    Dir = std::filesystem::temp_directory_path() /
          ("zelvo_recording_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Dir);
    Link.Open();
  }
  ~RecordingTest() override { std::filesystem::remove_all(Dir); }

  std::string Path(const std::string& Name) const { return (Dir / Name).string(); }
  static TBytes ReadFile(const std::string& Name) {
    std::ifstream F(Name, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(F), {});
  }
  static void WriteFile(const std::string& Name, const TBytes& Bytes) {
    std::ofstream(Name, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(Bytes.data()),
               static_cast<std::streamsize>(Bytes.size()));
  }

  static std::vector<TZelvoRecord> ReadAll(const std::string& Name, std::int64_t* Dropped) {
    TZelvoRecordingReader Reader(Name);
    std::vector<TZelvoRecord> Records;
    for (TZelvoRecord R; Reader.Next(R);)
      Records.push_back(R);
    *Dropped = Reader.DroppedBytes();
    return Records;
  }

  std::int64_t Now = 1000; // the injected clock, microseconds
  TZelvoClock Clock = [this] { return Now; };
  TZelvoMemoryConnection Link;
  std::filesystem::path Dir;
};

// The layout is fixed as version 1: header and record bytes as written out
// by hand, little-endian.
TEST_F(RecordingTest, FileHoldsHeaderAndRecordsByteForByte) {
  const TBytes Frame = {0x02, 0x12, 0x08, 0x00, 0x00, 0x00, 0xE4, 0x0A};
  {
    TZelvoRecorder Recorder(Link, Path("r.zrec"), Clock, 0x0102030405060708);
    Now += 0x0A0B0C;
    Link.Feed(Frame);
    Recorder.Stop();
  }
  const TBytes Expected = {'Z', 'E', 'L',  'V',  'O',  'R',  'E',  'C',  1,    0,
                           0,   0,   0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
                           8,   0,   0,    0,    0x0C, 0x0B, 0x0A, 0,    0,    0,
                           0,   0,   0x02, 0x12, 0x08, 0x00, 0x00, 0x00, 0xE4, 0x0A};
  EXPECT_EQ(ReadFile(Path("r.zrec")), Expected);
}

// Every frame the connection delivers, however the bytes were cut, is kept
// in order with its arrival time; the counters follow.
TEST_F(RecordingTest, RecordsEveryReceivedFrameWithItsTime) {
  std::vector<TBytes> Frames;
  TBytes Stream;
  for (int I = 0; I < 20; ++I) {
    Frames.push_back(SampleFrame(I, 1 + 37 * I % 512));
    Stream.insert(Stream.end(), Frames.back().begin(), Frames.back().end());
  }
  TZelvoRecorder Recorder(Link, Path("r.zrec"), Clock);
  std::vector<std::int64_t> Times;
  for (std::size_t Pos = 0; Pos < Stream.size(); Pos += 700) {
    Now += 3000;
    const std::size_t N = std::min<std::size_t>(700, Stream.size() - Pos);
    const int Before = Link.Statistics().PacketsIn();
    Link.Feed(Stream.data() + Pos, static_cast<int>(N));
    for (int I = Before; I < Link.Statistics().PacketsIn(); ++I)
      Times.push_back(Now - 1000);
  }
  Recorder.Stop();
  EXPECT_FALSE(Recorder.Recording());
  EXPECT_EQ(Recorder.Frames(), 20);
  EXPECT_EQ(Recorder.Bytes(),
            static_cast<std::int64_t>(std::filesystem::file_size(Path("r.zrec"))));

  std::int64_t Dropped = -1;
  const std::vector<TZelvoRecord> Records = ReadAll(Path("r.zrec"), &Dropped);
  EXPECT_EQ(Dropped, 0);
  ASSERT_EQ(Records.size(), Frames.size());
  for (std::size_t I = 0; I < Records.size(); ++I) {
    EXPECT_EQ(Records[I].Frame, Frames[I]) << I;
    EXPECT_EQ(Records[I].Time, Times[I]) << I;
  }
}

// Whatever byte the file ends at inside its last record, every record before
// it reads and the rest counts as dropped.
TEST_F(RecordingTest, TruncatedLastRecordKeepsEveryEarlierRecord) {
  {
    TZelvoRecorder Recorder(Link, Path("r.zrec"), Clock);
    for (int I = 0; I < 3; ++I)
      Link.Feed(SampleFrame(I, 512));
  }
  const TBytes Whole = ReadFile(Path("r.zrec"));
  const std::size_t LastRecord = Whole.size() - (CZelvoRecordFramePos + CZelvoMaxPacketSize);
  for (std::size_t Cut = LastRecord; Cut < Whole.size(); ++Cut) {
    SCOPED_TRACE(Cut);
    WriteFile(Path("cut.zrec"), TBytes(Whole.begin(), Whole.begin() + static_cast<long>(Cut)));
    std::int64_t Dropped = -1;
    const std::vector<TZelvoRecord> Records = ReadAll(Path("cut.zrec"), &Dropped);
    ASSERT_EQ(Records.size(), 2u);
    EXPECT_EQ(Records[1].Frame, SampleFrame(1, 512));
    EXPECT_EQ(Dropped, static_cast<std::int64_t>(Cut - LastRecord));
  }
}

// A record whose bytes are not a whole frame ends the readable part too.
TEST_F(RecordingTest, DamagedRecordEndsTheReadablePart) {
  {
    TZelvoRecorder Recorder(Link, Path("r.zrec"), Clock);
    for (int I = 0; I < 3; ++I)
      Link.Feed(SampleFrame(I, 10));
  }
  const TBytes Whole = ReadFile(Path("r.zrec"));
  const std::size_t Record = CZelvoRecordFramePos + CZelvoSettingsFrameSize + 2 * 10;
  const std::size_t Second = CZelvoRecordingHeaderSize + Record;
  const struct {
    const char* Name;
    std::size_t Offset;
    std::uint8_t Flip; // bits flipped
  } Cases[] = {{"length beyond any frame", Second + 1, 0x10},
               {"length that is not the frame's", Second, 0x01},
               {"checksum", Second + Record - 2, 0xFF}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBytes Bytes = Whole;
    Bytes[C.Offset] ^= C.Flip;
    WriteFile(Path("bad.zrec"), Bytes);
    std::int64_t Dropped = -1;
    EXPECT_EQ(ReadAll(Path("bad.zrec"), &Dropped).size(), 1u);
    EXPECT_EQ(Dropped, static_cast<std::int64_t>(Whole.size() - Second));
  }
}

TEST_F(RecordingTest, ReaderNamesFilesItCannotRead) {
  WriteFile(Path("text.zrec"), TBytes(40, 'x'));
  TBytes Version2 = {'Z', 'E', 'L', 'V', 'O', 'R', 'E', 'C', 2, 0};
  Version2.resize(CZelvoRecordingHeaderSize);
  WriteFile(Path("v2.zrec"), Version2);
  WriteFile(Path("short.zrec"), TBytes(Version2.begin(), Version2.begin() + 12));
  const struct {
    std::string File;
    std::string Expected;
  } Cases[] = {
      {Path("missing.zrec"),
       "Cannot open file \"" + Path("missing.zrec") + "\". No such file or directory"},
      {Path("text.zrec"), "File \"" + Path("text.zrec") + "\" is not a Zelvo recording"},
      {Path("short.zrec"), "File \"" + Path("short.zrec") + "\" is not a Zelvo recording"},
      {Path("v2.zrec"), "File \"" + Path("v2.zrec") +
                            "\" is a recording of format version 2; this program reads version 1"},
  };
  for (const auto& C : Cases) {
    try {
      TZelvoRecordingReader Reader(C.File);
      ADD_FAILURE() << "no exception for " << C.File;
    } catch (const EOscError& E) {
      EXPECT_EQ(E.what(), C.Expected);
    }
  }
}

// Frames wait in memory, but never longer than the flush interval while
// frames arrive, nor past the owner's timer when they stop.
TEST_F(RecordingTest, FramesReachTheFileWithinTheFlushInterval) {
  TZelvoRecorder Recorder(Link, Path("r.zrec"), Clock);
  auto OnDisk = [&] {
    return static_cast<std::int64_t>(std::filesystem::file_size(Path("r.zrec")));
  };
  EXPECT_EQ(OnDisk(), CZelvoRecordingHeaderSize);

  Now += 1000;
  Link.Feed(SampleFrame(1, 100));
  Now += CZelvoRecordingFlushInterval - 2000;
  Link.Feed(SampleFrame(2, 100));
  Recorder.FlushIfDue();
  EXPECT_EQ(OnDisk(), CZelvoRecordingHeaderSize);
  EXPECT_EQ(Recorder.FlushedBytes(), CZelvoRecordingHeaderSize);

  Now += 1000; // the interval is over: the next frame takes all with it
  Link.Feed(SampleFrame(3, 100));
  EXPECT_EQ(OnDisk(), Recorder.Bytes());
  EXPECT_EQ(Recorder.FlushedBytes(), Recorder.Bytes());

  Now += 10;
  Link.Feed(SampleFrame(4, 100)); // then the link goes quiet
  Recorder.FlushIfDue();
  EXPECT_LT(OnDisk(), Recorder.Bytes());
  Now += CZelvoRecordingFlushInterval;
  Recorder.FlushIfDue();
  EXPECT_EQ(OnDisk(), Recorder.Bytes());
}

// A write that fails (here the file-size limit, as a full disk would) ends
// the recording with one report naming the file; the frames before it stay
// readable.
TEST_F(RecordingTest, FailingWriteIsReportedOnceAndEndsTheRecording) {
  struct sigaction Ignore = {}, Old = {};
  Ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &Ignore, &Old);
  rlimit Saved = {};
  getrlimit(RLIMIT_FSIZE, &Saved);
  rlimit Limit = Saved;
  Limit.rlim_cur = 5000;
  setrlimit(RLIMIT_FSIZE, &Limit);

  std::vector<std::string> Reports;
  {
    TZelvoRecorder Recorder(Link, Path("r.zrec"), Clock);
    Recorder.SetOnError(
        [&](TZelvoRecorder*, const std::string& Message) { Reports.push_back(Message); });
    for (int I = 0; I < 10; ++I) {
      Now += CZelvoRecordingFlushInterval; // every frame is flushed at once
      Link.Feed(SampleFrame(I, 512));
    }
    EXPECT_FALSE(Recorder.Recording());
    EXPECT_EQ(Recorder.Error(), Reports.empty() ? "" : Reports.front());
    Recorder.Stop();
  }
  setrlimit(RLIMIT_FSIZE, &Saved);
  sigaction(SIGXFSZ, &Old, nullptr);

  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0], "Cannot write file \"" + Path("r.zrec") + "\". File too large");
  std::int64_t Dropped = -1;
  const std::vector<TZelvoRecord> Records = ReadAll(Path("r.zrec"), &Dropped);
  EXPECT_EQ(Records.size(), 4u); // 20 + 4 x 1054 bytes fit below 5000
  EXPECT_EQ(Records.back().Frame, SampleFrame(3, 512));
}

TEST_F(RecordingTest, FileThatCannotBeCreatedRaises) {
  for (const auto& [File, Reason] :
       {std::pair<std::string, std::string>{Path("no/such/folder.zrec"),
                                            "Cannot create file \"" + Path("no/such/folder.zrec") +
                                                "\". No such file or directory"},
        {"/dev/full", "Cannot write file \"/dev/full\". No space left on device"}}) {
    try {
      TZelvoRecorder Recorder(Link, File, Clock);
      ADD_FAILURE() << "no exception for " << File;
    } catch (const EOscError& E) {
      EXPECT_EQ(E.what(), Reason);
    }
  }
  EXPECT_EQ(Link.ObserverCount(), 0);
}

// The connection going away first ends the recording with a complete file.
TEST_F(RecordingTest, ConnectionDestroyedFirstClosesTheRecording) {
  auto Own = std::make_unique<TZelvoMemoryConnection>();
  TZelvoRecorder Recorder(*Own, Path("r.zrec"), Clock);
  Own->Feed(SampleFrame(1, 5));
  Own.reset();
  EXPECT_FALSE(Recorder.Recording());
  EXPECT_EQ(Recorder.Error(), "");
  std::int64_t Dropped = -1;
  EXPECT_EQ(ReadAll(Path("r.zrec"), &Dropped).size(), 1u);
}

} // namespace
