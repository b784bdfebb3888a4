// The viewing modes, the canvases that drop what they are given, and the headless viewer the
// navigation rows step through.
#include "BenchViewers.h"

#include <sys/stat.h>

#include <benchmark/benchmark.h>

#include "Application.h"
#include "CalvoraUnit1.h"
#include "Navigation.h"
#include "RecordingFormat.h"
#include "VespiraUnit1.h"

namespace bench {

const std::array<Mode, 5> Modes = {{
    {"9186", Program::Calvora, 9186, calvora::ReadChunk, 1},
    {"306", Program::Calvora, 306, calvora::ReadChunk, 2},
    {"20", Program::Calvora, 20, calvora::ReadChunk, 3},
    {"2", Program::Calvora, 2, calvora::ReadChunk, 4},
    {"614", Program::Vespira, vespira::ColumnStep, vespira::ReadChunk, 0},
}};

int64_t BytesPerFrame(const Mode& mode) {
  const int64_t columnsPerPass = (int64_t{mode.ReadChunk} + mode.ColumnStep - 1) / mode.ColumnStep;
  const int64_t passes = (recording::FrameColumns + columnsPerPass - 1) / columnsPerPass;
  return passes * mode.ReadChunk;
}

std::array<int32_t, SpreadStarts> SpreadFrameStarts(const Mode& mode, const std::string& path) {
  std::array<int32_t, SpreadStarts> starts{};
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return starts;
  const int32_t max = mode.Viewer == Program::Calvora ? 100 : 1000;
  const auto dataEnd = static_cast<int32_t>(st.st_size - recording::TailSize);
  const int32_t span = mode.ColumnStep * recording::FrameColumns;
  const int32_t percent[SpreadStarts] = {15, 35, 60, 85};
  for (std::size_t i = 0; i < SpreadStarts; ++i)
    starts[i] = recording::CommitFrameStart(max * percent[i] / 100, max, recording::HeaderSize, dataEnd, span);
  return starts;
}

void DiscardCanvas::ClearPaintBox() { ++Fills; }

void DiscardCanvas::DrawPolyline(std::span<const recording::Point> points) {
  benchmark::DoNotOptimize(points.data());
  benchmark::ClobberMemory();
}

void DiscardSink::FillRect(const platform::Rect& rect, platform::Color brush) {
  benchmark::DoNotOptimize(rect);
  benchmark::DoNotOptimize(brush);
  ++Fills;
}

void DiscardSink::Polyline(std::span<const recording::Point> points, platform::Color pen) {
  benchmark::DoNotOptimize(points.data());
  benchmark::DoNotOptimize(pen);
  benchmark::ClobberMemory();
}

HeadlessViewer::HeadlessViewer(const Mode& mode, const std::string& path, platform::CanvasSink& sink)
    : columnStep_(mode.ColumnStep) {
  platform::TApplication& app = platform::Application();
  app.DestroyForms();
  app.SetPeer(&peer_);
  peer_.DialogAnswers.push_back(path);
  // Both main forms have these components under the same names.
  auto open = [&](auto& f) {
    form_ = &f;
    scrollBar_ = &f.ScrollBar1;
    paintBox_ = &f.PB1;
    state_ = &f.State;
    f.PB1.Canvas.Sink = &sink;
    f.Open1.Click();
  };
  if (mode.Viewer == Program::Calvora) {
    calvora::TCalvora& f = calvora::CreateForms();
    open(f);
    platform::RadioButton* buttons[] = {&f.RadioButton1, &f.RadioButton2, &f.RadioButton3, &f.RadioButton4};
    buttons[mode.TimeButton - 1]->Click();
  } else {
    open(vespira::CreateForms());
  }
}

HeadlessViewer::~HeadlessViewer() {
  platform::Application().DestroyForms();
  platform::Application().SetPeer(nullptr);
}

std::string HeadlessViewer::Problem() const {
  if (!peer_.Exceptions.empty()) return "exception: " + peer_.Exceptions.front();
  if (state_->File == nullptr) return "the recording did not open: " + state_->FileName;
  if (state_->ColumnStep != columnStep_) return "the time per frame was not chosen";
  return {};
}

}  // namespace bench
