#include "bench/ChildRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace taxlink::bench {

std::string ProgramFolder() {
  std::string self(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
  self.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return self.substr(0, self.rfind('/'));
}

ChildFigures RunChild(const std::vector<std::string>& argv,
                      const std::vector<std::string>& environment, const std::string& outPath,
                      const std::string& errPath) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    std::fprintf(stderr, "bench: cannot make a pipe\n");
    std::exit(2);
  }
  // The write end stays open in the launcher under a fixed number.
  constexpr int kFiguresFd = 3;
  const std::string launcher = ProgramFolder() + "/bench_launch";
  std::vector<std::string> args = {launcher, std::to_string(kFiguresFd)};
  args.insert(args.end(), argv.begin(), argv.end());
  std::vector<char*> argp;
  argp.reserve(args.size() + 1);
  for (std::string& a : args) argp.push_back(a.data());
  argp.push_back(nullptr);
  std::vector<std::string> env = environment;
  std::vector<char*> envp;
  envp.reserve(env.size() + 1);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.empty() ? "/dev/null" : outPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.empty() ? "/dev/null" : errPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, fds[1], kFiguresFd);
  pid_t pid = 0;
  const int spawned =
      posix_spawn(&pid, launcher.c_str(), &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (spawned != 0) {
    std::fprintf(stderr, "bench: cannot start %s\n", launcher.c_str());
    std::exit(2);
  }
  char line[256] = {};
  ssize_t got = 0;
  for (ssize_t n;
       (n = ::read(fds[0], line + got, sizeof(line) - 1 - static_cast<size_t>(got))) > 0;) {
    got += n;
  }
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ChildFigures figures;
  if (std::sscanf(line, "%lf %lf %ld %d", &figures.milliseconds, &figures.cpuMilliseconds,
                  &figures.peakKilobytes, &figures.status) != 4) {
    std::fprintf(stderr, "bench: %s could not be run\n", argv.front().c_str());
    std::exit(2);
  }
  return figures;
}

}  // namespace taxlink::bench
