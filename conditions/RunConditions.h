#ifndef TAXLINK_CONDITIONS_RUNCONDITIONS_H_
#define TAXLINK_CONDITIONS_RUNCONDITIONS_H_

#include <cstddef>
#include <string>

#include "platform/text/WinTypes.h"

namespace taxlink {

// Aggregation methods.
constexpr int kByJournals = 0;
constexpr int kSavedReturnValues = 1;

// The longest output path, in bytes of Shift_JIS text (a path buffer with
// its terminator).
constexpr std::size_t kMaxOutputPath = MAX_PATH_;

// What the conditions dialog yields when the user starts a run.
struct RunConditions {
  int startMonth = 0;      // 1..12
  int endMonth = 0;        // 1..12
  std::string outputPath;  // Shift_JIS, at most kMaxOutputPath bytes
  int aggregationMethod = kByJournals;
};

}  // namespace taxlink

#endif  // TAXLINK_CONDITIONS_RUNCONDITIONS_H_
