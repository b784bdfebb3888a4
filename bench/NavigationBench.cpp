// Row 2: a navigation step cycle through a headless main form, per mode, on the 64 MiB and the
// 2 GiB recording. One iteration is what a user does with the scroll bar: a click on the right
// arrow (line forward), a click left of the thumb (page back) and the thumb dragged to the
// middle and released (thumb commit), each with its scroll events, its frame and its thumb and
// time index updates. The cycle ends where it started, so every iteration reads the same places
// of the recording and the two files are stepped through in the same way.
#include <string>
#include <utility>

#include <benchmark/benchmark.h>

#include "BenchRows.h"
#include "BenchViewers.h"

namespace bench {
namespace {

void StepRow(benchmark::State& run, const Mode& mode, const std::string& path) {
  DiscardSink sink;
  HeadlessViewer viewer(mode, path, sink);
  if (const std::string problem = viewer.Problem(); !problem.empty()) {
    run.SkipWithError(problem.c_str());
    return;
  }
  platform::ScrollBar& bar = viewer.ScrollBar();
  const int32_t middle = bar.Max() / 2;
  // Start where every cycle ends: a thumb committed in the middle.
  bar.Release(middle);
  const int64_t fillsBefore = sink.Fills;
  while (run.KeepRunning()) {
    bar.Scroll(platform::ScrollCode::LineDown);
    bar.EndScroll();
    bar.Scroll(platform::ScrollCode::PageUp);
    bar.EndScroll();
    bar.Release(middle);
  }
  if (const std::string problem = viewer.Problem(); !problem.empty()) run.SkipWithError(problem.c_str());
  // A release that does not move the thumb commits nothing: every cycle must draw three frames.
  else if (sink.Fills - fillsBefore != 3 * run.iterations()) run.SkipWithError("a step of the cycle drew no frame");
}

}  // namespace

void RegisterNavigationRows(const Inputs& inputs, const RowSettings& settings) {
  for (const Mode& mode : Modes) {
    for (const auto& [file, path] : {std::pair{SmallFile, inputs.Small}, std::pair{LargeFile, inputs.Large}}) {
      const std::string recording = path;
      Configure(AddRow(StepName(mode, file), [=](benchmark::State& run) { StepRow(run, mode, recording); }), settings);
    }
  }
}

}  // namespace bench
