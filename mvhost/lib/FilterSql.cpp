#include "mvhost/lib/FilterSql.h"

#include <cstring>

#include "host/FilterCondition.h"
#include "host/FilterGroupRegistry.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/MonthOrder.h"

namespace mvhost {

namespace {

bool TypeAllowed(int32_t field, int16_t valueType) {
  switch (field) {
    case kFieldTaxClass:
    case kFieldMonthKind:
      return valueType == kValueInt16 || valueType == kValueInt32;
    case kFieldAccountClass:
      return valueType == kValueAccountClass || valueType == kValueInt32;
    case kFieldAssetDate:
      return valueType == kValueInt32;
    default:
      return false;
  }
}

int64_t ValueOfCondition(const FilterCondition& c) {
  switch (c.valueType) {
    case kValueInt16:
      return static_cast<int16_t>(static_cast<uint32_t>(c.value) & 0xFFFF);
    case kValueAccountClass:
      return static_cast<uint32_t>(c.value);
    default:
      return c.value;
  }
}

const char* OperatorSql(int16_t op) {
  switch (op) {
    case kOpEqual:
      return " = ?";
    case kOpGreaterOrEqual:
      return " >= ?";
    case kOpLess:
      return " < ?";
    case kOpLessOrEqual:
      return " <= ?";
    default:
      return nullptr;
  }
}

// The SQL of the column(s) a field reads on one side of the target.
int32_t ColumnsOf(int32_t field, int16_t side, FilterTarget target,
                  std::vector<std::string>* cols) {
  if (side < kSideNone || side > kSideCredit) return kErrFilterSide;
  switch (target) {
    case FilterTarget::kJournalLine:
      if (field == kFieldMonthKind) {
        cols->push_back(kMonthOrderSql);
      } else if (field == kFieldTaxClass) {
        if (side != kSideCredit) cols->push_back("j.debit_tax_class");
        if (side != kSideDebit) cols->push_back("j.credit_tax_class");
      } else if (field == kFieldAccountClass) {
        if (side != kSideCredit) {
          cols->push_back(
              "(SELECT ac.class_code FROM account ac WHERE ac.data_no = j.data_no "
              "AND ac.account_id = j.debit_account)");
        }
        if (side != kSideDebit) {
          cols->push_back(
              "(SELECT ac.class_code FROM account ac WHERE ac.data_no = j.data_no "
              "AND ac.account_id = j.credit_account)");
        }
      } else {
        return kErrFilterField;
      }
      return 0;
    case FilterTarget::kAccount:
      if (field != kFieldAccountClass) return kErrFilterField;
      cols->push_back("a.class_code");
      return 0;
    case FilterTarget::kFixedAsset:
      if (field != kFieldAssetDate) return kErrFilterField;
      cols->push_back("f.acquisition_date");
      return 0;
  }
  return kErrFilterField;
}

int32_t TranslateOne(const FilterCondition& c, FilterTarget target, int depth, SqlFilter* out) {
  if (c.fieldId == kFieldGroup) {
    const FilterCondition* group = ClFilterGroupRegistry::Inst()->Resolve(c.groupRef);
    if (group == nullptr) return kErrFilterGroup;
    return TranslateConditions(group, kMaxGroupConditions, target, depth + 1, out);
  }
  if (c.fieldId != kFieldTaxClass && c.fieldId != kFieldAccountClass &&
      c.fieldId != kFieldMonthKind && c.fieldId != kFieldAssetDate) {
    return kErrFilterField;
  }
  const char* op = OperatorSql(c.op);
  if (op == nullptr) return kErrFilterOperator;
  if (!TypeAllowed(c.fieldId, c.valueType)) return kErrFilterValueType;
  std::vector<std::string> cols;
  int32_t status = ColumnsOf(c.fieldId, c.side, target, &cols);
  if (status != 0) return status;
  // A condition on both sides of a journal line holds when either side does.
  out->sql = cols.size() > 1 ? "(" : "";
  for (size_t i = 0; i < cols.size(); ++i) {
    if (i > 0) out->sql += " OR ";
    out->sql += cols[i] + op;
    // Month kinds compare in the accounting year's order.
    out->values.push_back(c.fieldId == kFieldMonthKind ? MonthOrder(ValueOfCondition(c))
                                                       : ValueOfCondition(c));
  }
  if (cols.size() > 1) out->sql += ")";
  return 0;
}

}  // namespace

int32_t TranslateConditions(const FilterCondition* conditions, size_t maxCount, FilterTarget target,
                            int depth, SqlFilter* out) {
  out->sql.clear();
  out->values.clear();
  if (depth > kMaxFilterDepth) return kErrFilterDepth;
  if (conditions == nullptr || conditions[0].fieldId == 0) {
    out->sql = "1";
    return 0;
  }
  std::string sql;
  std::vector<int64_t> values;
  int16_t pendingLink = kLinkLast;
  for (size_t i = 0;; ++i) {
    if (i >= maxCount) return kErrFilterLength;
    const FilterCondition& c = conditions[i];
    SqlFilter one;
    int32_t status = TranslateOne(c, target, depth, &one);
    if (status != 0) return status;
    if (i == 0) {
      sql = "(" + one.sql + ")";
    } else {
      sql = "(" + sql + (pendingLink == kLinkAnd ? " AND " : " OR ") + "(" + one.sql + "))";
    }
    values.insert(values.end(), one.values.begin(), one.values.end());
    if (c.link == kLinkLast) break;
    if (c.link != kLinkAnd && c.link != kLinkOr) return kErrFilterLink;
    pendingLink = c.link;
  }
  out->sql = std::move(sql);
  out->values = std::move(values);
  return 0;
}

int64_t FilterValueOf(const FilterCondition& c) { return ValueOfCondition(c); }

namespace {

bool UsesOnly(const FilterCondition* conditions, size_t maxCount, int depth,
              std::initializer_list<int32_t> fields) {
  if (conditions == nullptr || conditions[0].fieldId == 0) return true;
  if (depth > kMaxFilterDepth) return false;
  for (size_t i = 0; i < maxCount; ++i) {
    const FilterCondition& c = conditions[i];
    if (c.fieldId == kFieldGroup) {
      const FilterCondition* group = ClFilterGroupRegistry::Inst()->Resolve(c.groupRef);
      if (group == nullptr || !UsesOnly(group, kMaxGroupConditions, depth + 1, fields)) {
        return false;
      }
    } else {
      bool listed = false;
      for (int32_t field : fields) listed = listed || field == c.fieldId;
      if (!listed) return false;
    }
    if (c.link == kLinkLast) return true;
  }
  return false;
}

}  // namespace

namespace {

// One condition compared as its SQL compares the column with its value.
bool Compare(int16_t op, int64_t column, int64_t value, bool* holds) {
  switch (op) {
    case kOpEqual:
      *holds = column == value;
      return true;
    case kOpGreaterOrEqual:
      *holds = column >= value;
      return true;
    case kOpLess:
      *holds = column < value;
      return true;
    case kOpLessOrEqual:
      *holds = column <= value;
      return true;
    default:
      return false;
  }
}

// The conditions joined strictly left to right, as TranslateConditions
// parenthesises them.
bool HoldsFor(const FilterCondition* conditions, size_t maxCount, int depth, int32_t field,
              int64_t value, bool* holds) {
  *holds = true;
  if (depth > kMaxFilterDepth) return false;
  if (conditions == nullptr || conditions[0].fieldId == 0) return true;
  int16_t pendingLink = kLinkLast;
  for (size_t i = 0; i < maxCount; ++i) {
    const FilterCondition& c = conditions[i];
    bool one = false;
    if (c.fieldId == kFieldGroup) {
      const FilterCondition* group = ClFilterGroupRegistry::Inst()->Resolve(c.groupRef);
      if (group == nullptr || !HoldsFor(group, kMaxGroupConditions, depth + 1, field, value, &one)) {
        return false;
      }
    } else if (c.fieldId != field || !TypeAllowed(c.fieldId, c.valueType) ||
               !Compare(c.op, value, ValueOfCondition(c), &one)) {
      return false;
    }
    *holds = i == 0 ? one : (pendingLink == kLinkAnd ? *holds && one : *holds || one);
    const int16_t link = c.link;
    if (link == kLinkLast) return true;
    if (link != kLinkAnd && link != kLinkOr) return false;
    pendingLink = link;
  }
  return false;
}

}  // namespace

bool FilterHoldsForValue(const StFINDINFO* filter, int32_t field, int64_t value, bool* holds) {
  return HoldsFor(filter == nullptr ? nullptr : filter->conditions, 4, 0, field, value, holds);
}

bool FilterUsesOnlyFields(const StFINDINFO* filter, std::initializer_list<int32_t> fields) {
  return UsesOnly(filter == nullptr ? nullptr : filter->conditions, 4, 0, fields);
}

int32_t TranslateFilter(const StFINDINFO* filter, FilterTarget target, SqlFilter* out) {
  return TranslateConditions(filter == nullptr ? nullptr : filter->conditions, 4, target, 0, out);
}

namespace {

// Each condition's bytes, a group's conditions after it between '(' and
// ')': whether a group follows is told by the condition itself, so equal
// keys are equal filters.
bool AppendConditions(const FilterCondition* conditions, size_t maxCount, int depth,
                      std::string* key) {
  if (depth > kMaxFilterDepth) return false;
  if (conditions == nullptr) return true;
  for (size_t i = 0; i < maxCount; ++i) {
    const FilterCondition& c = conditions[i];
    key->append(reinterpret_cast<const char*>(&c), sizeof(c));
    if (i == 0 && c.fieldId == 0) return true;
    if (c.fieldId == kFieldGroup) {
      const FilterCondition* group = ClFilterGroupRegistry::Inst()->Resolve(c.groupRef);
      if (group == nullptr) return false;
      key->push_back('(');
      if (!AppendConditions(group, kMaxGroupConditions, depth + 1, key)) return false;
      key->push_back(')');
    }
    if (c.link == kLinkLast) return true;
  }
  return false;
}

// AppendConditions compared with key from *at on instead of appended.
bool MatchConditions(const FilterCondition* conditions, size_t maxCount, int depth,
                     std::string_view key, size_t* at) {
  if (depth > kMaxFilterDepth) return false;
  if (conditions == nullptr) return true;
  const auto next = [&](const void* bytes, size_t size) {
    if (key.size() - *at < size || std::memcmp(key.data() + *at, bytes, size) != 0) return false;
    *at += size;
    return true;
  };
  for (size_t i = 0; i < maxCount; ++i) {
    const FilterCondition& c = conditions[i];
    if (!next(&c, sizeof(c))) return false;
    if (i == 0 && c.fieldId == 0) return true;
    if (c.fieldId == kFieldGroup) {
      const FilterCondition* group = ClFilterGroupRegistry::Inst()->Resolve(c.groupRef);
      if (group == nullptr || !next("(", 1)) return false;
      if (!MatchConditions(group, kMaxGroupConditions, depth + 1, key, at)) return false;
      if (!next(")", 1)) return false;
    }
    if (c.link == kLinkLast) return true;
  }
  return false;
}

}  // namespace

bool FilterHasKey(const StFINDINFO* filter, std::string_view key) {
  size_t at = 0;
  return MatchConditions(filter == nullptr ? nullptr : filter->conditions, 4, 0, key, &at) &&
         at == key.size();
}

bool FilterKey(const StFINDINFO* filter, std::string* key) {
  key->clear();
  // Room for a filter with one full group at once: the account walks build
  // a key per call, and growing it condition by condition reallocated it
  // six times.
  key->reserve(sizeof(FilterCondition) * (4 + kMaxGroupConditions) + 2);
  return AppendConditions(filter == nullptr ? nullptr : filter->conditions, 4, 0, key);
}

}  // namespace mvhost
