// Row 1: RenderFrame per mode against a canvas that drops the frame, beside the floor: the same
// bytes from the same position read with one fread into one buffer, on a stream opened the way
// the viewers open a recording (OpenRecordingStream, with its buffer). Beside them, the same one
// fread on a stream from a bare fopen, with stdio's own buffer, and the frame's bytes read in
// ReadChunk pieces on the viewers' stream with nothing else done. Every frame starts with a seek,
// as every navigation step does, and the rows go round four places of the recording, so that
// no frame is served from what the stream buffered for the one before.
#include <array>
#include <cstdio>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRows.h"
#include "BenchViewers.h"
#include "RecordingFormat.h"

namespace bench {
namespace {

class RecordingStream {
 public:
  explicit RecordingStream(std::FILE* file, bool viewers) : file_(file), viewers_(viewers) {}
  ~RecordingStream() {
    if (file_ == nullptr) return;
    if (viewers_)
      recording::CloseRecordingStream(file_);
    else
      std::fclose(file_);
  }
  RecordingStream(const RecordingStream&) = delete;
  RecordingStream& operator=(const RecordingStream&) = delete;
  std::FILE* get() const { return file_; }

 private:
  std::FILE* file_;
  bool viewers_;
};

void RenderRow(benchmark::State& run, const Mode& mode, const std::string& path) {
  recording::ViewerState state = recording::MakeViewerState(mode.ColumnStep);
  recording::FillFrameBorder(state, recording::ComputeBorderCoordinates(state));
  const RecordingStream file(recording::OpenRecordingStream(path), true);
  if (file.get() == nullptr) {
    run.SkipWithError(("cannot open " + path).c_str());
    return;
  }
  state.File = file.get();
  const std::array<int32_t, SpreadStarts> starts = SpreadFrameStarts(mode, path);
  std::size_t next = 0;
  DiscardCanvas canvas;
  while (run.KeepRunning()) {
    std::fseek(state.File, starts[next], SEEK_SET);
    next = (next + 1) % SpreadStarts;
    recording::RenderFrame(state, canvas, mode.ReadChunk);
  }
  state.File = nullptr;
  if (canvas.Fills != run.iterations()) run.SkipWithError("a frame was not drawn");
  run.SetBytesProcessed(run.iterations() * BytesPerFrame(mode));
}

void FloorRow(benchmark::State& run, const Mode& mode, const std::string& path, bool viewersStream) {
  const RecordingStream file(viewersStream ? recording::OpenRecordingStream(path) : std::fopen(path.c_str(), "rb"), viewersStream);
  if (file.get() == nullptr) {
    run.SkipWithError(("cannot open " + path).c_str());
    return;
  }
  const std::array<int32_t, SpreadStarts> starts = SpreadFrameStarts(mode, path);
  std::size_t next = 0;
  std::vector<unsigned char> buffer(static_cast<std::size_t>(BytesPerFrame(mode)));
  bool complete = true;
  while (run.KeepRunning()) {
    std::fseek(file.get(), starts[next], SEEK_SET);
    next = (next + 1) % SpreadStarts;
    complete = std::fread(buffer.data(), 1, buffer.size(), file.get()) == buffer.size() && complete;
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  if (!complete) run.SkipWithError("the recording is too short for the frame");
  run.SetBytesProcessed(run.iterations() * BytesPerFrame(mode));
}

// The frame's bytes read as RenderFrame reads them, in ReadChunk pieces into one chunk buffer,
// and nothing else: what RenderFrame costs without its columns and its drawing.
void ChunkedRow(benchmark::State& run, const Mode& mode, const std::string& path) {
  const RecordingStream file(recording::OpenRecordingStream(path), true);
  if (file.get() == nullptr) {
    run.SkipWithError(("cannot open " + path).c_str());
    return;
  }
  const std::array<int32_t, SpreadStarts> starts = SpreadFrameStarts(mode, path);
  std::size_t next = 0;
  const auto chunkSize = static_cast<std::size_t>(mode.ReadChunk);
  const int64_t passes = BytesPerFrame(mode) / mode.ReadChunk;
  std::array<unsigned char, recording::MaxReadChunk> chunk{};
  bool complete = true;
  while (run.KeepRunning()) {
    std::fseek(file.get(), starts[next], SEEK_SET);
    next = (next + 1) % SpreadStarts;
    for (int64_t pass = 0; pass < passes; ++pass) {
      complete = std::fread(chunk.data(), 1, chunkSize, file.get()) == chunkSize && complete;
      benchmark::DoNotOptimize(chunk.data());
      benchmark::ClobberMemory();
    }
  }
  if (!complete) run.SkipWithError("the recording is too short for the frame");
  run.SetBytesProcessed(run.iterations() * BytesPerFrame(mode));
}

}  // namespace

void RegisterRenderRows(const Inputs& inputs, const RowSettings& settings) {
  const std::string path = inputs.Small;
  for (const Mode& mode : Modes) {
    Configure(AddRow(RenderName(mode), [=](benchmark::State& run) { RenderRow(run, mode, path); }), settings);
    Configure(AddRow(FloorName(mode), [=](benchmark::State& run) { FloorRow(run, mode, path, true); }), settings);
    Configure(AddRow(PlainFloorName(mode), [=](benchmark::State& run) { FloorRow(run, mode, path, false); }), settings);
    Configure(AddRow(ChunkedName(mode), [=](benchmark::State& run) { ChunkedRow(run, mode, path); }), settings);
  }
}

}  // namespace bench
