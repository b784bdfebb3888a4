// The Quentral recording file (".qtr"): a 92-byte FileHeader of five text fields, the sample
// data from DataStart as big-endian 16-bit words, and a 32-byte tail that nothing interprets.
// This file knows the byte layout, the acceptance test of File > Open, the record length
// estimate and how a recording stream is opened. Plain C++ and C stdio; no platform, no Qt.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace recording {

inline constexpr int32_t HeaderSize = 92;       // bytes of FileHeader; DataStart of every accepted file
inline constexpr int32_t TailSize = 32;         // DataEnd = FileSize - TailSize
inline constexpr int32_t BytesPerSecond = 88200;
inline constexpr char SignatureText[] = "Quentral(tm)";

// Offsets and sizes are signed 32-bit byte counts, so a larger file cannot be addressed and
// is treated as a file that cannot be opened.
inline constexpr int64_t MaxFileSize = std::numeric_limits<int32_t>::max();

struct FileHeader {
  std::array<unsigned char, 24> TitleText{};
  std::array<unsigned char, 16> InfoText1{};
  std::array<unsigned char, 4> InfoText2{};
  std::array<unsigned char, 14> Signature{};
  std::array<unsigned char, 34> InfoText3{};
};
static_assert(sizeof(FileHeader) == HeaderSize, "FileHeader is the 92 bytes at the start of the file");

struct HeaderRead {
  FileHeader Header;
  int32_t DataStart;  // the stream position after the header read
};

// Seeks to offset 0 and reads the 92 header bytes; a short read leaves the rest zero.
// The stream stays after what was read.
HeaderRead ReadFileHeader(std::FILE* file);

// The title line: TitleText up to its first NUL, at most 24 single-byte characters.
std::string TitleOf(const FileHeader& header);

// Byte i of a text field as text: a byte after the field's first NUL counts as NUL.
template <std::size_t N>
constexpr unsigned char TextByte(const std::array<unsigned char, N>& field, std::size_t i) {
  for (std::size_t k = 0; k < i && k < N; ++k)
    if (field[k] == 0) return 0;
  return i < N ? field[i] : 0;
}

// The acceptance test of File > Open: rejected when the data cannot fill one frame at the
// ColumnStep in force, or when neither signature byte 0 nor byte 11 matches.
bool IsValidRecording(const FileHeader& header, int32_t DataEnd, int32_t ColumnStep);

// The level of one sample word, 0..8191: the unsigned big-endian value divided by 8.
constexpr int32_t SampleLevel(unsigned char high, unsigned char low) {
  return int32_t{high} * 32 + int32_t{low} / 8;
}

struct RecordLength {
  int32_t Minutes = 0;
  int32_t Seconds = 0;
};

// Whole minutes and remaining seconds of DataEnd - 92 bytes at 88,200 bytes per second;
// 0 and 0 when there is less than one second (or less than nothing).
RecordLength RecordLengthEstimate(int32_t DataEnd);

// The stdio buffer of a recording stream. RenderFrame reads a frame in ReadChunk pieces (up to
// 576 of them); a buffer of several chunks lets one system call serve about seven of them
// instead of two calls for every chunk, as stdio's own buffer of a file block would.
inline constexpr std::size_t StreamBufferSize = std::size_t{64} * 1024;

// Opens a recording for reading ("rb"), fully buffered with a buffer of StreamBufferSize.
// Returns null for anything that is not a regular file (a folder, a device, a pipe: opened
// without blocking, then refused) and for a file larger than MaxFileSize, so that every offset
// of an open recording fits 32 bits. Close it with CloseRecordingStream.
std::FILE* OpenRecordingStream(const std::string& path);

// Closes a stream that OpenRecordingStream opened and releases its buffer; fclose's result.
int CloseRecordingStream(std::FILE* file);

}  // namespace recording
