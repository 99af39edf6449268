#ifndef TAXLINK_MVHOST_DATAVALIDATE_H_
#define TAXLINK_MVHOST_DATAVALIDATE_H_

#include <cstdint>
#include <set>
#include <string>

#include "mvhost/lib/DataModel.h"

namespace mvhost {

// The checks across fields of a data set read by ModelFromJson: duplicate
// codes, unknown accounts, departments, classes and tax classes, dates and
// month kinds against the accounting period, rates against dates, and text
// that does not fit the host's records in Shift_JIS. The first refusal is
// returned in `error`, naming the item and field where it was read.
bool ValidateModel(const DataSetModel& model, std::string* error);

// Why a user id cannot be used ("" when it can): a user id is the first
// part of the user's remembered-path record ("ID/NO1/NO2:"), so a "/", a
// ":" or a control character in it would make the record read as another
// user's; it must also fit the host's 64 bytes of Shift_JIS. The import,
// `mvhost select` and `mvhost state current_user` apply it.
std::string UserIdProblem(const std::string& id);

// The checks of one journal line against the rest of its data set, for the
// lines that are read one at a time after ValidateModel has passed the rest.
class JournalLineChecker {
 public:
  explicit JournalLineChecker(const DataSetModel& model);
  bool Check(const JournalLine& line, std::string* error) const;

 private:
  const DataSetModel& model_;
  std::set<std::string> accounts_;
  std::set<int32_t> departments_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATAVALIDATE_H_
