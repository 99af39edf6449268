#ifndef TAXLINK_TESTS_SUPPORT_PROGRAMRUN_H_
#define TAXLINK_TESTS_SUPPORT_PROGRAMRUN_H_

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/RenameWatch.h"

namespace taxlink::testing {

// Which build of the programs a test runs: bin/, or bin-faults/ whose
// programs inject the faults MVHOST_FAULTS or the home's faults file name.
enum class ProgramBuild { kRelease, kFaults };

// What one run of a real program executable did.
struct ProgramRunResult {
  int exitCode = -1;
  std::string standardOutput;
  std::string standardError;
  std::vector<nlohmann::json> transcript;   // the UI transcript, one entry per line
  std::vector<std::string> windowMessages;  // datagrams the host window received
  // WatchRenames was asked for but cannot watch here: why (the run did not
  // take place); empty otherwise.
  std::string untraceable;
  bool timedOut = false;  // the run outlasted its deadline and was killed
};

// Runs build/bin/<program> (or bin-faults/), hard-linked (or copied) into a
// private folder (the program looks for its filing-application definition
// file and support file next to itself), with a UI script, a transcript and
// optionally a host window that listens for the program's notifications.
// A run outlasting its deadline is killed with its process group and fails
// the test. Refused in a unit-tier test (TAXLINK_TEST_TIER=unit).
class ProgramRun {
 public:
  explicit ProgramRun(const std::string& program = "TaxLinkAlto",
                      ProgramBuild build = ProgramBuild::kRelease);
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // The folder holding the program copy (POSIX).
  const std::string& programFolder() const { return programFolder_; }
  const std::string& workFolder() const { return work_; }

  // Writes VelzoDef.ini next to the program with [ProgramLevel] SY26=level;
  // nothing removes the file.
  void SetDefinitionLevel(const std::optional<std::string>& level);
  // Writes a file next to the program (raw bytes).
  void WriteProgramFile(const std::string& name, const std::string& bytes);
  // Takes away the front-end modules beside the program copy.
  void RemoveFrontEndModules();

  // The UI script, one JSON step per line (UTF-8).
  void SetUiScript(const std::vector<std::string>& steps);
  // A host window with this handle listens during the next run.
  void ListenAsWindow(unsigned handle) { window_ = handle; }
  // Limits every file the program writes to blocks x 512 bytes (writes past
  // it fail with EFBIG instead of ending the process); nullopt: no limit.
  void LimitFileSize(std::optional<unsigned> blocks) { fileSizeBlocks_ = blocks; }

  // With options, the next runs start the program through `mvhost launch
  // Alto --program <copy>` with these further options of mvhost's (e.g.
  // --path), as the host does, and the arguments of Run are not used;
  // nullopt starts it directly again.
  void LaunchThroughHost(std::optional<std::vector<std::string>> launchOptions) {
    hostLaunch_ = std::move(launchOptions);
  }

  // The next runs start the program as this user and group (through
  // setpriv, which needs root); nullopt: as the test's own user.
  void RunAsUser(std::optional<unsigned> uid) { runAs_ = uid; }

  // The next runs call handler at each rename system call of the program
  // (RenameWatch.h); null: no watch.
  void WatchRenames(RenameHandler handler) { onRename_ = std::move(handler); }

  // Runs the program with MVHOST_HOME = hostHome and the given arguments;
  // an extra environment entry replaces one of the same name.
  ProgramRunResult Run(const std::string& hostHome, const std::vector<std::string>& args,
                       const std::vector<std::string>& extraEnvironment = {});

 private:
  std::string program_;
  ProgramBuild build_;
  std::string work_;
  std::string programFolder_;
  std::string scriptPath_;
  std::optional<unsigned> window_;
  std::optional<unsigned> fileSizeBlocks_;
  std::optional<unsigned> runAs_;
  std::optional<std::vector<std::string>> hostLaunch_;
  RenameHandler onRename_;
  // How long one run may take: well inside the test's timeout, far beyond
  // any run's time under the sanitizers on a loaded machine.
  int deadlineSeconds_ = 120;
};

// The POSIX path of the build's executables folder (of one build).
std::string BinaryFolder(ProgramBuild build = ProgramBuild::kRelease);
// The Windows path (drive C: = "/") of a POSIX path.
// The front-end modules built beside the programs (bin/front-ends).
std::vector<std::string> FrontEndModuleFiles();

std::string WindowsPathOf(const std::string& posixPath);
// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_PROGRAMRUN_H_
