#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "osc/OscDevice.h"
#include "osc/OscFormat.h"

namespace {

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
};

class ExportTest : public ::testing::Test {
protected:
  ExportTest() {
    Dir = std::filesystem::temp_directory_path() /
          ("zelvo_export_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Dir);
  }
  ~ExportTest() override {
    OscSetDecimalSeparator('.');
    std::filesystem::remove_all(Dir);
  }

  std::string Path(const char* Name) const { return (Dir / Name).string(); }

  static std::string ReadBytes(const std::string& FileName) {
    std::ifstream File(FileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(File), {});
  }

  static std::vector<std::string> SplitCrLf(const std::string& Text) {
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    for (std::size_t End; (End = Text.find("\r\n", Start)) != std::string::npos; Start = End + 2)
      Lines.push_back(Text.substr(Start, End - Start));
    EXPECT_EQ(Start, Text.size()) << "text after the last CR LF";
    return Lines;
  }

  // The settings of the documented example: 1 ms/div, trigger on channel 1,
  // rising, auto, level 64; channel 1 at 2 V/div AC x1 with its zero line at
  // 128; channel 2 at 10 V/div DC x10 with its zero line at 100.
  void SetUpWorkedExample() {
    Device.SetTimeBase(tb1ms);
    Device.Trigger().SetChannel(0);
    Device.Trigger().SetSlope(teRisingSlope);
    Device.Trigger().SetMode(tmRun);
    Device.Trigger().SetLevel(64);
    Channel(0).SetVoltsPerDivision(vdiv2V);
    Channel(0).SetCoupling(inAC);
    Channel(0).SetMultiplier(multX1);
    Channel(0).SetYPosition(128);
    Channel(1).SetVoltsPerDivision(vdiv10V);
    Channel(1).SetCoupling(inDC);
    Channel(1).SetMultiplier(multX10);
    Channel(1).SetYPosition(100);
  }

  TOscSignal& Channel(int Idx) { return Device.Signals()[Idx]; }

  TTestDevice Device;
  std::filesystem::path Dir;
};

TEST_F(ExportTest, ParametersFileHoldsWorkedExampleByteForByte) {
  SetUpWorkedExample();
  Device.SaveParametersToFile(Path("capture.json"));
  EXPECT_EQ(ReadBytes(Path("capture.json")),
            "{\"TimeScale\":\"1ms/div\",\"Trigger\":{\"Source\":1,\"Coupling\":\"AC\",\"Slope\":"
            "\"Rising\",\"Mode\":\"Auto\",\"Level\":\"5.00V\"},\"Channels\":[{\"Channel\":1,"
            "\"State\":\"On\",\"Scale\":\"2V/div\",\"Level\":\"0.00V\",\"Coupling\":\"AC\","
            "\"Probe\":\"X1\"},{\"Channel\":2,\"State\":\"On\",\"Scale\":\"100V/div\",\"Level\":"
            "\"109.38V\",\"Coupling\":\"DC\",\"Probe\":\"X10\"}]}");
}

TEST_F(ExportTest, ParametersFileWritesMicroSignAsOneByteAndLevelsWithPoint) {
  SetUpWorkedExample();
  OscSetDecimalSeparator(',');
  Device.SetTimeBase(tb500us);
  Device.Trigger().SetChannel(1);
  Device.Trigger().SetSlope(teFallingSlope);
  Device.Trigger().SetMode(tmOnce);
  Device.Trigger().SetLevel(200);
  Channel(1).SetVoltsPerDivision(vdiv1V);
  Channel(1).SetCoupling(inGND);
  Device.SaveParametersToFile(Path("capture.json"));
  EXPECT_EQ(ReadBytes(Path("capture.json")),
            "{\"TimeScale\":\"500\xB5s/div\",\"Trigger\":{\"Source\":2,\"Coupling\":\"GND\","
            "\"Slope\":\"Falling\",\"Mode\":\"Once\",\"Level\":\"-28.13V\"},\"Channels\":[{"
            "\"Channel\":1,\"State\":\"On\",\"Scale\":\"2V/div\",\"Level\":\"0.00V\","
            "\"Coupling\":\"AC\",\"Probe\":\"X1\"},{\"Channel\":2,\"State\":\"On\",\"Scale\":"
            "\"10V/div\",\"Level\":\"10.94V\",\"Coupling\":\"GND\",\"Probe\":\"X10\"}]}");
}

TEST_F(ExportTest, ChannelObjectOfSwitchedOffAndProbedChannels) {
  struct {
    TOscVoltsPerDivision Vdiv;
    TOscMultiplier Probe;
    int Position;
    const char* Expected;
  } const Cases[] = {
      {vdivNone, multX10, 40,
       "{\"Channel\":2,\"State\":\"Off\",\"Scale\":\"None\",\"Level\":\"0.00V\","
       "\"Coupling\":\"AC\",\"Probe\":\"X10\"}"},
      {vdiv5mV, multX10, 128,
       "{\"Channel\":2,\"State\":\"On\",\"Scale\":\"50mV/div\",\"Level\":\"0.00V\","
       "\"Coupling\":\"AC\",\"Probe\":\"X10\"}"},
      {vdiv500mV, multX1, 129,
       "{\"Channel\":2,\"State\":\"On\",\"Scale\":\"500mV/div\",\"Level\":\"-0.02V\","
       "\"Coupling\":\"AC\",\"Probe\":\"X1\"}"},
      {vdiv20V, multX10, 0,
       "{\"Channel\":2,\"State\":\"On\",\"Scale\":\"200V/div\",\"Level\":\"1000.00V\","
       "\"Coupling\":\"AC\",\"Probe\":\"X10\"}"},
      // 128 - Position exceeds 32 bits at the extremes.
      {vdiv20V, multX1, std::numeric_limits<int>::min(),
       "{\"Channel\":2,\"State\":\"On\",\"Scale\":\"20V/div\",\"Level\":"
       "\"1677721700.00V\",\"Coupling\":\"AC\",\"Probe\":\"X1\"}"},
      {vdiv1V, multX1, std::numeric_limits<int>::max(),
       "{\"Channel\":2,\"State\":\"On\",\"Scale\":\"1V/div\",\"Level\":"
       "\"-83886074.96V\",\"Coupling\":\"AC\",\"Probe\":\"X1\"}"},
  };
  Channel(1).SetVisible(false); // visibility plays no part in the state
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Expected);
    Channel(1).SetVoltsPerDivision(C.Vdiv);
    Channel(1).SetMultiplier(C.Probe);
    Channel(1).SetYPosition(C.Position);
    EXPECT_EQ(Device.ChannelToJson(1), C.Expected);
  }
}

TEST_F(ExportTest, ChannelToJsonRefusesOtherIndexes) {
  for (int Idx : {-1, 2, 255}) {
    SCOPED_TRACE(Idx);
    try {
      Device.ChannelToJson(Idx);
      ADD_FAILURE() << "no exception";
    } catch (const EOscError& E) {
      EXPECT_STREQ(E.what(), "Invalid signal");
    }
  }
}

TEST_F(ExportTest, SamplesFileHas4096CrLfLinesOfBothVoltages) {
  Channel(0).SetVoltsPerDivision(vdiv2V); // 0.08 V per sample step
  Channel(0).SetYPosition(200);
  Channel(1).SetVoltsPerDivision(vdiv200mV);
  Channel(1).SetMultiplier(multX10);
  Channel(1).SetYPosition(100);
  for (int I = 0; I < CSampleCount; ++I) {
    Channel(0).SetSample(I, 200);
    Channel(1).SetSample(I, 100);
  }
  Channel(0).SetSample(0, 45);
  Channel(1).SetSample(0, 110);
  Channel(0).SetSample(CSampleCount - 1, 201);
  Channel(1).SetSample(CSampleCount - 1, 0);

  Device.SaveToFile(Path("capture.csv"));
  const std::vector<std::string> Lines = SplitCrLf(ReadBytes(Path("capture.csv")));
  ASSERT_EQ(Lines.size(), static_cast<std::size_t>(CSampleCount));
  EXPECT_EQ(Lines[0], "12.40;-0.80");
  EXPECT_EQ(Lines[1], "0.00;0.00");
  EXPECT_EQ(Lines[CSampleCount - 1], "-0.08;8.00");

  OscSetDecimalSeparator(',');
  std::ostringstream Stream;
  Stream << "head|";
  Device.SaveToStream(Stream);
  const std::string Text = Stream.str();
  EXPECT_EQ(Text.substr(0, 20), "head|12,40;-0,80\r\n0,");
  EXPECT_EQ(Text.substr(Text.size() - 12), "-0,08;8,00\r\n");
}

TEST_F(ExportTest, SwitchedOffChannelWritesZeroOnEveryLine) {
  Channel(0).SetVoltsPerDivision(vdiv1V);
  Channel(0).SetYPosition(128);
  Channel(1).SetVoltsPerDivision(vdivNone);
  Channel(1).SetMultiplier(multX10);
  Channel(1).SetYPosition(128);
  for (int I = 0; I < CSampleCount; ++I) {
    Channel(0).SetSample(I, 128);
    Channel(1).SetSample(I, I % 256);
  }
  std::ostringstream Stream;
  Device.SaveToStream(Stream);
  const std::vector<std::string> Lines = SplitCrLf(Stream.str());
  ASSERT_EQ(Lines.size(), static_cast<std::size_t>(CSampleCount));
  for (std::size_t I = 0; I < Lines.size(); ++I)
    ASSERT_EQ(Lines[I], "0.00;0.00") << "line " << I;
}

TEST_F(ExportTest, ReportsFilesThatCannotBeCreated) {
  const std::string Missing = Path("no such folder/capture");
  const std::string Folder = Dir.string();
  struct {
    std::function<void()> Save;
    std::string Expected;
  } const Cases[] = {
      {[&] { Device.SaveToFile(Missing + ".csv"); },
       "Cannot create file \"" + Missing + ".csv\". No such file or directory"},
      {[&] { Device.SaveParametersToFile(Missing + ".json"); },
       "Cannot create file \"" + Missing + ".json\". No such file or directory"},
      {[&] { Device.SaveToFile(Folder); }, "Cannot create file \"" + Folder + "\". Is a directory"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Expected);
    try {
      C.Save();
      ADD_FAILURE() << "no exception";
    } catch (const EOscError& E) {
      EXPECT_EQ(std::string(E.what()), C.Expected);
    }
  }
}

// The text is complete before the file is touched: an existing file stays.
// /dev/full accepts the open and fails every write with "no space left".
TEST_F(ExportTest, ReportsFullDiskInsteadOfSuccess) {
  ASSERT_TRUE(std::filesystem::exists("/dev/full"));
  for (const auto& Save :
       {std::function<void()>([&] { Device.SaveToFile("/dev/full"); }),
        std::function<void()>([&] { Device.SaveParametersToFile("/dev/full"); })}) {
    try {
      Save();
      ADD_FAILURE() << "no exception";
    } catch (const EOscError& E) {
      EXPECT_EQ(std::string(E.what()), "Cannot write file \"/dev/full\". No space left on device");
    }
  }

  std::ostringstream Broken;
  Broken.setstate(std::ios::badbit);
  EXPECT_THROW(Device.SaveToStream(Broken), EOscError);
}

// A regular file cut short by a failing write is removed, not left behind as
// a capture; the file-size limit makes the write fail.
TEST_F(ExportTest, LeavesNoHalfWrittenFile) {
  const std::string Name =
      (std::filesystem::temp_directory_path() / ("zelvo-half-" + std::to_string(getpid()) + ".csv"))
          .string();
  struct sigaction Ignore = {}, Old = {};
  Ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &Ignore, &Old);
  rlimit Limit = {}, Saved = {};
  getrlimit(RLIMIT_FSIZE, &Saved);
  Limit = Saved;
  Limit.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &Limit);
  EXPECT_THROW(Device.SaveToFile(Name), EOscError);
  setrlimit(RLIMIT_FSIZE, &Saved);
  sigaction(SIGXFSZ, &Old, nullptr);
  EXPECT_FALSE(std::filesystem::exists(Name));
}

} // namespace
