// What the benchmarks share: the viewing modes (a program's ReadChunk with a ColumnStep), the
// recordings they run on, canvases that take a frame and drop it, and a viewer's main form on
// the headless realisation with a recording open in a chosen mode.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "Controls.h"
#include "FrameRenderer.h"
#include "Headless.h"
#include "ViewerState.h"

namespace bench {

enum class Program { Calvora, Vespira };

struct Mode {
  const char* Name;  // the ColumnStep as the table shows it
  Program Viewer;
  int32_t ColumnStep;
  int32_t ReadChunk;
  int TimeButton;  // Calvora's time per frame button (RadioButton1..4); 0 in Vespira
};

// Calvora's four times per frame, then Vespira's fixed one.
extern const std::array<Mode, 5> Modes;

// The bytes RenderFrame reads for one frame: whole chunks until 576 columns are computed.
int64_t BytesPerFrame(const Mode& mode);

// The recordings and the program the rows run on, from the command line.
struct Inputs {
  std::string Small;  // the 64 MiB recording
  std::string Large;  // the sparse 2,147,483,647-byte recording
  std::string ViewerScript;
  std::string PeakRss;  // qtr-peak-rss, which starts viewer-script for the memory rows
};

// The frame starts of thumb commits at 15, 35, 60 and 85 % of the scroll bar for `path`: far
// enough apart that nothing read for one is still buffered for the next, and at the various
// places relative to the stream's buffer that a frame start has in use.
inline constexpr std::size_t SpreadStarts = 4;
std::array<int32_t, SpreadStarts> SpreadFrameStarts(const Mode& mode, const std::string& path);

// RenderFrame's canvas that takes the three operations of a frame and keeps nothing.
class DiscardCanvas final : public recording::FrameCanvas {
 public:
  void ClearPaintBox() override;
  void DrawPolyline(std::span<const recording::Point> points) override;
  int64_t Fills = 0;
};

// The paint box's sink that takes the operations of a form and keeps nothing; counts the
// fills, one per frame drawn.
class DiscardSink final : public platform::CanvasSink {
 public:
  void FillRect(const platform::Rect& rect, platform::Color brush) override;
  void Polyline(std::span<const recording::Point> points, platform::Color pen) override;
  int64_t Fills = 0;
};

// A program's forms created on the headless realisation (the only session of the process while
// it lives), the recording opened through File > Open and the mode chosen with its button.
class HeadlessViewer {
 public:
  HeadlessViewer(const Mode& mode, const std::string& path, platform::CanvasSink& sink);
  ~HeadlessViewer();
  HeadlessViewer(const HeadlessViewer&) = delete;
  HeadlessViewer& operator=(const HeadlessViewer&) = delete;

  platform::Form& Form() { return *form_; }
  platform::ScrollBar& ScrollBar() { return *scrollBar_; }
  platform::PaintBox& PaintBox() { return *paintBox_; }
  const recording::ViewerState& State() const { return *state_; }
  // Empty when the recording is open in the mode asked for and nothing was reported.
  std::string Problem() const;

 private:
  platform::HeadlessPeer peer_;
  platform::Form* form_ = nullptr;
  platform::ScrollBar* scrollBar_ = nullptr;
  platform::PaintBox* paintBox_ = nullptr;
  recording::ViewerState* state_ = nullptr;
  int32_t columnStep_ = 0;
};

}  // namespace bench
