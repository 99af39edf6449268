#ifndef TAXLINK_TESTS_SUPPORT_REPORTVALIDATION_H_
#define TAXLINK_TESTS_SUPPORT_REPORTVALIDATION_H_

#include <string>

#include "tests/support/ProgramRun.h"

namespace taxlink::testing {

// The report of a run that ended as written (exit status 0), found by the
// output path of its conditions dialog on drive C: (the fixtures' drive
// map), checked against the report's schema. Empty when it passes, or when
// the run wrote none; otherwise the path and the first problem.
std::string WrittenReportProblem(const ProgramRunResult& run);

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_REPORTVALIDATION_H_
