// qtr-bench: runs the rows and prints one table.
//
//   qtr-bench --small=SMALL.qtr --large=LARGE.qtr [--viewer-script=PATH] [--repetitions=N]
//             [--min-time=SECONDS] [--benchmark_...]
//
// The recordings are made by scripts/bench (qtr-synth). Google Benchmark's own flags pass
// through, for instance --benchmark_filter=render to run some rows only. Repetitions of all rows
// are interleaved in random order, so a change of load on the machine falls on both sides of a
// ratio alike. The exit status is 1 when a row failed or missed its target.
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRows.h"
#include "BenchTable.h"

namespace bench {
namespace {

class Row final : public benchmark::internal::Benchmark {
 public:
  Row(const std::string& name, std::function<void(benchmark::State&)> body) : Benchmark(name.c_str()), body_(std::move(body)) {}
  void Run(benchmark::State& state) override { body_(state); }

 private:
  std::function<void(benchmark::State&)> body_;
};

}  // namespace

benchmark::internal::Benchmark* AddRow(const std::string& name, std::function<void(benchmark::State&)> body) {
  // The library's registry takes the row and keeps it until the program ends.
  return benchmark::internal::RegisterBenchmarkInternal(new Row(name, std::move(body)));  // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
}

void Configure(benchmark::internal::Benchmark* row, const RowSettings& settings) {
  // Every repetition runs alone (they are interleaved), so each warms up before it measures.
  row->Repetitions(settings.Repetitions)
      ->MinWarmUpTime(settings.MinTime / 4)
      ->MinTime(settings.MinTime)
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace bench

namespace {

[[noreturn]] void Usage(const std::string& why) {
  std::cerr << "qtr-bench: " << why << "\n"
            << "usage: qtr-bench --small=SMALL.qtr --large=LARGE.qtr [--viewer-script=PATH] [--repetitions=N]\n"
            << "                 [--min-time=SECONDS] [--benchmark_...]\n";
  std::exit(2);
}

bool TakeValue(const std::string& arg, const std::string& name, std::string& value) {
  const std::string prefix = "--" + name + "=";
  if (arg.rfind(prefix, 0) != 0) return false;
  value = arg.substr(prefix.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  bench::Inputs inputs;
  inputs.ViewerScript = QTR_VIEWER_SCRIPT;
  inputs.PeakRss = QTR_PEAK_RSS;
  bench::RowSettings settings;
  std::vector<char*> passed = {argv[0]};
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  passed.push_back(interleave.data());
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string value;
    if (TakeValue(arg, "small", value)) {
      inputs.Small = value;
    } else if (TakeValue(arg, "large", value)) {
      inputs.Large = value;
    } else if (TakeValue(arg, "viewer-script", value)) {
      inputs.ViewerScript = value;
    } else if (TakeValue(arg, "repetitions", value)) {
      char* end = nullptr;
      const long n = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || n < 1 || n > 1000) Usage("--repetitions takes a whole number from 1 to 1000");
      settings.Repetitions = static_cast<int>(n);
    } else if (TakeValue(arg, "min-time", value)) {
      char* end = nullptr;
      settings.MinTime = std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0' || !(settings.MinTime > 0 && settings.MinTime <= 60))
        Usage("--min-time takes a number of seconds above 0, at most 60");
    } else {
      passed.push_back(argv[i]);
    }
  }
  if (inputs.Small.empty() || inputs.Large.empty()) Usage("--small and --large name the two recordings");

  int passedCount = static_cast<int>(passed.size());
  passed.push_back(nullptr);
  benchmark::Initialize(&passedCount, passed.data());
  if (benchmark::ReportUnrecognizedArguments(passedCount, passed.data())) return 2;

  bench::RegisterRenderRows(inputs, settings);
  bench::RegisterNavigationRows(inputs, settings);
  const bool withDraw = bench::RegisterDrawRows(inputs, settings);
  bench::RegisterMemoryRows(inputs, settings);

  bench::TableReporter table;
  benchmark::RunSpecifiedBenchmarks(&table);
  const bool met = table.PrintTable(std::cout, inputs, settings, withDraw);
  benchmark::Shutdown();
  return met ? 0 : 1;
}

#ifndef QTR_BENCH_WITH_QT
bool bench::RegisterDrawRows(const Inputs&, const RowSettings&) { return false; }
#endif
