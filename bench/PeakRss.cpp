// qtr-peak-rss PROGRAM [ARGS...]: runs PROGRAM with its output sent to /dev/null and prints
// its peak resident size in KiB (ru_maxrss from wait4) on standard output. The exit status is
// PROGRAM's, or 127 when it could not be started.
//
// A process's peak includes the resident size of the process that started it, at the moment it
// was started (the address space it was forked from counts until the exec). qtr-bench holds
// Qt and its buffers and is far larger than a viewer run headless, so the memory rows start
// the viewer from this small program instead.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: qtr-peak-rss PROGRAM [ARGS...]\n");
    return 2;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[1], &actions, nullptr, argv + 1, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    std::fprintf(stderr, "qtr-peak-rss: cannot start %s\n", argv[1]);
    return 127;
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid) return 127;
  std::printf("%ld\n", usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
