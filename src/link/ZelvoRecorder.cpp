#include "link/ZelvoRecorder.h"

TZelvoRecorder::TZelvoRecorder(TZelvoConnection& Connection, const std::string& FileName,
                               TZelvoClock Clock, std::int64_t StartTime)
    : FConnection(&Connection), FFileName(FileName),
      FClock(Clock ? std::move(Clock) : TZelvoClock(ZelvoSteadyMicroseconds)),
      FWriter(std::make_unique<TZelvoRecordingWriter>(FileName, StartTime)) {
  FStart = FClock();
  FLastFlush = FStart;
  FBytes = FFlushedBytes = FWriter->Bytes();
  FObserver.SetOnReceive(
      [this](TZelvoConnection*, const TZelvoPacket& Packet) { Received(Packet); });
  // The connection going away ends the recording with it.
  FObserver.SetOnConnectionDestroy([this](TZelvoConnection*) {
    FConnection = nullptr;
    Stop();
  });
  FConnection->RegisterObserver(&FObserver);
}

TZelvoRecorder::~TZelvoRecorder() {
  FOnError = nullptr;
  Stop();
}

void TZelvoRecorder::Detach() {
  if (FConnection != nullptr)
    FConnection->UnregisterObserver(&FObserver);
  FConnection = nullptr;
}

void TZelvoRecorder::Stop() {
  Detach();
  if (!FWriter)
    return;
  try {
    FWriter->Close();
    FFlushedBytes = FBytes;
    FWriter.reset();
  } catch (const EOscError& E) {
    Fail(E.what());
  }
}

void TZelvoRecorder::Received(const TZelvoPacket& Packet) {
  if (!FWriter)
    return;
  const std::int64_t Now = FClock();
  FWriter->Append(Now - FStart, Packet.Raw(), Packet.Size());
  ++FFrames;
  FBytes = FWriter->Bytes();
  if (Now - FLastFlush >= CZelvoRecordingFlushInterval)
    Flush();
}

void TZelvoRecorder::FlushIfDue() {
  if (FWriter && FClock() - FLastFlush >= CZelvoRecordingFlushInterval)
    Flush();
}

void TZelvoRecorder::Flush() {
  FLastFlush = FClock();
  try {
    FWriter->Flush();
    FFlushedBytes = FBytes;
  } catch (const EOscError& E) {
    Fail(E.what());
  }
}

void TZelvoRecorder::Fail(const std::string& Message) {
  // A failed writer has closed its file; frames still heard go nowhere. The
  // observer stays registered until Stop: this may run inside the
  // connection's notification loop, which must not lose an entry.
  FWriter.reset();
  FError = Message;
  if (FOnError)
    FOnError(this, FError);
}
