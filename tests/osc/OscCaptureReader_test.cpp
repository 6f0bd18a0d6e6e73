#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "osc/OscCapture.h"
#include "osc/OscCaptureReader.h"
#include "osc/OscFormat.h"
#include "osc/OscMeasurement.h"

namespace {

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
};

// Every readout text of both channels.
std::vector<std::string> Readouts(TOscDevice& Device) {
  Device.UpdateMeasurements();
  std::vector<std::string> Texts;
  for (int C = 0; C < 2; ++C)
    for (int T = 0; T <= static_cast<int>(TOscMeasurementType::Wrms32); ++T) {
      TOscMeasurement& M = Device.Signals()[C].Measurement();
      M.SetValueType(static_cast<TOscMeasurementType>(T));
      M.Update();
      Texts.push_back("CH" + std::to_string(C + 1) + " " + std::to_string(T) + " " + M.ToString());
    }
  return Texts;
}

std::vector<TOscSample> SamplesOf(const TOscSignal& S) {
  return {S.Samples(), S.Samples() + S.Count()};
}

struct TChannelSettings {
  TOscVoltsPerDivision Vdiv;
  TOscMultiplier Probe;
  TOscInputCoupling Coupling;
  int Position;
};

struct TCaptureCase {
  const char* Name;
  TOscTimeBase TimeBase;
  int TriggerChannel;
  TOscTriggerSlope Slope;
  TOscTriggerMode Mode;
  int Level;
  TChannelSettings Channel[2];
};

class CaptureReaderTest : public ::testing::Test {
protected:
  CaptureReaderTest() {
    Dir = std::filesystem::temp_directory_path() /
          ("zelvo_reader_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Dir);
  }
  ~CaptureReaderTest() override {
    OscSetDecimalSeparator('.');
    std::filesystem::remove_all(Dir);
  }

  std::string Path(const std::string& Name) const { return (Dir / Name).string(); }

  static std::string ReadFile(const std::string& Name) {
    std::ifstream F(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(F), {});
  }
  static void WriteFile(const std::string& Name, const std::string& Bytes) {
    std::ofstream(Name, std::ios::binary | std::ios::trunc) << Bytes;
  }

  static void SetUp(TOscDevice& Device, const TCaptureCase& C) {
    Device.SetTimeBase(C.TimeBase);
    for (int I = 0; I < 2; ++I) {
      TOscSignal& S = Device.Signals()[I];
      S.SetVoltsPerDivision(C.Channel[I].Vdiv);
      S.SetMultiplier(C.Channel[I].Probe);
      S.SetCoupling(C.Channel[I].Coupling);
      S.SetYPosition(C.Channel[I].Position);
    }
    Device.Trigger().SetChannel(C.TriggerChannel);
    Device.Trigger().SetSlope(C.Slope);
    Device.Trigger().SetMode(C.Mode);
    Device.Trigger().SetLevel(C.Level);
  }

  // A triangle over the whole 8-bit range on channel 1 and a square wave
  // reaching beyond it on channel 2, as the demo device's large signals do.
  // Neither ends in the zeros that mark samples never filled.
  static void FillSamples(TOscDevice& Device, int Fill = CSampleCount) {
    for (int I = 0; I < Fill; ++I) {
      const int T = I + 100;
      Device.Signals()[0].SetSample(I, T % 512 < 256 ? T % 256 : 255 - T % 256);
      Device.Signals()[1].SetSample(I, (I / 100) % 2 ? -40 : 300);
    }
  }

  void Export(TOscDevice& Device, const std::string& Base) {
    Device.SaveToFile(Path(Base + ".csv"));
    Device.SaveParametersToFile(Path(Base + ".json"));
  }

  std::filesystem::path Dir;
};

const TCaptureCase CExactCases[] = {
    {"worked example",
     tb1ms,
     0,
     teRisingSlope,
     tmRun,
     64,
     {{vdiv2V, multX1, inAC, 128}, {vdiv10V, multX10, inDC, 100}}},
    {"micro sign, trigger on channel 2",
     tb500us,
     1,
     teFallingSlope,
     tmOnce,
     200,
     {{vdiv20V, multX1, inGND, 0}, {vdiv1V, multX10, inDC, 255}}},
    {"finest exact scales",
     tb1us,
     0,
     teFallingSlope,
     tmNormal,
     3,
     {{vdiv500mV, multX1, inDC, 17}, {vdiv50mV, multX10, inAC, 240}}},
    {"channel 2 off",
     tb1s,
     0,
     teRisingSlope,
     tmRun,
     252,
     {{vdiv4V, multX1, inAC, 90}, {vdivNone, multX10, inDC, 128}}},
};

// The files hold enough for an exact copy at these scales: the same samples,
// settings and readouts, under a decimal point and a decimal comma.
TEST_F(CaptureReaderTest, ExportThenReadGivesTheSameCapture) {
  for (const char Separator : {'.', ','})
    for (const TCaptureCase& C : CExactCases) {
      SCOPED_TRACE(std::string(C.Name) + " with '" + Separator + "'");
      OscSetDecimalSeparator(Separator);
      TTestDevice Original;
      SetUp(Original, C);
      FillSamples(Original);
      Export(Original, "capture");

      TOscCaptureDevice Opened;
      Opened.Open(Path("capture.csv"));
      EXPECT_EQ(Opened.Name(), Path("capture.csv"));
      EXPECT_EQ(Opened.TimeBase(), Original.TimeBase());
      EXPECT_EQ(Opened.Trigger().Channel(), Original.Trigger().Channel());
      EXPECT_EQ(Opened.Trigger().Slope(), Original.Trigger().Slope());
      EXPECT_EQ(Opened.Trigger().Mode(), Original.Trigger().Mode());
      EXPECT_EQ(Opened.Trigger().Level(), Original.Trigger().Level());
      for (int I = 0; I < 2; ++I) {
        SCOPED_TRACE("channel " + std::to_string(I + 1));
        const TOscSignal& A = Original.Signals()[I];
        const TOscSignal& B = Opened.Signals()[I];
        EXPECT_EQ(B.VoltsPerDivision(), A.VoltsPerDivision());
        EXPECT_EQ(B.Multiplier(), A.Multiplier());
        EXPECT_EQ(B.Coupling(), A.Coupling());
        if (A.VoltsPerDivision() != vdivNone) {
          EXPECT_EQ(B.YPosition(), A.YPosition());
          EXPECT_EQ(SamplesOf(B), SamplesOf(A));
          EXPECT_EQ(B.Fill(), A.Fill());
        }
      }
      EXPECT_EQ(Readouts(Opened), Readouts(Original));

      Opened.SaveToFile(Path("again.csv"));
      Opened.SaveParametersToFile(Path("again.json"));
      EXPECT_EQ(ReadFile(Path("again.csv")), ReadFile(Path("capture.csv")));
      EXPECT_EQ(ReadFile(Path("again.json")), ReadFile(Path("capture.json")));
    }
}

// Below 0.02 V per sample step two decimals cannot tell every sample apart;
// what comes back is a capture that exports to the same files, at every
// scale and probe.
TEST_F(CaptureReaderTest, EveryScaleReadsBackToTheSameFiles) {
  for (int V = 0; V < OscOrdinalCount(TOscVoltsPerDivision{}); ++V)
    for (const TOscMultiplier Probe : {multX1, multX10}) {
      const auto Vdiv = static_cast<TOscVoltsPerDivision>(V);
      SCOPED_TRACE(std::to_string(V) + (Probe == multX10 ? " x10" : " x1"));
      TTestDevice Original;
      SetUp(Original, {"",
                       tb2ms,
                       1,
                       teRisingSlope,
                       tmRun,
                       77,
                       {{Vdiv, Probe, inDC, 131}, {Vdiv, Probe, inAC, 77}}});
      FillSamples(Original);
      Export(Original, "capture");
      TOscCaptureDevice Opened;
      Opened.Open(Path("capture.json"));
      Opened.SaveToFile(Path("again.csv"));
      Opened.SaveParametersToFile(Path("again.json"));
      EXPECT_EQ(ReadFile(Path("again.csv")), ReadFile(Path("capture.csv")));
      EXPECT_EQ(ReadFile(Path("again.json")), ReadFile(Path("capture.json")));
    }
}

// Past the filled samples the model holds zeros, and the export writes them:
// a capture exported before it was complete comes back just as far filled,
// so that the view and the over-range test see what they saw.
TEST_F(CaptureReaderTest, IncompleteCaptureKeepsItsFill) {
  TTestDevice Original;
  Original.Signals()[0].SetVoltsPerDivision(vdiv1V);
  FillSamples(Original, 1000);
  Export(Original, "capture");
  TOscCaptureDevice Opened;
  Opened.Open(Path("capture.csv"));
  EXPECT_EQ(Opened.Signals()[0].Fill(), 1000);
  EXPECT_EQ(Opened.Signals()[1].Fill(), 1000);
  EXPECT_EQ(Readouts(Opened), Readouts(Original));
}

// An editor may reflow the parameters and save them as UTF-8, and a program
// may write the samples with bare LF line ends.
TEST_F(CaptureReaderTest, ReadsFilesAsOtherProgramsLeaveThem) {
  TTestDevice Original;
  SetUp(Original, CExactCases[1]);
  FillSamples(Original);
  Export(Original, "capture");
  std::string Json = "\xEF\xBB\xBF" + ReadFile(Path("capture.json"));
  for (std::size_t P = 0; (P = Json.find_first_of(",{", P)) != std::string::npos; P += 3)
    Json.insert(P + 1, "\n ");
  Json.replace(Json.find('\xB5'), 1, "\xC2\xB5");
  WriteFile(Path("capture.json"), Json);
  std::string Csv = ReadFile(Path("capture.csv"));
  Csv.erase(std::remove(Csv.begin(), Csv.end(), '\r'), Csv.end());
  WriteFile(Path("capture.csv"), Csv);

  TOscCaptureDevice Opened;
  Opened.Open(Path("capture.csv"));
  EXPECT_EQ(Opened.TimeBase(), tb500us);
  EXPECT_EQ(Opened.Signals()[1].YPosition(), 255);
  EXPECT_EQ(Readouts(Opened), Readouts(Original));
}

TEST_F(CaptureReaderTest, EitherFileNamesThePair) {
  EXPECT_EQ(OscCaptureParametersFileName("/a/b.c/scope.csv"), "/a/b.c/scope.json");
  EXPECT_EQ(OscCaptureSamplesFileName("/a/b.c/scope.csv"), "/a/b.c/scope.csv");
  EXPECT_EQ(OscCaptureSamplesFileName("/a/scope.JSON"), "/a/scope.csv");
  EXPECT_EQ(OscCaptureParametersFileName("/a/scope.JSON"), "/a/scope.JSON");
  EXPECT_EQ(OscCaptureParametersFileName("/a.d/scope"), "/a.d/scope.json");
  EXPECT_EQ(OscCaptureParametersFileName("/a/.hidden"), "/a/.hidden.json");
}

std::string ReplaceLine(std::string Text, int Line, const std::string& With) {
  std::size_t Start = 0;
  for (int I = 1; I < Line; ++I)
    Start = Text.find('\n', Start) + 1;
  const std::size_t End = Text.find('\n', Start) + 1;
  return Text.replace(Start, End - Start, With);
}

std::string FirstLines(const std::string& Text, int Count) {
  std::size_t End = 0;
  for (int I = 0; I < Count; ++I)
    End = Text.find('\n', End) + 1;
  return Text.substr(0, End);
}

std::string Replace(std::string Text, const std::string& What, const std::string& With) {
  const std::size_t P = Text.find(What);
  EXPECT_NE(P, std::string::npos) << What;
  return P == std::string::npos ? Text : Text.replace(P, What.size(), With);
}

// Each broken pair gives one message naming the file and the line, and the
// device that was to show it keeps what it showed, without a notification.
TEST_F(CaptureReaderTest, BrokenPairsNameFileAndLineAndChangeNothing) {
  TTestDevice Source;
  SetUp(Source, CExactCases[0]);
  FillSamples(Source);
  Export(Source, "good");
  const std::string Csv = ReadFile(Path("good.csv"));
  const std::string Json = ReadFile(Path("good.json"));
  const std::string CsvName = Path("bad.csv");
  const std::string JsonName = Path("bad.json");
  std::string Pretty = Json;
  for (const char* Key : {",\"Trigger\"", ",\"Channels\""})
    Pretty = Replace(Pretty, Key, std::string(",\n ") + (Key + 1));

  struct {
    const char* Name;
    std::string CsvBytes; // empty: no samples file
    std::string JsonBytes;
    std::string Expected; // the message, after the file's name
  } const Cases[] = {
      {"one column", ReplaceLine(Csv, 5, "1.00\r\n"), Json, "\", line 5: 1 value in \"1.00\""},
      {"three columns", ReplaceLine(Csv, 7, "1;2;3\r\n"), Json, "\", line 7: 3 values in"},
      {"not a number", ReplaceLine(Csv, 10, "0.00;1e3\r\n"), Json,
       "\", line 10: \"1e3\" is not a voltage"},
      {"empty value", ReplaceLine(Csv, 11, ";0.00\r\n"), Json,
       "\", line 11: \"\" is not a voltage"},
      {"truncated at a line end", FirstLines(Csv, 2330), Json,
       "\", line 2331: the file ends after 2330 lines"},
      {"cut in the last line", Csv.substr(0, Csv.size() - 2), Json,
       "\", line 4096: the line has no end"},
      {"empty file", std::string(), Json, "\", line 1: the file is empty"},
      {"a line too many", Csv + "0.00;0.00\r\n", Json, "\", line 4097: more lines than the 4096"},
      {"binary junk", ReplaceLine(Csv, 3, std::string(300, '\x01') + "\n"), Json,
       "\", line 3: the line is too long"},
      {"off the sample grid", ReplaceLine(Csv, 9, "0.10;0.00\r\n"), Json,
       "\", line 9: \"0.10\" is not a voltage channel 1 shows at 2V/div; \"" + JsonName +
           "\" does not belong to this capture"},
      {"no scale of the scope", Csv, Replace(Json, "\"2V/div\"", "\"3V/div\""),
       "\", line 1: \"Scale\" is \"3V/div\", not a scale of the scope with probe X1"},
      {"syntax error on line 3", Csv, Replace(Pretty, "\"Probe\":\"X10\"}", "\"Probe\":\"X10\""),
       "\", line 3: \"}\" expected"},
      {"member missing", Csv, Replace(Json, "\"Mode\":\"Auto\",", ""),
       "\", line 1: \"Mode\" is missing"},
      {"one channel", Csv,
       Replace(Json,
               Json.substr(Json.find(",{\"Channel\":2"),
                           Json.size() - 2 - Json.find(",{\"Channel\":2")),
               ""),
       "\", line 1: \"Channels\" holds 1 entry; a capture has 2 channels"},
      {"level without unit", Csv, Replace(Json, "\"5.00V\"", "\"5.00\""),
       "\", line 1: \"Level\" is \"5.00\", not a voltage like \"-2.50V\""},
      {"no such source", Csv, Replace(Json, "\"Source\":1", "\"Source\":3"),
       "\", line 1: \"Source\" is 3, not a whole number from 1 to 2"},
      {"trigger coupling of another channel", Csv,
       Replace(Json, "\"Coupling\":\"AC\",\"Slope\"", "\"Coupling\":\"DC\",\"Slope\""),
       "\", line 1: the trigger's \"Coupling\" is not that of its source, channel 1"},
      {"samples as parameters", Csv, Csv, "\", line 1: text after the end of the JSON value"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    WriteFile(CsvName, C.CsvBytes);
    WriteFile(JsonName, C.JsonBytes);
    // The message names the samples file for its own faults, else the parameters file.
    const bool JsonFault = C.JsonBytes != Json;
    const std::string Expected = "File \"" + (JsonFault ? JsonName : CsvName) + C.Expected;

    TOscCaptureDevice Device;
    Device.Open(Path("good.csv"));
    const TOscCapture Before = OscCaptureOf(Device);
    int Notifications = 0;
    TOscDeviceObserver Observer([&](TOscDevice*, TOscDeviceProperties) { ++Notifications; });
    Device.RegisterObserver(&Observer);
    try {
      Device.Open(CsvName);
      ADD_FAILURE() << "no exception";
    } catch (const EOscError& E) {
      EXPECT_EQ(std::string(E.what()).substr(0, Expected.size()), Expected) << E.what();
    }
    Device.UnregisterObserver(&Observer);
    EXPECT_EQ(Notifications, 0);
    EXPECT_EQ(Device.Name(), Path("good.csv"));
    const TOscCapture After = OscCaptureOf(Device);
    EXPECT_EQ(After.Channels[0].Samples, Before.Channels[0].Samples);
    EXPECT_EQ(After.Channels[1].VoltsPerDivision, Before.Channels[1].VoltsPerDivision);
    EXPECT_EQ(After.TriggerLevel, Before.TriggerLevel);
  }
}

TEST_F(CaptureReaderTest, MissingHalfOfThePairIsNamed) {
  TTestDevice Source;
  Export(Source, "pair");
  std::filesystem::remove(Path("pair.json"));
  try {
    OscReadCapture(Path("pair.csv"));
    ADD_FAILURE() << "no exception";
  } catch (const EOscError& E) {
    EXPECT_EQ(std::string(E.what()),
              "Cannot open file \"" + Path("pair.json") + "\". No such file or directory");
  }
  Export(Source, "pair");
  std::filesystem::remove(Path("pair.csv"));
  try {
    OscReadCapture(Path("pair.json"));
    ADD_FAILURE() << "no exception";
  } catch (const EOscError& E) {
    EXPECT_EQ(std::string(E.what()),
              "Cannot open file \"" + Path("pair.csv") + "\". No such file or directory");
  }
}

} // namespace
