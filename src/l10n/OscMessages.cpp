#include "l10n/OscMessages.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

namespace {

constexpr const char* CContext = "OscMessages";

// Exactly as the model builds them; %n stands for what it inserts.
const char* const CMessages[] = {
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

} // namespace

QString OscTranslatedMessage(const QString& Message) {
  for (const char* Text : CMessages) {
    const QString Source = QString::fromUtf8(Text);
    QList<int> Numbers;
    const QRegularExpressionMatch M = PatternOf(Source, Numbers).match(Message);
    if (!M.hasMatch())
      continue;
    QStringList Parts;
    for (int I = 0; I < Numbers.size(); ++I) {
      while (Parts.size() < Numbers[I])
        Parts.append(QString());
      Parts[Numbers[I] - 1] = M.captured(I + 1);
    }
    return Fill(QCoreApplication::translate(CContext, Text), Parts);
  }
  return Message;
}
