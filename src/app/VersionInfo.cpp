#include "app/VersionInfo.h"

#include <QCoreApplication>

namespace {

struct TVersionEntry {
  const char* Key;
  const char* Value;
};

// The string table of the program's version information. Keys absent here
// read as empty, as do the ones kept empty on purpose.
constexpr TVersionEntry CVersionTable[] = {
    {"CompanyName", "Quillon"},
    {"FileDescription", "Zelvo oscilloscope software"},
    {"FileVersion", ZELVO_FILE_VERSION},
    {"InternalName", ""},
    {"LegalCopyright", "Copyright (C) 2026 Quillon"},
    {"LegalTrademarks", ""},
    {"OriginalFilename", "zelvo"},
    {"ProductName", "Zelvo"},
    {"ProductVersion", ZELVO_PRODUCT_VERSION},
    {"Comments", ""},
};

} // namespace

QString TVersionInfo::FileName() const {
  return QCoreApplication::instance() != nullptr ? QCoreApplication::applicationFilePath()
                                                 : QString();
}

QString TVersionInfo::FileInfoString(const QString& Key) const {
  for (const TVersionEntry& E : CVersionTable)
    if (Key == QLatin1String(E.Key))
      return QString::fromLatin1(E.Value);
  return QString();
}

QString MainWindowCaption(const TVersionInfo& Info) {
  return QStringLiteral("%1 v%2 - %3")
      .arg(Info.ProductName(), Info.FileVersion(), Info.CompanyName());
}
