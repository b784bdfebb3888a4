// RenderFrame on its own: which bytes of the stream the 576 columns plot for each ColumnStep and
// ReadChunk, what a short read at the end of the stream leaves in the picture, and the canvas
// operations of one frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

#include "FrameRenderer.h"
#include "RecordingFormat.h"
#include "TestRecordings.h"

namespace {

using recording::Point;
using recording::ViewerState;
using testing_support::ExpectedY;
using testing_support::PatternByte;

using testing_support::StreamOf;
using testing_support::StreamPtr;

std::vector<unsigned char> PatternBytes(std::size_t size) {
  std::vector<unsigned char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = PatternByte(static_cast<int64_t>(i));
  return bytes;
}

// The paint box as the renderer sees it: every clear and polyline in order.
class CanvasLog final : public recording::FrameCanvas {
 public:
  struct Op {
    bool Clear = false;
    std::vector<Point> Points;
  };
  void ClearPaintBox() override { Ops.push_back({true, {}}); }
  void DrawPolyline(std::span<const Point> points) override { Ops.push_back({false, {points.begin(), points.end()}}); }
  std::vector<Op> Ops;
};

ViewerState StateFor(int32_t columnStep, std::FILE* stream) {
  ViewerState state = recording::MakeViewerState(columnStep);
  recording::FillFrameBorder(state, recording::ComputeBorderCoordinates(state));
  state.File = stream;
  return state;
}

// The three operations of a drawn frame; its 576 points.
std::vector<Point> FrameOf(const CanvasLog& canvas, const ViewerState& state) {
  EXPECT_EQ(canvas.Ops.size(), 3u);
  if (canvas.Ops.size() != 3) return {};
  EXPECT_TRUE(canvas.Ops[0].Clear);
  EXPECT_FALSE(canvas.Ops[1].Clear);
  EXPECT_EQ(canvas.Ops[1].Points, std::vector<Point>(state.Border.begin(), state.Border.end()));
  EXPECT_EQ(canvas.Ops[2].Points.size(), 576u);
  return canvas.Ops[2].Points;
}

TEST(FrameBorder, RectangleWithOutwardTicksAtMidHeight) {
  ViewerState state = recording::MakeViewerState(306);
  recording::FillFrameBorder(state, recording::ComputeBorderCoordinates(state));
  const recording::FrameBorder expected = {{{2, 10}, {2, 212}, {-2, 212}, {2, 212}, {2, 414}, {577, 414},
                                            {577, 212}, {581, 212}, {577, 212}, {577, 10}, {2, 10}}};
  EXPECT_EQ(state.Border, expected);
}

// Columns are taken at p = 0, ColumnStep, ... inside each chunk, and every chunk starts again at
// its own p = 0; the stream is left after the last whole chunk read.
TEST(RenderFrame, ColumnsComeFromEachChunkAtItsOwnOffsets) {
  const struct {
    int32_t ReadChunk, ColumnStep;
    int32_t ColumnsPerChunk, BytesRead;
  } cases[] = {
      {8802, 2, 4401, 8'802},
      {8802, 20, 441, 17'604},
      {8802, 306, 29, 176'040},
      {8802, 9186, 1, 5'069'952},
      {8820, 614, 15, 343'980},
  };
  const int64_t start = 92;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "ReadChunk " << c.ReadChunk << ", ColumnStep " << c.ColumnStep);
    const std::vector<unsigned char> bytes = PatternBytes(static_cast<std::size_t>(start + c.BytesRead + 20'000));
    const StreamPtr stream = StreamOf(bytes);
    std::fseek(stream.get(), start, SEEK_SET);
    ViewerState state = StateFor(c.ColumnStep, stream.get());
    CanvasLog canvas;

    EXPECT_TRUE(recording::RenderFrame(state, canvas, c.ReadChunk));
    EXPECT_TRUE(state.FrameDrawn);
    EXPECT_EQ(std::ftell(stream.get()), start + c.BytesRead);
    const std::vector<Point> frame = FrameOf(canvas, state);
    for (int32_t j = 0; j < static_cast<int32_t>(frame.size()); ++j) {
      const int64_t offset = start + int64_t{j / c.ColumnsPerChunk} * c.ReadChunk + int64_t{j % c.ColumnsPerChunk} * c.ColumnStep;
      ASSERT_EQ(frame[static_cast<std::size_t>(j)], (Point{2 + j, ExpectedY(bytes, offset)})) << "column " << j;
    }
  }
}

TEST(RenderFrame, EveryLevelIsDrawnAt412MinusLevelDiv10) {
  // Sample words of every level 0..8191 in order, drawn 576 at a time at ColumnStep 2.
  std::vector<unsigned char> bytes;
  for (int level = 0; level < 8192; ++level) {
    const int word = level * 8 + level % 8;  // the low three bits do not count
    bytes.push_back(static_cast<unsigned char>(word >> 8));
    bytes.push_back(static_cast<unsigned char>(word & 0xFF));
  }
  bytes.resize(bytes.size() + 8802, 0);
  const StreamPtr stream = StreamOf(bytes);
  ViewerState state = StateFor(2, stream.get());
  for (int32_t first = 0; first < 8192; first += 576) {
    std::fseek(stream.get(), first * 2, SEEK_SET);
    CanvasLog canvas;
    recording::RenderFrame(state, canvas, 8802);
    const std::vector<Point> frame = FrameOf(canvas, state);
    for (int32_t j = 0; j < static_cast<int32_t>(frame.size()) && first + j < 8192; ++j)
      ASSERT_EQ(frame[static_cast<std::size_t>(j)].y, 412 - (first + j) / 10) << "level " << first + j;
  }
}

// The pass whose read comes back short ends the loop. If it completes the frame, the columns
// past what it read come from the bytes the previous chunk of the same call left there.
TEST(RenderFrame, ShortLastReadDrawsStaleBytesOrNothing) {
  const int32_t chunk = 8802;
  {
    SCOPED_TRACE("the 20th pass completes the frame");
    const std::vector<unsigned char> bytes = PatternBytes(19 * chunk + 100);
    const StreamPtr stream = StreamOf(bytes);
    ViewerState state = StateFor(306, stream.get());
    CanvasLog canvas;
    EXPECT_TRUE(recording::RenderFrame(state, canvas, chunk));
    EXPECT_NE(std::feof(stream.get()), 0);
    const std::vector<Point> frame = FrameOf(canvas, state);
    ASSERT_EQ(frame.size(), 576u);
    EXPECT_EQ(frame[550].y, ExpectedY(bytes, 18 * chunk + 28 * 306));  // last column of pass 19
    EXPECT_EQ(frame[551].y, ExpectedY(bytes, 19 * chunk));             // read by pass 20
    for (int32_t i = 1; i <= 24; ++i)                                  // stale: pass 19's bytes
      EXPECT_EQ(frame[static_cast<std::size_t>(551 + i)].y, ExpectedY(bytes, 18 * chunk + i * 306)) << "column " << 551 + i;
  }
  {
    SCOPED_TRACE("the stream ends after 551 columns");
    const StreamPtr stream = StreamOf(PatternBytes(18 * chunk + 100));
    ViewerState state = StateFor(306, stream.get());
    CanvasLog canvas;
    int afterDrawRuns = 0;
    auto afterDraw = [&] { ++afterDrawRuns; };
    EXPECT_FALSE(recording::RenderFrame(state, canvas, chunk, afterDraw));
    EXPECT_FALSE(state.FrameDrawn);
    EXPECT_TRUE(canvas.Ops.empty());
    EXPECT_EQ(afterDrawRuns, 0);
    EXPECT_EQ(std::ftell(stream.get()), 18 * chunk + 100);
  }
}

// The chunk buffer starts zero-filled at every call: what a short first read does not fill is
// level 0, never a byte of an earlier call.
TEST(RenderFrame, ChunkStartsZeroFilledAtEveryCall) {
  const StreamPtr full = StreamOf(std::vector<unsigned char>(20'000, 0xFF));
  ViewerState state = StateFor(2, full.get());
  CanvasLog first;
  recording::RenderFrame(state, first, 8802);
  for (const Point& p : FrameOf(first, state)) ASSERT_EQ(p.y, -407);

  const StreamPtr tiny = StreamOf(std::vector<unsigned char>(100, 0xFF));
  state.File = tiny.get();
  CanvasLog second;
  EXPECT_TRUE(recording::RenderFrame(state, second, 8802));
  const std::vector<Point> frame = FrameOf(second, state);
  ASSERT_EQ(frame.size(), 576u);
  for (std::size_t j = 0; j < 50; ++j) EXPECT_EQ(frame[j].y, -407) << j;
  for (std::size_t j = 50; j < 576; ++j) ASSERT_EQ(frame[j].y, 412) << j;

  // Positioned exactly at the end: one pass reads nothing and the zeros give a flat line.
  std::fseek(tiny.get(), 0, SEEK_END);
  CanvasLog atEnd;
  EXPECT_TRUE(recording::RenderFrame(state, atEnd, 8802));
  for (const Point& p : FrameOf(atEnd, state)) ASSERT_EQ(p.y, 412);
  EXPECT_EQ(std::ftell(tiny.get()), 100);
}

TEST(RenderFrame, AfterDrawRunsOnceAfterTheFrameAndBeforeFrameDrawn) {
  const StreamPtr stream = StreamOf(PatternBytes(100'000));
  ViewerState state = StateFor(20, stream.get());
  CanvasLog canvas;
  int runs = 0;
  auto afterDraw = [&] {
    ++runs;
    EXPECT_EQ(canvas.Ops.size(), 3u);
    EXPECT_FALSE(state.FrameDrawn);
    std::fseek(state.File, 1234, SEEK_SET);
  };
  EXPECT_TRUE(recording::RenderFrame(state, canvas, 8802, afterDraw));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(std::ftell(stream.get()), 1234);  // no further pass after the frame
}

}  // namespace
