#include "link/ZelvoConnection.h"

#include <algorithm>

TZelvoConnection::TZelvoConnection() : FParser(std::make_unique<TZelvoPacketParser>()) {}

TZelvoConnection::~TZelvoConnection() {
  // An observer registered twice hears of the destruction once.
  FObservers.Release([this](TZelvoConnectionObserver& O) {
    if (O.FOnConnectionDestroy)
      O.FOnConnectionDestroy(this);
  });
}

void TZelvoConnection::DoConnect() {
  NotifyObservers(evConnect, nullptr);
  if (FOnConnect)
    FOnConnect(this);
}

void TZelvoConnection::DoDisconnect() {
  NotifyObservers(evDisconnect, nullptr);
  if (FOnDisconnect)
    FOnDisconnect(this);
}

void TZelvoConnection::DoSend(const TZelvoPacket& Packet) {
  ++FStatistics.FPacketsOut;
  NotifyObservers(evSend, &Packet);
  if (FOnSend)
    FOnSend(this, Packet);
}

void TZelvoConnection::DoReceive(const TZelvoPacket& Packet) {
  ++FStatistics.FPacketsIn;
  NotifyObservers(evReceive, &Packet);
  if (FOnReceive)
    FOnReceive(this, Packet);
}

void TZelvoConnection::DoError() {
  if (FOnError)
    FOnError(this);
}

void TZelvoConnection::NotifyObservers(TZelvoConnectionEvent Event, const TZelvoPacket* Data) {
  // The count is taken at the start; should a listener shrink the list anyway
  // (a nested event loop may switch connections), the loop stops at its end.
  FObservers.Notify([&](TZelvoConnectionObserver& O) {
    switch (Event) {
    case evConnect:
      if (O.FOnConnect)
        O.FOnConnect(this);
      break;
    case evDisconnect:
      if (O.FOnDisconnect)
        O.FOnDisconnect(this);
      break;
    case evSend:
      if (O.FOnSend && Data)
        O.FOnSend(this, *Data);
      break;
    case evReceive:
      if (O.FOnReceive && Data)
        O.FOnReceive(this, *Data);
      break;
    }
  });
}

void TZelvoConnection::ProcessData(const std::uint8_t* Data, int Length) {
  if (Data != nullptr && Length > 0)
    TakeIn(Data, Length);
  // Between the pieces of a large chunk the parser is emptied of its complete
  // frames, so at most one incomplete frame is held when the next piece goes in.
  do {
    while (std::unique_ptr<TZelvoPacket> Packet = FParser->Next())
      DoReceive(*Packet);
  } while (RefillFromBacklog());
}

void TZelvoConnection::ReadAvailable(
    const std::function<long long(std::uint8_t* Buffer, int MaxLength)>& Read) {
  for (;;) {
    const TOscBuffer& B = FParser->Buffer();
    const int Room = std::min(ScratchBufferSize(), B.Capacity() - B.Size());
    const long long N = Read(ScratchBuffer(), Room > 0 ? Room : ScratchBufferSize());
    if (N <= 0)
      return;
    ProcessData(ScratchBuffer(), static_cast<int>(N));
  }
}

void TZelvoConnection::TakeIn(const std::uint8_t* Data, int Length) {
  // Bytes still waiting in the backlog are older and must reach the parser first.
  int Direct = 0;
  if (FBacklogStart == FBacklog.size()) {
    const TOscBuffer& Buffer = FParser->Buffer();
    Direct = std::min(Length, Buffer.Capacity() - Buffer.Size());
    FParser->Append(Data, Direct);
  }
  if (Direct < Length)
    FBacklog.insert(FBacklog.end(), Data + Direct, Data + Length);
}

bool TZelvoConnection::RefillFromBacklog() {
  const std::size_t Waiting = FBacklog.size() - FBacklogStart;
  if (Waiting == 0)
    return false;
  const TOscBuffer& Buffer = FParser->Buffer();
  const int Room = Buffer.Capacity() - Buffer.Size();
  const int Count =
      static_cast<int>(std::min<std::size_t>(Waiting, static_cast<std::size_t>(Room)));
  if (Count <= 0)
    return false;
  FParser->Append(FBacklog.data() + FBacklogStart, Count);
  FBacklogStart += static_cast<std::size_t>(Count);
  if (FBacklogStart == FBacklog.size()) {
    FBacklog.clear();
    FBacklogStart = 0;
  }
  return true;
}
