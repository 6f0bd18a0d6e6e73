#pragma once

// The driver on a real link (loopback TCP or a pseudo-terminal) against the
// in-process scope simulator, with everything the link reports counted.

#include <QEventLoop>
#include <QHostAddress>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "sim/ZelvoSimulator.h"

enum class TLinkKind { Tcp, Pty };

inline std::string LinkName(const ::testing::TestParamInfo<TLinkKind>& Info) {
  return Info.param == TLinkKind::Tcp ? "Tcp" : "Pty";
}

using TFrame = std::vector<std::uint8_t>;

inline TFrame FrameBytes(TZelvoPacket Packet) {
  Packet.Finalize();
  return {Packet.Raw(), Packet.Raw() + Packet.Size()};
}

// Runs the event loop for Ms milliseconds.
inline void Spin(int Ms) {
  QEventLoop Loop;
  QTimer::singleShot(Ms, &Loop, &QEventLoop::quit);
  Loop.exec();
}

class SimLinkFixture {
public:
  SimLinkFixture() {
    Config.RecordFrames = true;
    Config.NoiseLevel = 0;
    Config.FrameRate = 400;
    Config.LineRate = 0; // tests that want the real line rate say so
    Config.CalibrationMs = 300;
  }

  // Starts the simulator and attaches the driver to a closed link to it.
  void Start(TLinkKind Kind) {
    FKind = Kind;
    Sim = std::make_unique<TZelvoSimulator>(Config);
    if (Kind == TLinkKind::Tcp) {
      auto L = std::make_unique<TZelvoTcpConnection>();
      L->SetHost("127.0.0.1");
      L->SetPort(Sim->ListenTcp(QHostAddress::LocalHost, 0));
      Tcp = L.get();
      Link = std::move(L);
    } else {
      auto L = std::make_unique<TZelvoUsbConnection>();
      L->SetPort(Sim->OpenPty().toStdString());
      Usb = L.get();
      Link = std::move(L);
    }
    Link->SetOnConnect([this](TZelvoConnection*) { ++Connects; });
    Link->SetOnDisconnect([this](TZelvoConnection*) { ++Disconnects; });
    Link->SetOnError([this](TZelvoConnection*) { ++Errors; });
    Link->SetOnReceive([this](TZelvoConnection*, const TZelvoPacket& P) {
      Received.emplace_back(P.Raw(), P.Raw() + P.Size());
    });
    Driver.SetConnection(Link.get());
  }

  bool Connect() {
    Link->Open();
    return QTest::qWaitFor([this] { return Link->Connected(); }, 5000);
  }

  const TZelvoSimRecord& Record() const {
    return FKind == TLinkKind::Tcp ? Sim->TcpRecord() : Sim->PtyRecord();
  }

  int ReceivedWithCommand(TCommand Command) const {
    int N = 0;
    for (const TFrame& F : Received)
      N += F[1] == Command;
    return N;
  }

  TZelvoSimConfig Config;
  // Destroyed in reverse: the link first (it detaches the driver and, open,
  // reports its disconnect), the simulator last.
  std::unique_ptr<TZelvoSimulator> Sim;
  TZelvo Driver;
  std::unique_ptr<TZelvoConnection> Link;
  TZelvoTcpConnection* Tcp = nullptr;
  TZelvoUsbConnection* Usb = nullptr;
  int Connects = 0;
  int Disconnects = 0;
  int Errors = 0;
  std::vector<TFrame> Received;

private:
  TLinkKind FKind = TLinkKind::Tcp;
};
