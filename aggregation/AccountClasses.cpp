#include "aggregation/AccountClasses.h"

namespace taxlink {

namespace {

const std::vector<uint32_t> kLegacyList = {0x40888000, 0x40848000};

const std::vector<uint32_t> kCorporateList = {
    0x40884400, 0x20804000, 0x20400000, 0x20200000, 0x40882000, 0x40844000,
    0x40440000, 0x40440040, 0x40440080, 0x40882040, 0x40882020, 0x40882010,
    0x40882008, 0x40882004, 0x20200040, 0x20400008, 0x20400004};

const std::vector<uint32_t> kIndividualList = {
    0x40884400, 0x20804000, 0x20400000, 0x20200000, 0x40882000, 0x40882040,
    0x40882020, 0x40882010, 0x40882008, 0x40882004, 0x40844000, 0x40844080,
    0x40440000, 0x40440080, 0x40440040, 0x20200040, 0x20400008, 0x20400004};

const std::vector<uint32_t> kNoList;

}  // namespace

const std::vector<uint32_t>& AccountClassList(int list) {
  switch (list) {
    case ACCOUNT_CLASS_LEGACY:
      return kLegacyList;
    case ACCOUNT_CLASS_CORPORATE:
      return kCorporateList;
    case ACCOUNT_CLASS_INDIVIDUAL:
      return kIndividualList;
    default:
      return kNoList;
  }
}

CorporateLine CorporateLineOfClass(uint32_t classCode) {
  const RefundStatementClass* entry = FindRefundStatementClass(classCode);
  return entry == nullptr ? CorporateLine::kNone : entry->corporate;
}

IndividualGroup IndividualGroupOfClass(uint32_t classCode) {
  const RefundStatementClass* entry = FindRefundStatementClass(classCode);
  return entry == nullptr ? IndividualGroup::kNone : entry->individual;
}

bool IsNonTaxablePurchaseClass(uint8_t taxClass) {
  return taxClass < 21 || taxClass == 24 || taxClass > 29;
}

}  // namespace taxlink
