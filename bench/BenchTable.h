// The one table qtr-bench prints: every repetition of every row is collected while the
// benchmarks run, and the medians are printed side by side with the ratios and their targets.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRows.h"

namespace bench {

class TableReporter final : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context& context) override;
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

  // Prints the table; false when a row that ran missed its target or failed.
  bool PrintTable(std::ostream& out, const Inputs& inputs, const RowSettings& settings, bool withDraw) const;

 private:
  struct Row {
    std::vector<double> Nanoseconds;  // real time per iteration, one per repetition
    std::vector<double> PeakRssKiB;
    std::string Error;
  };
  const Row* Find(const std::string& name) const;
  std::map<std::string, Row> rows_;
  std::string loadAtStart_;
};

// The 1-, 5- and 15-minute load averages.
std::string LoadAverage();

}  // namespace bench
