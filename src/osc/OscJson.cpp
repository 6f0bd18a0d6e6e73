#include "osc/OscJson.h"

#include "osc/OscExportFormat.h"

namespace {

constexpr int CMaxDepth = 64;

class TJsonParser {
public:
  explicit TJsonParser(const std::string& AText) : FText(AText) {}

  TOscJsonValue Document() {
    TOscJsonValue Value = ParseValue(0);
    SkipSpace();
    if (FPos < FText.size())
      Fail("text after the end of the JSON value");
    return Value;
  }

private:
  [[noreturn]] void Fail(const std::string& What) const { throw EOscJsonError(FLine, What); }

  void SkipSpace() {
    while (FPos < FText.size()) {
      const char C = FText[FPos];
      if (C == '\n')
        ++FLine;
      else if (C != ' ' && C != '\t' && C != '\r')
        return;
      ++FPos;
    }
  }

  bool Peek(char C) {
    SkipSpace();
    return FPos < FText.size() && FText[FPos] == C;
  }

  void Expect(char C) {
    if (!Peek(C))
      Fail(std::string("\"") + C + "\" expected");
    ++FPos;
  }

  TOscJsonValue ParseValue(int Depth) {
    if (Depth > CMaxDepth)
      Fail("JSON nested too deeply");
    SkipSpace();
    if (FPos >= FText.size())
      Fail("the JSON text ends where a value is expected");
    TOscJsonValue Value;
    Value.Line = FLine;
    const char C = FText[FPos];
    if (C == '{') {
      Value.Kind = TOscJsonValue::jkObject;
      ++FPos;
      if (!Peek('}'))
        do {
          SkipSpace();
          if (FPos >= FText.size() || FText[FPos] != '"')
            Fail("a member name in quotes expected");
          Value.Keys.push_back(ParseString());
          Expect(':');
          Value.Items.push_back(ParseValue(Depth + 1));
        } while (Take(','));
      Expect('}');
    } else if (C == '[') {
      Value.Kind = TOscJsonValue::jkArray;
      ++FPos;
      if (!Peek(']'))
        do
          Value.Items.push_back(ParseValue(Depth + 1));
        while (Take(','));
      Expect(']');
    } else if (C == '"') {
      Value.Kind = TOscJsonValue::jkString;
      Value.Text = ParseString();
    } else if (C == '-' || (C >= '0' && C <= '9')) {
      Value.Kind = TOscJsonValue::jkNumber;
      Value.Text = ParseNumber();
    } else if (TakeWord("true")) {
      Value.Kind = TOscJsonValue::jkBool;
      Value.Text = "true";
    } else if (TakeWord("false")) {
      Value.Kind = TOscJsonValue::jkBool;
      Value.Text = "false";
    } else if (TakeWord("null")) {
      Value.Kind = TOscJsonValue::jkNull;
    } else {
      Fail("not a JSON value");
    }
    return Value;
  }

  bool Take(char C) {
    if (!Peek(C))
      return false;
    ++FPos;
    return true;
  }

  bool TakeWord(const char* Word) {
    const std::string W(Word);
    if (FText.compare(FPos, W.size(), W) != 0)
      return false;
    FPos += W.size();
    return true;
  }

  std::string ParseNumber() {
    const std::size_t Start = FPos;
    auto Digits = [this] {
      const std::size_t From = FPos;
      while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9')
        ++FPos;
      if (FPos == From)
        Fail("a malformed number");
    };
    if (FText[FPos] == '-')
      ++FPos;
    Digits();
    if (FPos < FText.size() && FText[FPos] == '.') {
      ++FPos;
      Digits();
    }
    if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
      ++FPos;
      if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-'))
        ++FPos;
      Digits();
    }
    return FText.substr(Start, FPos - Start);
  }

  unsigned Hex4() {
    if (FPos + 4 > FText.size())
      Fail("a malformed \\u escape");
    unsigned Value = 0;
    for (int I = 0; I < 4; ++I) {
      const char C = FText[FPos++];
      Value <<= 4;
      if (C >= '0' && C <= '9')
        Value |= static_cast<unsigned>(C - '0');
      else if (C >= 'a' && C <= 'f')
        Value |= static_cast<unsigned>(C - 'a' + 10);
      else if (C >= 'A' && C <= 'F')
        Value |= static_cast<unsigned>(C - 'A' + 10);
      else
        Fail("a malformed \\u escape");
    }
    return Value;
  }

  // At the opening quote.
  std::string ParseString() {
    ++FPos;
    std::string S;
    for (;;) {
      if (FPos >= FText.size())
        Fail("a text without its closing quote");
      const char C = FText[FPos++];
      if (C == '"')
        return S;
      if (C == '\n' || C == '\r')
        Fail("a line break inside a text");
      if (C != '\\') {
        S += C;
        continue;
      }
      if (FPos >= FText.size())
        Fail("a text without its closing quote");
      const char E = FText[FPos++];
      switch (E) {
      case '"':
      case '\\':
      case '/':
        S += E;
        break;
      case 'b':
        S += '\b';
        break;
      case 'f':
        S += '\f';
        break;
      case 'n':
        S += '\n';
        break;
      case 'r':
        S += '\r';
        break;
      case 't':
        S += '\t';
        break;
      case 'u': {
        unsigned CodePoint = Hex4();
        if (CodePoint >= 0xD800 && CodePoint < 0xDC00 && FText.compare(FPos, 2, "\\u") == 0) {
          FPos += 2;
          const unsigned Low = Hex4();
          if (Low < 0xDC00 || Low >= 0xE000)
            Fail("a malformed \\u escape");
          CodePoint = 0x10000 + ((CodePoint - 0xD800) << 10) + (Low - 0xDC00);
        } else if (CodePoint >= 0xD800 && CodePoint < 0xE000) {
          Fail("a malformed \\u escape");
        }
        OscAppendUtf8(S, CodePoint);
        break;
      }
      default:
        Fail(std::string("an unknown escape \\") + E);
      }
    }
  }

  const std::string& FText;
  std::size_t FPos = 0;
  int FLine = 1;
};

} // namespace

const TOscJsonValue* TOscJsonValue::Member(const std::string& Key) const {
  if (Kind != jkObject)
    return nullptr;
  for (std::size_t I = 0; I < Keys.size(); ++I)
    if (Keys[I] == Key)
      return &Items[I];
  return nullptr;
}

TOscJsonValue OscParseJson(const std::string& Text) {
  return TJsonParser(Text).Document();
}
