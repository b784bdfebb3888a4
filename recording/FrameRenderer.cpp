// The frame renderer. A pass reads one whole chunk and takes columns at p = 0, ColumnStep, ...
// inside it; the next chunk starts again at its own p = 0. A short read (end of file or read
// error) ends the loop after its pass; if that pass completed the frame, the last columns come
// from the stale bytes that the short read did not overwrite.
#include "FrameRenderer.h"

#include <array>
#include <cassert>

#include "RecordingFormat.h"

namespace recording {

void DrawFrameBorder(FrameCanvas& canvas, const ViewerState& state) {
  canvas.DrawPolyline(state.Border);
}

bool RenderFrame(ViewerState& state, FrameCanvas& canvas, int32_t ReadChunk, AfterDraw afterDraw) {
  assert(state.File != nullptr);
  assert(ReadChunk > 0 && ReadChunk <= MaxReadChunk && ReadChunk % 2 == 0);
  assert(state.ColumnStep > 0 && state.ColumnStep % 2 == 0);

  std::array<unsigned char, MaxReadChunk> chunk{};  // zero-filled at every call
  std::array<Point, FramePointsCapacity> FramePoints;
  const auto step = static_cast<std::size_t>(state.ColumnStep);
  const auto chunkSize = static_cast<std::size_t>(ReadChunk);

  state.FrameDrawn = false;
  int32_t column = 0;
  while (std::feof(state.File) == 0 && std::ferror(state.File) == 0 && !state.FrameDrawn) {
    (void)std::fread(chunk.data(), 1, chunkSize, state.File);
    for (std::size_t p = 0; p < chunkSize; p += step) {
      const int32_t level = SampleLevel(chunk[p], chunk[p + 1]);
      // Single precision, truncated toward zero: level div 10 for every level 0..8191.
      const int32_t scaled = static_cast<int32_t>(static_cast<float>(level) / state.LevelDivisor) - state.LevelOffset;
      if (column < FrameColumns) FramePoints[static_cast<std::size_t>(column)] = {state.PlotLeft + column, state.PlotBaseline - scaled};
      ++column;
    }
    if (column >= FrameColumns) {
      column = 0;
      canvas.ClearPaintBox();
      DrawFrameBorder(canvas, state);
      canvas.DrawPolyline(std::span<const Point>(FramePoints.data(), FrameColumns));
      afterDraw();
      state.FrameDrawn = true;
    }
  }
  return state.FrameDrawn;
}

}  // namespace recording
