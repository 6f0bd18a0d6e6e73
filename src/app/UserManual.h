#pragma once

// The user manual: one HTML page with its pictures, installed with the
// program's documentation and opened in the desktop's web browser.

#include <QString>

class QWidget;

// The manual's index page: the installed one
// (<prefix>/share/doc/zelvo/manual/index.html, found from the program's own
// folder), else the build tree's copy; the installed path when neither exists.
QString UserManualIndex();

// Hands Index to the desktop's browser. When the file is missing, or nothing
// can open it, a message box modal to Parent names the file. Returns whether
// a browser took it.
bool OpenUserManual(QWidget* Parent, const QString& Index = UserManualIndex());
