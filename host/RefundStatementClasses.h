#ifndef TAXLINK_HOST_REFUNDSTATEMENTCLASSES_H_
#define TAXLINK_HOST_REFUNDSTATEMENTCLASSES_H_

#include <cstdint>

// The account classes of the host's chart whose amounts the refund
// statements take, and the line each one feeds: the corporate statement
// (KANPUH) by line, the individual one (KANPUK) by group, routed further by
// kind of income. Accounts of any other class feed no line of either
// statement. docs/data-format.md lists them.

enum class CorporateRefundLine : uint8_t {
  kNone,
  kMerchandise,
  kSellingAdmin,
  kNonOperating,
  kOther,
};
enum class IndividualRefundGroup : uint8_t { kNone, kPurchases, kExpenses };

struct RefundStatementClass {
  uint32_t code;
  CorporateRefundLine corporate;
  IndividualRefundGroup individual;
  // The corporate line takes the account-sum total of this class, which
  // holds the accounts of the classes below it too (when the data set marks
  // the class as one with a total).
  bool corporateTotal = false;
};

inline constexpr RefundStatementClass kRefundStatementClasses[] = {
    {0x40884400, CorporateRefundLine::kMerchandise, IndividualRefundGroup::kPurchases, true},
    {0x20804000, CorporateRefundLine::kMerchandise, IndividualRefundGroup::kPurchases},
    {0x20400000, CorporateRefundLine::kMerchandise, IndividualRefundGroup::kPurchases},
    {0x20400008, CorporateRefundLine::kMerchandise, IndividualRefundGroup::kPurchases},
    {0x20400004, CorporateRefundLine::kMerchandise, IndividualRefundGroup::kPurchases},
    {0x20200000, CorporateRefundLine::kMerchandise, IndividualRefundGroup::kPurchases},
    {0x20200040, CorporateRefundLine::kMerchandise, IndividualRefundGroup::kPurchases},
    {0x40882000, CorporateRefundLine::kSellingAdmin, IndividualRefundGroup::kExpenses, true},
    {0x40882040, CorporateRefundLine::kSellingAdmin, IndividualRefundGroup::kExpenses},
    {0x40882020, CorporateRefundLine::kSellingAdmin, IndividualRefundGroup::kExpenses},
    {0x40882010, CorporateRefundLine::kSellingAdmin, IndividualRefundGroup::kExpenses},
    {0x40882008, CorporateRefundLine::kSellingAdmin, IndividualRefundGroup::kExpenses},
    {0x40882004, CorporateRefundLine::kSellingAdmin, IndividualRefundGroup::kExpenses},
    {0x40844000, CorporateRefundLine::kNonOperating, IndividualRefundGroup::kExpenses, true},
    {0x40844080, CorporateRefundLine::kNone, IndividualRefundGroup::kExpenses},
    {0x40440000, CorporateRefundLine::kOther, IndividualRefundGroup::kExpenses, true},
    {0x40440040, CorporateRefundLine::kOther, IndividualRefundGroup::kExpenses},
    {0x40440080, CorporateRefundLine::kOther, IndividualRefundGroup::kExpenses},
};

// The entry of an account class; null when the class feeds no line.
constexpr const RefundStatementClass* FindRefundStatementClass(uint32_t code) {
  for (const RefundStatementClass& entry : kRefundStatementClasses) {
    if (entry.code == code) return &entry;
  }
  return nullptr;
}

// The host's class of tangible fixed assets: accounts of it, and of the
// classes below it in a data set's hierarchy, hold fixed assets, whose
// acquisitions the statements take from the fixed-asset records.
inline constexpr uint32_t kAccountClassFixedAssets = 0x01800000;

#endif  // TAXLINK_HOST_REFUNDSTATEMENTCLASSES_H_
