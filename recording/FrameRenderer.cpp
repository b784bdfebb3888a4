// The frame renderer. A pass reads one whole chunk and takes columns at p = 0, ColumnStep, ...
// inside it; the next chunk starts again at its own p = 0. A short read (end of file or read
// error) ends the loop after its pass; if that pass completed the frame, the last columns come
// from the stale bytes that the short read did not overwrite.
#include "FrameRenderer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>

#include "RecordingFormat.h"

namespace recording {

void DrawFrameBorder(FrameCanvas& canvas, const ViewerState& state) {
  canvas.DrawPolyline(state.Border);
}

namespace {

// A level is scaled as the viewer always has: divided by LevelDivisor in single precision and
// truncated toward zero. With the divisor of 10 that both programs use, that is level div 10
// for every level 0..8191 (checked here at compile time), and the integer form spares each
// column a conversion and a float division that made every column wait for the one before.
constexpr bool DivisionByTenIsExact() {
  for (int32_t level = 0; level <= 8191; ++level)
    if (static_cast<int32_t>(static_cast<float>(level) / 10.0F) != level / 10) return false;
  return true;
}
static_assert(DivisionByTenIsExact(), "level div 10 must equal the single-precision quotient");

// The sample word at `p` as its unsigned big-endian value, whose eighth is SampleLevel of its
// two bytes. One 16-bit load per column instead of two byte loads lets the compiler gather the
// columns of a pass in vector registers.
inline uint32_t SampleWord(const unsigned char* p) {
  uint16_t word = 0;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::little) word = static_cast<uint16_t>((word << 8) | (word >> 8));
  return word;
}

constexpr bool WordEighthIsSampleLevel() {
  for (uint32_t high = 0; high < 256; ++high)
    for (uint32_t low = 0; low < 256; ++low)
      if (static_cast<int32_t>(((high << 8) | low) >> 3) !=
          SampleLevel(static_cast<unsigned char>(high), static_cast<unsigned char>(low)))
        return false;
  return true;
}
static_assert(WordEighthIsSampleLevel(), "a big-endian word divided by 8 must be SampleLevel of its bytes");

}  // namespace

bool RenderFrame(ViewerState& state, FrameCanvas& canvas, int32_t ReadChunk, AfterDraw afterDraw) {
  assert(state.File != nullptr);
  assert(ReadChunk > 0 && ReadChunk <= MaxReadChunk && ReadChunk % 2 == 0);
  assert(state.ColumnStep > 0 && state.ColumnStep % 2 == 0);

  const auto step = static_cast<std::size_t>(state.ColumnStep);
  const auto chunkSize = static_cast<std::size_t>(ReadChunk);
  // Only the ReadChunk bytes in use are zero-filled: the rest of the array is never read.
  std::array<unsigned char, MaxReadChunk> chunk;
  std::memset(chunk.data(), 0, chunkSize);
  std::array<Point, FramePointsCapacity> FramePoints;

  const bool divisorIsTen = state.LevelDivisor == 10.0F;
  const int32_t columnsPerPass = static_cast<int32_t>((chunkSize + step - 1) / step);  // p = 0, step, ... < ReadChunk

  state.FrameDrawn = false;
  int32_t column = 0;
  while (std::feof(state.File) == 0 && std::ferror(state.File) == 0 && !state.FrameDrawn) {
    (void)std::fread(chunk.data(), 1, chunkSize, state.File);
    // Columns past the 576th are neither stored nor drawn, so only the pass's columns up to the
    // 576th are computed (at ColumnStep 2 a chunk holds 4,401 columns); all are counted.
    const int32_t computed = std::min(columnsPerPass, FrameColumns - column);
    const unsigned char* sample = chunk.data();
    Point* point = FramePoints.data() + column;
    for (int32_t k = 0; k < computed; ++k, sample += step, ++point) {
      const auto level = static_cast<int32_t>(SampleWord(sample) >> 3);
      const int32_t quotient = divisorIsTen ? level / 10 : static_cast<int32_t>(static_cast<float>(level) / state.LevelDivisor);
      const int32_t scaled = quotient - state.LevelOffset;
      *point = {state.PlotLeft + column + k, state.PlotBaseline - scaled};
    }
    column += columnsPerPass;
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
