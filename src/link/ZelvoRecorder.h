#pragma once

// Records every frame a connection receives from the scope into a recording
// file (ZelvoRecording.h), with its arrival time. It listens as one more
// observer of the connection, after the driver if it registered later.
//
// Writes are buffered and go to the file at least every quarter second while
// frames arrive; the owner calls FlushIfDue from a timer of at most that
// interval so that the last frames before a quiet spell reach the file too.
// A capture is then in the file within half a second of its arrival.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/ZelvoConnection.h"
#include "link/ZelvoRecording.h"

constexpr std::int64_t CZelvoRecordingFlushInterval = 250000; // microseconds

class TZelvoRecorder {
public:
  using TErrorEvent = std::function<void(TZelvoRecorder* Sender, const std::string& Message)>;

  // Creates the file and starts recording what Connection receives from now
  // on; the clock's reading now is time 0. Raises EOscError when the file
  // cannot be created. Clock and StartTime are there for tests.
  TZelvoRecorder(TZelvoConnection& Connection, const std::string& FileName, TZelvoClock Clock = {},
                 std::int64_t StartTime = ZelvoWallMicroseconds());
  // Stops; a failure of the last write then goes unreported (call Stop first
  // to hear of it).
  ~TZelvoRecorder();
  TZelvoRecorder(const TZelvoRecorder&) = delete;
  TZelvoRecorder& operator=(const TZelvoRecorder&) = delete;

  const std::string& FileName() const { return FFileName; }
  // From construction until Stop, a failing write or the connection's end.
  bool Recording() const { return FWriter != nullptr; }
  // Writes what is buffered and closes the file; what it writes fails is
  // reported as any failing write.
  void Stop();
  // Writes the buffered frames if the last write is a flush interval ago.
  void FlushIfDue();

  // What is recorded so far: frames, and the file's size with every buffered
  // frame written.
  std::int64_t Frames() const { return FFrames; }
  std::int64_t Bytes() const { return FBytes; }
  // Of the above, what is in the file already.
  std::int64_t FlushedBytes() const { return FFlushedBytes; }

  // A failing write ends the recording: the frames before it stay in the
  // file, Error() holds the message ("Cannot write file "NAME". REASON") and
  // OnError hears it once. It may run inside the connection's receive path,
  // so it must not open a dialog there; a queued call can.
  const std::string& Error() const { return FError; }
  const TErrorEvent& OnError() const { return FOnError; }
  void SetOnError(TErrorEvent Value) { FOnError = std::move(Value); }

private:
  void Received(const TZelvoPacket& Packet);
  void Flush();
  void Fail(const std::string& Message);
  void Detach();

  TZelvoConnection* FConnection;
  std::string FFileName;
  TZelvoClock FClock;
  std::unique_ptr<TZelvoRecordingWriter> FWriter;
  TZelvoConnectionObserver FObserver;
  std::int64_t FStart = 0;
  std::int64_t FLastFlush = 0;
  std::int64_t FFrames = 0;
  std::int64_t FBytes = 0;
  std::int64_t FFlushedBytes = 0;
  std::string FError;
  TErrorEvent FOnError;
};
