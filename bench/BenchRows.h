// The rows of the table: how each benchmark is named (the table pairs them by name) and how
// each file registers its rows.
#pragma once

#include <functional>
#include <string>

#include <benchmark/benchmark.h>

#include "BenchViewers.h"

namespace bench {

struct RowSettings {
  int Repetitions = 9;
  double MinTime = 0.2;  // seconds per repetition
};

// Registers a row whose `body` measures it; the library keeps it to the end of the program.
benchmark::internal::Benchmark* AddRow(const std::string& name, std::function<void(benchmark::State&)> body);

// Repetitions, real time in microseconds.
void Configure(benchmark::internal::Benchmark* row, const RowSettings& settings);

// The two recordings as the table names them.
inline constexpr char SmallFile[] = "64MiB";
inline constexpr char LargeFile[] = "2GiB";

inline std::string RenderName(const Mode& m) { return std::string("render/") + m.Name; }
inline std::string FloorName(const Mode& m) { return std::string("floor/") + m.Name; }
inline std::string PlainFloorName(const Mode& m) { return std::string("plainfloor/") + m.Name; }
inline std::string ChunkedName(const Mode& m) { return std::string("chunks/") + m.Name; }
inline std::string StepName(const Mode& m, const char* file) { return std::string("step/") + m.Name + "/" + file; }
inline std::string MemoryName(const char* file) { return std::string("memory/") + file; }
inline constexpr char PaintBoxDrawName[] = "draw/paintbox";
inline constexpr char BareDrawName[] = "draw/qpainter";
inline std::string RepaintName(const Mode& m) { return std::string("repaint/") + m.Name; }

// The counter of the memory rows: peak resident size of the child, in KiB.
inline constexpr char PeakRssCounter[] = "peak_rss_kib";

void RegisterRenderRows(const Inputs& inputs, const RowSettings& settings);
void RegisterNavigationRows(const Inputs& inputs, const RowSettings& settings);
void RegisterMemoryRows(const Inputs& inputs, const RowSettings& settings);
// False when the program was built without the Qt realisation.
bool RegisterDrawRows(const Inputs& inputs, const RowSettings& settings);

}  // namespace bench
