#pragma once

// The one application object of an app test program.

#include <QApplication>

inline QApplication& TestApp() {
  static int Argc = 1;
  static char Name[] = "zelvo-app-test";
  static char* Argv[] = {Name, nullptr};
  // Reachable through the static for the whole run, so not a leak.
  static QApplication* App = new QApplication(Argc, Argv);
  return *App;
}
