// bench_launch FD PROGRAM [ARG...]: starts PROGRAM (with this process's
// environment, standard input and output) as a child of its own, waits for
// it and writes "WALL_MS CPU_MS PEAK_KIB STATUS\n" to file descriptor FD.
//
// The benchmarks start their programs through it, so that the peak resident
// memory wait4 reports is the program's: a child created with posix_spawn
// (vfork) or exec'd straight from a large process keeps that process's
// high-water mark, which would then be reported as the program's. This one
// is small when it forks.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

double Milliseconds(const timespec& t) {
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_launch FD PROGRAM [ARG...]\n");
    return 2;
  }
  const int fd = std::atoi(argv[1]);
  timespec started{};
  ::clock_gettime(CLOCK_MONOTONIC, &started);
  const pid_t child = ::fork();
  if (child < 0) return 2;
  if (child == 0) {
    ::close(fd);
    ::execv(argv[2], argv + 2);
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(child, &status, 0, &usage) != child) return 2;
  timespec ended{};
  ::clock_gettime(CLOCK_MONOTONIC, &ended);
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  const int exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  char line[128];
  const int n =
      std::snprintf(line, sizeof line, "%.3f %.3f %ld %d\n",
                    Milliseconds(ended) - Milliseconds(started), cpu, usage.ru_maxrss, exit);
  return ::write(fd, line, static_cast<size_t>(n)) == n ? 0 : 2;
}
