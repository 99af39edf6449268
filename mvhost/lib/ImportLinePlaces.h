#ifndef TAXLINK_MVHOST_IMPORTLINEPLACES_H_
#define TAXLINK_MVHOST_IMPORTLINEPLACES_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "mvhost/lib/CheckFinding.h"

namespace mvhost {

// Where each line an import stores was read: the first ones are the items
// of the data set file's "journals", the rest lines of its CSV file, whose
// numbers run on with the store's except after the blank lines skipped, so
// only those steps are kept.
class ImportLinePlaces {
 public:
  ImportLinePlaces(const std::string* jsonFile, const std::string* csvFile, int64_t items)
      : jsonFile_(jsonFile), csvFile_(csvFile), items_(items) {}

  // Stored line `lineId` came from line `fileLine` of the CSV file.
  void AddCsvLine(int64_t lineId, int64_t fileLine);
  LinePlace Of(int64_t lineId) const;

 private:
  const std::string* jsonFile_;
  const std::string* csvFile_;
  int64_t items_;
  std::vector<std::pair<int64_t, int64_t>> steps_;  // first line id, file line - line id
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_IMPORTLINEPLACES_H_
