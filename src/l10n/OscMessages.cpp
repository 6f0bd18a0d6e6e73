#include "l10n/OscMessages.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <optional>

namespace {

constexpr const char* CContext = "OscMessages";

// A listed text, and which of its parts the model fills with a detail that is
// listed in turn (bit n for %n).
struct TListed {
  constexpr TListed(const char* AText, unsigned ANested = 0) : Text(AText), Nested(ANested) {}
  const char* Text;
  unsigned Nested;
};

constexpr unsigned Part(int N) {
  return 1u << N;
}

// Exactly as the model builds them; %n stands for what it inserts.
const TListed CMessages[] = {
    QT_TRANSLATE_NOOP("OscMessages", "Index out of range"),
    QT_TRANSLATE_NOOP("OscMessages", "Argument cannot be null"),
    QT_TRANSLATE_NOOP("OscMessages", "Buffer size must be >= 0"),
    QT_TRANSLATE_NOOP("OscMessages", "Invalid buffer capacity"),
    QT_TRANSLATE_NOOP("OscMessages", "Not enough space: %1 available, %2 needed."),
    QT_TRANSLATE_NOOP("OscMessages", "Invalid packet size"),
    QT_TRANSLATE_NOOP("OscMessages", "Invalid format \"%1\""),
    QT_TRANSLATE_NOOP("OscMessages", "Cannot create file \"%1\". %2"),
    QT_TRANSLATE_NOOP("OscMessages", "Cannot write file \"%1\". %2"),
    QT_TRANSLATE_NOOP("OscMessages", "Cannot write the samples"),
    QT_TRANSLATE_NOOP("OscMessages", "Invalid signal"),
    QT_TRANSLATE_NOOP("OscMessages", "Can't change value while socket is active"),
    QT_TRANSLATE_NOOP("OscMessages", "Invalid IPv4 address: %1"),
    QT_TRANSLATE_NOOP("OscMessages", "Invalid port: %1"),
    QT_TRANSLATE_NOOP("OscMessages", "Port %1 does not exist."),
    QT_TRANSLATE_NOOP("OscMessages", "Port %1 is in use by another program or access is denied."),
    QT_TRANSLATE_NOOP("OscMessages", "Cannot open port %1: %2"),
    QT_TRANSLATE_NOOP("OscMessages", "Cannot open file \"%1\". %2"),
    QT_TRANSLATE_NOOP("OscMessages", "Cannot read file \"%1\". %2"),
    {QT_TRANSLATE_NOOP("OscMessages", "File \"%1\", line %2: %3"), Part(3)},
    QT_TRANSLATE_NOOP("OscMessages", "File \"%1\" is not a Zelvo recording"),
    QT_TRANSLATE_NOOP("OscMessages",
                      "File \"%1\" is a recording of format version %2; this program reads "
                      "version %3"),
    QT_TRANSLATE_NOOP("OscMessages", "Can't change the recording while it plays"),
};

// What a capture file's reader says is wrong with a line, and the words it
// puts into that. The first that matches a whole part is taken: the specific
// texts stand before the general ones.
const TListed CDetails[] = {
    QT_TRANSLATE_NOOP("OscMessages", "far too long for the parameters of a capture"),
    QT_TRANSLATE_NOOP("OscMessages", "not the parameters of a capture (a JSON object is expected)"),
    QT_TRANSLATE_NOOP("OscMessages", "\"Channels\" holds %1 entry; a capture has 2 channels"),
    QT_TRANSLATE_NOOP("OscMessages", "\"Channels\" holds %1 entries; a capture has 2 channels"),
    QT_TRANSLATE_NOOP("OscMessages", "\"%1\" is missing"),
    {QT_TRANSLATE_NOOP("OscMessages", "\"%1\" should be %2, not %3"), Part(2) | Part(3)},
    QT_TRANSLATE_NOOP("OscMessages", "\"TimeScale\" is %1, not a time base of the scope"),
    QT_TRANSLATE_NOOP("OscMessages", "\"Scale\" is %1, not a scale of the scope with probe %2"),
    QT_TRANSLATE_NOOP("OscMessages", "\"Level\" is %1, not a voltage like \"-2.50V\""),
    QT_TRANSLATE_NOOP("OscMessages", "\"Level\" is %1 on a channel that is switched off"),
    {QT_TRANSLATE_NOOP("OscMessages", "\"Level\" is %1, not %2 at %3"), Part(2)},
    QT_TRANSLATE_NOOP("OscMessages", "\"%1\" is %2, not a whole number from %3 to %4"),
    {QT_TRANSLATE_NOOP("OscMessages", "\"%1\" is %2, not %3"), Part(3)},
    QT_TRANSLATE_NOOP("OscMessages", "channel %1 is not an object"),
    QT_TRANSLATE_NOOP("OscMessages",
                      "the channels are listed out of order (channel 1, then channel 2)"),
    QT_TRANSLATE_NOOP("OscMessages", "channel %1 is on with the scale %2"),
    QT_TRANSLATE_NOOP("OscMessages", "channel %1 is off with the scale %2"),
    QT_TRANSLATE_NOOP("OscMessages",
                      "the trigger's \"Coupling\" is not that of its source, channel %1"),
    QT_TRANSLATE_NOOP("OscMessages", "a zero line of channel %1"),
    QT_TRANSLATE_NOOP("OscMessages", "a trigger level"),
    QT_TRANSLATE_NOOP("OscMessages", "the file is empty; a capture has %1 lines"),
    QT_TRANSLATE_NOOP("OscMessages", "the file ends after %1 lines; a capture has %2"),
    QT_TRANSLATE_NOOP("OscMessages", "the line is too long for two voltages"),
    QT_TRANSLATE_NOOP("OscMessages", "the line has no end; the file is cut short"),
    QT_TRANSLATE_NOOP("OscMessages", "more lines than the %1 of a capture"),
    QT_TRANSLATE_NOOP("OscMessages",
                      "%1 value in %2; a line holds two voltages separated by \";\""),
    QT_TRANSLATE_NOOP("OscMessages",
                      "%1 values in %2; a line holds two voltages separated by \";\""),
    QT_TRANSLATE_NOOP("OscMessages",
                      "channel %1 is switched off but reads %2; \"%3\" does not belong to this "
                      "capture"),
    QT_TRANSLATE_NOOP("OscMessages",
                      "%1 is not a voltage channel %2 shows at %3; \"%4\" does not belong to "
                      "this capture"),
    QT_TRANSLATE_NOOP("OscMessages", "%1 is not a voltage"),
    // The JSON parser's.
    QT_TRANSLATE_NOOP("OscMessages", "text after the end of the JSON value"),
    QT_TRANSLATE_NOOP("OscMessages", "\"%1\" expected"),
    QT_TRANSLATE_NOOP("OscMessages", "JSON nested too deeply"),
    QT_TRANSLATE_NOOP("OscMessages", "the JSON text ends where a value is expected"),
    QT_TRANSLATE_NOOP("OscMessages", "a member name in quotes expected"),
    QT_TRANSLATE_NOOP("OscMessages", "not a JSON value"),
    QT_TRANSLATE_NOOP("OscMessages", "a malformed number"),
    QT_TRANSLATE_NOOP("OscMessages", "a malformed \\u escape"),
    QT_TRANSLATE_NOOP("OscMessages", "a text without its closing quote"),
    QT_TRANSLATE_NOOP("OscMessages", "a line break inside a text"),
    QT_TRANSLATE_NOOP("OscMessages", "an unknown escape \\%1"),
    // The kinds of JSON values, and the last joint of a list of names.
    QT_TRANSLATE_NOOP("OscMessages", "null"),
    QT_TRANSLATE_NOOP("OscMessages", "true or false"),
    QT_TRANSLATE_NOOP("OscMessages", "a number"),
    QT_TRANSLATE_NOOP("OscMessages", "a text"),
    QT_TRANSLATE_NOOP("OscMessages", "a list"),
    QT_TRANSLATE_NOOP("OscMessages", "an object"),
    QT_TRANSLATE_NOOP("OscMessages", "%1 or %2"),
};

const QRegularExpression CPlaceholder(QStringLiteral("%([1-9])"));

// A listed text as a pattern of the whole message: its %n become groups, in
// the order they stand; Numbers receives their n.
QRegularExpression PatternOf(const QString& Text, QList<int>& Numbers) {
  QString Pattern = QStringLiteral("\\A");
  qsizetype From = 0;
  for (QRegularExpressionMatchIterator It = CPlaceholder.globalMatch(Text); It.hasNext();) {
    const QRegularExpressionMatch M = It.next();
    Pattern += QRegularExpression::escape(Text.mid(From, M.capturedStart() - From));
    Pattern += QStringLiteral("(.*)");
    Numbers.append(M.captured(1).toInt());
    From = M.capturedEnd();
  }
  Pattern += QRegularExpression::escape(Text.mid(From)) + QStringLiteral("\\z");
  return QRegularExpression(Pattern, QRegularExpression::DotMatchesEverythingOption);
}

// Puts the inserted parts in place of the translation's %n in one pass, so
// that a file name holding "%2" stays as it is.
QString Fill(const QString& Translation, const QStringList& Parts) {
  QString Result;
  qsizetype From = 0;
  for (QRegularExpressionMatchIterator It = CPlaceholder.globalMatch(Translation); It.hasNext();) {
    const QRegularExpressionMatch M = It.next();
    const int N = M.captured(1).toInt();
    Result += Translation.mid(From, M.capturedStart() - From);
    Result += N <= Parts.size() ? Parts[N - 1] : M.captured();
    From = M.capturedEnd();
  }
  return Result + Translation.mid(From);
}

// Message translated by the first entry of Table that matches it whole, its
// detail parts translated in turn; nothing when none matches.
template <std::size_t N>
std::optional<QString> Translated(const TListed (&Table)[N], const QString& Message) {
  for (const TListed& Entry : Table) {
    const QString Source = QString::fromUtf8(Entry.Text);
    QList<int> Numbers;
    const QRegularExpressionMatch M = PatternOf(Source, Numbers).match(Message);
    if (!M.hasMatch())
      continue;
    QStringList Parts;
    for (int I = 0; I < Numbers.size(); ++I) {
      while (Parts.size() < Numbers[I])
        Parts.append(QString());
      QString Inserted = M.captured(I + 1);
      if ((Entry.Nested & Part(Numbers[I])) != 0)
        Inserted = Translated(CDetails, Inserted).value_or(Inserted);
      Parts[Numbers[I] - 1] = Inserted;
    }
    return Fill(QCoreApplication::translate(CContext, Entry.Text), Parts);
  }
  return std::nullopt;
}

} // namespace

QString OscTranslatedMessage(const QString& Message) {
  return Translated(CMessages, Message).value_or(Message);
}
