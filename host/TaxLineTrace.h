#ifndef TAXLINK_HOST_TAXLINETRACE_H_
#define TAXLINK_HOST_TAXLINETRACE_H_

#include <cstdint>

// One side of a journal line as the return summation took it: the line, the
// side, and each figure of the rate rows and business-type records it went
// into with the amount it added there. Texts are Shift_JIS, zero-terminated.
struct TaxLineSide {
  enum class Record : uint8_t { kRateRow, kBusinessType };
  enum class Taken : uint8_t { kExcludingTax, kTax, kIncludingTax };
  struct Target {
    Record record;
    uint8_t row;           // rate row (0, 1, 2: 8, 5, 3 %)
    uint8_t businessType;  // 1..6 for kBusinessType
    Taken taken;
    uint16_t offset;  // byte offset in StTAXREPORTRATEINFO or
                      // StTAXREPORTBUSINESSTYPEINFO
    int64_t amount;   // raw, signed as it adds to the figure
  };
  static constexpr int kMaxTargets = 8;

  int32_t journalId;
  int32_t lineNo;
  int32_t date;
  int16_t monthKind;
  bool debit;
  uint8_t taxClass;
  int32_t rate;  // effective rate x 100
  uint8_t businessType;
  int32_t department;
  int32_t accountId;
  // The account's code and name, zero-terminated; valid during the call.
  const char* accountCode;
  const char* accountName;
  int64_t amount;  // the side's amount and tax as booked
  int64_t tax;
  int targetCount;
  Target targets[kMaxTargets];
};

// Receives the sides of the summation's lines; false stops the walk.
class TaxLineSink {
 public:
  virtual ~TaxLineSink() = default;
  virtual bool Side(const TaxLineSide& side) = 0;
};

#endif  // TAXLINK_HOST_TAXLINETRACE_H_
