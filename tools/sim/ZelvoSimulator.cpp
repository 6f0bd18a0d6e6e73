#include "sim/ZelvoSimulator.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "sim/ZelvoSimOptions.h"

namespace {

constexpr int CTickMs = 2;
// Unpaced, the TCP stream is topped up to this many bytes waiting in the socket.
constexpr qint64 CTcpBacklog = 256 * 1024;
// Unpaced, the pseudo-terminal queue is topped up to this many bytes.
constexpr std::size_t CPtyBacklog = 16 * 1024;
constexpr double CMaxFrameCredit = 16;
// Quiet time on the pseudo-terminal before the drop fault closes it.
constexpr qint64 CPtyDrainMs = 100;

} // namespace

TZelvoSimulator::TZelvoSimulator(const TZelvoSimConfig& Config, TZelvoSimLog Log)
    : FLog(std::move(Log)), FScope(Config) {
  FClock.start();
  FTicker.setInterval(CTickMs);
  connect(&FTicker, &QTimer::timeout, this, [this] { Tick(); });
  FTicker.start();
  FCalibration.setSingleShot(true);
  connect(&FCalibration, &QTimer::timeout, this, [this] {
    FScope.SetCalibrating(false);
    this->Log("calibration done");
    ReportSettings();
  });
}

TZelvoSimulator::~TZelvoSimulator() {
  if (FTcp.Socket != nullptr) {
    FTcp.Socket->disconnect(this);
    FTcp.Socket->abort();
  }
  ClosePty();
}

void TZelvoSimulator::Log(const std::string& Line) const {
  if (FLog)
    FLog(Line);
}

quint16 TZelvoSimulator::ListenTcp(const QHostAddress& Address, quint16 Port) {
  if (FServer == nullptr) {
    FServer = new QTcpServer(this);
    connect(FServer, &QTcpServer::newConnection, this, [this] { AcceptTcp(); });
  }
  if (!FServer->listen(Address, Port))
    throw std::runtime_error(
        TZelvoSimText::tr("Cannot listen on %1:%2: %3")
            .arg(Address.toString(), QString::number(Port), FServer->errorString())
            .toStdString());
  Log("listening on " + Address.toString().toStdString() + ":" +
      std::to_string(FServer->serverPort()));
  return FServer->serverPort();
}

void TZelvoSimulator::AcceptTcp() {
  while (QTcpSocket* S = FServer->nextPendingConnection()) {
    if (FTcp.Socket != nullptr) {
      Log("tcp: refusing a second client");
      S->abort();
      S->deleteLater();
      continue;
    }
    ++FTcpClientsAccepted;
    S->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    FTcp.Socket = S;
    FTcp.Session = std::make_unique<TZelvoSimSession>(FScope, "tcp", NextSeed());
    FFrameCredit[0] = 0;
    Log("tcp: client " + S->peerAddress().toString().toStdString() + ":" +
        std::to_string(S->peerPort()) + " connected");
    connect(S, &QTcpSocket::readyRead, this, [this] { ReadTcp(); });
    connect(S, &QTcpSocket::bytesWritten, this, [this] { PumpTcp(); });
    connect(S, &QTcpSocket::disconnected, this, [this, S] {
      Log("tcp: client gone");
      if (FTcp.Socket == S) {
        FTcp.Socket = nullptr;
        FLastTcp = std::move(FTcp.Session);
      }
      S->deleteLater();
    });
  }
}

void TZelvoSimulator::ReadTcp() {
  QTcpSocket* S = FTcp.Socket;
  std::uint8_t Buf[16384];
  while (S != nullptr && FTcp.Socket == S && S->bytesAvailable() > 0) {
    const qint64 N = S->read(reinterpret_cast<char*>(Buf), sizeof Buf);
    if (N <= 0)
      break;
    Handle(FTcp.Session->Receive(Buf, static_cast<int>(N), FLog));
  }
  PumpTcp();
}

void TZelvoSimulator::PumpTcp() {
  QTcpSocket* S = FTcp.Socket;
  // flush() emits bytesWritten, which would come back here.
  if (S == nullptr || S->state() != QAbstractSocket::ConnectedState || FPumpingTcp)
    return;
  FPumpingTcp = true;
  TZelvoSimSession& Session = *FTcp.Session;
  if (Config().FrameRate <= 0) {
    while (Session.WantsSamples() &&
           S->bytesToWrite() + static_cast<qint64>(Session.OutBytes()) < CTcpBacklog)
      Session.EnqueueSample();
    while (Session.ReplayPending() &&
           S->bytesToWrite() + static_cast<qint64>(Session.OutBytes()) < CTcpBacklog)
      Session.EnqueueReplayNext(FLog);
  }
  while (!Session.Out().empty()) {
    const std::string Chunk = Session.TakeChunk(std::string::npos);
    S->write(Chunk.data(), static_cast<qint64>(Chunk.size()));
    // Each piece its own segment, so the program really gets it in pieces.
    if (Config().Faults.Split)
      S->flush();
  }
  FPumpingTcp = false;
  if (Session.Dropping()) {
    Log("tcp: dropping the connection");
    // Sends what is queued, then closes; the disconnected handler cleans up.
    S->disconnectFromHost();
  }
}

QString TZelvoSimulator::OpenPty(const QString& Link) {
  if (FPty.Master >= 0)
    return FPtyPath;
  const int M = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (M < 0)
    throw std::runtime_error(std::string("posix_openpt: ") + std::strerror(errno));
  char Name[256];
  if (grantpt(M) != 0 || unlockpt(M) != 0 || ptsname_r(M, Name, sizeof Name) != 0) {
    const int E = errno;
    ::close(M);
    throw std::runtime_error(TZelvoSimText::tr("pseudo-terminal: %1")
                                 .arg(QString::fromLocal8Bit(std::strerror(E)))
                                 .toStdString());
  }
  const int S = ::open(Name, O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (S < 0) {
    const int E = errno;
    ::close(M);
    throw std::runtime_error(std::string("open ") + Name + ": " + std::strerror(E));
  }
  // Raw 8N1 at 38400 until the program sets its own line settings: no echo,
  // no line editing, no character translation.
  termios T{};
  tcgetattr(S, &T);
  cfmakeraw(&T);
  T.c_cflag |= CLOCAL | CREAD;
  cfsetispeed(&T, B38400);
  cfsetospeed(&T, B38400);
  tcsetattr(S, TCSANOW, &T);

  FPty.Master = M;
  FPty.Slave = S;
  FPty.Credit = 0;
  FFrameCredit[1] = 0;
  FPty.Session = std::make_unique<TZelvoSimSession>(FScope, "pty", NextSeed());
  FPty.ReadNotifier = new QSocketNotifier(M, QSocketNotifier::Read, this);
  connect(FPty.ReadNotifier, &QSocketNotifier::activated, this, [this] { ReadPty(); });
  FPty.WriteNotifier = new QSocketNotifier(M, QSocketNotifier::Write, this);
  FPty.WriteNotifier->setEnabled(false);
  connect(FPty.WriteNotifier, &QSocketNotifier::activated, this, [this] {
    FPty.WriteNotifier->setEnabled(false);
    PumpPty();
  });
  FPtyPath = QString::fromLocal8Bit(Name);
  FPtyLink = Link;
  if (!Link.isEmpty()) {
    const QByteArray L = QFile::encodeName(Link);
    ::unlink(L.constData()); // a link left by an earlier run
    if (::symlink(Name, L.constData()) != 0)
      Log("pty: cannot link " + Link.toStdString() + ": " + std::strerror(errno));
  }
  Log("pty: " + FPtyPath.toStdString() + (Link.isEmpty() ? "" : " (" + Link.toStdString() + ")"));
  return FPtyPath;
}

void TZelvoSimulator::ClosePty() {
  if (FPty.Master < 0)
    return;
  delete FPty.ReadNotifier;
  delete FPty.WriteNotifier;
  FPty.ReadNotifier = FPty.WriteNotifier = nullptr;
  ::close(FPty.Master);
  ::close(FPty.Slave);
  FPty.Master = FPty.Slave = -1;
  FLastPty = std::move(FPty.Session);
  Log("pty: closed " + FPtyPath.toStdString());
  FPtyPath.clear();
}

const TZelvoSimRecord& TZelvoSimulator::TcpRecord() const {
  const TZelvoSimSession* S = FTcp.Session ? FTcp.Session.get() : FLastTcp.get();
  return S ? S->Record() : FEmptyRecord;
}

const TZelvoSimRecord& TZelvoSimulator::PtyRecord() const {
  const TZelvoSimSession* S = FPty.Session ? FPty.Session.get() : FLastPty.get();
  return S ? S->Record() : FEmptyRecord;
}

void TZelvoSimulator::ReadPty() {
  std::uint8_t Buf[4096];
  while (FPty.Master >= 0) {
    const ssize_t N = ::read(FPty.Master, Buf, sizeof Buf);
    if (N > 0) {
      Handle(FPty.Session->Receive(Buf, static_cast<int>(N), FLog));
      continue;
    }
    if (N < 0 && errno == EINTR)
      continue;
    break; // nothing waiting (EAGAIN); EIO cannot come while the slave stays open
  }
  PumpPty();
}

void TZelvoSimulator::PumpPty() {
  if (FPty.Master < 0)
    return;
  TZelvoSimSession& Session = *FPty.Session;
  if (Config().FrameRate <= 0 && Config().LineRate <= 0) {
    while (Session.WantsSamples() && Session.OutBytes() < CPtyBacklog)
      Session.EnqueueSample();
    while (Session.ReplayPending() && Session.OutBytes() < CPtyBacklog)
      Session.EnqueueReplayNext(FLog);
  }
  while (!Session.Out().empty()) {
    const std::size_t Max = Config().LineRate > 0 ? static_cast<std::size_t>(FPty.Credit) : 65536;
    if (Max == 0)
      break;
    std::string Chunk = Session.TakeChunk(Max);
    const ssize_t N = ::write(FPty.Master, Chunk.data(), Chunk.size());
    if (N < 0 && errno == EINTR) {
      Session.PutBack(std::move(Chunk));
      continue;
    }
    if (N < 0) {
      Session.PutBack(std::move(Chunk));
      if (errno == EAGAIN)
        FPty.WriteNotifier->setEnabled(true);
      else
        Log(std::string("pty: write: ") + std::strerror(errno));
      break;
    }
    FPty.LastWrite = FClock.elapsed();
    if (Config().LineRate > 0)
      FPty.Credit -= static_cast<double>(N);
    if (static_cast<std::size_t>(N) < Chunk.size()) {
      Session.PutBack(Chunk.substr(static_cast<std::size_t>(N)));
      FPty.WriteNotifier->setEnabled(true);
      break;
    }
  }
  // Closing the master throws away what the program has not read yet, so the
  // device vanishes only once the line has stayed drained for a while: the
  // slave's input queue can read empty for a moment while the kernel still
  // holds bytes on their way to it.
  int Unread = 0;
  const qint64 Now = FClock.elapsed();
  if (!Session.Out().empty() || ::ioctl(FPty.Slave, FIONREAD, &Unread) != 0 || Unread > 0)
    FPty.BusySince = Now;
  if (Session.Dropping() && Now - FPty.BusySince >= CPtyDrainMs &&
      Now - FPty.LastWrite >= CPtyDrainMs) {
    Log("pty: dropping the device");
    const QString Link = FPtyLink;
    ClosePty();
    if (FReopenPty)
      OpenPty(Link);
  }
}

void TZelvoSimulator::Tick() {
  const qint64 Now = FClock.elapsed();
  const double Dt = static_cast<double>(Now - FLastTick) / 1000.0;
  FLastTick = Now;
  const bool Paced = Config().FrameRate > 0;
  if (Paced)
    for (double& C : FFrameCredit)
      C = std::min(C + Config().FrameRate * Dt, CMaxFrameCredit);

  const bool DebugDue = Now - FLastDebug >= Config().DebugIntervalMs;
  if (DebugDue)
    FLastDebug = Now;
  auto Debug = [&](TZelvoSimSession& S) {
    if (DebugDue && S.Debug())
      S.Enqueue(TZelvoSimScope::DebugFrame("debug: " + std::to_string(S.Record().FramesSent) +
                                           " frames sent, battery code " +
                                           std::to_string(Config().BatteryCode)));
  };

  const std::int64_t NowUs = FClock.nsecsElapsed() / 1000;
  if (FTcp.Session) {
    Debug(*FTcp.Session);
    if (Paced)
      FTcp.Session->EnqueueReplayDue(
          NowUs,
          static_cast<std::size_t>(std::max<qint64>(0, CTcpBacklog - FTcp.Socket->bytesToWrite())),
          FLog);
    while (Paced && FFrameCredit[0] >= 1 && FTcp.Session->WantsSamples()) {
      FTcp.Session->EnqueueSample();
      FFrameCredit[0] -= 1;
    }
    PumpTcp();
  }
  if (FPty.Session) {
    Debug(*FPty.Session);
    if (Config().LineRate > 0)
      FPty.Credit = std::min(FPty.Credit + Config().LineRate / 10.0 * Dt, 4096.0);
    // At the line rate, a new block is queued only when the last has left.
    const bool LineFree = Config().LineRate <= 0 || FPty.Session->OutBytes() == 0;
    while (Paced && LineFree && FFrameCredit[1] >= 1 && FPty.Session->WantsSamples() &&
           FPty.Session->OutBytes() < CPtyBacklog) {
      FPty.Session->EnqueueSample();
      FFrameCredit[1] -= 1;
      if (Config().LineRate > 0)
        break;
    }
    if (!Paced && LineFree && Config().LineRate > 0 && FPty.Session->WantsSamples())
      FPty.Session->EnqueueSample();
    // A recording keeps its spacing; the line rate may stretch it.
    if (Paced)
      FPty.Session->EnqueueReplayDue(NowUs, CPtyBacklog, FLog);
    else if (LineFree && Config().LineRate > 0)
      FPty.Session->EnqueueReplayNext(FLog);
    PumpPty();
  }
}

void TZelvoSimulator::Handle(const std::vector<TZelvoSimRequest>& Requests) {
  for (TZelvoSimRequest R : Requests)
    if (R == TZelvoSimRequest::Calibrate)
      StartCalibration();
}

void TZelvoSimulator::StartCalibration() {
  Log("calibrating for " + std::to_string(Config().CalibrationMs) + " ms");
  FScope.SetCalibrating(true);
  ReportSettings();
  FCalibration.start(Config().CalibrationMs);
}

void TZelvoSimulator::ReportSettings() {
  if (FTcp.Session)
    FTcp.Session->Enqueue(FScope.SettingsFrame());
  if (FPty.Session)
    FPty.Session->Enqueue(FScope.SettingsFrame());
}

void TZelvoSimulator::SendTogether(const std::vector<TZelvoPacket>& Frames) {
  if (FTcp.Session)
    FTcp.Session->EnqueueTogether(Frames);
  if (FPty.Session)
    FPty.Session->EnqueueTogether(Frames);
}
