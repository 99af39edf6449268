#ifndef TAXLINK_MVHOST_CLI_USAGE_H_
#define TAXLINK_MVHOST_CLI_USAGE_H_

#include <optional>
#include <string>
#include <vector>

namespace mvhost {

// The version mvhost prints: that of the TaxLink programs it is built with
// (their string resource 1).
inline constexpr char kToolVersion[] = "18.00.00";

// The exit status of a usage error.
inline constexpr int kUsageErrorStatus = 2;

// The first word of the arguments (after --home DIR) when it names no
// command; nothing when it does, or when an option comes first.
std::optional<std::string> UnknownCommand(const std::vector<std::string>& args);

// "4-9": two calendar months 1..12 joined by "-"; false for anything else.
bool ParseMonthRange(const std::string& text, int* startMonth, int* endMonth);

// Prints "mvhost: MESSAGE" and the usage of `command` (of every command when
// it is empty) to standard error; returns kUsageErrorStatus.
int UsageError(const std::string& message, const std::string& command);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_USAGE_H_
