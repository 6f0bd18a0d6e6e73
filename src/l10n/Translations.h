#pragma once

// The program's translations, shared by the window and the tools: ours
// (zelvo_<language>.qm) and Qt's own for its standard dialogs and command
// line help (qtbase_<language>.qm). The source texts are English, so the C
// and English locales load nothing and every text stays as written.

#include <QLocale>
#include <QString>
#include <QStringList>

class QCoreApplication;

// Installs, on App, our translation for the first of Languages (as
// QLocale::uiLanguages() gives them, most wanted first) that is English or
// has one, and Qt's own translation for the same language. Returns the
// language loaded ("de"), or an empty text when the texts stay English.
// The translators are children of App.
QString InstallTranslations(QCoreApplication& App,
                            const QStringList& Languages = QLocale::system().uiLanguages());

// Where our .qm files are: installed beside the program
// (<prefix>/share/zelvo/translations), else the build tree's.
QString TranslationsDirectory();
