#ifndef TAXLINK_HOST_STTAXREPORTBUSINESSTYPEINFO_H_
#define TAXLINK_HOST_STTAXREPORTBUSINESSTYPEINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// Taxable sales of one business type at one rate (six records per rate row).
struct StTAXREPORTBUSINESSTYPEINFO {
  int32_t rate;          // 0: rate x 100 of the record's rate row
  uint8_t businessType;  // 4: 1..6
  uint8_t reserved5[2];
  int64_t salesIncl;     // 7: taxable sales including tax
  int64_t salesTax;      // 15: tax on taxable sales
  int64_t salesExcl;     // 23: taxable sales excluding tax
  int64_t returnsIncl;   // 31: returns on taxable sales including tax
  int64_t returnsTax;    // 39: tax on returns
  int64_t returnsExcl;   // 47: returns excluding tax
  int64_t hostFigure55;  // 55: the host's own figure, not read by the program
};
#pragma pack(pop)

static_assert(sizeof(StTAXREPORTBUSINESSTYPEINFO) == 63);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, rate) == 0);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, businessType) == 4);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, salesIncl) == 7);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, salesTax) == 15);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, salesExcl) == 23);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, returnsIncl) == 31);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, returnsTax) == 39);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, returnsExcl) == 47);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, hostFigure55) == 55);

#endif  // TAXLINK_HOST_STTAXREPORTBUSINESSTYPEINFO_H_
