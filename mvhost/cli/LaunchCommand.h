#ifndef TAXLINK_MVHOST_CLI_LAUNCHCOMMAND_H_
#define TAXLINK_MVHOST_CLI_LAUNCHCOMMAND_H_

#include <cstdint>
#include <functional>
#include <string>

namespace mvhost {

struct SheetOutcome;
struct RunTranscript;
struct RunLogEntry;
struct TakenConditions;

class HostStore;

struct LaunchOptions {
  std::string edition;  // Alto, Std or Serena
  std::string program;  // overrides the program next to mvhost
  std::string home;     // handed to the program as MVHOST_HOME when set
  int32_t functionId = 1;
  std::string pathText;                  // UTF-8; handed to the program in Shift_JIS
  bool sheet = false;                    // after a written run, the check sheet beside the report
  std::string trace;                     // handed to the program as TAXLINK_TRACE when set
  std::string via = "launch";            // what the run log says started the run
  SheetOutcome* sheetOutcome = nullptr;  // with sheet: gets what the sheet read and found
  // Called once the program has been started (the launch changes no
  // environment setting after it), and once it has ended, before the run
  // log is written.
  std::function<void()> started;
  std::function<void()> ended;
  // Called once when the program posts that it wrote its report (it may
  // still be ending): a caller may start on the sheet then.
  std::function<void()> posted;
  // While the program runs: a descriptor the launch watches beside the
  // window (-1: none), and what it calls whenever that is readable.
  int watchFd = -1;
  std::function<void()> watched;
  // With sheet, after a written run: the sheet a caller made since
  // `posted`, when it fits the run's conditions (null: none) and the
  // report's bytes the run log read (their SHA-256); true when it took the
  // sheet over (written, or not with the reason), false to have the launch
  // make it.
  std::function<bool(const TakenConditions* taken, const std::string& sha256,
                     SheetOutcome* outcome, bool* written, std::string* error)>
      sheetMade;
  // A connection to the home to use after `ended` for the run log and the
  // sheet's check (one the check beside the program opened); none: the
  // launch opens one.
  HostStore* store = nullptr;
  // A private folder for the window's socket, kept after the launch (a
  // batch's worker slot); empty: a fresh one, removed after the launch.
  std::string windowFolder;
  // With windowFolder: a socket bound there for windowHandle
  // (BindWindowSocket), kept open after the launch: a batch's worker slot
  // binds one for all its clients. -1: the launch binds one for a handle of
  // its own and removes it afterwards.
  int windowFd = -1;
  uint32_t windowHandle = 0;
  // When given, gets the run's run log entry (all but the user and the data
  // set, which the caller knows) instead of the store: a batch writes its
  // clients' entries in groups.
  RunLogEntry* runLog = nullptr;
  // With runLog: called once the entry is made, before the sheet.
  std::function<void()> runLogMade;
  // Gets the run's transcript as read once the program has ended.
  RunTranscript* transcript = nullptr;
};

// The message number the host asks the program to post back (WM_USER + 1).
inline constexpr uint32_t kHostNotifyMessage = 1025;

// Exit codes of `mvhost launch` besides the run results 0, 1 and 2.
inline constexpr int kLaunchNoNotification = 3;
inline constexpr int kLaunchCannotStart = 4;
// The run wrote its report, but --sheet could not write the check sheet.
inline constexpr int kLaunchNoSheet = 5;

// Starts the program the way the host does and acts as the host window: one
// argument "HANDLE,1025,FUNCTIONID,TEXT", TAXLINK_WINDOWS_DIR set to a fresh
// folder in which this process listens on the socket of HANDLE. Prints each
// datagram the window receives, then the program's exit status and the run's
// result; returns the result (lParam of the posted message) or
// kLaunchNoNotification. When the program ends without posting (killed by a
// signal, for instance), a window it left disabled is enabled again. With
// sheet, a written run's report gets its check sheet (made in this process,
// as taxlink-sheet makes it), and "sheet: PATH" is printed. Every run that was started
// goes into the home's run log (a failure to write it is a warning).
int LaunchCommand(const LaunchOptions& options);

// Binds the host window's datagram socket for `handle` in `folder` and
// sets TAXLINK_WINDOWS_DIR to the folder; the descriptor (close-on-exec), or
// -1 with the reason.
int BindWindowSocket(const std::string& folder, uint32_t handle, std::string* error);

// The program of an edition: TaxLink<EDITION> in the folder of this
// executable.
std::string EditionProgramPath(const std::string& edition);
// A program in the folder of this executable.
std::string SiblingProgramPath(const std::string& name);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_LAUNCHCOMMAND_H_
