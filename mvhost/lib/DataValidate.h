#ifndef TAXLINK_MVHOST_DATAVALIDATE_H_
#define TAXLINK_MVHOST_DATAVALIDATE_H_

#include <string>

#include "mvhost/lib/DataModel.h"

namespace mvhost {

// The checks across fields of a data set read by ModelFromJson: duplicate
// codes, unknown accounts, departments, classes and tax classes, dates and
// month kinds against the accounting period, rates against dates, and text
// that does not fit the host's records in Shift_JIS. The first refusal is
// returned in `error`, naming the item and field where it was read.
bool ValidateModel(const DataSetModel& model, std::string* error);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATAVALIDATE_H_
