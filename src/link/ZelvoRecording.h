#pragma once

// Recordings: every frame received from the scope, exactly as it arrived
// (start byte to end byte), with its arrival time. Format version 1
// (docs/recording-format.md), all numbers little-endian:
//
//   header, 20 bytes: "ZELVOREC" | version u16 = 1 | 0 u16 | start time u64,
//                     microseconds since the Unix epoch
//   then records:     frame length L u32 | time u64, microseconds since the
//                     start | the L bytes of the frame
//
// Frames carry their own checksums, so records carry none. A record cut short
// (a crash, a pulled cable, a full disk) ends the readable part; every
// complete record before it is kept.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

constexpr char CZelvoRecordingMagic[8] = {'Z', 'E', 'L', 'V', 'O', 'R', 'E', 'C'};
constexpr std::uint16_t CZelvoRecordingVersion = 1;
// Header fields, by byte offset.
constexpr int CZelvoRecordingMagicPos = 0;
constexpr int CZelvoRecordingVersionPos = 8;
constexpr int CZelvoRecordingReservedPos = 10;
constexpr int CZelvoRecordingStartPos = 12;
constexpr int CZelvoRecordingHeaderSize = 20;
// Record fields, by byte offset from the record's start.
constexpr int CZelvoRecordLengthPos = 0;
constexpr int CZelvoRecordTimePos = 4;
constexpr int CZelvoRecordFramePos = 12;

// Microseconds of a monotonic clock, any origin: what recording and replay
// measure time with. Tests inject their own.
using TZelvoClock = std::function<std::int64_t()>;
// The process's steady clock.
std::int64_t ZelvoSteadyMicroseconds();
// Microseconds since the Unix epoch, for a recording's start time.
std::int64_t ZelvoWallMicroseconds();

struct TZelvoRecord {
  std::int64_t Time = 0; // microseconds since the recording's start
  std::vector<std::uint8_t> Frame;
};

// Appends records to a new recording file. Records wait in memory until Flush,
// so that a record costs no system call; whoever owns the writer decides when
// to flush (TZelvoRecorder: at least every quarter second).
class TZelvoRecordingWriter {
public:
  // Creates (or replaces) the file and writes the header at once. Raises
  // EOscError "Cannot create file ..." or "Cannot write file ...".
  TZelvoRecordingWriter(const std::string& FileName, std::int64_t StartTime);
  // Writes what is still buffered; a failure then goes unreported, so call
  // Close to learn of it.
  ~TZelvoRecordingWriter();
  TZelvoRecordingWriter(const TZelvoRecordingWriter&) = delete;
  TZelvoRecordingWriter& operator=(const TZelvoRecordingWriter&) = delete;

  const std::string& FileName() const { return FFileName; }
  void Append(std::int64_t Time, const std::uint8_t* Frame, int Size);
  // Hands the buffered records to the file. A failing write raises EOscError
  // "Cannot write file "NAME". REASON"; the writer is then closed.
  void Flush();
  // Flush, then close the file; raises as Flush does.
  void Close();
  bool IsOpen() const { return FFile != nullptr; }

  std::size_t BufferedBytes() const { return FBuffer.size(); }
  std::int64_t Records() const { return FRecords; }
  // The file's size once everything is flushed, header included.
  std::int64_t Bytes() const { return FBytes; }

private:
  struct TCloser {
    void operator()(std::FILE* F) const { std::fclose(F); }
  };
  [[noreturn]] void Failed(int Error);

  std::string FFileName;
  std::unique_ptr<std::FILE, TCloser> FFile;
  std::vector<std::uint8_t> FBuffer;
  std::int64_t FRecords = 0;
  std::int64_t FBytes = 0;
};

// Reads a recording record by record, without holding it in memory.
class TZelvoRecordingReader {
public:
  // Raises EOscError when the file cannot be opened, is not a recording or
  // has another version; the message names the file.
  explicit TZelvoRecordingReader(const std::string& FileName);
  TZelvoRecordingReader(const TZelvoRecordingReader&) = delete;
  TZelvoRecordingReader& operator=(const TZelvoRecordingReader&) = delete;

  const std::string& FileName() const { return FFileName; }
  std::int64_t StartTime() const { return FStartTime; }

  // The next complete record; false at the end of the readable part: the
  // end of the file, a record cut short, or a record that is not a whole
  // frame. Raises EOscError on a failing read.
  bool Next(TZelvoRecord& Record);
  // Once Next has returned false: the bytes after the last complete record.
  std::int64_t DroppedBytes() const { return FDropped; }
  std::int64_t Records() const { return FRecords; }

private:
  // Reads up to Size bytes; fewer only at the end of the file.
  std::size_t Read(std::uint8_t* Data, std::size_t Size);
  // Counts the rest of the file into the dropped bytes.
  void DropRest(std::size_t AlreadyRead);

  struct TCloser {
    void operator()(std::FILE* F) const { std::fclose(F); }
  };
  std::string FFileName;
  std::unique_ptr<std::FILE, TCloser> FFile;
  std::int64_t FStartTime = 0;
  std::int64_t FRecords = 0;
  std::int64_t FDropped = 0;
  bool FEnded = false;
};
