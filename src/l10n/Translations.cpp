#include "l10n/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Loads FileName_<language>.qm for Locale from Dir and installs it on App.
bool Install(QCoreApplication& App, const QLocale& Locale, const QString& FileName,
             const QString& Dir) {
  auto* Translator = new QTranslator(&App);
  if (!Translator->load(Locale, FileName, QStringLiteral("_"), Dir)) {
    delete Translator;
    return false;
  }
  QCoreApplication::installTranslator(Translator);
  return true;
}

} // namespace

QString TranslationsDirectory() {
  const QString Installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                            QStringLiteral("/" ZELVO_TRANSLATIONS_FROM_BINDIR));
  if (QFileInfo(Installed).isDir())
    return Installed;
  return QStringLiteral(ZELVO_BUILD_TRANSLATIONS_DIR);
}

QString InstallTranslations(QCoreApplication& App, const QStringList& Languages) {
  const QString Ours = TranslationsDirectory();
  for (const QString& Language : Languages) {
    const QLocale Locale(Language);
    // A wish for English (or the C locale) before any language we ship wins:
    // the texts stay as written.
    if (Locale.language() == QLocale::English || Language == QLatin1String("C") ||
        Language == QLatin1String("POSIX"))
      return QString();
    if (Locale.language() == QLocale::C || !Install(App, Locale, QStringLiteral("zelvo"), Ours))
      continue;
    // Qt's own texts in the same language, so that one window does not mix
    // two; a Qt without them leaves its dialogs English.
    Install(App, Locale, QStringLiteral("qtbase"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return QLocale::languageToCode(Locale.language());
  }
  return QString();
}
