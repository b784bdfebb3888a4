// Row 4: peak resident size of `viewer-script calvora` opening a recording and stepping through
// it in every time per frame, for the 64 MiB and the 2 GiB recording. Nothing a viewer keeps may
// grow with the file, so the two peaks must be about equal. The peak is the viewer's ru_maxrss
// as qtr-peak-rss, its small starter, reports it.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRows.h"
#include "BenchViewers.h"

extern char** environ;

namespace bench {
namespace {

// Open, the arrows and the page clicks, the thumb to the start, middle and end, and the same in
// the other three times per frame.
std::string SteppingScript(const std::string& path) {
  std::string script = "open " + path + "\n";
  const char* perMode =
      "scroll 1\nscroll 1\nscroll 3\nscroll 2\nscroll 0\n"
      "release 50\nrelease 100\nscroll 2\nrelease 0\nscroll 1\nrelease 75\n";
  for (const char* button : {"1", "3", "4", "2"}) script += std::string("time ") + button + "\n" + perMode;
  return script + "close\nexit\n";
}

// Runs argv[0] with standard input from /dev/null; its standard output, or nothing when it
// could not be started or did not exit with 0.
std::optional<std::string> OutputOf(std::vector<std::string> argv) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  std::string output;
  char buffer[4096];
  for (ssize_t n = 0; spawned == 0 && (n = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0)
      output.append(buffer, static_cast<std::size_t>(n));
    else if (errno != EINTR)
      break;
  }
  ::close(pipeEnds[0]);
  int status = 0;
  if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

void MemoryRow(benchmark::State& run, const Inputs& inputs, const std::string& path) {
  char scriptPath[] = "/tmp/qtr-bench-script-XXXXXX";
  const int fd = ::mkstemp(scriptPath);
  if (fd < 0) {
    run.SkipWithError("cannot write the script");
    return;
  }
  const std::string script = SteppingScript(path);
  const bool written = ::write(fd, script.data(), script.size()) == static_cast<ssize_t>(script.size());
  ::close(fd);
  // The run must really open the recording and draw: a viewer that refused the file would
  // measure small for the wrong reason.
  const std::optional<std::string> trace = written ? OutputOf({inputs.ViewerScript, "calvora", scriptPath}) : std::nullopt;
  const bool opened = trace && trace->find("\"open\":true") != std::string::npos &&
                      trace->find("\"polyline\"") != std::string::npos;
  std::optional<std::string> peak;
  while (run.KeepRunning()) {
    const auto started = std::chrono::steady_clock::now();
    if (opened) peak = OutputOf({inputs.PeakRss, inputs.ViewerScript, "calvora", scriptPath});
    run.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  }
  ::unlink(scriptPath);
  if (!opened) {
    run.SkipWithError(("viewer-script did not open and draw " + path).c_str());
    return;
  }
  char* end = nullptr;
  const long kib = peak ? std::strtol(peak->c_str(), &end, 10) : 0;
  if (!peak || end == peak->c_str() || kib <= 0) {
    run.SkipWithError("qtr-peak-rss gave no peak");
    return;
  }
  run.counters[PeakRssCounter] = static_cast<double>(kib);
}

}  // namespace

void RegisterMemoryRows(const Inputs& inputs, const RowSettings& settings) {
  for (const auto& [name, path] : {std::pair{SmallFile, inputs.Small}, std::pair{LargeFile, inputs.Large}}) {
    const std::string recording = path;
    AddRow(MemoryName(name), [=](benchmark::State& run) { MemoryRow(run, inputs, recording); })
        ->Iterations(1)
        ->Repetitions(settings.Repetitions)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace bench
