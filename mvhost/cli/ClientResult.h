#ifndef TAXLINK_MVHOST_CLI_CLIENTRESULT_H_
#define TAXLINK_MVHOST_CLI_CLIENTRESULT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mvhost/cli/ReportFigures.h"

namespace mvhost {

// One client's row of a batch's index (docs/mvhost.md, "batch"). Texts are
// UTF-8; file names are relative to the batch's folder.
struct ClientResult {
  int32_t dataNo = 0;
  std::string dataId;
  std::string company;
  std::string period;   // 2014-04-01..2015-03-31
  std::string months;   // 4-3
  std::string method;   // journals or saved
  std::string status;   // written, refused or failed
  std::string message;  // the message that ended the run, or a notice
  int64_t durationMs = 0;
  std::string reportSha256;
  std::optional<int64_t> reportSize;
  std::optional<int64_t> findings;
  std::optional<ReportFigures> figures;
  std::string report;        // <data_id>.xml when written
  std::string sheet;         // <data_id>.html when written
  std::string findingsFile;  // <data_id>.findings.txt

  // The index's columns, and a row as their values.
  static const std::vector<std::string>& Columns();
  std::vector<std::string> Fields() const;
  // A row read back; false when it has not every column.
  static bool FromFields(const std::vector<std::string>& fields, ClientResult* result);
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_CLIENTRESULT_H_
