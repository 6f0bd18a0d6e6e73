#include "link/ZelvoRecording.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include "link/OscCircularBuffer.h"
#include "link/ZelvoPacket.h"
#include "osc/OscTypes.h"

namespace {

// Flushing is the owner's business, but memory must not grow without bound
// should it forget: beyond this the buffer goes out with the next record.
constexpr std::size_t CMaxBuffered = 4 * 1024 * 1024;

std::string SystemReason(int Error) {
  return Error != 0 ? std::strerror(Error) : "Input/output error";
}

void PutU16(std::uint8_t* P, std::uint16_t V) {
  for (int I = 0; I < 2; ++I)
    P[I] = static_cast<std::uint8_t>(V >> (8 * I));
}
void PutU32(std::uint8_t* P, std::uint32_t V) {
  for (int I = 0; I < 4; ++I)
    P[I] = static_cast<std::uint8_t>(V >> (8 * I));
}
void PutU64(std::uint8_t* P, std::uint64_t V) {
  for (int I = 0; I < 8; ++I)
    P[I] = static_cast<std::uint8_t>(V >> (8 * I));
}
std::uint64_t GetLE(const std::uint8_t* P, int Size) {
  std::uint64_t V = 0;
  for (int I = Size - 1; I >= 0; --I)
    V = (V << 8) | P[I];
  return V;
}

// A whole frame as the parser would have cut it: start byte, its own length,
// end byte and checksum.
bool WholeFrame(const std::vector<std::uint8_t>& F) {
  const int N = static_cast<int>(F.size());
  return N >= CZelvoMinPacketSize && N <= CZelvoMaxPacketSize && F[0] == COscStx &&
         ZelvoGetU16(&F[2]) == N && F[static_cast<std::size_t>(N - 1)] == COscEtx &&
         F[static_cast<std::size_t>(N - 2)] == TOscChecksum::Calculate(F.data(), N - 2);
}

} // namespace

std::int64_t ZelvoSteadyMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::int64_t ZelvoWallMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// ---- Writer ---------------------------------------------------------------------

TZelvoRecordingWriter::TZelvoRecordingWriter(const std::string& FileName, std::int64_t StartTime)
    : FFileName(FileName) {
  errno = 0;
  FFile.reset(std::fopen(FileName.c_str(), "wb"));
  if (!FFile)
    throw EOscError("Cannot create file \"" + FileName + "\". " + SystemReason(errno));
  // Our own buffer batches the records; the stream's would only copy them again.
  std::setvbuf(FFile.get(), nullptr, _IONBF, 0);
  std::uint8_t Header[CZelvoRecordingHeaderSize] = {};
  std::memcpy(Header + CZelvoRecordingMagicPos, CZelvoRecordingMagic, sizeof CZelvoRecordingMagic);
  PutU16(Header + CZelvoRecordingVersionPos, CZelvoRecordingVersion);
  PutU16(Header + CZelvoRecordingReservedPos, 0);
  PutU64(Header + CZelvoRecordingStartPos, static_cast<std::uint64_t>(StartTime));
  FBuffer.assign(Header, Header + CZelvoRecordingHeaderSize);
  FBytes = CZelvoRecordingHeaderSize;
  Flush();
}

TZelvoRecordingWriter::~TZelvoRecordingWriter() {
  try {
    Close();
  } catch (const EOscError&) {
    // Reported only to those who call Close.
  }
}

void TZelvoRecordingWriter::Append(std::int64_t Time, const std::uint8_t* Frame, int Size) {
  if (!FFile || Size < 0)
    return;
  const std::size_t At = FBuffer.size();
  FBuffer.resize(At + CZelvoRecordFramePos + static_cast<std::size_t>(Size));
  std::uint8_t* P = FBuffer.data() + At;
  PutU32(P + CZelvoRecordLengthPos, static_cast<std::uint32_t>(Size));
  PutU64(P + CZelvoRecordTimePos, static_cast<std::uint64_t>(Time));
  std::memcpy(P + CZelvoRecordFramePos, Frame, static_cast<std::size_t>(Size));
  ++FRecords;
  FBytes += CZelvoRecordFramePos + Size;
  if (FBuffer.size() >= CMaxBuffered)
    Flush();
}

void TZelvoRecordingWriter::Flush() {
  if (!FFile || FBuffer.empty())
    return;
  errno = 0;
  const std::size_t Written = std::fwrite(FBuffer.data(), 1, FBuffer.size(), FFile.get());
  if (Written != FBuffer.size())
    Failed(errno);
  FBuffer.clear();
}

void TZelvoRecordingWriter::Close() {
  if (!FFile)
    return;
  Flush();
  errno = 0;
  if (std::fclose(FFile.release()) != 0)
    Failed(errno);
}

void TZelvoRecordingWriter::Failed(int Error) {
  FFile.reset();
  FBuffer.clear();
  throw EOscError("Cannot write file \"" + FFileName + "\". " + SystemReason(Error));
}

// ---- Reader ---------------------------------------------------------------------

TZelvoRecordingReader::TZelvoRecordingReader(const std::string& FileName) : FFileName(FileName) {
  errno = 0;
  FFile.reset(std::fopen(FileName.c_str(), "rb"));
  if (!FFile)
    throw EOscError("Cannot open file \"" + FileName + "\". " + SystemReason(errno));
  std::uint8_t Header[CZelvoRecordingHeaderSize];
  if (Read(Header, sizeof Header) != sizeof Header ||
      std::memcmp(Header + CZelvoRecordingMagicPos, CZelvoRecordingMagic,
                  sizeof CZelvoRecordingMagic) != 0)
    throw EOscError("File \"" + FileName + "\" is not a Zelvo recording");
  const auto Version = GetLE(Header + CZelvoRecordingVersionPos, 2);
  if (Version != CZelvoRecordingVersion)
    throw EOscError("File \"" + FileName + "\" is a recording of format version " +
                    std::to_string(Version) + "; this program reads version " +
                    std::to_string(CZelvoRecordingVersion));
  FStartTime = static_cast<std::int64_t>(GetLE(Header + CZelvoRecordingStartPos, 8));
}

std::size_t TZelvoRecordingReader::Read(std::uint8_t* Data, std::size_t Size) {
  errno = 0;
  const std::size_t N = std::fread(Data, 1, Size, FFile.get());
  if (N < Size && std::ferror(FFile.get()))
    throw EOscError("Cannot read file \"" + FFileName + "\". " + SystemReason(errno));
  return N;
}

void TZelvoRecordingReader::DropRest(std::size_t AlreadyRead) {
  FEnded = true;
  FDropped = static_cast<std::int64_t>(AlreadyRead);
  std::uint8_t Chunk[65536];
  while (std::size_t N = Read(Chunk, sizeof Chunk))
    FDropped += static_cast<std::int64_t>(N);
}

bool TZelvoRecordingReader::Next(TZelvoRecord& Record) {
  if (FEnded)
    return false;
  std::uint8_t Head[CZelvoRecordFramePos];
  const std::size_t Got = Read(Head, sizeof Head);
  if (Got < sizeof Head) {
    DropRest(Got);
    return false;
  }
  const auto Length = GetLE(Head + CZelvoRecordLengthPos, 4);
  // No frame is longer; anything else is not a record of ours.
  if (Length > static_cast<std::uint64_t>(CZelvoMaxPacketSize)) {
    DropRest(Got);
    return false;
  }
  Record.Time = static_cast<std::int64_t>(GetLE(Head + CZelvoRecordTimePos, 8));
  Record.Frame.resize(static_cast<std::size_t>(Length));
  const std::size_t FrameGot = Read(Record.Frame.data(), Record.Frame.size());
  if (FrameGot < Record.Frame.size() || !WholeFrame(Record.Frame)) {
    DropRest(Got + FrameGot);
    return false;
  }
  ++FRecords;
  return true;
}
