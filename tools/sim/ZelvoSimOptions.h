#pragma once

// zelvo-sim's command line.

#include <QCoreApplication>

#include <string>
#include <vector>

#include "sim/ZelvoSimConfig.h"

struct TZelvoSimOptions {
  TZelvoSimConfig Config;
  bool Tcp = false;
  std::string TcpAddress = "127.0.0.1";
  int TcpPort = 2000;
  bool Pty = false;
  std::string PtyLink;
  bool Quiet = false;
  bool Help = false;
  bool Version = false;
};

// The translation context of zelvo-sim's help and messages. Its log lines
// stay English: scripts and tests read them.
class TZelvoSimText {
  Q_DECLARE_TR_FUNCTIONS(ZelvoSim)
};

// Raises std::invalid_argument with a message naming the bad option.
TZelvoSimOptions ZelvoSimParseOptions(const std::vector<std::string>& Args);
// In the user's language (UTF-8).
std::string ZelvoSimHelp();
