#ifndef TAXLINK_MVHOST_DATAEXPORT_H_
#define TAXLINK_MVHOST_DATAEXPORT_H_

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/HostStore.h"

namespace mvhost {

// Reads data set `dataNo` from the store into `model` (journals inline, items
// in the order of their ids). False when there is no such data set or the
// store is inconsistent.
bool LoadDataSet(HostStore& store, int32_t dataNo, DataSetModel* model, std::string* error);

// Everything of data set `dataNo` but its journal lines; `accountCodes` gets
// the code of each account id, for the lines.
bool LoadDataSetHead(HostStore& store, int32_t dataNo, DataSetModel* model,
                     std::map<int64_t, std::string>* accountCodes, std::string* error);

struct ExportOptions {
  // The CSV file the journal lines go to (created or replaced); empty: the
  // lines go inline.
  std::string journalsCsvPath;
  // The name the JSON text gives that file ("journals_csv"); empty: the
  // path as given.
  std::string journalsCsvName;
};

// Writes the canonical text of data set `dataNo` (the text JsonFromModel
// makes of it) to `out`, its journal lines read and written one at a time:
// the memory needed does not grow with the number of lines. A failure
// after the first bytes leaves what was written before it.
bool ExportDataSet(HostStore& store, int32_t dataNo, const ExportOptions& options,
                   std::ostream& out, std::string* error);

// The canonical text of data set `dataNo`, with the lines inline.
bool ExportDataSet(HostStore& store, int32_t dataNo, std::string* text, std::string* error);

// The data set to export when none is named: the current user's selection
// when it exists, otherwise the only data set of the store.
bool DefaultDataNo(HostStore& store, int32_t* dataNo, std::string* error);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATAEXPORT_H_
