#ifndef TAXLINK_AGGREGATION_ACCOUNTCLASSES_H_
#define TAXLINK_AGGREGATION_ACCOUNTCLASSES_H_

#include <cstdint>
#include <vector>

#include "host/RefundStatementClasses.h"

namespace taxlink {

// Account-class selection lists of BuildAccountList.
constexpr int ACCOUNT_CLASS_LEGACY = 1;
constexpr int ACCOUNT_CLASS_CORPORATE = 2;
constexpr int ACCOUNT_CLASS_INDIVIDUAL = 3;

// The classes of a selection list in condition order; empty for an unknown
// list number.
const std::vector<uint32_t>& AccountClassList(int list);

// Account classes that the refund-statement rules name.
constexpr uint32_t kClassMerchandiseTotal = 0x40884400;
constexpr uint32_t kClassSellingAdminTotal = 0x40882000;
constexpr uint32_t kClassNonOperatingTotal = 0x40844000;
constexpr uint32_t kClassOtherTotal = 0x40440000;
static_assert(FindRefundStatementClass(kClassMerchandiseTotal)->corporateTotal &&
              FindRefundStatementClass(kClassSellingAdminTotal)->corporateTotal &&
              FindRefundStatementClass(kClassNonOperatingTotal)->corporateTotal &&
              FindRefundStatementClass(kClassOtherTotal)->corporateTotal);

// The corporate refund-statement line that an account class belongs to
// (the host's table, host/RefundStatementClasses.h).
using CorporateLine = CorporateRefundLine;
CorporateLine CorporateLineOfClass(uint32_t classCode);

// The individual refund-statement group of an account class.
using IndividualGroup = IndividualRefundGroup;
IndividualGroup IndividualGroupOfClass(uint32_t classCode);

// A journal tax class that is not a taxable purchase: below 21, 24, or
// above 29.
bool IsNonTaxablePurchaseClass(uint8_t taxClass);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_ACCOUNTCLASSES_H_
