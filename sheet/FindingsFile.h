#ifndef TAXLINK_SHEET_FINDINGSFILE_H_
#define TAXLINK_SHEET_FINDINGSFILE_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace taxlink::sheet {

// One finding of the bookkeeping check (UTF-8).
struct FindingRow {
  std::string rule;   // "tax-mismatch"
  std::string place;  // "journal 2/line 2", "fixed asset K001"
  std::string what;
  std::string todo;
};

// The bookkeeping check of the report's data set and months, as the host
// gives it beside a run (docs/report.md, "Findings of the bookkeeping
// check"), or a plain list of findings as `mvhost check --json` prints it.
struct CheckFindings {
  bool checked = false;
  std::string error;    // why the check could not be made
  int64_t dataSet = 0;  // 0: not named
  int startMonth = 0;   // 0: not named
  int endMonth = 0;
  int64_t total = 0;                                    // every finding, listed or not
  std::vector<std::pair<std::string, int64_t>> counts;  // per rule, in the file's order
  std::vector<FindingRow> rows;                         // the findings listed
};

// Reads the findings file's text; false with what is wrong in it.
bool ParseFindings(const std::string& json, CheckFindings* findings, std::string* error);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_FINDINGSFILE_H_
