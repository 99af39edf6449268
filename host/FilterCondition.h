#ifndef TAXLINK_HOST_FILTERCONDITION_H_
#define TAXLINK_HOST_FILTERCONDITION_H_

#include <cstddef>
#include <cstdint>

// Field ids of a filter condition.
constexpr int32_t kFieldTaxClass = 3;       // journal line tax class (per side)
constexpr int32_t kFieldAccountClass = 16;  // account class code
constexpr int32_t kFieldMonthKind = 17;     // accounting month kind
constexpr int32_t kFieldAssetDate = 203;    // fixed-asset acquisition date
constexpr int32_t kFieldGroup = 999;        // a nested group of conditions

// Sides of a journal condition.
constexpr int16_t kSideNone = 0;
constexpr int16_t kSideDebit = 1;
constexpr int16_t kSideCredit = 2;

// Operators.
constexpr int16_t kOpEqual = 1;
constexpr int16_t kOpGreaterOrEqual = 4;
constexpr int16_t kOpLess = 5;
constexpr int16_t kOpLessOrEqual = 6;

// Value types.
constexpr int16_t kValueInt16 = 2;  // month kind
constexpr int16_t kValueInt32 = 3;  // tax class, date yyyymmdd
constexpr int16_t kValueAccountClass = 19;

// Links to the next condition.
constexpr int16_t kLinkLast = 0;
constexpr int16_t kLinkAnd = 1;
constexpr int16_t kLinkOr = 2;

#pragma pack(push, 1)
// One condition of a host query filter (the host's 34-byte wire format).
// A group condition (field 999) refers to its own array of conditions through
// groupRef, a 32-bit reference issued by the host's filter group registry
// (FilterGroupRegistry.h); an array ends at the condition whose link is 0.
struct FilterCondition {
  int32_t fieldId;  // 0
  int16_t side;     // 4
  int16_t op;       // 6
  uint8_t reserved8[2];
  int16_t valueType;  // 10
  uint8_t reserved12[6];
  int32_t value;  // 18: a month kind occupies the low 16 bits
  uint8_t reserved22[4];
  uint32_t groupRef;  // 26: group conditions only
  int16_t link;       // 30
  uint8_t reserved32[2];
};
#pragma pack(pop)

static_assert(sizeof(FilterCondition) == 34);
static_assert(offsetof(FilterCondition, fieldId) == 0);
static_assert(offsetof(FilterCondition, side) == 4);
static_assert(offsetof(FilterCondition, op) == 6);
static_assert(offsetof(FilterCondition, valueType) == 10);
static_assert(offsetof(FilterCondition, value) == 18);
static_assert(offsetof(FilterCondition, groupRef) == 26);
static_assert(offsetof(FilterCondition, link) == 30);

#endif  // TAXLINK_HOST_FILTERCONDITION_H_
