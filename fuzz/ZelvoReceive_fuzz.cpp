// Arbitrary bytes through the receive path into the scope driver: the parser's
// resynchronisation, the connection's delivery (also nested from inside a
// handler, as the calibration window does) and the driver's dispatch. The
// stream goes in twice, each time into a fresh driver: in chunks copied
// through the scratch array, and through the Qt links' read-until-empty loop
// (ReadAvailable) over a read source that hands out pieces of chosen sizes.
//
// Input: one byte choosing the chunk size, one byte N (taken modulo 8), N
// bytes of read piece sizes, then the stream. Short frames raise "Index out of
// range" by design; that exception is what the application's handler shows,
// so it is caught here and the stream goes on, as it does on the links.
// Anything else escaping, or a sanitizer report, is a bug.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/Zelvo.h"
#include "link/ZelvoMemoryConnection.h"

namespace {

// 0 stands for "all", 1..127 for that many bytes, above for steps of 200.
std::size_t SizeFromByte(std::uint8_t B, std::size_t All) {
  return B == 0 ? All : B < 128 ? B : (B - 127u) * 200u;
}

void CheckModel(const TZelvo& Zelvo) {
  bool Valid = OscIsValidOrdinal(Zelvo.TimeBase()) && OscIsValidOrdinal(Zelvo.Trigger().Mode()) &&
               OscIsValidOrdinal(Zelvo.Trigger().Slope()) &&
               OscIsValidOrdinal(Zelvo.Battery().State());
  for (int I = 0; I < 2; ++I) {
    const TOscSignal& S = Zelvo.Signals()[I];
    Valid = Valid && OscIsValidOrdinal(S.Coupling()) && OscIsValidOrdinal(S.VoltsPerDivision()) &&
            S.Fill() >= 0 && S.Fill() <= S.Count();
  }
  const int Channel = Zelvo.WifiSettings().Channel();
  Valid = Valid && (Channel == 0 || (Channel >= 1 && Channel <= 13));
  if (!Valid)
    __builtin_trap();
}

void CheckSendsStillWork(TZelvo& Zelvo) {
  Zelvo.TransmitSettings();
  Zelvo.TransmitWifiSettings();
  CheckModel(Zelvo);
}

struct TStream {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t At = 0;
  bool Done() const { return At >= Size; }
};

// Chunks copied through the scratch array, one receive event each.
void FeedInChunks(TStream Stream, std::size_t Chunk) {
  TZelvo Zelvo;
  TZelvoMemoryConnection Link;
  Zelvo.SetConnection(&Link);
  Link.Open();
  auto FeedNext = [&] {
    const std::size_t N = Stream.Size - Stream.At < Chunk ? Stream.Size - Stream.At : Chunk;
    const std::size_t From = Stream.At;
    Stream.At += N;
    try {
      Link.FeedThroughScratch(Stream.Data + From, static_cast<int>(N));
    } catch (const EOscOutOfRangeError&) {
    }
  };
  // While the scope reports a calibration the shell's window runs a nested
  // event loop, in which the next chunk arrives.
  int Depth = 0;
  Zelvo.SetOnCalibrate([&](TOscDevice*) {
    if (Depth < 4 && !Stream.Done()) {
      ++Depth;
      FeedNext();
      --Depth;
    }
  });
  while (!Stream.Done()) {
    FeedNext();
    CheckModel(Zelvo);
  }
  CheckSendsStillWork(Zelvo);
}

// The stream as a socket or serial port would hand it out: successive reads
// return the chosen piece sizes in turn (never more than asked for). A piece
// of 0 means nothing is waiting, which ends the read loop until the next
// readyRead; two in a row are not given, so every run makes progress.
class TPieceSource {
public:
  TPieceSource(TStream AStream, const std::uint8_t* APieces, std::size_t ACount)
      : FStream(AStream), FPieces(APieces), FCount(ACount) {}
  bool Done() const { return FStream.Done(); }

  long long Read(std::uint8_t* Buffer, int MaxLength) {
    if (Done() || MaxLength <= 0)
      return 0;
    const std::uint8_t Piece = FCount > 0 ? FPieces[FNext++ % FCount] : 0xFF;
    const std::size_t Max = static_cast<std::size_t>(MaxLength);
    if (Piece == 0 && !FLastEmpty) {
      FLastEmpty = true;
      return 0;
    }
    FLastEmpty = false;
    std::size_t N = Piece == 0 ? Max : SizeFromByte(Piece, Max);
    N = N < Max ? N : Max;
    N = N < FStream.Size - FStream.At ? N : FStream.Size - FStream.At;
    std::memcpy(Buffer, FStream.Data + FStream.At, N);
    FStream.At += N;
    return static_cast<long long>(N);
  }

private:
  TStream FStream;
  const std::uint8_t* FPieces;
  std::size_t FCount;
  std::size_t FNext = 0;
  bool FLastEmpty = false;
};

void FeedThroughReadLoop(TStream Stream, const std::uint8_t* Pieces, std::size_t PieceCount) {
  TZelvo Zelvo;
  TZelvoMemoryConnection Link;
  Zelvo.SetConnection(&Link);
  Link.Open();
  TPieceSource Source(Stream, Pieces, PieceCount);
  // One run per readyRead; after an exception the links queue another run,
  // which first delivers the frames still held.
  auto Run = [&] {
    try {
      Link.ReadFrom(
          [&](std::uint8_t* Buffer, int MaxLength) { return Source.Read(Buffer, MaxLength); });
    } catch (const EOscOutOfRangeError&) {
    }
  };
  // A readyRead during the calibration window's nested loop runs the read
  // loop again from inside the delivery of a frame.
  int Depth = 0;
  Zelvo.SetOnCalibrate([&](TOscDevice*) {
    if (Depth < 4) {
      ++Depth;
      Run();
      --Depth;
    }
  });
  while (!Source.Done()) {
    Run();
    CheckModel(Zelvo);
  }
  Run();
  CheckSendsStillWork(Zelvo);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 2)
    return 0;
  const std::size_t Chunk = SizeFromByte(Data[0], COscBufferSize);
  const std::size_t PieceCount = Data[1] % 8u;
  if (Size < 2 + PieceCount)
    return 0;
  const std::uint8_t* Pieces = Data + 2;
  const TStream Stream{Data + 2 + PieceCount, Size - 2 - PieceCount};
  FeedInChunks(Stream, Chunk);
  FeedThroughReadLoop(Stream, Pieces, PieceCount);
  return 0;
}
