// The translations: complete for every text in the sources, and loaded for
// the user's language together with Qt's own.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

#include <string>
#include <vector>

#include "l10n/Translations.h"

namespace {

QCoreApplication& App() {
  static int Argc = 1;
  static char Name[] = "zelvo-l10n-test";
  static char* Argv[] = {Name, nullptr};
  // Reachable through the static for the whole run, so not a leak.
  static auto* Instance = new QCoreApplication(Argc, Argv);
  return *Instance;
}

QSet<QString> Placeholders(const QString& Text) {
  static const QRegularExpression Placeholder(QStringLiteral("%L?([0-9]{1,2})"));
  QSet<QString> Found;
  for (auto It = Placeholder.globalMatch(Text); It.hasNext();)
    Found.insert(It.next().captured(1));
  return Found;
}

// A single "&" marks a keyboard shortcut; "&&" is a plain ampersand.
bool HasShortcut(QString Text) {
  return Text.remove(QStringLiteral("&&")).contains('&');
}

// What is wrong with one translation of Source, empty when nothing is.
std::string Problem(const QString& Source, const QString& Translation) {
  if (Translation.trimmed().isEmpty())
    return "empty";
  if (Placeholders(Source) != Placeholders(Translation))
    return "its %1, %2 ... differ from the source's";
  if (HasShortcut(Source) != HasShortcut(Translation))
    return "the & of the keyboard shortcut is lost or added";
  if (Source.startsWith('\n') != Translation.startsWith('\n') ||
      Source.endsWith('\n') != Translation.endsWith('\n'))
    return "it starts or ends with a line break where the source does not, or the other way";
  return {};
}

// One line per message of a .ts file that has no finished, sound
// translation: "context | source | problem". Messages lupdate kept although
// they left the sources (vanished, obsolete) do not count.
std::vector<std::string> TsProblems(const QByteArray& Ts) {
  std::vector<std::string> Problems;
  QXmlStreamReader Xml(Ts);
  QString Context, Source, Type;
  QStringList Forms;
  bool Numerus = false;
  const auto Report = [&](const std::string& What) {
    Problems.push_back((Context + " | " + Source).toStdString() + " | " + What);
  };
  while (!Xml.atEnd()) {
    Xml.readNext();
    if (Xml.isStartElement()) {
      const auto Name = Xml.name();
      if (Name == QLatin1String("name")) {
        Context = Xml.readElementText();
      } else if (Name == QLatin1String("message")) {
        Numerus = Xml.attributes().value("numerus") == QLatin1String("yes");
        Source.clear();
        Type.clear();
        Forms.clear();
      } else if (Name == QLatin1String("source")) {
        Source = Xml.readElementText();
      } else if (Name == QLatin1String("translation")) {
        Type = Xml.attributes().value("type").toString();
        if (!Numerus)
          Forms.append(Xml.readElementText());
      } else if (Name == QLatin1String("numerusform")) {
        Forms.append(Xml.readElementText());
      }
    } else if (Xml.isEndElement() && Xml.name() == QLatin1String("message")) {
      if (Type == QLatin1String("vanished") || Type == QLatin1String("obsolete"))
        continue;
      if (Type == QLatin1String("unfinished"))
        Report("unfinished");
      else if (Forms.isEmpty())
        Report("no translation");
      for (const QString& Form : Forms)
        if (const std::string What = Problem(Source, Form); !What.empty() && Type.isEmpty())
          Report(What);
    }
  }
  if (Xml.hasError())
    Problems.push_back("not a readable .ts file: " + Xml.errorString().toStdString());
  return Problems;
}

std::string Joined(const std::vector<std::string>& Lines) {
  std::string Text;
  for (const std::string& Line : Lines)
    Text += "\n  " + Line;
  return Text;
}

TEST(Translations, EveryTextInTheSourcesHasAFinishedTranslation) {
  App();
  const QStringList TsFiles = QStringLiteral(ZELVO_TS_FILES).split(';', Qt::SkipEmptyParts);
  ASSERT_FALSE(TsFiles.isEmpty());
  for (const QString& TsFile : TsFiles) {
    SCOPED_TRACE(TsFile.toStdString());
    // lupdate adds the texts the .ts lacks as unfinished, in a copy.
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString Copy = Dir.filePath(QFileInfo(TsFile).fileName());
    ASSERT_TRUE(QFile::copy(TsFile, Copy));
    QFile::setPermissions(Copy, QFile::ReadOwner | QFile::WriteOwner);
    QProcess Lupdate;
    Lupdate.start(QStringLiteral(ZELVO_LUPDATE),
                  {QStringLiteral("@" ZELVO_LUPDATE_LIST), QStringLiteral("-no-obsolete"),
                   QStringLiteral("-ts"), Copy});
    ASSERT_TRUE(Lupdate.waitForFinished(120000)) << Lupdate.errorString().toStdString();
    ASSERT_EQ(Lupdate.exitCode(), 0) << Lupdate.readAllStandardError().toStdString();
    // Its warnings name texts it could not take (tr() outside a Q_OBJECT
    // class, a text that is not a literal).
    EXPECT_EQ(Lupdate.readAllStandardError().toStdString(), "");

    QFile Updated(Copy);
    ASSERT_TRUE(Updated.open(QIODevice::ReadOnly));
    const std::vector<std::string> Problems = TsProblems(Updated.readAll());
    EXPECT_TRUE(Problems.empty()) << "Translate these in " << TsFile.toStdString()
                                  << " (the update_translations target adds new texts to it):"
                                  << Joined(Problems);
  }
}

TEST(Translations, CheckFindsWhatKeepsATextFromBeingTranslated) {
  const auto Message = [](const char* Source, const char* Translation) {
    return QByteArray("<message><source>") + Source + "</source>" + Translation + "</message>";
  };
  struct TCase {
    QByteArray Message;
    const char* Problem; // nullptr: sound
  } Cases[] = {
      {Message("Port %1: %2", "<translation>Schnittstelle %1: %2</translation>"), nullptr},
      {Message("&amp;Export...", "<translation>&amp;Exportieren...</translation>"), nullptr},
      {Message("Gone", "<translation type=\"vanished\"></translation>"), nullptr},
      {Message("New", "<translation type=\"unfinished\"></translation>"), "unfinished"},
      {Message("Guess", "<translation type=\"unfinished\">Vermutung</translation>"), "unfinished"},
      {Message("Blank", "<translation> </translation>"), "empty"},
      {Message("Port %1: %2", "<translation>Schnittstelle %1</translation>"), "differ"},
      {Message("&amp;Export...", "<translation>Exportieren...</translation>"), "shortcut"},
      {Message("\nExit codes:\n", "<translation>Rückgabewerte:\n</translation>"), "line break"},
      {"<message numerus=\"yes\"><source>%n file(s)</source><translation>"
       "<numerusform>%n Datei</numerusform><numerusform></numerusform></translation></message>",
       "empty"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Message.toStdString());
    const std::vector<std::string> Problems =
        TsProblems("<TS version=\"2.1\" language=\"de\"><context><name>Ctx</name>" + C.Message +
                   "</context></TS>");
    if (C.Problem == nullptr) {
      EXPECT_TRUE(Problems.empty()) << Joined(Problems);
    } else {
      ASSERT_EQ(Problems.size(), 1u) << Joined(Problems);
      EXPECT_NE(Problems[0].find(C.Problem), std::string::npos) << Problems[0];
    }
  }
}

// Drops every translator the loader installed.
void RemoveTranslations() {
  for (QTranslator* T : App().findChildren<QTranslator*>())
    delete T;
}

TEST(Translations, LoadsTheFirstWantedLanguageThatIsEnglishOrShipped) {
  App();
  // A text of ours and one of Qt's command line help.
  const auto Ours = [] { return QCoreApplication::translate("ZelvoSim", "--probe: 1 or 10"); };
  const auto Qts = [] {
    return QCoreApplication::translate("QCommandLineParser", "Displays version information.");
  };
  struct TCase {
    QStringList Languages;
    QString Loaded;
  } Cases[] = {
      {{"de-DE"}, "de"},
      {{"de-AT", "en-US"}, "de"},
      {{"fr-FR", "de-DE"}, "de"},
      {{"C"}, ""},
      {{"en-US", "de-DE"}, ""},
      {{"en-GB"}, ""},
      {{"fr-FR"}, ""},
      {{}, ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Languages.join(' ').toStdString());
    EXPECT_EQ(InstallTranslations(App(), C.Languages), C.Loaded);
    if (C.Loaded.isEmpty()) {
      EXPECT_EQ(Ours(), "--probe: 1 or 10") << "English stays as written";
      EXPECT_EQ(Qts(), "Displays version information.");
    } else {
      EXPECT_EQ(Ours(), "--probe: 1 oder 10");
      EXPECT_EQ(Qts(), "Zeigt Versionsinformation an.") << "Qt's own texts come along";
    }
    RemoveTranslations();
  }
}

} // namespace
