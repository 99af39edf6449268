#include "tests/support/ProgramRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/RunDeadline.h"

extern char** environ;

namespace taxlink::testing {

namespace {

std::string MakeTempFolder() {
  char pattern[] = "/tmp/taxlink-run-XXXXXX";
  char* made = mkdtemp(pattern);
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  return made;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A hard link to the program where the file system allows one (the programs
// are tens of megabytes), else a copy.
void LinkOrCopyProgram(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) == 0) return;
  std::ifstream in(from, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + from + " (is it built?)");
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  out.close();
  if (!out) throw std::runtime_error("cannot copy " + from + " to " + to);
  ::chmod(to.c_str(), 0755);
}

// A unit test runs in-process: one that starts a program belongs to another
// tier, which the test's registration names (cmake/TaxLinkTests.cmake).
void RefuseInUnitTier(const std::string& program) {
  const char* tier = std::getenv("TAXLINK_TEST_TIER");
  if (tier != nullptr && std::string(tier) == "unit") {
    throw std::logic_error("a unit test starts the program " + program +
                           "; give the test a program, faults, ui or docs tier in "
                           "tests/CMakeLists.txt");
  }
}

}  // namespace

std::string BinaryFolder(ProgramBuild build) {
  return std::string(TAXLINK_BINARY_DIR) +
         (build == ProgramBuild::kFaults ? "/bin-faults" : "/bin");
}

std::vector<std::string> FrontEndModuleFiles() {
  std::vector<std::string> names;
  std::ifstream list(BinaryFolder() + "/front-ends");
  for (std::string line; std::getline(list, line);) {
    if (!line.empty()) names.push_back("taxlink-" + line + ".so");
  }
  return names;
}

void ProgramRun::RemoveFrontEndModules() {
  for (const std::string& module : FrontEndModuleFiles()) {
    ::unlink((programFolder_ + "/" + module).c_str());
  }
}

std::string WindowsPathOf(const std::string& posixPath) {
  std::string path = "C:";
  for (char c : posixPath) path.push_back(c == '/' ? '\\' : c);
  return path;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string();
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

ProgramRun::ProgramRun(const std::string& program, ProgramBuild build)
    : program_(program), build_(build) {
  RefuseInUnitTier(program_);
  work_ = MakeTempFolder();
  programFolder_ = work_ + "/bin";
  ::mkdir(programFolder_.c_str(), 0755);
  LinkOrCopyProgram(BinaryFolder(build_) + "/" + program_, programFolder_ + "/" + program_);
  // The front-end modules the program loads from its own folder.
  for (const std::string& module : FrontEndModuleFiles()) {
    std::string target = BinaryFolder(build_) + "/" + module;
    if (::symlink(target.c_str(), (programFolder_ + "/" + module).c_str()) != 0) {
      throw std::runtime_error("cannot link " + module + " beside the program copy");
    }
  }
  SetDefinitionLevel("1");
  scriptPath_ = work_ + "/ui-script.jsonl";
  WriteFile(scriptPath_, "");
}

ProgramRun::~ProgramRun() {
  std::string command = "rm -rf '" + work_ + "'";
  if (std::system(command.c_str()) != 0) {
    // Leftovers in /tmp are harmless.
  }
}

void ProgramRun::SetDefinitionLevel(const std::optional<std::string>& level) {
  std::string path = programFolder_ + "/VelzoDef.ini";
  if (!level) {
    ::unlink(path.c_str());
    return;
  }
  WriteFile(path, "[ProgramLevel]\r\nSY26=" + *level + "\r\n");
}

void ProgramRun::WriteProgramFile(const std::string& name, const std::string& bytes) {
  WriteFile(programFolder_ + "/" + name, bytes);
}

void ProgramRun::SetUiScript(const std::vector<std::string>& steps) {
  std::string text;
  for (const std::string& step : steps) text += step + "\n";
  WriteFile(scriptPath_, text);
}

ProgramRunResult ProgramRun::Run(const std::string& hostHome, const std::vector<std::string>& args,
                                 const std::vector<std::string>& extraEnvironment) {
  ProgramRunResult result;
  std::string windows = work_ + "/windows";
  ::mkdir(windows.c_str(), 0755);
  std::string transcriptPath = work_ + "/transcript.jsonl";
  ::unlink(transcriptPath.c_str());

  int listener = -1;
  if (window_) {
    listener = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string socketPath = windows + "/" + std::to_string(*window_) + ".sock";
    ::unlink(socketPath.c_str());
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
      throw std::runtime_error("cannot bind " + socketPath);
    }
  }

  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry = *e;
    for (const char* name : {"MVHOST_HOME=", "TAXLINK_UI_SCRIPT=", "TAXLINK_UI_TRANSCRIPT=",
                             "TAXLINK_WINDOWS_DIR=", "MVHOST_FAULTS="}) {
      if (entry.rfind(name, 0) == 0) entry.clear();
    }
    if (!entry.empty()) environment.push_back(entry);
  }
  environment.push_back("MVHOST_HOME=" + hostHome);
  environment.push_back("TAXLINK_UI_SCRIPT=" + scriptPath_);
  environment.push_back("TAXLINK_UI_TRANSCRIPT=" + transcriptPath);
  environment.push_back("TAXLINK_WINDOWS_DIR=" + windows);
  // An extra entry replaces the one of the same name.
  for (const std::string& extra : extraEnvironment) {
    std::string name = extra.substr(0, extra.find('=') + 1);
    std::erase_if(environment, [&name](const std::string& e) { return e.rfind(name, 0) == 0; });
    environment.push_back(extra);
  }
  if (onRename_) {
    // The leak check at exit traces the process itself, which a traced
    // process cannot allow.
    bool found = false;
    for (std::string& entry : environment) {
      if (entry.rfind("ASAN_OPTIONS=", 0) == 0) {
        entry += ":detect_leaks=0";
        found = true;
      }
    }
    if (!found) environment.push_back("ASAN_OPTIONS=detect_leaks=0");
  }

  std::vector<char*> envp;
  envp.reserve(environment.size() + 1);
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string programPath = programFolder_ + "/" + program_;
  std::vector<std::string> argvStrings;
  std::string startPath = programPath;
  if (fileSizeBlocks_) {
    // The shell sets the limit and ignores SIGXFSZ, which stays ignored
    // across exec, so that a write past the limit fails with EFBIG.
    startPath = "/bin/sh";
    argvStrings = {
        "sh", "-c",
        "trap '' XFSZ; ulimit -f " + std::to_string(*fileSizeBlocks_) + "; exec \"$0\" \"$@\""};
  }
  if (hostLaunch_) {
    startPath = BinaryFolder(build_) + "/mvhost";
    argvStrings = {startPath, "launch", "Alto", "--program", programPath};
    argvStrings.insert(argvStrings.end(), hostLaunch_->begin(), hostLaunch_->end());
  } else {
    if (runAs_) {
      startPath = "/usr/bin/setpriv";
      const std::string id = std::to_string(*runAs_);
      argvStrings = {startPath, "--reuid=" + id, "--regid=" + id, "--clear-groups"};
    }
    argvStrings.push_back(programPath);
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  }
  std::vector<char*> argv;
  argv.reserve(argvStrings.size() + 1);
  for (std::string& a : argvStrings) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::string outPath = work_ + "/stdout.txt";
  std::string errPath = work_ + "/stderr.txt";
  int status = 0;
  bool expired = false;
  if (onRename_) {
    result.untraceable = RenameWatchUnsupported();
    if (result.untraceable.empty()) {
      int in = ::open("/dev/null", O_RDONLY);
      int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      status = RunWatchingRenames(startPath, argv.data(), envp.data(), in, out, err, onRename_,
                                  deadlineSeconds_, &expired);
      ::close(in);
      ::close(out);
      ::close(err);
      if (status == -1) {
        result.untraceable =
            "the program cannot be traced here: ptrace is refused (a seccomp filter of the "
            "container, or kernel.yama.ptrace_scope 3)";
      }
    }
    if (!result.untraceable.empty()) {
      if (listener >= 0) ::close(listener);
      return result;
    }
  } else {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    // A process group of its own, which the deadline kills as a whole
    // (mvhost launch starts the program as its child).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    int spawned =
        posix_spawn(&pid, startPath.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) throw std::runtime_error("cannot start " + programPath);
    RunDeadline deadline(pid, deadlineSeconds_);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    deadline.Ended();
    expired = deadline.Expired();
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.standardOutput = ReadFileBytes(outPath);
  result.standardError = ReadFileBytes(errPath);
  if (expired) {
    result.timedOut = true;
    ADD_FAILURE() << program_ << " was still running after " << deadlineSeconds_
                  << " s and was killed (SIGKILL to its process group); its standard error:\n"
                  << result.standardError;
  }

  std::istringstream transcript(ReadFileBytes(transcriptPath));
  for (std::string line; std::getline(transcript, line);) {
    if (!line.empty()) result.transcript.push_back(nlohmann::json::parse(line));
  }

  if (listener >= 0) {
    char buffer[512];
    for (;;) {
      ssize_t n = ::recv(listener, buffer, sizeof(buffer), MSG_DONTWAIT);
      if (n < 0) break;
      result.windowMessages.emplace_back(buffer, static_cast<size_t>(n));
    }
    ::close(listener);
  }
  return result;
}

}  // namespace taxlink::testing
