#pragma once

// One client of the simulated scope on one link: the frames it sent us, the
// stream of captures we send it, and the faults laid onto what goes out.
// Outgoing bytes wait here as chunks; TZelvoSimulator writes them to the
// socket or pseudo-terminal, each chunk with its own write call.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "link/ZelvoPacket.h"
#include "link/ZelvoPacketParser.h"
#include "link/ZelvoRecording.h"
#include "sim/ZelvoSimScope.h"

using TZelvoSimLog = std::function<void(const std::string& Line)>;
using TZelvoSimFrame = std::vector<std::uint8_t>;

// What a link saw, kept when TZelvoSimConfig::RecordFrames is set.
struct TZelvoSimRecord {
  std::vector<TZelvoSimFrame> Received; // every frame from the program, in order
  std::vector<TZelvoSimFrame> SentGood; // every intact frame sent, in order
  long FramesSent = 0;                  // intact or not
  long SampleFramesSent = 0;
  long BytesSent = 0;
};

class TZelvoSimSession {
public:
  TZelvoSimSession(TZelvoSimScope& AScope, std::string AName, std::uint32_t Seed);

  const std::string& Name() const { return FName; }
  bool Streaming() const { return FStreaming; }
  bool Debug() const { return FDebug; }
  // Set once the fault's frame count is reached: the link is to be closed as
  // soon as the queued bytes are out.
  bool Dropping() const { return FDropping; }
  // Streaming and below the configured number of sample frames.
  bool WantsSamples() const;

  // Parses received bytes and acts on every complete frame; returns the
  // requests that concern the whole scope (calibration), in order.
  std::vector<TZelvoSimRequest> Receive(const std::uint8_t* Data, int Length,
                                        const TZelvoSimLog& Log);

  // Queues a frame (finalizing it), with the configured faults.
  void Enqueue(TZelvoPacket Packet);
  // Queues the frames as one chunk, to go out in one write, without faults.
  void EnqueueTogether(std::vector<TZelvoPacket> Frames);
  // Queues the next block of the current capture, taking a new capture at
  // its start.
  void EnqueueSample();

  // Replay (TZelvoSimConfig::ReplayFile): whether recorded frames wait to be
  // sent. The recording starts from its beginning at each sample request.
  bool ReplayPending() const { return FReplayNext.has_value() && !FDropping; }
  // Queues the recorded frames due by Now (microseconds of a steady clock):
  // the first at once, each later one at its recorded distance from the first,
  // while fewer than MaxQueued bytes wait to go out. Frames held back by a slow
  // line go as soon as it takes them.
  void EnqueueReplayDue(std::int64_t Now, std::size_t MaxQueued, const TZelvoSimLog& Log);
  // Queues the next recorded frame, whatever its time.
  void EnqueueReplayNext(const TZelvoSimLog& Log);

  std::deque<std::string>& Out() { return FOut; }
  std::size_t OutBytes() const { return FOutBytes; }
  // Takes up to Max bytes of the first chunk off the queue.
  std::string TakeChunk(std::size_t Max);
  void PutBack(std::string Rest);

  const TZelvoSimRecord& Record() const { return FRecord; }

private:
  TZelvoSimScope& FScope;
  std::string FName;
  std::mt19937 FRandom;
  TZelvoPacketParser FParser;
  TZelvoSimCapture FCapture;
  int FNextSample = 0;
  bool FStreaming = false;
  bool FDebug = false;
  bool FDropping = false;
  void StartReplay(const TZelvoSimLog& Log);
  void ReadReplayAhead(const TZelvoSimLog& Log);

  std::unique_ptr<TZelvoRecordingReader> FReplay;
  std::optional<TZelvoRecord> FReplayNext;
  std::int64_t FReplayOrigin = 0; // steady-clock time of recording time 0
  bool FReplayStarted = false;
  std::deque<std::string> FOut;
  std::size_t FOutBytes = 0;
  TZelvoSimRecord FRecord;
};
