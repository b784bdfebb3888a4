// Helpers of the navigation tests. What a frame must show, worked out from a recording's bytes
// by the rules of the render loop and written without the renderer: one read of ReadChunk
// bytes per pass into a buffer that starts zero-filled, columns at p = 0, ColumnStep, ...
// inside each chunk, the loop ending after the pass whose read came back short, a frame whose
// last columns come from the stale rest of the buffer. And scenarios: short scripts of user
// actions with the frames, stream position, thumb and time index the last action must leave.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TestRecordings.h"

namespace nav_test {

using recording::Point;

// The bytes of a recording file: held in memory, or given by a function (a sparse file of
// 2 GiB is never held whole).
struct RecordingImage {
  int64_t Size = 0;
  const std::vector<unsigned char>* Bytes = nullptr;
  std::function<unsigned char(int64_t)> ByteAt;

  // Reads up to n bytes at `offset` into `out` and returns how many there were.
  int64_t Read(int64_t offset, int64_t n, unsigned char* out) const {
    const int64_t available = std::clamp<int64_t>(Size - offset, 0, n);
    if (Bytes != nullptr) {
      if (available > 0) std::memcpy(out, Bytes->data() + offset, static_cast<std::size_t>(available));
    } else {
      for (int64_t i = 0; i < available; ++i) out[i] = ByteAt(offset + i);
    }
    return available;
  }
};

inline RecordingImage ImageOf(const std::vector<unsigned char>& bytes) {
  return {static_cast<int64_t>(bytes.size()), &bytes, {}};
}

// A recording of `size` bytes that holds only its header and the test pattern over `windows`
// (offsets [first, last)), zeros elsewhere: a sparse file however large it is.
inline RecordingImage WriteSparseRecording(const std::string& path, int64_t size,
                                           const std::vector<std::pair<int64_t, int64_t>>& windows) {
  const std::vector<unsigned char> header = testing_support::RecordingBytes({.FileSize = 92});
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  EXPECT_GE(fd, 0) << path;
  EXPECT_EQ(::pwrite(fd, header.data(), header.size(), 0), 92);
  for (const auto& [first, last] : windows) {
    std::vector<unsigned char> data;
    for (int64_t i = first; i < last; ++i) data.push_back(testing_support::PatternByte(i));
    EXPECT_EQ(::pwrite(fd, data.data(), data.size(), first), static_cast<ssize_t>(data.size()));
  }
  EXPECT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
  RecordingImage image;
  image.Size = size;
  image.ByteAt = [header, windows](int64_t offset) -> unsigned char {
    if (offset < 92) return header[static_cast<std::size_t>(offset)];
    for (const auto& [first, last] : windows)
      if (offset >= first && offset < last) return testing_support::PatternByte(offset);
    return 0;
  };
  return image;
}

struct ExpectedFrame {
  bool Drawn = false;
  std::vector<Point> Points;  // 576 when drawn
  int64_t StreamAfter = 0;    // where the last read left the stream
};

inline ExpectedFrame FrameFrom(const RecordingImage& image, int64_t start, int32_t readChunk, int32_t columnStep) {
  ExpectedFrame frame;
  std::vector<unsigned char> chunk(static_cast<std::size_t>(readChunk), 0);
  int64_t pos = start;
  int column = 0;
  bool endOfFile = false;
  while (!endOfFile && !frame.Drawn) {
    const int64_t got = image.Read(pos, readChunk, chunk.data());
    pos += got;
    endOfFile = got < readChunk;
    for (int32_t p = 0; p < readChunk; p += columnStep, ++column) {
      const int level = chunk[static_cast<std::size_t>(p)] * 32 + chunk[static_cast<std::size_t>(p) + 1] / 8;
      if (column < 576) frame.Points.push_back({2 + column, 412 - level / 10});
    }
    frame.Drawn = column >= 576;
  }
  if (!frame.Drawn) frame.Points.clear();
  frame.StreamAfter = pos;
  return frame;
}

// The frames (576-point polylines) an action drew, in order.
inline std::vector<std::vector<Point>> FramesDrawn(const viewer_script::Snapshot& snapshot) {
  std::vector<std::vector<Point>> frames;
  for (const platform::CanvasOp& op : snapshot.Canvas)
    if (op.Op == platform::CanvasOp::Kind::Polyline && op.Points.size() == 576) frames.push_back(op.Points);
  return frames;
}

// Whether `points` is the frame drawn from `start`; a failure names the first column that
// differs.
inline ::testing::AssertionResult FrameStartsAt(const std::vector<Point>& points, const RecordingImage& image,
                                                int64_t start, int32_t readChunk, int32_t columnStep) {
  const ExpectedFrame expected = FrameFrom(image, start, readChunk, columnStep);
  if (!expected.Drawn) return ::testing::AssertionFailure() << "no frame can be drawn from " << start;
  if (points.size() != 576) return ::testing::AssertionFailure() << "no frame was drawn (expected one from " << start << ")";
  for (std::size_t c = 0; c < 576; ++c)
    if (!(points[c] == expected.Points[c]))
      return ::testing::AssertionFailure() << "frame from " << start << " at step " << columnStep << ": column " << c
                                           << " is (" << points[c].x << "," << points[c].y << "), expected ("
                                           << expected.Points[c].x << "," << expected.Points[c].y << ")";
  return ::testing::AssertionSuccess();
}

using Labels = std::array<std::string, 3>;  // Calvora's time index: minutes, seconds, milliseconds

inline Labels TimeIndexOf(const viewer_script::Snapshot& snap) {
  return {snap.Labels.at(0).second, snap.Labels.at(1).second, snap.Labels.at(2).second};
}

struct Outcome {
  Outcome(std::vector<int64_t> frames, int64_t pos, int32_t thumb, Labels timeIndex = {}, bool pending = false)
      : Frames(std::move(frames)), Pos(pos), Thumb(thumb), TimeIndex(std::move(timeIndex)), Pending(pending) {}
  std::vector<int64_t> Frames;  // starts of the frames the last action drew, in order
  int64_t Pos;                  // the stream position it left
  int32_t Thumb;
  Labels TimeIndex;  // Calvora only; not checked when left empty
  bool Pending;      // ScrollPending
};

struct Scenario {
  const char* Name;
  std::vector<std::string> Lines;  // "open" opens the scenario's recording
  Outcome Expect;
};

inline int32_t ReadChunkOf(const std::string& program) { return program == "vespira" ? 8820 : 8802; }

// Runs each scenario in a fresh session of `program` on the recording at `path` and checks
// what its last action left. Frames are compared at the step in force after that action.
inline void RunScenarios(const std::string& program, const std::string& path, const RecordingImage& image,
                         const std::vector<Scenario>& scenarios) {
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.Name);
    testing_support::Viewer viewer(program);
    viewer_script::Snapshot snap;
    for (const std::string& line : s.Lines) snap = viewer.Do(line == "open" ? "open " + path : line);
    const auto frames = FramesDrawn(snap);
    ASSERT_EQ(frames.size(), s.Expect.Frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i)
      EXPECT_TRUE(FrameStartsAt(frames[i], image, s.Expect.Frames[i], ReadChunkOf(program), snap.State.ColumnStep));
    EXPECT_EQ(snap.Pos, s.Expect.Pos);
    EXPECT_EQ(snap.Thumb, s.Expect.Thumb);
    if (!s.Expect.TimeIndex[0].empty()) {
      EXPECT_EQ(TimeIndexOf(snap), s.Expect.TimeIndex);
    }
    EXPECT_EQ(snap.State.ScrollPending, s.Expect.Pending);
  }
}

}  // namespace nav_test
