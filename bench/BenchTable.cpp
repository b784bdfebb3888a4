// Collects the repetitions of every row and prints the table: medians, ratios, targets.
#include "BenchTable.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

namespace bench {
namespace {

double Median(std::vector<double> values) {
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double ToNanoseconds(double value, benchmark::TimeUnit unit) {
  switch (unit) {
    case benchmark::kNanosecond: return value;
    case benchmark::kMicrosecond: return value * 1e3;
    case benchmark::kMillisecond: return value * 1e6;
    case benchmark::kSecond: return value * 1e9;
  }
  return value;
}

std::string Printf(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Time(double ns) {
  if (std::isnan(ns)) return "-";
  if (ns < 1e3) return Printf("%.0f ns", ns);
  if (ns < 1e6) return Printf("%.1f us", ns / 1e3);
  return Printf("%.2f ms", ns / 1e6);
}

std::string Ratio(double a, double b) {
  if (std::isnan(a) || std::isnan(b) || b <= 0) return "-";
  return Printf("%.2f", a / b);
}

std::string Grouped(int64_t n) {
  std::string digits = std::to_string(n < 0 ? -n : n), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return n < 0 ? "-" + out : out;
}

std::string Cell(const std::string& text, int width) {
  if (static_cast<int>(text.size()) >= width) return text + " ";
  return text + std::string(static_cast<std::size_t>(width) - text.size(), ' ');
}

std::string FirstLineWith(const char* file, const std::string& key) {
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) {
      const auto colon = line.find(':');
      std::string value = colon == std::string::npos ? line : line.substr(colon + 1);
      value.erase(0, value.find_first_not_of(" \t"));
      return value;
    }
  return "?";
}

std::string ModeLabel(const Mode& mode) {
  return std::string(mode.Name) + (mode.Viewer == Program::Calvora ? " Calvora" : " Vespira");
}

}  // namespace

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

bool TableReporter::ReportContext(const Context&) {
  loadAtStart_ = LoadAverage();
  std::cerr << "qtr-bench: running (one dot per repetition)" << std::flush;
  return true;
}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Iteration) continue;
    Row& row = rows_[run.run_name.function_name];
    if (run.error_occurred) {
      row.Error = run.error_message;
      continue;
    }
    row.Nanoseconds.push_back(ToNanoseconds(run.GetAdjustedRealTime(), run.time_unit));
    if (const auto it = run.counters.find(PeakRssCounter); it != run.counters.end()) row.PeakRssKiB.push_back(it->second.value);
    std::cerr << '.' << std::flush;
  }
}

void TableReporter::Finalize() { std::cerr << "\n"; }

const TableReporter::Row* TableReporter::Find(const std::string& name) const {
  const auto it = rows_.find(name);
  return it == rows_.end() ? nullptr : &it->second;
}

bool TableReporter::PrintTable(std::ostream& destination, const Inputs& inputs, const RowSettings& settings,
                               bool withDraw) const {
  std::ostringstream out;
  bool allMet = true;
  // The mark of a row: its target met, missed, failed or not run.
  auto mark = [&](const std::vector<const Row*>& parts, bool met) -> std::string {
    for (const Row* part : parts) {
      if (part == nullptr) return "not run";
      if (!part->Error.empty()) {
        allMet = false;
        return "FAILED: " + part->Error;
      }
    }
    if (!met) allMet = false;
    return met ? "ok" : "MISSED";
  };
  auto median = [](const Row* row) { return row == nullptr ? std::nan("") : Median(row->Nanoseconds); };

  out << "Quentral viewer benchmarks: medians of " << settings.Repetitions << " repetitions, real time\n"
      << "machine: " << ::sysconf(_SC_NPROCESSORS_ONLN) << " cores, " << FirstLineWith("/proc/cpuinfo", "model name") << ", "
      << FirstLineWith("/proc/meminfo", "MemTotal") << "\n"
      << "load average: " << loadAtStart_ << " at the start, " << LoadAverage() << " at the end\n"
      << "recordings: " << inputs.Small << ", " << inputs.Large << "\n\n";

  out << "1. RenderFrame, canvas dropping the frame, beside the floor: the same bytes from the same\n"
         "   position with one fread into one buffer, on a stream opened as the viewers open one\n"
         "   (target: render/floor <= 1.50). For reading the row, not targets: in chunks, the same\n"
         "   bytes in ReadChunk freads on that stream, nothing else; plain fopen, the floor's one\n"
         "   fread on a bare fopen stream.\n";
  out << "   " << Cell("ColumnStep", 14) << Cell("ReadChunk", 10) << Cell("bytes/frame", 12) << Cell("render", 11)
      << Cell("floor", 11) << Cell("render/floor", 13) << Cell("", 8) << Cell("in chunks", 11) << Cell("plain fopen", 11) << "\n";
  for (const Mode& mode : Modes) {
    const Row* render = Find(RenderName(mode));
    const Row* floor = Find(FloorName(mode));
    const double r = median(render), f = median(floor);
    out << "   " << Cell(ModeLabel(mode), 14) << Cell(std::to_string(mode.ReadChunk), 10) << Cell(Grouped(BytesPerFrame(mode)), 12)
        << Cell(Time(r), 11) << Cell(Time(f), 11) << Cell(Ratio(r, f), 13) << Cell(mark({render, floor}, r / f <= 1.5), 8)
        << Cell(Time(median(Find(ChunkedName(mode)))), 11) << Cell(Time(median(Find(PlainFloorName(mode)))), 11) << "\n";
  }

  out << "\n2. Navigation through the headless form, one cycle of line forward, page back and thumb\n"
         "   commit (three frames), on the 64 MiB and the 2 GiB recording (target: 2 GiB/64 MiB <= 1.10)\n";
  out << "   " << Cell("ColumnStep", 14) << Cell("64 MiB", 11) << Cell("2 GiB", 11) << Cell("2 GiB/64 MiB", 13) << "\n";
  for (const Mode& mode : Modes) {
    const Row* small = Find(StepName(mode, SmallFile));
    const Row* large = Find(StepName(mode, LargeFile));
    const double s = median(small), l = median(large);
    out << "   " << Cell(ModeLabel(mode), 14) << Cell(Time(s), 11) << Cell(Time(l), 11) << Cell(Ratio(l, s), 13)
        << mark({small, large}, l / s <= 1.1) << "\n";
  }

  out << "\n3. Drawing through the Qt realisation, offscreen platform\n";
  if (!withDraw) {
    out << "   not measured: this build has no Qt realisation (platform_qt)\n";
  } else {
    const Row* paintBox = Find(PaintBoxDrawName);
    const Row* bare = Find(BareDrawName);
    const double p = median(paintBox), b = median(bare);
    out << "   a frame (fill, border, 576-point polyline) onto the paint box's image, beside a bare\n"
           "   QPainter drawing of the same on a QImage of the same size (target: ratio <= 1.20)\n";
    out << "   " << Cell("paint box", 11) << Cell("QPainter", 11) << Cell("ratio", 13) << "\n";
    out << "   " << Cell(Time(p), 11) << Cell(Time(b), 11) << Cell(Ratio(p, b), 13) << mark({paintBox, bare}, p / b <= 1.2) << "\n";
    out << "   from a click on a scroll bar arrow to the window repainted, clicks alternating between\n"
           "   the right and the left arrow (target: < 8 ms)\n";
    out << "   " << Cell("ColumnStep", 14) << Cell("time", 11) << "\n";
    for (const Mode& mode : Modes) {
      const Row* repaint = Find(RepaintName(mode));
      const double t = median(repaint);
      out << "   " << Cell(ModeLabel(mode), 14) << Cell(Time(t), 11) << mark({repaint}, t < 8e6) << "\n";
    }
  }

  out << "\n4. Peak resident size of viewer-script calvora opening and stepping through a recording\n"
         "   (target: difference about 0, within 1 MiB)\n";
  out << "   " << Cell("64 MiB", 13) << Cell("2 GiB", 13) << Cell("difference", 13) << "\n";
  {
    const Row* small = Find(MemoryName(SmallFile));
    const Row* large = Find(MemoryName(LargeFile));
    const double s = small == nullptr ? std::nan("") : Median(small->PeakRssKiB);
    const double l = large == nullptr ? std::nan("") : Median(large->PeakRssKiB);
    auto kib = [](double v) { return std::isnan(v) ? std::string("-") : Grouped(std::llround(v)) + " KiB"; };
    out << "   " << Cell(kib(s), 13) << Cell(kib(l), 13) << Cell(kib(l - s), 13) << mark({small, large}, std::fabs(l - s) <= 1024)
        << "\n";
  }

  // Each line without the padding of its last cell.
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    line.erase(line.find_last_not_of(' ') + 1);
    destination << line << "\n";
  }
  return allMet;
}

}  // namespace bench
