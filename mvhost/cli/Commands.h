#ifndef TAXLINK_MVHOST_CLI_COMMANDS_H_
#define TAXLINK_MVHOST_CLI_COMMANDS_H_

#include <cstdint>
#include <optional>
#include <string>

#include "mvhost/lib/ImportText.h"

namespace mvhost {

// How many findings of the bookkeeping check an import prints.
enum class ImportWarnings { kFirstFive, kAll, kNone };

struct ImportCommandOptions {
  bool replace = false;
  FileEncoding jsonEncoding;
  FileEncoding csvEncoding;
  ImportWarnings warnings = ImportWarnings::kFirstFive;
};

struct CheckCommandOptions {
  std::optional<int32_t> dataNo;  // default: as export chooses
  int startMonth = 0;             // calendar months; 0: the whole period
  int endMonth = 0;
  bool json = false;
};

// The exit status of a check that found something, and of one that could
// not be made (no store, no such data set).
inline constexpr int kCheckFindingsStatus = 1;
inline constexpr int kCheckFailedStatus = 3;

// The commands of the mvhost tool. Each prints its output to standard output
// and its refusal, prefixed "mvhost: ", to standard error, and returns the
// process exit code (0 success, 1 refused or failed).
int InitCommand(const std::string& home);
int ImportCommand(const std::string& home, const std::string& file,
                  const ImportCommandOptions& options);
int ExportCommand(const std::string& home, std::optional<int32_t> dataNo,
                  const std::string& journalsCsv);
// Prints the findings of the bookkeeping check, one a line (or a JSON
// list); 0 when there are none.
int CheckCommand(const std::string& home, const CheckCommandOptions& options);
int ListCommand(const std::string& home);
int SelectCommand(const std::string& home, const std::string& user, int32_t dataNo);
// Prints every host_state entry, one "KEY VALUE" line each.
int ShowStateCommand(const std::string& home);
// Prints the value of one entry; refused when it is not set.
int StateValueCommand(const std::string& home, const std::string& key);
// Sets an entry; an empty value removes it.
int StateCommand(const std::string& home, const std::string& key, const std::string& value);

// The home from --home, else MVHOST_HOME.
std::string ResolveHome(const std::string& option);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_COMMANDS_H_
