#ifndef TAXLINK_APP_HOSTREADS_H_
#define TAXLINK_APP_HOSTREADS_H_

#include <cstdint>

#include "host/StDATAINFO.h"
#include "status/Status.h"

namespace taxlink {

// The data set the current user selected, into *out (zero-filled first):
// ok when found; Missing when the walk ended without it; the first host
// failure of the reads (the user, the selection, the walk) otherwise.
Status LoadSelectedDataSet(StDATAINFO* out);

// First day (yyyymmdd) of the accounting month named month, into *date:
// ok, or the host call that failed.
Status MonthStartDate(int16_t month, int32_t* date);

}  // namespace taxlink

#endif  // TAXLINK_APP_HOSTREADS_H_
