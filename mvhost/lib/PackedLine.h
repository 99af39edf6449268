#ifndef TAXLINK_MVHOST_PACKEDLINE_H_
#define TAXLINK_MVHOST_PACKEDLINE_H_

#include <cstddef>
#include <cstdint>

namespace mvhost {

#pragma pack(push, 1)
// A journal line as the host keeps it for walks: the columns of journal_line
// that the walks hand out or filter on, in a fixed binary layout. Lines are
// stored in line order, many to a chunk (table journal_chunk).
struct PackedLine {
  int32_t lineId;
  int32_t journalNo;
  int32_t date;
  int32_t monthKind;
  int32_t taxRate;
  int32_t businessType;
  int32_t hasDebit;  // 0: the line has no debit side (debit_account is null)
  int32_t debitAccount;
  int32_t debitDept;
  int32_t debitTaxClass;
  int64_t debitAmount;
  int64_t debitTax;
  int32_t hasCredit;
  int32_t creditAccount;
  int32_t creditDept;
  int32_t creditTaxClass;
  int64_t creditAmount;
  int64_t creditTax;
};
#pragma pack(pop)

static_assert(sizeof(PackedLine) == 88);
static_assert(offsetof(PackedLine, debitAmount) == 40);
static_assert(offsetof(PackedLine, creditAmount) == 72);

// Lines per chunk.
constexpr size_t kLinesPerChunk = 1024;

// The rate (x 100) a line is summed at: its own, or for 0 the standard rate
// on its date (the same as kEffectiveRateSql).
constexpr int32_t EffectiveRate(int32_t taxRate, int32_t date) {
  if (taxRate != 0) return taxRate;
  if (date < 19970401) return 300;
  if (date < 20140401) return 500;
  if (date < 20191001) return 800;
  return 1000;
}

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_PACKEDLINE_H_
