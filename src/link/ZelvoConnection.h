#pragma once

// The abstract transport between the program and the scope. It owns the
// packet parser, turns received bytes into packets, counts packets and tells
// its listeners about the link: first the registered observers in registration
// order, then its own callbacks.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "link/OscCircularBuffer.h"
#include "link/ZelvoPacket.h"
#include "link/ZelvoPacketParser.h"
#include "osc/OscObserver.h"

class TZelvoConnection;

enum TZelvoConnectionEvent : std::uint8_t { evConnect, evDisconnect, evSend, evReceive };

using TZelvoNotifyEvent = std::function<void(TZelvoConnection* Sender)>;
// The packet lives only for the duration of the call; copy what is needed later.
using TZelvoPacketEvent = std::function<void(TZelvoConnection* Sender, const TZelvoPacket& Packet)>;

// Owned by whoever creates it. Registration is known on both sides: an
// observer destroyed first unregisters itself from every connection, and a
// connection destroyed first drops its registrations and then tells the
// observer through OnConnectionDestroy.
class TZelvoConnectionObserver : public TOscObserverLink<TZelvoConnectionObserver> {
public:
  TZelvoConnectionObserver() = default;

  const TZelvoNotifyEvent& OnConnect() const { return FOnConnect; }
  void SetOnConnect(TZelvoNotifyEvent Value) { FOnConnect = std::move(Value); }
  const TZelvoNotifyEvent& OnDisconnect() const { return FOnDisconnect; }
  void SetOnDisconnect(TZelvoNotifyEvent Value) { FOnDisconnect = std::move(Value); }
  const TZelvoPacketEvent& OnReceive() const { return FOnReceive; }
  void SetOnReceive(TZelvoPacketEvent Value) { FOnReceive = std::move(Value); }
  const TZelvoPacketEvent& OnSend() const { return FOnSend; }
  void SetOnSend(TZelvoPacketEvent Value) { FOnSend = std::move(Value); }

  // The free notification: called from the destructor of a connection this
  // observer was registered with, after the registration is gone.
  const TZelvoNotifyEvent& OnConnectionDestroy() const { return FOnConnectionDestroy; }
  void SetOnConnectionDestroy(TZelvoNotifyEvent Value) { FOnConnectionDestroy = std::move(Value); }

private:
  friend class TZelvoConnection;
  TZelvoNotifyEvent FOnConnect;
  TZelvoNotifyEvent FOnDisconnect;
  TZelvoPacketEvent FOnReceive;
  TZelvoPacketEvent FOnSend;
  TZelvoNotifyEvent FOnConnectionDestroy;
};

class TZelvoStatistics {
public:
  TZelvoStatistics() { Reset(); }
  int PacketsIn() const { return FPacketsIn; }
  int PacketsOut() const { return FPacketsOut; }
  void Reset() {
    FPacketsIn = 0;
    FPacketsOut = 0;
  }

private:
  friend class TZelvoConnection;
  int FPacketsIn = 0;
  int FPacketsOut = 0;
};

class TZelvoConnection {
public:
  TZelvoConnection();
  virtual ~TZelvoConnection();
  TZelvoConnection(const TZelvoConnection&) = delete;
  TZelvoConnection& operator=(const TZelvoConnection&) = delete;

  // Starts the link; whether it is up right after the call. A link that comes
  // up reports it through DoConnect.
  virtual bool Open() = 0;
  // A link that goes down reports it through DoDisconnect.
  virtual void Close() = 0;
  virtual bool Connected() const = 0;
  // Finalizes the frame, hands its bytes to the link, then DoSend. The caller
  // keeps the packet.
  virtual void Send(TZelvoPacket& Packet) = 0;

  // A null observer raises "Argument cannot be null". The same observer may be
  // registered twice and then hears every event twice; unregistering removes
  // the first registration and ignores an unknown observer. Listeners must not
  // register or unregister from inside a notification.
  void RegisterObserver(TZelvoConnectionObserver* Observer) { FObservers.Register(Observer); }
  void UnregisterObserver(TZelvoConnectionObserver* Observer) { FObservers.Unregister(Observer); }
  int ObserverCount() const { return static_cast<int>(FObservers.Count()); }

  const TZelvoStatistics& Statistics() const { return FStatistics; }
  TZelvoStatistics& Statistics() { return FStatistics; }
  const TZelvoPacketParser& Parser() const { return *FParser; }
  TZelvoPacketParser& Parser() { return *FParser; }

  const TZelvoNotifyEvent& OnConnect() const { return FOnConnect; }
  void SetOnConnect(TZelvoNotifyEvent Value) { FOnConnect = std::move(Value); }
  const TZelvoNotifyEvent& OnDisconnect() const { return FOnDisconnect; }
  void SetOnDisconnect(TZelvoNotifyEvent Value) { FOnDisconnect = std::move(Value); }
  const TZelvoPacketEvent& OnSend() const { return FOnSend; }
  void SetOnSend(TZelvoPacketEvent Value) { FOnSend = std::move(Value); }
  const TZelvoPacketEvent& OnReceive() const { return FOnReceive; }
  void SetOnReceive(TZelvoPacketEvent Value) { FOnReceive = std::move(Value); }
  // Carries no error code or text.
  const TZelvoNotifyEvent& OnError() const { return FOnError; }
  void SetOnError(TZelvoNotifyEvent Value) { FOnError = std::move(Value); }

protected:
  // The transports' contract: DoConnect when the link is established,
  // DoDisconnect when it is closed or lost, DoError when it reports an error,
  // DoSend after each packet handed to the link, and every received chunk to
  // ProcessData.
  virtual void DoConnect();
  virtual void DoDisconnect();
  virtual void DoSend(const TZelvoPacket& Packet);
  virtual void DoReceive(const TZelvoPacket& Packet);
  // Reaches only OnError; observers are not told about errors.
  virtual void DoError();

  // Delivers every complete frame of the stream so far, in arrival order,
  // before it returns. Data may be the scratch array and Length may be up to
  // its whole size: the bytes are taken in (a chunk larger than the parser's
  // free room in pieces) before any listener runs, so a listener that runs a
  // nested event loop may read into the scratch array again and call
  // ProcessData from inside; every frame is then still delivered once and in
  // order.
  void ProcessData(const std::uint8_t* Data, int Length);

  // The scratch array the transports read received bytes into.
  std::uint8_t* ScratchBuffer() { return FBuffer.data(); }
  static constexpr int ScratchBufferSize() { return COscBufferSize; }

  // Reads through the scratch array and processes until the transport has
  // nothing left: a "bytes ready" event is not repeated for bytes that came
  // while a handler ran its own event loop. Each read asks for no more than
  // the parser can take. Read(Buffer, MaxLength) returns the bytes read, 0 or
  // less when there are none.
  void ReadAvailable(const std::function<long long(std::uint8_t* Buffer, int MaxLength)>& Read);

  void NotifyObservers(TZelvoConnectionEvent Event, const TZelvoPacket* Data);

private:
  void TakeIn(const std::uint8_t* Data, int Length);
  bool RefillFromBacklog();

  std::array<std::uint8_t, COscBufferSize> FBuffer{};
  TOscSubject<TZelvoConnectionObserver> FObservers;
  std::unique_ptr<TZelvoPacketParser> FParser;
  TZelvoStatistics FStatistics;
  // Received bytes that did not fit into the parser yet, oldest first.
  std::vector<std::uint8_t> FBacklog;
  std::size_t FBacklogStart = 0;
  TZelvoNotifyEvent FOnConnect;
  TZelvoNotifyEvent FOnDisconnect;
  TZelvoPacketEvent FOnSend;
  TZelvoPacketEvent FOnReceive;
  TZelvoNotifyEvent FOnError;
};
