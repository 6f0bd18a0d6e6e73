// zelvo-sim's command line: options with two values or an optional one, and
// the errors that name the option at fault.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "sim/ZelvoSimOptions.h"

namespace {

using TArgs = std::vector<std::string>;

TEST(ZelvoSimOptionsTest, WithoutLinksListensOnLocalTcp2000) {
  const TZelvoSimOptions O = ZelvoSimParseOptions({});
  EXPECT_TRUE(O.Tcp);
  EXPECT_FALSE(O.Pty);
  EXPECT_EQ(O.TcpAddress, "127.0.0.1");
  EXPECT_EQ(O.TcpPort, 2000);
  EXPECT_FALSE(O.Help);
}

TEST(ZelvoSimOptionsTest, ValuesReachTheirSettings) {
  const TZelvoSimOptions O = ZelvoSimParseOptions({"--tcp",
                                                   "0.0.0.0:2100",
                                                   "--rate",
                                                   "0",
                                                   "--line-rate",
                                                   "9600",
                                                   "--block",
                                                   "64",
                                                   "--frames",
                                                   "12",
                                                   "--noise",
                                                   "0",
                                                   "--battery",
                                                   "4",
                                                   "--calibration-ms",
                                                   "50",
                                                   "--debug-interval-ms",
                                                   "30",
                                                   "--ssid",
                                                   "--odd",
                                                   "--password",
                                                   "pw",
                                                   "--wifi-channel",
                                                   "11",
                                                   "--build",
                                                   "0042",
                                                   "--firmware",
                                                   "2.0",
                                                   "--garbage",
                                                   "0.5",
                                                   "--corrupt",
                                                   "0",
                                                   "--split",
                                                   "--drop-after",
                                                   "9",
                                                   "--bad-ordinals",
                                                   "1",
                                                   "--seed",
                                                   "77",
                                                   "--quiet",
                                                   "-h"});
  const TZelvoSimConfig& C = O.Config;
  EXPECT_TRUE(O.Tcp);
  EXPECT_EQ(O.TcpAddress, "0.0.0.0");
  EXPECT_EQ(O.TcpPort, 2100);
  EXPECT_EQ(C.FrameRate, 0);
  EXPECT_EQ(C.LineRate, 9600);
  EXPECT_EQ(C.BlockPairs, 64);
  EXPECT_EQ(C.MaxSampleFrames, 12);
  EXPECT_EQ(C.NoiseLevel, 0);
  EXPECT_EQ(C.BatteryCode, 4);
  EXPECT_EQ(C.CalibrationMs, 50);
  EXPECT_EQ(C.DebugIntervalMs, 30);
  EXPECT_EQ(C.Ssid, "--odd") << "a value may look like an option";
  EXPECT_EQ(C.Password, "pw");
  EXPECT_EQ(C.WifiChannel, 11);
  EXPECT_EQ(C.Build, "0042");
  EXPECT_EQ(C.Firmware, "2.0");
  EXPECT_EQ(C.Faults.Garbage, 0.5);
  EXPECT_EQ(C.Faults.Corrupt, 0);
  EXPECT_TRUE(C.Faults.Split);
  EXPECT_EQ(C.Faults.DropAfter, 9);
  EXPECT_EQ(C.Faults.BadOrdinals, 1);
  EXPECT_EQ(C.Seed, 77u);
  EXPECT_TRUE(O.Quiet);
  EXPECT_TRUE(O.Help);
}

TEST(ZelvoSimOptionsTest, WaveAndProbeTakeAChannelAndAValue) {
  const TZelvoSimOptions O = ZelvoSimParseOptions(
      {"--probe", "2", "10", "--wave", "2", "sine:50:1.5:0.25", "--wave", "1", "square:7:3"});
  const TZelvoSimWave& W1 = O.Config.Wave[0];
  const TZelvoSimWave& W2 = O.Config.Wave[1];
  EXPECT_EQ(W1.Type, TZelvoSimWaveType::Square);
  EXPECT_EQ(W1.Frequency, 7);
  EXPECT_EQ(W1.Amplitude, 3);
  EXPECT_EQ(W1.Probe, 1);
  EXPECT_EQ(W2.Type, TZelvoSimWaveType::Sine);
  EXPECT_EQ(W2.Frequency, 50);
  EXPECT_EQ(W2.Amplitude, 1.5);
  EXPECT_EQ(W2.Offset, 0.25);
  EXPECT_EQ(W2.Probe, 10) << "a later wave keeps the probe factor";
}

TEST(ZelvoSimOptionsTest, PtyTakesAnOptionalLink) {
  struct TCase {
    TArgs Args;
    std::string Link;
    bool Tcp;
  } Cases[] = {
      {{"--pty"}, "", false},
      {{"--pty", "/tmp/zelvo"}, "/tmp/zelvo", false},
      {{"--pty", "--quiet"}, "", false},
      {{"--pty", "--tcp", "2001"}, "", true},
      {{"--tcp", "2001", "--pty", "/tmp/z", "--quiet"}, "/tmp/z", true},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.Args));
    const TZelvoSimOptions O = ZelvoSimParseOptions(C.Args);
    EXPECT_TRUE(O.Pty);
    EXPECT_EQ(O.PtyLink, C.Link);
    EXPECT_EQ(O.Tcp, C.Tcp);
  }
}

TEST(ZelvoSimOptionsTest, ReplayKeepsItsSpacingUnlessRateIsZero) {
  const TZelvoSimOptions Spaced = ZelvoSimParseOptions({"--replay", "r.zrec", "--pty"});
  EXPECT_EQ(Spaced.Config.ReplayFile, "r.zrec");
  EXPECT_GT(Spaced.Config.FrameRate, 0);
  EXPECT_EQ(ZelvoSimParseOptions({"--rate", "0", "--replay", "r.zrec"}).Config.FrameRate, 0);
}

TEST(ZelvoSimOptionsTest, BadCommandLinesRaiseNamingTheCulprit) {
  struct TCase {
    TArgs Args;
    std::string Message;
  } Cases[] = {
      {{"--bogus"}, "unknown option --bogus (see --help)"},
      {{"--rate"}, "--rate"},
      {{"--rate", "fast"}, "--rate: a number is needed"},
      {{"--frames", "99999999999999999999"}, "--frames: number out of range"},
      {{"--block", "0"}, "--block: 1 to 512 pairs"},
      {{"--tcp", "70000"}, "--tcp: port out of range"},
      {{"--garbage", "2"}, "--garbage: a probability from 0 to 1 is needed"},
      {{"--wave", "3", "sine:1:1"}, "--wave: channel 1 or 2 expected, got 3"},
      {{"--wave", "1"}, "--wave: a value is missing"},
      {{"--wave", "1", "saw:1:1"}, "--wave: unknown type saw"},
      {{"--probe", "1", "5"}, "--probe: 1 or 10"},
      {{"--quiet", "stray"}, "unknown option stray (see --help)"},
      {{"--replay", ""}, "--replay: a file name is needed"},
      {{"--replay", "r.zrec", "--rate", "160"}, "--rate: with --replay only 0 is taken"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.Args));
    try {
      ZelvoSimParseOptions(C.Args);
      ADD_FAILURE() << "no exception";
    } catch (const std::invalid_argument& E) {
      EXPECT_NE(std::string(E.what()).find(C.Message), std::string::npos) << E.what();
    }
  }
}

} // namespace
