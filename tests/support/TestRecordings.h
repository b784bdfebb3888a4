// Test fixtures: recordings made byte for byte in a private temporary folder, and headless
// sessions of either program driven by script lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ViewerScript.h"

namespace testing_support {

// A private folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

struct RecordingSpec {
  int64_t FileSize = 0;                       // exact size of the file
  std::string Title = "Test recording";       // TitleText (24 bytes, NUL-padded)
  std::string Signature = "Quentral(tm)";     // Signature (14 bytes, NUL-padded)
  // Byte at file offset i (for i >= 92). Default: a pattern whose levels differ from word to
  // word, so a misplaced column changes the picture.
  std::function<unsigned char(int64_t offset)> Byte{};
};

// The bytes of a recording as RecordingSpec describes it.
std::vector<unsigned char> RecordingBytes(const RecordingSpec& spec);

// Writes the recording to `path` and returns the path.
std::string WriteRecording(const std::string& path, const RecordingSpec& spec);

// The default data byte at an offset: (offset * 7 + offset / 256) & 0xFF.
unsigned char PatternByte(int64_t offset);

// A read-only stream over `bytes` (a temporary file, removed when the stream is closed), at 0.
using StreamPtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
StreamPtr StreamOf(const std::vector<unsigned char>& bytes);

// A headless session of "calvora" or "vespira" driven one script line at a time.
class Viewer {
 public:
  explicit Viewer(const std::string& program);
  // Performs one script line (it must check) and returns what the window then shows.
  viewer_script::Snapshot Do(const std::string& line);
  // Performs several lines and returns the snapshot after the last.
  viewer_script::Snapshot Run(const std::vector<std::string>& lines);

 private:
  viewer_script::ProgramTraits traits_;
  std::unique_ptr<viewer_script::Session> session_;
};

// The frame polyline of a snapshot (the last 576-point polyline drawn in that action), empty
// when no frame was drawn.
std::vector<recording::Point> FramePolyline(const viewer_script::Snapshot& snapshot);

// The y a column of a frame gets for the sample word at `offset` of `bytes`.
int32_t ExpectedY(const std::vector<unsigned char>& bytes, int64_t offset);

}  // namespace testing_support
