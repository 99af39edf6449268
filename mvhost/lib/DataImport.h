#ifndef TAXLINK_MVHOST_DATAIMPORT_H_
#define TAXLINK_MVHOST_DATAIMPORT_H_

#include <cstdint>
#include <string>

#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/HostStore.h"

namespace mvhost {

// Imports one data set file (docs/data-format.md) into the store: reads it,
// checks it whole, then writes it in one transaction, so that a refused or
// failed import leaves the store as it was. An existing data set with the same
// number is refused unless `replace` is set, in which case it is replaced.
// The imported data number goes to `dataNo`.
bool ImportDataSetFile(HostStore& store, const std::string& path, bool replace, int32_t* dataNo,
                       std::string* error);

// The same for text already read; `fileName` names it in messages and
// `baseDir` is where a "journals_csv" file is looked for.
bool ImportDataSetText(HostStore& store, const std::string& text, const std::string& fileName,
                       const std::string& baseDir, bool replace, int32_t* dataNo,
                       std::string* error);

// Writes a checked model in one transaction (rolled back on failure).
bool WriteDataSet(HostStore& store, const DataSetModel& model, bool replace, std::string* error);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATAIMPORT_H_
