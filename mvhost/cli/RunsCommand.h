#ifndef TAXLINK_MVHOST_CLI_RUNSCOMMAND_H_
#define TAXLINK_MVHOST_CLI_RUNSCOMMAND_H_

#include <cstdint>
#include <optional>
#include <string>

namespace mvhost {

// `mvhost runs`: the home's run log, oldest first, one run a line or as a
// JSON list; of one data set when dataNo is given.
int RunsCommand(const std::string& home, std::optional<int32_t> dataNo, bool json);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_RUNSCOMMAND_H_
