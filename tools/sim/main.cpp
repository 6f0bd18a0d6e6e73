// zelvo-sim: a headless Zelvo scope for testing the program without hardware.

#include <QCoreApplication>
#include <QHostAddress>

#include <csignal>
#include <cstdio>
#include <iostream>

#include "l10n/Translations.h"
#include "link/ZelvoRecording.h"
#include "sim/ZelvoSimOptions.h"
#include "sim/ZelvoSimulator.h"

int main(int argc, char** argv) {
  QCoreApplication App(argc, argv);
  InstallTranslations(App);
  TZelvoSimOptions Options;
  try {
    Options = ZelvoSimParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& E) {
    std::fprintf(stderr, "zelvo-sim: %s\n", E.what());
    return 2;
  }
  if (Options.Help) {
    std::fputs(ZelvoSimHelp().c_str(), stdout);
    return 0;
  }
  if (Options.Version) {
    std::printf("zelvo-sim %s\n", ZELVO_FILE_VERSION);
    return 0;
  }
  std::signal(SIGPIPE, SIG_IGN);
  // A recording that cannot be read is said now, not at the first client.
  if (!Options.Config.ReplayFile.empty()) {
    try {
      TZelvoRecordingReader Check(Options.Config.ReplayFile);
    } catch (const std::exception& E) {
      std::fprintf(stderr, "zelvo-sim: %s\n", E.what());
      return 1;
    }
  }
  const bool Quiet = Options.Quiet;
  TZelvoSimulator Sim(Options.Config, [Quiet](const std::string& Line) {
    const bool LinkLine = Line.rfind("listening", 0) == 0 || Line.rfind("pty: /", 0) == 0;
    if (!Quiet || LinkLine)
      std::cerr << Line << std::endl;
  });
  Sim.SetReopenPty(true);
  try {
    if (Options.Tcp) {
      QHostAddress Address;
      if (!Address.setAddress(QString::fromStdString(Options.TcpAddress)))
        throw std::runtime_error(TZelvoSimText::tr("not a numeric address: %1")
                                     .arg(QString::fromStdString(Options.TcpAddress))
                                     .toStdString());
      Sim.ListenTcp(Address, static_cast<quint16>(Options.TcpPort));
    }
    if (Options.Pty) {
      const QString Path = Sim.OpenPty(QString::fromStdString(Options.PtyLink));
      std::printf("%s\n", Path.toLocal8Bit().constData());
      std::fflush(stdout);
    }
  } catch (const std::exception& E) {
    std::fprintf(stderr, "zelvo-sim: %s\n", E.what());
    return 1;
  }
  return App.exec();
}
