#pragma once

// A recording played into the scope driver as if the scope sent it: each
// recorded frame goes through the receive path (parser, observers, callbacks)
// at its recorded time after the start, scaled by the speed. What the driver
// sends goes nowhere, so the settings the user changes last only until the
// next recorded frame brings the recorded ones. The playback can pause, step
// to the end of the next capture, and run at 0.25x to 4x.

#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "link/ZelvoConnection.h"
#include "link/ZelvoRecording.h"

class TZelvoReplayConnection : public TZelvoConnection {
public:
  static constexpr double CMinSpeed = 0.25;
  static constexpr double CMaxSpeed = 4;

  // Clock: microseconds of a monotonic clock; tests inject one, move it and
  // call Pump themselves.
  explicit TZelvoReplayConnection(TZelvoClock Clock = {});
  ~TZelvoReplayConnection() override;

  const std::string& FileName() const { return FFileName; }
  // Raises EZelvoLinkError while open, unless the name is unchanged.
  void SetFileName(const std::string& Value);

  // Opens the recording and reports the link up at once (the driver then
  // sends its settings and sample request, which go nowhere), then plays
  // from the recording's start. A file that is not a recording raises
  // EOscError naming it, and the link stays down. Returns Connected().
  bool Open() override;
  // Stops playing and reports the link down.
  void Close() override;
  bool Connected() const override { return FReader != nullptr; }
  // Counted and reported as sent; no byte goes anywhere.
  void Send(TZelvoPacket& Packet) override;

  bool Paused() const { return FPaused; }
  void Pause();
  void Resume();
  // Pauses, then plays every frame up to and including the next one that
  // completes a capture (or up to the end).
  void Step();
  double Speed() const { return FSpeed; }
  // Clamped to CMinSpeed .. CMaxSpeed; takes effect from now on.
  void SetSpeed(double Value);

  // Microseconds of recording time the playback has reached.
  std::int64_t Position() const;
  std::int64_t FramesPlayed() const { return FFramesPlayed; }
  // Every readable record has been played. The link stays up, showing the
  // last capture, until it is closed.
  bool Finished() const { return FFinished; }
  // Once finished: the bytes after the last complete record (a recording cut
  // short) and, should reading have failed, the message.
  std::int64_t DroppedBytes() const { return FDroppedBytes; }
  const std::string& Error() const { return FError; }
  // Called once when the playback reaches the end, after the last frame.
  const TZelvoNotifyEvent& OnFinished() const { return FOnFinished; }
  void SetOnFinished(TZelvoNotifyEvent Value) { FOnFinished = std::move(Value); }

  // Plays every frame that is due by the clock, then sets the timer for the
  // next one. The timer calls it.
  void Pump();

private:
  // Plays the frames that are due; returns without setting the timer.
  void PlayDue();
  // Plays the next record; false when there is none.
  bool PlayNext();
  void ReadAhead();
  void Arm();
  // Marks the end of the recording, once.
  void Finish();
  // Takes the position the clock has reached as the new starting point.
  void Rebase();

  TZelvoClock FClock;
  std::unique_ptr<QTimer> FTimer;
  std::string FFileName;
  std::unique_ptr<TZelvoRecordingReader> FReader;
  std::optional<TZelvoRecord> FNext;
  TZelvoRecord FScratch;
  // Recording time FPosition was reached at clock time FAnchor.
  std::int64_t FPosition = 0;
  std::int64_t FAnchor = 0;
  double FSpeed = 1;
  bool FPaused = false;
  bool FFinished = false;
  bool FPlaying = false; // inside PlayDue or Step: a nested loop's timer must wait
  std::int64_t FFramesPlayed = 0;
  std::int64_t FDroppedBytes = 0;
  std::string FError;
  TZelvoNotifyEvent FOnFinished;
};
