#ifndef TAXLINK_MVHOST_CLI_EARLYSHEET_H_
#define TAXLINK_MVHOST_CLI_EARLYSHEET_H_

#include <string>
#include <thread>

#include "sheet/FindingsFile.h"
#include "sheet/ReportSheet.h"

namespace mvhost {

class ConcurrentCheck;
struct SheetOutcome;
struct TakenConditions;

// The check sheet of a batch client's report, made on a thread of its own
// from the moment the program posts that it wrote the report, while the
// program ends and the launch waits for it, so that only the file's write
// is left for after the program. It is used only when the run's transcript
// names the same report and months and the run log read the same bytes;
// otherwise the launch makes the sheet after the program as before.
class EarlySheet {
 public:
  EarlySheet() = default;
  ~EarlySheet() { Join(); }
  EarlySheet(const EarlySheet&) = delete;
  EarlySheet& operator=(const EarlySheet&) = delete;

  // Starts making the sheet of reportPath (POSIX), with the findings of
  // `check` (made beside the program over startMonth..endMonth; null: a
  // sheet without findings). Once only. `programEnded` false: the program
  // may still read the store, so the check's findings are taken without
  // keeping what it left unkept.
  void Start(const std::string& reportPath, ConcurrentCheck* check, int startMonth, int endMonth,
             bool programEnded = true);

  // Waits for the thread: before anything else in the process takes the
  // check's findings or uses the store.
  void Join();

  // After the program: when the sheet was made for the report and months
  // `taken` names (null: none) and for the bytes whose SHA-256 the run log
  // read, writes it and fills `outcome` as SheetAfterLaunch::Write does:
  // true, with *written false and the reason when the write failed. False
  // when none was made for them.
  bool Finish(const TakenConditions* taken, const std::string& sha256, SheetOutcome* outcome,
              bool* written, std::string* error);

 private:
  std::thread thread_;
  bool started_ = false;
  bool made_ = false;
  bool check_ = false;
  std::string reportPath_;
  int startMonth_ = 0;
  int endMonth_ = 0;
  taxlink::sheet::CheckFindings findings_;
  std::string findingsText_;
  taxlink::sheet::ReportSheet sheet_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_EARLYSHEET_H_
