#ifndef TAXLINK_MVHOST_SETSHOHIZEI_H_
#define TAXLINK_MVHOST_SETSHOHIZEI_H_

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>

#include "host/ClSetShohizei.h"
#include "mvhost/lib/HostSession.h"

namespace mvhost {

// The rate rows of the tax return, whatever rates a data set lists: 8, 5 and
// 3 % (x 100), followed by one row of the totals across them.
constexpr size_t kTaxRateRows = 3;
constexpr int32_t kTaxRateRowRates[kTaxRateRows] = {800, 500, 300};

// The consumption-tax settings of a data set (columns of data_set) and its
// tax rates (table tax_rate).
class SetShohizei : public ClSetShohizei {
 public:
  int32_t AttachSetMgr(ClSetMgr* setMgr) override;
  int32_t SetCurDataID(const char* dataId) override;
  int32_t Get(StSHOHIZEIINFO* out) override;
  // The three rate rows plus the totals row (4); a host error code when the
  // data set cannot be read.
  int32_t GetTaxRateCount() override;

  // Forgets the data set SetCurDataID named (back to the user's selection).
  void Unbind() { binding_ = DataBinding(); }

 private:
  ClSetMgr* setMgr_ = nullptr;
  DataBinding binding_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SETSHOHIZEI_H_
