#ifndef TAXLINK_MVHOST_CLI_COMMANDS_H_
#define TAXLINK_MVHOST_CLI_COMMANDS_H_

#include <cstdint>
#include <optional>
#include <string>

namespace mvhost {

// The commands of the mvhost tool. Each prints its output to standard output
// and its refusal, prefixed "mvhost: ", to standard error, and returns the
// process exit code (0 success, 1 refused or failed).
int InitCommand(const std::string& home);
int ImportCommand(const std::string& home, const std::string& file, bool replace);
int ExportCommand(const std::string& home, std::optional<int32_t> dataNo);
int ListCommand(const std::string& home);
int SelectCommand(const std::string& home, const std::string& user, int32_t dataNo);
// With no key: prints every host_state entry. With a key and an empty value:
// removes the entry.
int StateCommand(const std::string& home, const std::string& key, const std::string& value,
                 bool set);

// The home from --home, else MVHOST_HOME.
std::string ResolveHome(const std::string& option);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_COMMANDS_H_
