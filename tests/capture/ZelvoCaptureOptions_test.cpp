// zelvo-capture's command line: every setting in the program's own terms, and
// a bad value refused with a message naming its option.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "capture/ZelvoCaptureOptions.h"

namespace {

TZelvoCaptureCommandLine Parse(QStringList Args) {
  Args.prepend("zelvo-capture");
  return ZelvoCaptureParseCommandLine(Args);
}

TEST(ZelvoCaptureOptions, UnsetSettingsStayUnsetAndLinkDefaultsApply) {
  const TZelvoCaptureCommandLine L = Parse({"--host", "127.0.0.1", "--out", "cap"});
  ASSERT_EQ(L.Action, TZelvoCaptureCommandLine::caRun) << L.Error;
  const TZelvoCaptureOptions& O = L.Options;
  EXPECT_EQ(O.Host, "127.0.0.1");
  EXPECT_EQ(O.Port, 2000);
  EXPECT_EQ(O.Serial, "");
  EXPECT_EQ(O.Out, "cap");
  EXPECT_EQ(O.Count, 1);
  EXPECT_EQ(O.TimeoutMs, 10000);
  EXPECT_EQ(O.DecimalSeparator, '.');
  EXPECT_EQ(O.Spectrum, "");
  EXPECT_FALSE(O.TimeBase || O.TriggerChannel || O.TriggerSlope || O.TriggerMode || O.TriggerLevel);
  for (const TZelvoCaptureChannelOptions& C : O.Channel)
    EXPECT_FALSE(C.VoltsPerDivision || C.Coupling || C.Probe || C.Position);
}

struct TGoodCase {
  QStringList Args;
  std::function<bool(const TZelvoCaptureOptions&)> Check;
};

TEST(ZelvoCaptureOptions, ValuesInTheProgramsTermsMapToTheModel) {
  using O = const TZelvoCaptureOptions&;
  const TGoodCase Cases[] = {
      {{"--timebase", "1us"}, [](O o) { return o.TimeBase == tb1us; }},
      {{"--timebase", "500us"}, [](O o) { return o.TimeBase == tb500us; }},
      {{"--timebase", "500µs"}, [](O o) { return o.TimeBase == tb500us; }},
      {{"--timebase", "2ms"}, [](O o) { return o.TimeBase == tb2ms; }},
      {{"--timebase", "1s"}, [](O o) { return o.TimeBase == tb1s; }},
      {{"--ch1-vdiv", "20V"}, [](O o) { return o.Channel[0].VoltsPerDivision == vdiv20V; }},
      {{"--ch2-vdiv", "5mV"}, [](O o) { return o.Channel[1].VoltsPerDivision == vdiv5mV; }},
      {{"--ch2-vdiv", "500mV"}, [](O o) { return o.Channel[1].VoltsPerDivision == vdiv500mV; }},
      {{"--ch1-vdiv", "off"}, [](O o) { return o.Channel[0].VoltsPerDivision == vdivNone; }},
      {{"--ch1-coupling", "gnd"}, [](O o) { return o.Channel[0].Coupling == inGND; }},
      {{"--ch2-coupling", "DC"}, [](O o) { return o.Channel[1].Coupling == inDC; }},
      {{"--ch1-probe", "x10"}, [](O o) { return o.Channel[0].Probe == multX10; }},
      {{"--ch2-probe", "X1"}, [](O o) { return o.Channel[1].Probe == multX1; }},
      {{"--ch1-position", "0"}, [](O o) { return o.Channel[0].Position == 0; }},
      {{"--ch2-position", "255"}, [](O o) { return o.Channel[1].Position == 255; }},
      {{"--trigger-channel", "2"}, [](O o) { return o.TriggerChannel == 1; }},
      {{"--trigger-slope", "falling"}, [](O o) { return o.TriggerSlope == teFallingSlope; }},
      {{"--trigger-mode", "auto"}, [](O o) { return o.TriggerMode == tmRun; }},
      {{"--trigger-mode", "once"}, [](O o) { return o.TriggerMode == tmOnce; }},
      {{"--trigger-mode", "normal"}, [](O o) { return o.TriggerMode == tmNormal; }},
      {{"--trigger-level", "3"}, [](O o) { return o.TriggerLevel == 3; }},
      {{"--trigger-level", "252"}, [](O o) { return o.TriggerLevel == 252; }},
      {{"--count", "3"}, [](O o) { return o.Count == 3; }},
      {{"--timeout", "0.25"}, [](O o) { return o.TimeoutMs == 250; }},
      {{"--locale", "de_DE"}, [](O o) { return o.DecimalSeparator == ','; }},
      {{"--locale", "en_US"}, [](O o) { return o.DecimalSeparator == '.'; }},
      {{"--locale", "C"}, [](O o) { return o.DecimalSeparator == '.'; }},
      {{"--port", "40000"}, [](O o) { return o.Port == 40000; }},
      {{"--spectrum", "s.csv"}, [](O o) { return o.Spectrum == "s.csv" && o.Window == swHann; }},
      {{"--spectrum", "s.csv", "--window", "Flat top"}, [](O o) { return o.Window == swFlatTop; }},
      {{"--spectrum", "s.csv", "--window", "blackman-harris"},
       [](O o) { return o.Window == swBlackmanHarris; }},
      {{"--spectrum", "s.csv", "--window", "RECTANGULAR"},
       [](O o) { return o.Window == swRectangular; }},
  };
  for (const TGoodCase& C : Cases) {
    SCOPED_TRACE(C.Args.join(' ').toStdString());
    const TZelvoCaptureCommandLine L = Parse(QStringList{"--host", "h", "--out", "b"} + C.Args);
    ASSERT_EQ(L.Action, TZelvoCaptureCommandLine::caRun) << L.Error;
    EXPECT_TRUE(C.Check(L.Options));
  }
  const TZelvoCaptureCommandLine Record =
      Parse({"--host", "h", "--record", "run.zrec", "--seconds", "1.5"});
  ASSERT_EQ(Record.Action, TZelvoCaptureCommandLine::caRun) << Record.Error;
  EXPECT_EQ(Record.Options.Record, "run.zrec");
  EXPECT_EQ(Record.Options.RecordMs, 1500);
  EXPECT_EQ(Record.Options.Out, "");
  const TZelvoCaptureCommandLine Serial = Parse({"--serial", "/dev/ttyACM0", "--out", "b"});
  ASSERT_EQ(Serial.Action, TZelvoCaptureCommandLine::caRun) << Serial.Error;
  EXPECT_EQ(Serial.Options.Serial, "/dev/ttyACM0");
  EXPECT_EQ(Serial.Options.Host, "");
}

TEST(ZelvoCaptureOptions, BadCommandLinesAreRefusedNamingTheCause) {
  const QStringList Link{"--host", "h", "--out", "b"};
  const struct {
    QStringList Args;
    const char* Named;
  } Cases[] = {
      {{"--out", "b"}, "--host or --serial"},
      {{"--host", "h", "--serial", "p", "--out", "b"}, "--host or --serial"},
      {{"--host", "h"}, "--out"},
      {Link + QStringList{"--record", "r"}, "either --out BASE or --record FILE"},
      {{"--host", "h", "--record", "r"}, "--record needs --seconds"},
      {{"--host", "h", "--record", "r", "--seconds", "0"}, "--seconds"},
      {{"--host", "h", "--record", "r", "--seconds", "5", "--count", "2"}, "--count needs --out"},
      {Link + QStringList{"--seconds", "5"}, "--seconds needs --record"},
      {{"--serial", "p", "--port", "3", "--out", "b"}, "--port needs --host"},
      {Link + QStringList{"--port", "0"}, "--port"},
      {Link + QStringList{"--port", "65536"}, "--port"},
      {Link + QStringList{"--timebase", "3ms"}, "--timebase"},
      {Link + QStringList{"--timebase", "2MS"}, "--timebase"},
      {Link + QStringList{"--ch1-vdiv", "3V"}, "--ch1-vdiv"},
      {Link + QStringList{"--ch2-vdiv", "500MV"}, "--ch2-vdiv"},
      {Link + QStringList{"--ch1-coupling", "AD"}, "--ch1-coupling"},
      {Link + QStringList{"--ch2-probe", "x100"}, "--ch2-probe"},
      {Link + QStringList{"--ch1-position", "256"}, "--ch1-position"},
      {Link + QStringList{"--ch2-position", "-1"}, "--ch2-position"},
      {Link + QStringList{"--trigger-channel", "3"}, "--trigger-channel"},
      {Link + QStringList{"--trigger-slope", "up"}, "--trigger-slope"},
      {Link + QStringList{"--trigger-mode", "run"}, "--trigger-mode"},
      {Link + QStringList{"--trigger-level", "2"}, "--trigger-level"},
      {Link + QStringList{"--trigger-level", "253"}, "--trigger-level"},
      {Link + QStringList{"--count", "0"}, "--count"},
      {Link + QStringList{"--timeout", "0"}, "--timeout"},
      {Link + QStringList{"--timeout", "soon"}, "--timeout"},
      {Link + QStringList{"--locale", "xx_nowhere"}, "--locale"},
      {Link + QStringList{"--window", "hann"}, "--window needs --spectrum"},
      {Link + QStringList{"--spectrum", "s", "--window", "kaiser"}, "--window"},
      {Link + QStringList{"--spectrum", ""}, "--spectrum"},
      {Link + QStringList{"--colour", "red"}, "colour"},
      {Link + QStringList{"--timebase"}, "timebase"},
      {Link + QStringList{"extra"}, "extra"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Args.join(' ').toStdString());
    const TZelvoCaptureCommandLine L = Parse(C.Args);
    EXPECT_EQ(L.Action, TZelvoCaptureCommandLine::caError);
    EXPECT_NE(L.Error.find(C.Named), std::string::npos) << L.Error;
    EXPECT_EQ(L.Error.find('\n'), std::string::npos) << "one line";
  }
}

TEST(ZelvoCaptureOptions, HelpDocumentsEveryOptionAndExitCode) {
  const TZelvoCaptureCommandLine L = Parse({"--help"});
  EXPECT_EQ(L.Action, TZelvoCaptureCommandLine::caHelp);
  for (const char* Asks : {"-h", "--help-all"})
    EXPECT_EQ(Parse({Asks}).Action, TZelvoCaptureCommandLine::caHelp) << Asks;
  EXPECT_EQ(Parse({"--version"}).Action, TZelvoCaptureCommandLine::caVersion);
  for (const char* Option : {"--host",          "--port",         "--serial",
                             "--out",           "--count",        "--record",
                             "--seconds",       "--timeout",      "--locale",
                             "--spectrum",      "--window",       "--timebase",
                             "--ch1-vdiv",      "--ch2-vdiv",     "--ch1-coupling",
                             "--ch2-coupling",  "--ch1-probe",    "--ch2-probe",
                             "--ch1-position",  "--ch2-position", "--trigger-channel",
                             "--trigger-slope", "--trigger-mode", "--trigger-level",
                             "--version"})
    EXPECT_NE(L.HelpText.find(Option), std::string::npos) << Option;
  // The value lists come from the model's own tables.
  EXPECT_NE(L.HelpText.find("1us, 2us, 5us"), std::string::npos);
  EXPECT_NE(L.HelpText.find("off, 20V, 10V,"), std::string::npos);
  for (const char* Window : {"rectangular,", "hann,", "hamming,", "blackman-harris,", "flat-top"})
    EXPECT_NE(L.HelpText.find(Window), std::string::npos) << Window;
  for (const char* Code : {"  0  ", "  1  ", "  2  ", "  3  ", "  4  ", "  5  ", "  6  "})
    EXPECT_NE(L.HelpText.find(Code), std::string::npos) << "exit code" << Code;
}

} // namespace
