// ViewerState: the one state record of a viewer program, shared by every handler of its main
// form, and the frame border computed once at start-up. Each program makes its own with its
// own initial ColumnStep (Calvora 306, Vespira 614).
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace recording {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

inline constexpr int32_t FrameColumns = 576;       // columns drawn per frame
inline constexpr int32_t FramePointsCapacity = 640;

using FrameBorder = std::array<Point, 11>;

struct ViewerState {
  std::FILE* File = nullptr;       // the open recording, read-only; null when none is open
  int32_t FileSize = 0;
  int32_t CurrentOffset = 0;
  int32_t FrameStart = 0;
  int32_t DataEnd = 0;
  int32_t DataStart = 0;
  int32_t FrameSpan = 0;           // ColumnStep * 576
  std::string FileName = "*.qtr";  // the name chosen last; any length
  int32_t LengthSeconds = 0;
  int32_t SavedScrollPosition = 0;
  bool ScrollPending = false;
  float LevelDivisor = 10.0F;
  bool FrameDrawn = false;
  int32_t ColumnStep = 0;

  // Plot constants: fixed for the life of the program.
  int32_t PlotLeft = 2;
  int32_t PlotBaseline = 400;
  int32_t BorderLeft = 2;
  int32_t BorderTop = 10;
  int32_t LevelOffset = 12;
  int32_t BorderWidth = 575;
  int32_t BorderHeight = 404;

  // Held beside the record with the same lifetime.
  int32_t LengthMinutes = 0;
  FrameBorder Border{};
};

ViewerState MakeViewerState(int32_t initialColumnStep);

// The border coordinates as the main unit computes them before any form exists: 11 x and 11 y
// as 16-bit signed integers, a rectangle with a 4-pixel tick outward at mid-height each side.
struct BorderCoordinates {
  std::array<int16_t, 11> x{};
  std::array<int16_t, 11> y{};
};
BorderCoordinates ComputeBorderCoordinates(const ViewerState& state);

// What the main form's constructor does with them.
void FillFrameBorder(ViewerState& state, const BorderCoordinates& coordinates);

// Closes the open recording, if any, and sets File to null.
void CloseRecording(ViewerState& state);

}  // namespace recording
