#include "osc/OscCaptureReader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>

#include "osc/OscExportFormat.h"
#include "osc/OscJson.h"
#include "osc/OscScales.h"
#include "osc/OscSignal.h"

namespace {

// A samples line holds two voltages of at most about 15 characters each;
// anything much longer is not a samples file. Reading stops at this size, so
// a large file chosen by mistake costs nothing.
constexpr std::size_t CMaxLineLength = 100;
constexpr std::size_t CMaxSamplesFileSize = CSampleCount * (CMaxLineLength + 2);
constexpr std::size_t CMaxParametersFileSize = 64 * 1024;
// The files round voltages to two decimals: a value read stands for anything
// within half a hundredth of it (plus the doubles' own error).
constexpr double CHalfHundredth = 0.005;

std::string SystemReason(int Error) {
  return Error != 0 ? std::strerror(Error) : "Input/output error";
}

struct TFileCloser {
  void operator()(std::FILE* F) const { std::fclose(F); }
};

// Up to Max + 1 bytes of the file, so that the caller sees that it is longer.
std::string ReadBytes(const std::string& FileName, std::size_t Max) {
  errno = 0;
  std::unique_ptr<std::FILE, TFileCloser> File(std::fopen(FileName.c_str(), "rb"));
  if (!File)
    throw EOscError("Cannot open file \"" + FileName + "\". " + SystemReason(errno));
  std::string Bytes(Max + 1, '\0');
  errno = 0;
  const std::size_t Read = std::fread(Bytes.data(), 1, Bytes.size(), File.get());
  if (std::ferror(File.get()))
    throw EOscError("Cannot read file \"" + FileName + "\". " + SystemReason(errno));
  Bytes.resize(Read);
  return Bytes;
}

[[noreturn]] void Fail(const std::string& FileName, int Line, const std::string& What) {
  throw EOscError("File \"" + FileName + "\", line " + std::to_string(Line) + ": " + What);
}

// A text from the file, fit to be quoted in a message.
std::string Quoted(std::string_view Text) {
  std::string Result = "\"";
  for (std::size_t I = 0; I < Text.size() && I < 32; ++I) {
    const unsigned char C = static_cast<unsigned char>(Text[I]);
    Result += C >= 0x20 && C < 0x7F ? static_cast<char>(C) : '?';
  }
  return Result + (Text.size() > 32 ? "...\"" : "\"");
}

// -?DIGITS([.,]DIGITS)?, either decimal separator.
bool ParseDecimal(std::string_view Text, double& Value) {
  std::size_t I = Text.size() > 0 && Text[0] == '-' ? 1 : 0;
  const std::size_t IntegerStart = I;
  while (I < Text.size() && Text[I] >= '0' && Text[I] <= '9')
    ++I;
  if (I == IntegerStart)
    return false;
  if (I < Text.size() && (Text[I] == '.' || Text[I] == ',')) {
    const std::size_t FractionStart = ++I;
    while (I < Text.size() && Text[I] >= '0' && Text[I] <= '9')
      ++I;
    if (I == FractionStart)
      return false;
  }
  if (I != Text.size())
    return false;
  std::string Plain(Text);
  for (char& C : Plain)
    if (C == ',')
      C = '.';
  // from_chars ignores the C library's locale, which a Qt program has set.
  const auto R = std::from_chars(Plain.data(), Plain.data() + Plain.size(), Value);
  return R.ec == std::errc() && std::isfinite(Value);
}

bool Within(double Exact, double Written) {
  return std::fabs(Exact - Written) <= CHalfHundredth * (1 + 1e-9) + std::fabs(Written) * 1e-12;
}

// ---- The parameters file ------------------------------------------------------

class TParametersReader {
public:
  TParametersReader(std::string AFileName, TOscCapture& ACapture)
      : FFileName(std::move(AFileName)), FCapture(ACapture) {}

  void Read() {
    const std::string Bytes = ReadBytes(FFileName, CMaxParametersFileSize);
    if (Bytes.size() > CMaxParametersFileSize)
      Fail(FFileName, 1, "far too long for the parameters of a capture");
    TOscJsonValue Root;
    try {
      // An editor may have saved the file as UTF-8: its byte order mark goes,
      // and its micro sign reads like the byte 0xB5.
      std::string Text = Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? Bytes.substr(3) : Bytes;
      for (std::size_t P; (P = Text.find("\xC2\xB5")) != std::string::npos;)
        Text.replace(P, 2, "\xB5");
      Root = OscParseJson(OscWindows1252ToUtf8(Text));
    } catch (const EOscJsonError& E) {
      Fail(FFileName, E.Line(), E.what());
    }
    if (Root.Kind != TOscJsonValue::jkObject)
      Fail(FFileName, Root.Line, "not the parameters of a capture (a JSON object is expected)");

    ReadTimeScale(Member(Root, "TimeScale", TOscJsonValue::jkString));
    const TOscJsonValue& Channels = Member(Root, "Channels", TOscJsonValue::jkArray);
    if (Channels.Items.size() != 2)
      Fail(FFileName, Channels.Line,
           "\"Channels\" holds " + std::to_string(Channels.Items.size()) +
               (Channels.Items.size() == 1 ? " entry" : " entries") + "; a capture has 2 channels");
    for (int I = 0; I < 2; ++I)
      ReadChannel(Channels.Items[static_cast<std::size_t>(I)], I);
    ReadTrigger(Member(Root, "Trigger", TOscJsonValue::jkObject));
  }

private:
  const TOscJsonValue& Member(const TOscJsonValue& Object, const char* Key,
                              TOscJsonValue::TKind Kind) const {
    const TOscJsonValue* Value = Object.Member(Key);
    if (Value == nullptr)
      Fail(FFileName, Object.Line, std::string("\"") + Key + "\" is missing");
    if (Value->Kind != Kind) {
      static const char* const CKindNames[] = {"null",   "true or false", "a number",
                                               "a text", "a list",        "an object"};
      Fail(FFileName, Value->Line,
           std::string("\"") + Key + "\" should be " + CKindNames[Kind] + ", not " +
               CKindNames[Value->Kind]);
    }
    return *Value;
  }

  // The ordinal whose text in Names equals the member's text.
  template <std::size_t N>
  int OneOf(const TOscJsonValue& Object, const char* Key, const char* const (&Names)[N]) const {
    const TOscJsonValue& Value = Member(Object, Key, TOscJsonValue::jkString);
    for (std::size_t I = 0; I < N; ++I)
      if (Value.Text == Names[I])
        return static_cast<int>(I);
    std::string Listed;
    for (std::size_t I = 0; I < N; ++I)
      Listed += (I == 0 ? "" : I + 1 == N ? " or " : ", ") + std::string(Names[I]);
    Fail(FFileName, Value.Line,
         std::string("\"") + Key + "\" is " + Quoted(Value.Text) + ", not " + Listed);
  }

  int WholeNumber(const TOscJsonValue& Object, const char* Key, int Min, int Max) const {
    const TOscJsonValue& Value = Member(Object, Key, TOscJsonValue::jkNumber);
    int N = 0;
    const char* End = Value.Text.data() + Value.Text.size();
    const auto R = std::from_chars(Value.Text.data(), End, N);
    if (R.ec != std::errc() || R.ptr != End || N < Min || N > Max)
      Fail(FFileName, Value.Line,
           std::string("\"") + Key + "\" is " + Value.Text + ", not a whole number from " +
               std::to_string(Min) + " to " + std::to_string(Max));
    return N;
  }

  void ReadTimeScale(const TOscJsonValue& Value) {
    std::string Text = Value.Text;
    // "us" for the micro sign, as scripts write it.
    const std::size_t Us = Text.find("us/");
    if (Us != std::string::npos)
      Text.replace(Us, 1, "\xC2\xB5");
    for (int T = 0; T < OscOrdinalCount(TOscTimeBase{}); ++T)
      if (Text == OscTimeScaleStr(static_cast<TOscTimeBase>(T))) {
        FCapture.TimeBase = static_cast<TOscTimeBase>(T);
        return;
      }
    Fail(FFileName, Value.Line,
         "\"TimeScale\" is " + Quoted(Value.Text) + ", not a time base of the scope");
  }

  void ReadChannel(const TOscJsonValue& Object, int Idx) {
    if (Object.Kind != TOscJsonValue::jkObject)
      Fail(FFileName, Object.Line, "channel " + std::to_string(Idx + 1) + " is not an object");
    if (WholeNumber(Object, "Channel", 1, 2) != Idx + 1)
      Fail(FFileName, Object.Member("Channel")->Line,
           "the channels are listed out of order (channel 1, then channel 2)");
    TOscChannelCapture& Channel = FCapture.Channels[static_cast<std::size_t>(Idx)];
    const bool On = OneOf(Object, "State", COscStateStr) == 1;
    Channel.Multiplier = static_cast<TOscMultiplier>(OneOf(Object, "Probe", COscProbeStr));
    Channel.Coupling = static_cast<TOscInputCoupling>(OneOf(Object, "Coupling", COscCouplingStr));

    const TOscJsonValue& Scale = Member(Object, "Scale", TOscJsonValue::jkString);
    bool Found = false;
    for (int V = 0; V < OscOrdinalCount(TOscVoltsPerDivision{}) && !Found; ++V)
      if (Scale.Text == OscScaleStr(static_cast<TOscVoltsPerDivision>(V), Channel.Multiplier)) {
        Channel.VoltsPerDivision = static_cast<TOscVoltsPerDivision>(V);
        Found = true;
      }
    if (!Found)
      Fail(FFileName, Scale.Line,
           "\"Scale\" is " + Quoted(Scale.Text) + ", not a scale of the scope with probe " +
               COscProbeStr[Channel.Multiplier]);
    if (On != (Channel.VoltsPerDivision != vdivNone))
      Fail(FFileName, Scale.Line,
           "channel " + std::to_string(Idx + 1) + " is " + (On ? "on" : "off") +
               " with the scale " + Quoted(Scale.Text));

    const TOscJsonValue& Level = Member(Object, "Level", TOscJsonValue::jkString);
    Channel.YPosition = Position(Level, Channel.VoltsPerDivision, Channel.Multiplier,
                                 std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                                 "a zero line of channel " + std::to_string(Idx + 1));
  }

  void ReadTrigger(const TOscJsonValue& Object) {
    FCapture.TriggerChannel = WholeNumber(Object, "Source", 1, 2) - 1;
    FCapture.TriggerSlope = static_cast<TOscTriggerSlope>(OneOf(Object, "Slope", COscSlopeStr));
    FCapture.TriggerMode = static_cast<TOscTriggerMode>(OneOf(Object, "Mode", COscModeStr));
    const TOscChannelCapture& Source =
        FCapture.Channels[static_cast<std::size_t>(FCapture.TriggerChannel)];
    // Written from the source channel; another value means another capture.
    if (OneOf(Object, "Coupling", COscCouplingStr) != Source.Coupling)
      Fail(FFileName, Object.Member("Coupling")->Line,
           "the trigger's \"Coupling\" is not that of its source, channel " +
               std::to_string(FCapture.TriggerChannel + 1));
    // Within the trigger's own limits, which every level the model takes keeps to.
    const TOscTrigger Limits(nullptr);
    FCapture.TriggerLevel =
        Position(Member(Object, "Level", TOscJsonValue::jkString), Source.VoltsPerDivision,
                 Source.Multiplier, Limits.MinLevel(), Limits.MaxLevel(), "a trigger level");
  }

  // The position P in Min..Max whose "Level" text is the member's: the one
  // nearest to the exact inverse where the text's two decimals allow several.
  int Position(const TOscJsonValue& Value, TOscVoltsPerDivision VoltsPerDivision,
               TOscMultiplier Multiplier, int Min, int Max, const std::string& What) const {
    double Volts = 0;
    const std::string& Text = Value.Text;
    if (Text.empty() || Text.back() != 'V' ||
        !ParseDecimal(std::string_view(Text).substr(0, Text.size() - 1), Volts))
      Fail(FFileName, Value.Line,
           "\"Level\" is " + Quoted(Text) + ", not a voltage like \"-2.50V\"");
    // Switched off, every position reads 0 V: the default one stands in.
    if (VoltsPerDivision == vdivNone) {
      if (!Within(0, Volts))
        Fail(FFileName, Value.Line,
             "\"Level\" is " + Quoted(Text) + " on a channel that is switched off");
      return std::clamp(128, Min, Max);
    }
    const double VoltsPerStep = OscLevelVolts(127, VoltsPerDivision, Multiplier);
    const double Exact = 128 - Volts / VoltsPerStep;
    const double Spread = CHalfHundredth / VoltsPerStep + 1;
    const double From = std::max<double>(Min, std::floor(Exact - Spread));
    const double To = std::min<double>(Max, std::ceil(Exact + Spread));
    std::int64_t Best = 0;
    bool Found = false;
    for (double P = From; P <= To; ++P) {
      const auto Candidate = static_cast<std::int64_t>(P);
      if (Within(OscLevelVolts(Candidate, VoltsPerDivision, Multiplier), Volts) &&
          (!Found || std::fabs(P - Exact) < std::fabs(static_cast<double>(Best) - Exact))) {
        Best = Candidate;
        Found = true;
      }
    }
    if (!Found)
      Fail(FFileName, Value.Line,
           "\"Level\" is " + Quoted(Text) + ", not " + What + " at " +
               OscScaleStr(VoltsPerDivision, Multiplier));
    return static_cast<int>(Best);
  }

  std::string FFileName;
  TOscCapture& FCapture;
};

// ---- The samples file ---------------------------------------------------------

class TSamplesReader {
public:
  TSamplesReader(std::string AFileName, std::string AParametersFileName, TOscCapture& ACapture)
      : FFileName(std::move(AFileName)), FParametersFileName(std::move(AParametersFileName)),
        FCapture(ACapture) {
    for (int C = 0; C < 2; ++C) {
      const TOscChannelCapture& Channel = FCapture.Channels[static_cast<std::size_t>(C)];
      FScale[C] = std::make_unique<TOscSignal>(nullptr, 0);
      FScale[C]->SetVoltsPerDivision(Channel.VoltsPerDivision);
      FScale[C]->SetMultiplier(Channel.Multiplier);
    }
  }

  void Read() {
    const std::string Bytes = ReadBytes(FFileName, CMaxSamplesFileSize);
    std::size_t Pos = 0;
    int Line = 1;
    for (; Line <= CSampleCount; ++Line) {
      if (Pos == Bytes.size())
        Fail(FFileName, Line,
             Line == 1
                 ? "the file is empty; a capture has " + std::to_string(CSampleCount) + " lines"
                 : "the file ends after " + std::to_string(Line - 1) + " lines; a capture has " +
                       std::to_string(CSampleCount));
      const std::size_t End = Bytes.find('\n', Pos);
      std::size_t Length = (End == std::string::npos ? Bytes.size() : End) - Pos;
      if (Length > CMaxLineLength)
        Fail(FFileName, Line, "the line is too long for two voltages");
      if (End == std::string::npos)
        Fail(FFileName, Line, "the line has no end; the file is cut short");
      if (Length > 0 && Bytes[Pos + Length - 1] == '\r')
        --Length;
      ReadLine(std::string_view(Bytes).substr(Pos, Length), Line);
      Pos = End + 1;
    }
    if (Pos < Bytes.size())
      Fail(FFileName, Line,
           "more lines than the " + std::to_string(CSampleCount) + " of a capture");

    // The model holds 0 past the filled samples and the export writes those
    // too; a capture that was not complete yet ends in zeros on both channels.
    int Fill = CSampleCount;
    while (Fill > 0 && FCapture.Channels[0].Samples[static_cast<std::size_t>(Fill - 1)] == 0 &&
           FCapture.Channels[1].Samples[static_cast<std::size_t>(Fill - 1)] == 0)
      --Fill;
    for (TOscChannelCapture& Channel : FCapture.Channels)
      Channel.Fill = Fill;
  }

private:
  void ReadLine(std::string_view Text, int Line) {
    const std::size_t Separator = Text.find(';');
    const std::size_t Columns =
        Separator == std::string_view::npos
            ? 1
            : 2 + std::count(Text.begin() + static_cast<std::ptrdiff_t>(Separator) + 1, Text.end(),
                             ';');
    if (Columns != 2)
      Fail(FFileName, Line,
           std::to_string(Columns) + (Columns == 1 ? " value" : " values") + " in " + Quoted(Text) +
               "; a line holds two voltages separated by \";\"");
    const std::string_view Values[2] = {Text.substr(0, Separator), Text.substr(Separator + 1)};
    for (int C = 0; C < 2; ++C) {
      double Volts = 0;
      if (!ParseDecimal(Values[C], Volts))
        Fail(FFileName, Line, Quoted(Values[C]) + " is not a voltage");
      FCapture.Channels[static_cast<std::size_t>(C)].Samples[static_cast<std::size_t>(Line - 1)] =
          Sample(C, Volts, Values[C], Line);
    }
  }

  // The sample whose voltage the file rounded to Volts: the one nearest to
  // the exact inverse where the two decimals allow several.
  TOscSample Sample(int C, double Volts, std::string_view Text, int Line) const {
    const TOscChannelCapture& Channel = FCapture.Channels[static_cast<std::size_t>(C)];
    const TOscSignal& Scale = *FScale[C];
    const double Step = Scale.VoltsPerSample();
    if (Step == 0) {
      if (Within(0, Volts))
        return 0;
      Fail(FFileName, Line,
           "channel " + std::to_string(C + 1) + " is switched off but reads " + Quoted(Text) +
               "; \"" + FParametersFileName + "\" does not belong to this capture");
    }
    const double Exact = Volts / Step;
    const double Nearest = std::round(Exact);
    for (const double Steps : {Nearest, Nearest - 1, Nearest + 1}) {
      // The same arithmetic as the export: (YPosition - sample) volts per step.
      const double Sample = Channel.YPosition - Steps;
      if (Within(Scale.Voltage(Steps), Volts) && Sample >= std::numeric_limits<TOscSample>::min() &&
          Sample <= std::numeric_limits<TOscSample>::max())
        return static_cast<TOscSample>(Sample);
    }
    Fail(FFileName, Line,
         Quoted(Text) + " is not a voltage channel " + std::to_string(C + 1) + " shows at " +
             OscScaleStr(Channel.VoltsPerDivision, Channel.Multiplier) + "; \"" +
             FParametersFileName + "\" does not belong to this capture");
  }

  std::string FFileName;
  std::string FParametersFileName;
  TOscCapture& FCapture;
  std::unique_ptr<TOscSignal> FScale[2];
};

// The file name without its last extension, and whether that was ".json".
std::string BaseName(const std::string& FileName, bool& Json) {
  const std::size_t Slash = FileName.find_last_of('/');
  const std::size_t Dot = FileName.find_last_of('.');
  Json = false;
  if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash) ||
      Dot == (Slash == std::string::npos ? 0 : Slash + 1))
    return FileName;
  std::string Extension = FileName.substr(Dot);
  for (char& C : Extension)
    C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  Json = Extension == ".json";
  return FileName.substr(0, Dot);
}

} // namespace

std::string OscCaptureSamplesFileName(const std::string& FileName) {
  bool Json = false;
  const std::string Base = BaseName(FileName, Json);
  return Json ? Base + ".csv" : FileName;
}

std::string OscCaptureParametersFileName(const std::string& FileName) {
  bool Json = false;
  const std::string Base = BaseName(FileName, Json);
  return Json ? FileName : Base + ".json";
}

TOscCapture OscReadCapture(const std::string& FileName) {
  const std::string SamplesFile = OscCaptureSamplesFileName(FileName);
  const std::string ParametersFile = OscCaptureParametersFileName(FileName);
  TOscCapture Capture;
  // The parameters first: they give the scales the samples are read with.
  TParametersReader(ParametersFile, Capture).Read();
  TSamplesReader(SamplesFile, ParametersFile, Capture).Read();
  return Capture;
}
