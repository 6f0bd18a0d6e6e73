// The window in the user's language: with German wanted, the menus, every
// dialog and the messages (the model's among them) are German, Qt's own
// buttons too, and each shortcut letter is used once per menu and dialog; in
// the C locale nothing is loaded and every text stays English. The real
// program takes the language from the environment.

#include "AppTestSupport.h"

#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QTranslator>

#include "app/FixedDialog.h"
#include "app/WifiDialog.h"
#include "l10n/Translations.h"
#include "link/Zelvo.h"

namespace {

struct TLanguageCase {
  const char* Name;
  QStringList Languages; // most wanted first, as the desktop lists them
  QString Loaded;
  QStringList MenuBar;
  QStringList HelpMenu;
  QStringList DialogTitles; // sorted
  QStringList UsbWithoutPorts;
  QString Calibration;
  QString CalibrationCancel; // Qt's own button
  QString ExportFailure;     // %1 the file; followed by the system's reason
};

const TLanguageCase CLanguages[] = {
    {"German",
     {"de-DE"},
     "de",
     {"&Datei", "&Bearbeiten", "&Ansicht", "&Werkzeuge", "&Hilfe"},
     {"&Inhalt...", "-", "Ü&ber..."},
     {"Einstellungen", "Kalibrierung läuft...", "USB-Verbindung", "WLAN-Konfiguration",
      "WLAN-Verbindung", "Warnung", "Über"},
     {"USB-Verbindung", "Fehler: Es wurden keine Geräte gefunden"},
     "Warnung: Bitte vor dem Kalibrieren alle Tastköpfe abziehen.",
     "Abbrechen",
     "Fehler: Speichern fehlgeschlagen: Die Datei „%1“ kann nicht angelegt "
     "werden. "},
    {"C locale",
     {"C"},
     "",
     {"&File", "&Edit", "&View", "&Tools", "&Help"},
     {"&Index...", "-", "&About..."},
     {"About", "Calibration in progress...", "ConfigDialog", "USB Connection", "Warning",
      "WiFi Connection", "Wifi Configuration"},
     {"USB Connection", "Error: No devices could be found"},
     "Warning: Please make sure all probes are disconnected prior to calibration.",
     "Cancel",
     "Error: Failed to save to file: Cannot create file \"%1\". "},
};

void PrintTo(const TLanguageCase& C, std::ostream* Out) {
  *Out << C.Name;
}

// Lists compare as one line, which also reads well in a failure.
std::string Line(const QStringList& Texts) {
  return Texts.join(" | ").toStdString();
}

QStringList Captions(const QMenu* Menu) {
  QStringList L;
  for (const QAction* A : Menu->actions())
    if (A->isVisible())
      L << (A->isSeparator() ? "-" : A->text());
  return L;
}

// The texts of Texts whose shortcut letter (after a single "&") another one
// uses too, grouped as "a: &Abbrechen / &Allgemein".
QStringList RepeatedShortcuts(const QStringList& Texts) {
  QMap<QChar, QStringList> ByLetter;
  for (const QString& Text : Texts) {
    const QString Plain = QString(Text).replace("&&", "");
    const qsizetype At = Plain.indexOf('&');
    if (At >= 0 && At + 1 < Plain.size())
      ByLetter[Plain[At + 1].toLower()] << Text;
  }
  QStringList Repeated;
  for (auto It = ByLetter.cbegin(); It != ByLetter.cend(); ++It)
    if (It.value().size() > 1)
      Repeated << QString(It.key()) + ": " + It.value().join(" / ");
  return Repeated;
}

// Every text of a dialog that may carry a shortcut.
QStringList ShortcutTexts(const QWidget* Dialog) {
  QStringList Texts;
  for (const QAbstractButton* B : Dialog->findChildren<QAbstractButton*>())
    Texts << B->text();
  for (const QGroupBox* G : Dialog->findChildren<QGroupBox*>())
    Texts << G->title();
  for (const QLabel* L : Dialog->findChildren<QLabel*>())
    if (L->buddy() != nullptr)
      Texts << L->text();
  for (const QTabBar* Tabs : Dialog->findChildren<QTabBar*>())
    for (int I = 0; I < Tabs->count(); ++I)
      Texts << Tabs->tabText(I);
  return Texts;
}

class LanguageTest : public AppTest, public testing::WithParamInterface<TLanguageCase> {
protected:
  void BeforeWindows() override { Loaded = InstallTranslations(TestApp(), GetParam().Languages); }
  void TearDown() override {
    AppTest::TearDown();
    for (QTranslator* T : TestApp().findChildren<QTranslator*>())
      delete T;
  }

  QString Loaded;
};

TEST_P(LanguageTest, MenusShowTheLanguageWithOneShortcutLetterEach) {
  const TLanguageCase& C = GetParam();
  EXPECT_EQ(Loaded, C.Loaded);
  QStringList Bar;
  std::vector<const QMenu*> Menus{Main().SideBar().btnConnect()->menu()};
  for (const QAction* A : Main().menuBar()->actions()) {
    Bar << A->text();
    Menus.push_back(A->menu());
    // File > Connect, View > Spectrum window and View > Math.
    for (const QAction* Item : A->menu()->actions())
      if (Item->menu() != nullptr)
        Menus.push_back(Item->menu());
  }
  EXPECT_EQ(Line(Bar), Line(C.MenuBar));
  EXPECT_EQ(Line(Captions(Main().menuBar()->actions().last()->menu())), Line(C.HelpMenu));
  EXPECT_EQ(Line(RepeatedShortcuts(Bar)), "");
  for (const QMenu* M : Menus)
    EXPECT_EQ(Line(RepeatedShortcuts(Captions(M))), "") << Line(Captions(M));
}

TEST_P(LanguageTest, EveryDialogShowsTheLanguageWithOneShortcutLetterEach) {
  const TLanguageCase& C = GetParam();
  TWifiDialog Wifi(&Main());
  QStringList Titles;
  for (const TFixedDialog* D : Main().findChildren<TFixedDialog*>()) {
    Titles << D->windowTitle();
    EXPECT_EQ(Line(RepeatedShortcuts(ShortcutTexts(D))), "") << D->windowTitle().toStdString();
  }
  Titles.sort();
  EXPECT_EQ(Line(Titles), Line(C.DialogTitles));
}

TEST_P(LanguageTest, MessagesShowTheLanguage) {
  const TLanguageCase& C = GetParam();
  // The USB dialog refuses OK without a port.
  QStringList Seen;
  TModalScript Usb;
  Usb.Then([&](QWidget* Dialog) {
       Seen << Dialog->windowTitle();
       Dialog->findChild<QPushButton*>("btnOK")->click();
       static_cast<QDialog*>(Dialog)->reject();
     })
      .Then(RecordAndClose(Seen));
  Main().actConnectUsb->trigger();
  EXPECT_EQ(Line(Seen), Line(C.UsbWithoutPorts));

  // Our text with Qt's own buttons; Cancel sends nothing.
  QString Calibration, Cancel;
  TModalScript Warning;
  Warning.Then([&](QWidget* Modal) {
    auto* Box = qobject_cast<QMessageBox*>(Modal);
    ASSERT_NE(Box, nullptr);
    Calibration = ModalText(Box);
    Cancel = Box->button(QMessageBox::Cancel)->text();
    CloseModal(Box, false);
  });
  Main().actCalibrate->trigger();
  EXPECT_EQ(Calibration, C.Calibration);
  EXPECT_EQ(Cancel, C.CalibrationCancel);

  // The model's message inside the shell's: the folder is there while the
  // name is chosen and gone when the file is written.
  Main().SetActiveScope(&Main().Zelvo());
  ASSERT_TRUE(QDir(Dir.path()).mkdir("gone"));
  const QString Missing = QDir(Dir.path()).absoluteFilePath("gone/capture.csv");
  Seen.clear();
  TModalScript Export;
  Export
      .Then([&](QWidget* Modal) {
        auto* Dialog = qobject_cast<QFileDialog*>(Modal);
        ASSERT_NE(Dialog, nullptr);
        Dialog->selectFile(Missing);
        QDir(Dir.path()).rmdir("gone");
        static_cast<QDialog*>(Dialog)->accept();
      })
      .Then(RecordAndClose(Seen));
  Main().actExport->trigger();
  const QString Expected = C.ExportFailure.arg(Missing);
  EXPECT_TRUE(Seen.value(0).startsWith(Expected))
      << Seen.value(0).toStdString() << "\n  expected to start with " << Expected.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest, testing::ValuesIn(CLanguages),
                         [](const testing::TestParamInfo<TLanguageCase>& Info) {
                           return QString(Info.param.Name).remove(' ').toStdString();
                         });

// What the real program prints for --help with LANG as given and nothing
// else asking for a language, its line breaks as spaces.
QString HelpUnder(const QString& Lang) {
  QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
  for (const char* Name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
    Env.remove(Name);
  Env.insert("LANG", Lang);
  QProcess Program;
  Program.setProcessEnvironment(Env);
  Program.start(ZELVO_PROGRAM, {"--help"});
  if (!Program.waitForFinished(60000))
    return "still running";
  return QString::fromUtf8(Program.readAllStandardOutput()).simplified();
}

TEST(ProgramLanguage, TheEnvironmentChoosesTheLanguage) {
  TestApp();
  const struct {
    const char* Lang;
    const char* Description;
    const char* UsbOption;
  } Cases[] = {
      {"de_DE.UTF-8", "Desktop-Begleitprogramm des Zelvo-Oszilloskops.",
       "Beim Start über USB mit der seriellen Schnittstelle PORT"},
      {"C", "Desktop companion program of the Zelvo oscilloscope.",
       "Connect over USB to the scope's serial PORT"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Lang);
    const QString Help = HelpUnder(C.Lang);
    EXPECT_TRUE(Help.contains(QString::fromUtf8(C.Description))) << Help.toStdString();
    EXPECT_TRUE(Help.contains(QString::fromUtf8(C.UsbOption))) << Help.toStdString();
  }
}

} // namespace
