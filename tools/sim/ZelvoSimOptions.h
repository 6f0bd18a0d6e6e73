#pragma once

// zelvo-sim's command line.

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
};

// Raises std::invalid_argument with a message naming the bad option.
TZelvoSimOptions ZelvoSimParseOptions(const std::vector<std::string>& Args);
const char* ZelvoSimHelp();
