#ifndef TAXLINK_MVHOST_CLI_BATCHINDEX_H_
#define TAXLINK_MVHOST_CLI_BATCHINDEX_H_

#include <cstdint>
#include <string>
#include <vector>

#include "mvhost/cli/ClientResult.h"

namespace mvhost {

// The index of a batch's folder: index.csv (UTF-8, a header line, one row
// per client) and index.html beside it. Batches that share the folder, at
// once or one after another, merge their rows: a merge takes an advisory
// lock on index.lock, reads index.csv, puts its rows in place of those of
// the same data id (adding the others), and replaces both files whole
// (written to a temporary file, then renamed), so a reader never sees half
// a file and no batch loses another's rows. While index.csv is still the
// file this object last wrote, a merge takes its rows (and their text) from
// memory instead of reading and parsing the file again: a batch merges once
// per client, and the index grows with the clients.
class BatchIndex {
 public:
  explicit BatchIndex(std::string folder);

  std::string CsvPath() const { return folder_ + "/index.csv"; }
  std::string HtmlPath() const { return folder_ + "/index.html"; }

  // The rows of index.csv; none when it is missing or not an index.
  std::vector<ClientResult> Read() const;
  bool Merge(const std::vector<ClientResult>& rows, std::string* error);

  static std::string CsvText(const std::vector<ClientResult>& rows);
  static std::vector<ClientResult> ParseCsv(const std::string& text);
  static std::string HtmlText(const std::vector<ClientResult>& rows);

 private:
  // A row with its lines in both files.
  struct Row {
    ClientResult result;
    std::string csv;
    std::string html;
  };
  // What identifies one version of index.csv.
  struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = -1;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;
    int64_t changedSeconds = 0;
    int64_t changedNanoseconds = 0;
    bool operator==(const FileStamp& other) const;
  };

  static bool StampOf(const std::string& path, FileStamp* stamp);
  static Row RowOf(ClientResult result);

  std::string folder_;
  std::vector<Row> rows_;  // index.csv as written last, when written_ is set
  bool known_ = false;
  FileStamp written_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_BATCHINDEX_H_
