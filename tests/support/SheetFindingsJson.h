#ifndef TAXLINK_TESTS_SUPPORT_SHEETFINDINGSJSON_H_
#define TAXLINK_TESTS_SUPPORT_SHEETFINDINGSJSON_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "mvhost/cli/SheetCheck.h"
#include "mvhost/lib/CheckFinding.h"

namespace mvhost {

// The reference the in-process sheet check (mvhost/cli/SheetCheck) is tested
// against: the bookkeeping check of the selected data set over calendar months
// start..end (the run's), as the findings file `taxlink-sheet --findings`
// reads (docs/report.md, "Findings of the bookkeeping check"): UTF-8 JSON,
// one object. A check that could not be made is written as such
// ("checked": false and the reason), never as a check without findings.
// `each`, when given, also sees the findings in order, listed or not, until
// it returns false (it wants no more), so that a caller that keeps more of
// them needs no second check. The texts of findings nobody wants are never
// made: a data set with a finding on most of its lines costs little more
// than one without.
std::string SheetFindingsJson(const std::string& home, int startMonth, int endMonth,
                              size_t listed = kSheetListedFindings,
                              const std::function<bool(const CheckFinding&)>& each = nullptr);

// The same of data set dataNo, named by the caller: the environment's
// user and data selection are not read.
std::string DataSetFindingsJson(const std::string& home, int32_t dataNo, int startMonth,
                                int endMonth, size_t listed = kSheetListedFindings,
                                const std::function<bool(const CheckFinding&)>& each = nullptr);

// The findings file of a check that could not be made, for the reason given.
std::string SheetFindingsFailure(const std::string& reason);

}  // namespace mvhost

#endif  // TAXLINK_TESTS_SUPPORT_SHEETFINDINGSJSON_H_
