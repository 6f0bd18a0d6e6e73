#pragma once

// The program's version texts. They are compiled in from the build (one
// definition of the version numbers, in the application's CMake target), under
// the key names of a Windows version resource so that the about box and the
// main window's caption read them by the same names.

#include <QString>

class TVersionInfo {
public:
  // The value of a standard key ("CompanyName", "FileVersion", ...); "" for
  // a key the program does not carry.
  QString FileInfoString(const QString& Key) const;

  // The running program's file; "" before an application object exists.
  QString FileName() const;
  QString CompanyName() const { return FileInfoString(QStringLiteral("CompanyName")); }
  QString FileDescription() const { return FileInfoString(QStringLiteral("FileDescription")); }
  QString FileVersion() const { return FileInfoString(QStringLiteral("FileVersion")); }
  QString InternalName() const { return FileInfoString(QStringLiteral("InternalName")); }
  QString LegalCopyright() const { return FileInfoString(QStringLiteral("LegalCopyright")); }
  QString LegalTrademarks() const { return FileInfoString(QStringLiteral("LegalTrademarks")); }
  QString OriginalFilename() const { return FileInfoString(QStringLiteral("OriginalFilename")); }
  QString ProductName() const { return FileInfoString(QStringLiteral("ProductName")); }
  QString ProductVersion() const { return FileInfoString(QStringLiteral("ProductVersion")); }
  QString Comments() const { return FileInfoString(QStringLiteral("Comments")); }
};

// "Zelvo v1.3.0.0 - Quillon": product name, file version, company name.
QString MainWindowCaption(const TVersionInfo& Info);
