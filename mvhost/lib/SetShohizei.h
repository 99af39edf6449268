#ifndef TAXLINK_MVHOST_SETSHOHIZEI_H_
#define TAXLINK_MVHOST_SETSHOHIZEI_H_

#include <sqlite3.h>

#include <cstdint>
#include <vector>

#include "host/ClSetShohizei.h"
#include "mvhost/lib/HostSession.h"

namespace mvhost {

// The consumption-tax settings of a data set (columns of data_set) and its
// tax rates (table tax_rate).
class SetShohizei : public ClSetShohizei {
 public:
  int32_t AttachSetMgr(ClSetMgr* setMgr) override;
  int32_t SetCurDataID(const char* dataId) override;
  int32_t Get(StSHOHIZEIINFO* out) override;
  // The data set's rate rows plus one last row for the totals across rates;
  // 0 when the data set cannot be read.
  int32_t GetTaxRateCount() override;

  // The data set's rates (x 100) in row order; 800, 500, 300 when the data
  // set lists none.
  static int32_t RatesOf(sqlite3* db, int32_t dataNo, std::vector<int32_t>* rates);

  // Forgets the data set SetCurDataID named (back to the user's selection).
  void Unbind() { binding_ = DataBinding(); }

 private:
  ClSetMgr* setMgr_ = nullptr;
  DataBinding binding_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SETSHOHIZEI_H_
