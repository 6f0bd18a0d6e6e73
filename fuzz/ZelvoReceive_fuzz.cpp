// Arbitrary bytes through the receive path into the scope driver: the parser's
// resynchronisation, the connection's delivery (also nested from inside a
// handler, as the calibration window does) and the driver's dispatch.
//
// The first input byte chooses the chunk size, so frames are split at varying
// boundaries. Short frames raise "Index out of range" by design; that
// exception is what the application's handler shows, so it is caught here and
// the stream goes on. Anything else escaping, or a sanitizer report, is a bug.

#include <cstddef>
#include <cstdint>

#include "link/Zelvo.h"
#include "link/ZelvoMemoryConnection.h"

namespace {

struct TFeeder {
  TZelvoMemoryConnection& Link;
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t At = 0;
  std::size_t Chunk;

  bool FeedNext() {
    if (At >= Size)
      return false;
    const std::size_t N = Size - At < Chunk ? Size - At : Chunk;
    const std::size_t From = At;
    At += N;
    try {
      Link.FeedThroughScratch(Data + From, static_cast<int>(N));
    } catch (const EOscOutOfRangeError&) {
    }
    return true;
  }
};

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0)
    return 0;
  TZelvo Zelvo;
  TZelvoMemoryConnection Link;
  Zelvo.SetConnection(&Link);
  Link.Open();
  // 0: whole scratch arrays; 1..127: that many bytes; above: steps of 200.
  const std::size_t Chunk = Data[0] == 0    ? COscBufferSize
                            : Data[0] < 128 ? Data[0]
                                            : (Data[0] - 127u) * 200u;
  TFeeder Feeder{Link, Data + 1, Size - 1, 0, Chunk};
  // While the scope reports a calibration the shell's window runs a nested
  // event loop, in which the next chunk arrives.
  int Depth = 0;
  Zelvo.SetOnCalibrate([&](TOscDevice*) {
    if (Depth < 4) {
      ++Depth;
      Feeder.FeedNext();
      --Depth;
    }
  });
  while (Feeder.FeedNext())
    CheckModel(Zelvo);
  Zelvo.TransmitSettings();
  Zelvo.TransmitWifiSettings();
  CheckModel(Zelvo);
  return 0;
}
