#include "TestRecordings.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "RecordingFormat.h"

namespace testing_support {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qtr-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

unsigned char PatternByte(int64_t offset) { return static_cast<unsigned char>((offset * 7 + offset / 256) & 0xFF); }

std::vector<unsigned char> RecordingBytes(const RecordingSpec& spec) {
  std::vector<unsigned char> bytes(static_cast<std::size_t>(spec.FileSize), 0);
  for (int64_t i = recording::HeaderSize; i < spec.FileSize; ++i)
    bytes[static_cast<std::size_t>(i)] = spec.Byte ? spec.Byte(i) : PatternByte(i);
  auto put = [&](std::size_t at, std::size_t size, const std::string& text) {
    for (std::size_t k = 0; k < size && at + k < bytes.size(); ++k)
      bytes[at + k] = k < text.size() ? static_cast<unsigned char>(text[k]) : 0;
  };
  put(0, 24, spec.Title);
  put(24, 16, "test info");
  put(40, 4, "");
  put(44, 14, spec.Signature);
  put(58, 34, "");
  return bytes;
}

std::string WriteRecording(const std::string& path, const RecordingSpec& spec) {
  const std::vector<unsigned char> bytes = RecordingBytes(spec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

StreamPtr StreamOf(const std::vector<unsigned char>& bytes) {
  StreamPtr stream(std::tmpfile(), &std::fclose);
  if (stream == nullptr) throw std::runtime_error("tmpfile failed");
  std::fwrite(bytes.data(), 1, bytes.size(), stream.get());
  std::rewind(stream.get());
  return stream;
}

Viewer::Viewer(const std::string& program) {
  const auto traits = viewer_script::FindProgram(program);
  if (!traits) throw std::invalid_argument("unknown program " + program);
  traits_ = *traits;
  session_ = viewer_script::StartSession(traits_);
}

viewer_script::Snapshot Viewer::Do(const std::string& line) {
  const viewer_script::ParsedScript parsed = viewer_script::ParseScript(line, traits_);
  if (parsed.Error || parsed.Actions.size() != 1) throw std::invalid_argument("bad script line: " + line);
  return session_->Perform(parsed.Actions.front());
}

viewer_script::Snapshot Viewer::Run(const std::vector<std::string>& lines) {
  viewer_script::Snapshot last;
  for (const std::string& line : lines) last = Do(line);
  return last;
}

std::vector<recording::Point> FramePolyline(const viewer_script::Snapshot& snapshot) {
  for (auto op = snapshot.Canvas.rbegin(); op != snapshot.Canvas.rend(); ++op)
    if (op->Op == platform::CanvasOp::Kind::Polyline && op->Points.size() == 576) return op->Points;
  return {};
}

int32_t ExpectedY(const std::vector<unsigned char>& bytes, int64_t offset) {
  const auto at = static_cast<std::size_t>(offset);
  const unsigned char high = at < bytes.size() ? bytes[at] : 0;
  const unsigned char low = at + 1 < bytes.size() ? bytes[at + 1] : 0;
  return 412 - recording::SampleLevel(high, low) / 10;
}

}  // namespace testing_support
