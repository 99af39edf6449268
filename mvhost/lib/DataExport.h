#ifndef TAXLINK_MVHOST_DATAEXPORT_H_
#define TAXLINK_MVHOST_DATAEXPORT_H_

#include <cstdint>
#include <string>

#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/HostStore.h"

namespace mvhost {

// Reads data set `dataNo` from the store into `model` (journals inline, items
// in the order of their ids). False when there is no such data set or the
// store is inconsistent.
bool LoadDataSet(HostStore& store, int32_t dataNo, DataSetModel* model, std::string* error);

// The canonical text of data set `dataNo` (JsonFromModel).
bool ExportDataSet(HostStore& store, int32_t dataNo, std::string* text, std::string* error);

// The data set to export when none is named: the current user's selection
// when it exists, otherwise the only data set of the store.
bool DefaultDataNo(HostStore& store, int32_t* dataNo, std::string* error);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATAEXPORT_H_
