// The receive path against a plain copy of the same bytes: a stream of full
// captures (eight 1042-byte sample frames each) fed in 4 KiB chunks through
// the connection into the scope driver. The second variant shifts each
// capture's last block one sample back so that it ends at 4095: the same bytes
// and frames, without the end-of-capture measurement refresh, which shows the
// link's own share.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"
#include "link/ZelvoMemoryConnection.h"

namespace {

constexpr int CCaptures = 16;
constexpr int CChunk = 4096;

std::vector<std::uint8_t> CaptureStream(const TOscDevice& Device, bool EndsCapture = true) {
  std::vector<std::uint8_t> Stream;
  std::vector<std::uint8_t> Pairs(2 * CZelvoMaxSamplePairs);
  for (int C = 0; C < CCaptures; ++C) {
    for (int Block = 0; Block < CSampleCount / CZelvoMaxSamplePairs; ++Block) {
      for (std::size_t I = 0; I < Pairs.size(); ++I)
        Pairs[I] = static_cast<std::uint8_t>(60 + (I * 7 + static_cast<std::size_t>(C)) % 130);
      TZelvoSettingsBlock Settings = ZelvoSettingsBlock(Device);
      int First = Block * CZelvoMaxSamplePairs;
      if (!EndsCapture && First + CZelvoMaxSamplePairs == CSampleCount)
        --First;
      Settings.Offset = static_cast<std::uint16_t>(2 * First);
      Settings.Status = 2; // battery full, not calibrating
      TZelvoPacket Packet = ZelvoSampleFrame(Settings, Pairs.data(), CZelvoMaxSamplePairs);
      Packet.Finalize();
      Stream.insert(Stream.end(), Packet.Raw(), Packet.Raw() + Packet.Size());
    }
  }
  return Stream;
}

void BM_ReceivePath(benchmark::State& State) {
  TZelvo Zelvo;
  TZelvoMemoryConnection Link;
  Zelvo.SetConnection(&Link);
  const std::vector<std::uint8_t> Stream = CaptureStream(Zelvo, State.range(0) != 0);
  const int Size = static_cast<int>(Stream.size());
  for (auto _ : State) {
    for (int At = 0; At < Size; At += CChunk)
      Link.Feed(Stream.data() + At, std::min(CChunk, Size - At));
    benchmark::DoNotOptimize(Zelvo.Signals()[1].Samples());
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) * Size);
  State.counters["frames"] = benchmark::Counter(static_cast<double>(Link.Statistics().PacketsIn()),
                                                benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReceivePath)->ArgName("with_measurements")->Arg(1)->Arg(0);

void BM_MemcpyOfTheSameStream(benchmark::State& State) {
  TZelvo Zelvo;
  const std::vector<std::uint8_t> Stream = CaptureStream(Zelvo);
  std::vector<std::uint8_t> Copy(Stream.size());
  const int Size = static_cast<int>(Stream.size());
  for (auto _ : State) {
    for (int At = 0; At < Size; At += CChunk)
      std::memcpy(Copy.data() + At, Stream.data() + At,
                  static_cast<std::size_t>(std::min(CChunk, Size - At)));
    benchmark::DoNotOptimize(Copy.data());
    benchmark::ClobberMemory();
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) * Size);
}
BENCHMARK(BM_MemcpyOfTheSameStream);

} // namespace

BENCHMARK_MAIN();
