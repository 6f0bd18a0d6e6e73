#include "sim/ZelvoSimSession.h"

#include <algorithm>

TZelvoSimSession::TZelvoSimSession(TZelvoSimScope& AScope, std::string AName, std::uint32_t Seed)
    : FScope(AScope), FName(std::move(AName)), FRandom(Seed) {}

bool TZelvoSimSession::WantsSamples() const {
  const long Max = FScope.Config().MaxSampleFrames;
  return FStreaming && !FDropping && (Max <= 0 || FRecord.SampleFramesSent < Max);
}

std::vector<TZelvoSimRequest> TZelvoSimSession::Receive(const std::uint8_t* Data, int Length,
                                                        const TZelvoSimLog& Log) {
  std::vector<TZelvoSimRequest> Global;
  while (Length > 0) {
    // The parser holds at most one incomplete frame between calls, so its
    // free room is never below 24559 bytes here.
    const TOscBuffer& B = FParser.Buffer();
    const int Piece = std::min(Length, B.Capacity() - B.Size());
    FParser.Append(Data, Piece);
    Data += Piece;
    Length -= Piece;
    while (std::unique_ptr<TZelvoPacket> P = FParser.Next()) {
      if (Log)
        Log(FName + " rx " + TZelvoSimScope::Describe(*P));
      if (FScope.Config().RecordFrames)
        FRecord.Received.emplace_back(P->Raw(), P->Raw() + P->Size());
      const TZelvoSimRequest Request = FScope.Apply(*P);
      // A replay answers nothing: the link carries the recording alone.
      if (!FScope.Config().ReplayFile.empty()) {
        if (Request == TZelvoSimRequest::StartStream)
          StartReplay(Log);
        continue;
      }
      switch (Request) {
      case TZelvoSimRequest::Settings:
        // A new capture with the new settings, unless the old one is held.
        if (!SimHold(FScope.Settings())) {
          FCapture.Valid = false;
          FNextSample = 0;
        }
        break;
      case TZelvoSimRequest::StartStream:
        FStreaming = true;
        FNextSample = 0;
        break;
      case TZelvoSimRequest::WifiRequest:
        Enqueue(FScope.WifiFrame());
        break;
      case TZelvoSimRequest::DebugOn:
        FDebug = true;
        Enqueue(TZelvoSimScope::DebugFrame("debug output on"));
        break;
      case TZelvoSimRequest::DebugOff:
        FDebug = false;
        break;
      case TZelvoSimRequest::Calibrate:
        Global.push_back(TZelvoSimRequest::Calibrate);
        break;
      default:
        break;
      }
    }
  }
  return Global;
}

void TZelvoSimSession::Enqueue(TZelvoPacket Packet) {
  if (FDropping)
    return;
  const TZelvoSimFaults& F = FScope.Config().Faults;
  std::uniform_real_distribution<double> Chance(0, 1);
  const bool Sample = Packet.Command() == CScopeSampleDataCommand;
  if (Sample && F.BadOrdinals > 0 && Chance(FRandom) < F.BadOrdinals) {
    // Ordinals just past each enumeration's end and beyond.
    std::uniform_int_distribution<int> Byte(0, 255);
    TZelvoSettingsBlock B = ZelvoReadSettingsBlock(Packet);
    B.Coupling[0] = static_cast<std::uint8_t>(std::max(3, Byte(FRandom)));
    B.VoltsPerDivision[0] = static_cast<std::uint8_t>(std::max(13, Byte(FRandom)));
    B.TimeBase = static_cast<std::uint8_t>(std::max(19, Byte(FRandom)));
    B.Flags |= CZelvoFlagModeMask;
    ZelvoWriteSettingsBlock(Packet, B);
  }
  Packet.Finalize();
  std::string Bytes(reinterpret_cast<const char*>(Packet.Raw()),
                    static_cast<std::size_t>(Packet.Size()));
  bool Good = true;
  if (F.Corrupt > 0 && Chance(FRandom) < F.Corrupt) {
    Bytes[Bytes.size() - 2] = static_cast<char>(
        Bytes[Bytes.size() - 2] ^ std::uniform_int_distribution<int>(1, 255)(FRandom));
    Good = false;
  }
  if (F.Garbage > 0 && Chance(FRandom) < F.Garbage) {
    std::uniform_int_distribution<int> Byte(0, 255);
    const int N = std::uniform_int_distribution<int>(1, 16)(FRandom);
    std::string G;
    for (int I = 0; I < N; ++I)
      G += static_cast<char>(Byte(FRandom));
    Bytes.insert(0, G);
  }
  if (F.Split) {
    std::size_t Pos = 0;
    while (Pos < Bytes.size()) {
      const std::size_t N = std::min<std::size_t>(
          Bytes.size() - Pos, std::uniform_int_distribution<std::size_t>(1, 300)(FRandom));
      FOut.push_back(Bytes.substr(Pos, N));
      Pos += N;
    }
  } else {
    FOut.push_back(Bytes);
  }
  FOutBytes += Bytes.size();
  ++FRecord.FramesSent;
  FRecord.BytesSent += static_cast<long>(Bytes.size());
  if (Sample)
    ++FRecord.SampleFramesSent;
  if (Good && FScope.Config().RecordFrames)
    FRecord.SentGood.emplace_back(Packet.Raw(), Packet.Raw() + Packet.Size());
  if (F.DropAfter > 0 && FRecord.FramesSent >= F.DropAfter)
    FDropping = true;
}

void TZelvoSimSession::EnqueueTogether(std::vector<TZelvoPacket> Frames) {
  if (FDropping)
    return;
  std::string Bytes;
  for (TZelvoPacket& Packet : Frames) {
    Packet.Finalize();
    Bytes.append(reinterpret_cast<const char*>(Packet.Raw()),
                 static_cast<std::size_t>(Packet.Size()));
    ++FRecord.FramesSent;
    if (FScope.Config().RecordFrames)
      FRecord.SentGood.emplace_back(Packet.Raw(), Packet.Raw() + Packet.Size());
  }
  FOutBytes += Bytes.size();
  FRecord.BytesSent += static_cast<long>(Bytes.size());
  FOut.push_back(std::move(Bytes));
}

void TZelvoSimSession::EnqueueSample() {
  if (FNextSample == 0 || !FCapture.Valid) {
    FScope.Capture(FCapture, FRandom);
    FNextSample = 0;
  }
  const int Block = std::clamp(FScope.Config().BlockPairs, 1, CZelvoMaxSamplePairs);
  const int Pairs = std::min(Block, CSampleCount - FNextSample);
  Enqueue(FScope.SampleFrame(FCapture, FNextSample, Pairs));
  FNextSample = (FNextSample + Pairs) % CSampleCount;
}

std::string TZelvoSimSession::TakeChunk(std::size_t Max) {
  std::string& Front = FOut.front();
  std::string Chunk;
  if (Front.size() <= Max) {
    Chunk = std::move(Front);
    FOut.pop_front();
  } else {
    Chunk = Front.substr(0, Max);
    Front.erase(0, Max);
  }
  FOutBytes -= Chunk.size();
  return Chunk;
}

void TZelvoSimSession::PutBack(std::string Rest) {
  FOutBytes += Rest.size();
  FOut.push_front(std::move(Rest));
}

void TZelvoSimSession::StartReplay(const TZelvoSimLog& Log) {
  FReplayNext.reset();
  FReplayStarted = false;
  try {
    FReplay = std::make_unique<TZelvoRecordingReader>(FScope.Config().ReplayFile);
  } catch (const EOscError& E) {
    FReplay.reset();
    if (Log)
      Log(FName + " replay: " + E.what());
    return;
  }
  if (Log)
    Log(FName + " replay: " + FScope.Config().ReplayFile);
  ReadReplayAhead(Log);
}

void TZelvoSimSession::ReadReplayAhead(const TZelvoSimLog& Log) {
  TZelvoRecord Record;
  std::string Why;
  try {
    if (FReplay && FReplay->Next(Record)) {
      FReplayNext = std::move(Record);
      return;
    }
  } catch (const EOscError& E) {
    Why = std::string(", ") + E.what();
  }
  FReplayNext.reset();
  if (FReplay && Log) {
    const std::int64_t Dropped = FReplay->DroppedBytes();
    Log(FName + " replay: the recording is played out after " + std::to_string(FReplay->Records()) +
        " frames" +
        (Dropped > 0 ? ", " + std::to_string(Dropped) + " bytes after them dropped" : "") + Why);
  }
  FReplay.reset();
}

void TZelvoSimSession::EnqueueReplayNext(const TZelvoSimLog& Log) {
  if (!ReplayPending())
    return;
  const TZelvoRecord Record = std::move(*FReplayNext);
  ReadReplayAhead(Log);
  Enqueue(TZelvoPacket(Record.Frame.data(), static_cast<int>(Record.Frame.size())));
}

void TZelvoSimSession::EnqueueReplayDue(std::int64_t Now, std::size_t MaxQueued,
                                        const TZelvoSimLog& Log) {
  if (ReplayPending() && !FReplayStarted) {
    FReplayOrigin = Now - FReplayNext->Time;
    FReplayStarted = true;
  }
  while (ReplayPending() && FReplayOrigin + FReplayNext->Time <= Now && FOutBytes < MaxQueued)
    EnqueueReplayNext(Log);
}
