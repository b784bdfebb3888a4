// The recording file format: header read, title line, acceptance test, length estimate and
// the opening of a recording stream that never blocks and never admits a non-regular file.
#include "RecordingFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace recording {
namespace {

// The buffers of the open recording streams. stdio never releases a buffer it was given, and a
// buffer must outlive its stream, so CloseRecordingStream releases it after fclose. Never
// destroyed: a stream still open when the program ends keeps its buffer to the end.
struct StreamBuffers {
  std::mutex Lock;
  std::unordered_map<std::FILE*, std::unique_ptr<char[]>> ByStream;
};

StreamBuffers& Buffers() {
  static auto* buffers = new StreamBuffers;
  return *buffers;
}

// Gives a new stream its buffer, before any read as setvbuf requires. The buffer is recorded
// before stdio gets it, so it never goes to a stream without an owner. Without memory for it, or
// should setvbuf refuse, the stream keeps stdio's own buffer: slower, the same bytes.
void GiveStreamBuffer(std::FILE* file) {
  StreamBuffers& buffers = Buffers();
  const std::lock_guard<std::mutex> guard(buffers.Lock);
  try {
    // An entry left by a stream closed with a bare fclose at the same address is replaced.
    std::unique_ptr<char[]>& buffer = buffers.ByStream[file];
    buffer.reset(new char[StreamBufferSize]);
    if (std::setvbuf(file, buffer.get(), _IOFBF, StreamBufferSize) != 0) buffers.ByStream.erase(file);
  } catch (const std::bad_alloc&) {
    buffers.ByStream.erase(file);
  }
}

}  // namespace

HeaderRead ReadFileHeader(std::FILE* file) {
  HeaderRead result{};
  std::fseek(file, 0, SEEK_SET);
  // The count is not examined: a short header leaves zeros, and such a file is too short to
  // pass the acceptance test anyway.
  (void)std::fread(&result.Header, 1, sizeof result.Header, file);
  result.DataStart = static_cast<int32_t>(std::ftell(file));
  return result;
}

std::string TitleOf(const FileHeader& header) {
  std::string title;
  for (unsigned char c : header.TitleText) {
    if (c == 0) break;
    title.push_back(static_cast<char>(c));
  }
  return title;
}

bool IsValidRecording(const FileHeader& header, int32_t DataEnd, int32_t ColumnStep) {
  // Wide arithmetic: ColumnStep * 575 + 92 is compared exactly whatever the step.
  const int64_t smallestDataEnd = int64_t{ColumnStep} * 575 + HeaderSize;
  if (DataEnd < smallestDataEnd) return false;
  const bool firstMatches = TextByte(header.Signature, 0) == static_cast<unsigned char>(SignatureText[0]);
  const bool lastMatches = TextByte(header.Signature, 11) == static_cast<unsigned char>(SignatureText[11]);
  return firstMatches || lastMatches;
}

RecordLength RecordLengthEstimate(int32_t DataEnd) {
  const int64_t length = int64_t{DataEnd} - HeaderSize;
  const int64_t s = length / BytesPerSecond;  // truncates toward zero
  if (s <= 0) return {};
  return {static_cast<int32_t>(s / 60), static_cast<int32_t>(s % 60)};
}

std::FILE* OpenRecordingStream(const std::string& path) {
  if (path.empty()) return nullptr;
  // O_NONBLOCK: opening a FIFO without a writer must not wait; the flag is cleared again
  // once the path is known to be a regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > MaxFileSize) {
    ::close(fd);
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) {
    ::close(fd);
    return nullptr;
  }
  GiveStreamBuffer(file);
  return file;
}

int CloseRecordingStream(std::FILE* file) {
  if (file == nullptr) return 0;
  const int result = std::fclose(file);
  StreamBuffers& buffers = Buffers();
  const std::lock_guard<std::mutex> guard(buffers.Lock);
  buffers.ByStream.erase(file);
  return result;
}

}  // namespace recording
