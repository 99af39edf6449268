#ifndef TAXLINK_MVHOST_CLI_SHEETCHECK_H_
#define TAXLINK_MVHOST_CLI_SHEETCHECK_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "mvhost/lib/CheckFinding.h"
#include "sheet/FindingsFile.h"

namespace mvhost {

class HostStore;

// The most findings a sheet lists; the counts per rule take them all.
inline constexpr size_t kSheetListedFindings = 200;

// The bookkeeping check for a run's sheet, made in this process: the same
// findings the sheet reads from a findings file (`taxlink-sheet --findings`),
// without writing and reading that JSON (on books with a finding on most
// lines the round trip cost several times the check).
struct UnkeptFindings;

struct SheetCheckRequest {
  int32_t dataNo = 0;  // 0: the data set the launch selects
  int startMonth = 0;
  int endMonth = 0;
  size_t listed = kSheetListedFindings;
  // Sees the findings in order, listed or not, until it returns false.
  std::function<bool(const CheckFinding&)> each;
  // Gets the findings the check could not keep at once, when given.
  UnkeptFindings* unkept = nullptr;
};

// Checks in `store` (nullptr: the store could not be opened, for the reason
// in `storeError`). False, with the same words as ParseFindings, when the
// months are not two calendar months.
bool SheetCheck(HostStore* store, const std::string& storeError, const SheetCheckRequest& request,
                taxlink::sheet::CheckFindings* findings, std::string* error);

// The same in the store of `home`, opened for the check.
bool SheetCheck(const std::string& home, const SheetCheckRequest& request,
                taxlink::sheet::CheckFindings* findings, std::string* error);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_SHEETCHECK_H_
