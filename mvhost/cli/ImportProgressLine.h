#ifndef TAXLINK_MVHOST_CLI_IMPORTPROGRESSLINE_H_
#define TAXLINK_MVHOST_CLI_IMPORTPROGRESSLINE_H_

#include <cstdio>
#include <string>

#include "mvhost/lib/DataImport.h"

namespace mvhost {

// The progress of a large import on one line of standard error, rewritten
// in place at most a few times a second, only when standard error is a
// terminal; warnings are printed on lines of their own above it.
class ImportProgressLine {
 public:
  ImportProgressLine(std::string file, std::FILE* out, bool terminal);
  ~ImportProgressLine() { Clear(); }
  ImportProgressLine(const ImportProgressLine&) = delete;
  ImportProgressLine& operator=(const ImportProgressLine&) = delete;

  void Show(const ImportProgress& progress);
  void Warn(const std::string& warning);
  // Removes the line (before the import's result is printed).
  void Clear();

  // Imports of fewer lines show no progress.
  static constexpr int64_t kShownFromLines = 5000;

 private:
  std::string file_;
  std::FILE* out_;
  bool terminal_;
  size_t shownLength_ = 0;
  double lastShown_ = -1;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_IMPORTPROGRESSLINE_H_
