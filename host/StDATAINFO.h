#ifndef TAXLINK_HOST_STDATAINFO_H_
#define TAXLINK_HOST_STDATAINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// One company data set as the host's data-set service delivers it.
struct StDATAINFO {
  char dataId[16];  // 0: data identifier handed to set and rule objects
  int32_t dataNo;   // 16: data number; matches the user's selected number
  uint8_t reserved20[4];
  char companyName[260];  // 24: company name, zero-terminated Shift_JIS
  int32_t periodStart;    // 284: accounting period first day, yyyymmdd
  int32_t periodEnd;      // 288: accounting period last day, yyyymmdd
  uint8_t reserved292[12];
  int32_t interimClosing;  // 304: 1 when the data set keeps an interim closing
  uint8_t reserved308[18];
  int16_t recordKind;  // 326: 99 marks a past-results data set
  uint8_t reserved328[16];
  uint8_t entityKind;  // 344: 0/1 corporation, 3/4 individual
  uint8_t reserved345[602];
  uint8_t incomeKind;  // 947: individual's income kinds (1, 2, 3)
  uint8_t reserved948[557];
};
#pragma pack(pop)

static_assert(sizeof(StDATAINFO) == 1505);
static_assert(offsetof(StDATAINFO, dataId) == 0);
static_assert(offsetof(StDATAINFO, dataNo) == 16);
static_assert(offsetof(StDATAINFO, companyName) == 24);
static_assert(offsetof(StDATAINFO, periodStart) == 284);
static_assert(offsetof(StDATAINFO, periodEnd) == 288);
static_assert(offsetof(StDATAINFO, interimClosing) == 304);
static_assert(offsetof(StDATAINFO, recordKind) == 326);
static_assert(offsetof(StDATAINFO, entityKind) == 344);
static_assert(offsetof(StDATAINFO, incomeKind) == 947);

#endif  // TAXLINK_HOST_STDATAINFO_H_
