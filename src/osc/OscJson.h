#pragma once

// A small reader of JSON text, enough for the parameters file of a capture
// and tolerant of what an editor may do to it (spaces, line breaks, another
// member order). Every value knows the line it starts on, so that errors can
// name it.

#include <string>
#include <vector>

#include "osc/OscTypes.h"

struct TOscJsonValue {
  enum TKind : std::uint8_t { jkNull, jkBool, jkNumber, jkString, jkArray, jkObject };

  TKind Kind = jkNull;
  // A string's contents (UTF-8, escapes resolved), a number's text as
  // written, or "true"/"false".
  std::string Text;
  // An array's elements, or an object's member values in file order.
  std::vector<TOscJsonValue> Items;
  // An object's member names, parallel to Items.
  std::vector<std::string> Keys;
  int Line = 1;

  // The first member of that name, or null when there is none (or this is
  // not an object).
  const TOscJsonValue* Member(const std::string& Key) const;
};

// A syntax error at a line of the text.
class EOscJsonError : public EOscError {
public:
  EOscJsonError(int ALine, const std::string& What) : EOscError(What), FLine(ALine) {}
  int Line() const { return FLine; }

private:
  int FLine;
};

// One value and nothing but white space after it. Nesting deeper than 64
// levels is refused: no capture needs it, and the reader recurses.
TOscJsonValue OscParseJson(const std::string& Text);
