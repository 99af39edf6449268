#ifndef TAXLINK_AGGREGATION_RAWAMOUNT_H_
#define TAXLINK_AGGREGATION_RAWAMOUNT_H_

#include <cstdint>

#include "aggregation/Decimal4.h"

namespace taxlink {

// The raw amount of a Decimal4 value. A value that does not fit a signed
// 64-bit raw amount raises Decimal4Overflow instead of being cut to 64 bits.
int64_t ToRawAmount(const Decimal4& value);

// raw + addend and raw - subtrahend through Decimal4, checked as above.
int64_t AddRaw(int64_t raw, int64_t addend);
int64_t SubtractRaw(int64_t raw, int64_t subtrahend);

// The value of one side of a journal line: its amount, plus its tax when
// book amounts include tax (bounded Decimal4 addition).
int64_t JournalSideValue(int64_t amount, int64_t tax, bool taxIncluded);

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_RAWAMOUNT_H_
