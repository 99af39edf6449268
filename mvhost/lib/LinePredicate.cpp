#include "mvhost/lib/LinePredicate.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "host/FilterCondition.h"
#include "host/FilterGroupRegistry.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/KeptAccounts.h"
#include "mvhost/lib/MonthOrder.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

bool Compare(int64_t column, int16_t op, int64_t value) {
  switch (op) {
    case kOpEqual:
      return column == value;
    case kOpGreaterOrEqual:
      return column >= value;
    case kOpLess:
      return column < value;
    case kOpLessOrEqual:
      return column <= value;
    default:
      return false;
  }
}

constexpr int64_t kValues = 256;
using Mask = std::bitset<kValues>;

// The values 0..255 that compare to value as op says: a range, made by
// shifting, not by comparing each value.
Mask RangeMask(int16_t op, int64_t value) {
  const Mask all = Mask{}.set();
  const auto bound = [](int64_t v) { return static_cast<size_t>(std::clamp<int64_t>(v, 0, kValues)); };
  switch (op) {
    case kOpEqual:
      return value >= 0 && value < kValues ? Mask{}.set(static_cast<size_t>(value)) : Mask{};
    case kOpGreaterOrEqual:
      return all << bound(value);
    case kOpLess:
      return all >> (kValues - bound(value));
    case kOpLessOrEqual:
      return value >= kValues ? all : all >> (kValues - bound(value + 1));
    default:
      return Mask{};
  }
}

// The places of the month kinds 0..255 in the accounting order.
constexpr std::array<int64_t, kValues> kMonthOrders = [] {
  std::array<int64_t, kValues> orders{};
  for (int64_t kind = 0; kind < kValues; ++kind) orders[static_cast<size_t>(kind)] = MonthOrder(kind);
  return orders;
}();

}  // namespace

int32_t LinePredicate::Compile(sqlite3* db, int32_t dataNo, const StFINDINFO* filter) {
  // A filter on month kinds and tax classes compiles to the same whatever
  // the data set: the run asks several services with the same filter, and
  // the tables cost more than a copy. Kept by the filter's key, which
  // follows its groups' contents.
  const bool classesOnly = FilterUsesOnlyFields(filter, {kFieldTaxClass, kFieldMonthKind});
  std::string key;
  const bool keyed = classesOnly && FilterKey(filter, &key);
  thread_local std::unordered_map<std::string, LinePredicate> compiled;
  if (keyed) {
    auto found = compiled.find(key);
    if (found != compiled.end()) {
      *this = found->second;
      return 0;
    }
  }
  // The SQL translation checks the filter: the same errors for both.
  SqlFilter checked;
  int32_t status = TranslateFilter(filter, FilterTarget::kJournalLine, &checked);
  if (status != 0) return status;
  top_.clear();
  accountClasses_.clear();
  CompileList(filter == nullptr ? nullptr : filter->conditions, 4, &top_);
  Flatten();
  if (keyed) {
    if (compiled.size() >= kCompiledKept) compiled.clear();
    compiled.emplace(std::move(key), *this);
  }
  if (!classesOnly) {
    // The classes of the accounts kept on the connection, when they serve.
    const std::vector<KeptAccount>* kept = nullptr;
    status = KeptAccounts(db, dataNo, &kept);
    if (status != 0) return status;
    if (kept != nullptr) {
      for (const KeptAccount& account : *kept) {
        accountClasses_[account.accountId] = account.classCode;
      }
      return 0;
    }
    SqlStatement stmt;
    status = stmt.Prepare(db, "SELECT account_id, class_code FROM account WHERE data_no = ?",
                          "read the account classes of a journal filter");
    if (status != 0) return status;
    stmt.BindInt(1, dataNo);
    int32_t step = 0;
    while ((step = stmt.Step()) == 1) {
      accountClasses_[static_cast<int32_t>(stmt.Int(0))] = stmt.Int(1);
    }
    if (step < 0) return step;
  }
  return 0;
}

int32_t LinePredicate::CompileForAccounts(const StFINDINFO* filter) {
  SqlFilter checked;
  const int32_t status = TranslateFilter(filter, FilterTarget::kAccount, &checked);
  if (status != 0) return status;
  top_.clear();
  accountClasses_.clear();
  flat_ = false;
  CompileList(filter == nullptr ? nullptr : filter->conditions, 4, &top_);
  return 0;
}

void LinePredicate::CompileList(const FilterCondition* conditions, size_t maxCount,
                                std::vector<Condition>* out) {
  if (conditions == nullptr || conditions[0].fieldId == 0) {
    out->push_back(Condition{});
    return;
  }
  for (size_t i = 0; i < maxCount; ++i) {
    const FilterCondition& c = conditions[i];
    Condition compiled;
    compiled.field = c.fieldId;
    compiled.side = c.side;
    compiled.op = c.op;
    compiled.link = c.link;
    if (c.fieldId == kFieldGroup) {
      CompileList(ClFilterGroupRegistry::Inst()->Resolve(c.groupRef), kMaxGroupConditions,
                  &compiled.group);
      // A group of one condition (a tabulated list, say) is that condition.
      if (compiled.group.size() == 1) {
        Condition only = std::move(compiled.group[0]);
        only.link = c.link;
        compiled = std::move(only);
      }
    } else {
      compiled.value = FilterValueOf(c);
      if (c.fieldId == kFieldMonthKind) compiled.value = MonthOrder(compiled.value);
    }
    out->push_back(std::move(compiled));
    if (c.link == kLinkLast) break;
  }
  Tabulate(out);
}

LinePredicate::Column LinePredicate::ColumnOf(const Condition& c) {
  switch (c.field) {
    case 0:
      return Column::kNone;
    case kFieldMonthKind:
      return Column::kMonthKind;
    case kFieldTaxClass:
      if (c.side == kSideDebit) return Column::kDebitTaxClass;
      if (c.side == kSideCredit) return Column::kCreditTaxClass;
      return Column::kSeveral;
    case kFieldGroup:
      return ColumnOf(c.group);
    case kFieldTable:
      return c.column;
    default:
      return Column::kSeveral;
  }
}

LinePredicate::Column LinePredicate::ColumnOf(const std::vector<Condition>& list) {
  Column column = Column::kNone;
  for (const Condition& c : list) {
    const Column own = ColumnOf(c);
    if (own == Column::kSeveral) return Column::kSeveral;
    if (own == Column::kNone) continue;
    if (column != Column::kNone && column != own) return Column::kSeveral;
    column = own;
  }
  return column;
}

int64_t LinePredicate::ColumnValue(Column column, const PackedLine& line) {
  switch (column) {
    case Column::kMonthKind:
      return line.monthKind;
    case Column::kDebitTaxClass:
      return line.debitTaxClass;
    case Column::kCreditTaxClass:
      return line.creditTaxClass;
    default:
      return -1;
  }
}

void LinePredicate::Tabulate(std::vector<Condition>* list) const {
  const Column column = ColumnOf(*list);
  if (column == Column::kSeveral || column == Column::kNone) return;
  if (list->size() == 1 && (*list)[0].field == kFieldTable) return;
  Condition tabulated;
  tabulated.field = kFieldTable;
  tabulated.link = kLinkLast;
  tabulated.column = column;
  if (!ListMask(*list, column, &tabulated.table)) {
    for (int32_t value = 0; value < kTableSize; ++value) {
      PackedLine line{};
      if (column == Column::kMonthKind) line.monthKind = value;
      if (column == Column::kDebitTaxClass) line.debitTaxClass = value;
      if (column == Column::kCreditTaxClass) line.creditTaxClass = value;
      tabulated.table[static_cast<size_t>(value)] = MatchesList(*list, line);
    }
  }
  tabulated.group = std::move(*list);
  list->clear();
  list->push_back(std::move(tabulated));
}

bool LinePredicate::ConditionMask(const Condition& c, Column column,
                                  std::bitset<kTableSize>* mask) {
  switch (c.field) {
    case 0:
      mask->set();
      return true;
    case kFieldTable:
      if (c.column != column) return false;
      *mask = c.table;
      return true;
    case kFieldGroup:
      return ListMask(c.group, column, mask);
    case kFieldMonthKind:
      if (column != Column::kMonthKind) return false;
      for (size_t kind = 0; kind < kMonthOrders.size(); ++kind) {
        (*mask)[kind] = Compare(kMonthOrders[kind], c.op, c.value);
      }
      return true;
    case kFieldTaxClass:
      if ((c.side == kSideDebit && column == Column::kDebitTaxClass) ||
          (c.side == kSideCredit && column == Column::kCreditTaxClass)) {
        *mask = RangeMask(c.op, c.value);
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool LinePredicate::ListMask(const std::vector<Condition>& list, Column column,
                             std::bitset<kTableSize>* mask) {
  // Strictly left to right, as MatchesList; every condition is free of side
  // effects, so evaluating all of them gives the same result.
  if (list.empty() || !ConditionMask(list[0], column, mask)) return false;
  for (size_t i = 1; i < list.size(); ++i) {
    std::bitset<kTableSize> own;
    if (!ConditionMask(list[i], column, &own)) return false;
    if (list[i - 1].link == kLinkAnd) {
      *mask &= own;
    } else {
      *mask |= own;
    }
  }
  return true;
}

void LinePredicate::Flatten() {
  flat_ = false;
  std::vector<const Condition*> leaves;
  if (!CollectLeaves(top_, &leaves) || leaves.size() > kMaxLeaves) return;
  for (auto& table : leaves_) table.fill(0);
  for (size_t bit = 0; bit < leaves.size(); ++bit) {
    const Condition& leaf = *leaves[bit];
    const Column column = ColumnOf(leaf);
    const auto mask = static_cast<uint8_t>(1U << bit);
    size_t table = 0;  // a condition on no column holds for every line
    if (column == Column::kDebitTaxClass) table = 1;
    if (column == Column::kCreditTaxClass) table = 2;
    std::bitset<kTableSize> holds;
    if (!ConditionMask(leaf, column, &holds)) {
      for (int32_t value = 0; value < kTableSize; ++value) {
        PackedLine line{};
        if (column == Column::kMonthKind) line.monthKind = value;
        if (column == Column::kDebitTaxClass) line.debitTaxClass = value;
        if (column == Column::kCreditTaxClass) line.creditTaxClass = value;
        holds[static_cast<size_t>(value)] = MatchesOne(leaf, line);
      }
    }
    for (size_t value = 0; value < kTableSize; ++value) {
      if (holds[value]) leaves_[table][value] |= mask;
    }
  }
  results_.reset();
  for (uint32_t bits = 0; bits < (1U << leaves.size()); ++bits) {
    int next = 0;
    results_[bits] = EvaluateLeaves(top_, bits, &next);
  }
  flat_ = true;
}

bool LinePredicate::CollectLeaves(const std::vector<Condition>& list,
                                  std::vector<const Condition*>* leaves) {
  for (const Condition& c : list) {
    if (c.field == kFieldGroup) {
      if (!CollectLeaves(c.group, leaves)) return false;
      continue;
    }
    if (ColumnOf(c) == Column::kSeveral) return false;
    leaves->push_back(&c);
  }
  return true;
}

bool LinePredicate::EvaluateLeaves(const std::vector<Condition>& list, uint32_t bits,
                                   int* next) const {
  // The same left-to-right order as MatchesList; every leaf is consumed so
  // that the numbering stays that of CollectLeaves.
  bool result = false;
  for (size_t i = 0; i < list.size(); ++i) {
    const Condition& c = list[i];
    const bool own = c.field == kFieldGroup ? EvaluateLeaves(c.group, bits, next)
                                            : ((bits >> (*next)++) & 1U) != 0;
    if (i == 0) {
      result = own;
    } else if (list[i - 1].link == kLinkAnd) {
      result = result && own;
    } else {
      result = result || own;
    }
  }
  return result;
}

bool LinePredicate::MatchesList(const std::vector<Condition>& list, const PackedLine& line) const {
  // Strictly left to right: a and b or c is (a and b) or c.
  bool result = MatchesOne(list[0], line);
  for (size_t i = 1; i < list.size(); ++i) {
    if (list[i - 1].link == kLinkAnd) {
      result = result && MatchesOne(list[i], line);
    } else {
      result = result || MatchesOne(list[i], line);
    }
  }
  return result;
}

bool LinePredicate::AccountMatchesList(const std::vector<Condition>& list,
                                       int64_t classCode) const {
  // An account filter holds conditions on the class and groups of them only
  // (TranslateFilter refuses the rest); strictly left to right as MatchesList.
  auto one = [&](const Condition& c) {
    switch (c.field) {
      case 0:
        return true;
      case kFieldGroup:
      case kFieldTable:
        return AccountMatchesList(c.group, classCode);
      case kFieldAccountClass:
        return Compare(classCode, c.op, c.value);
      default:
        return false;
    }
  };
  bool result = one(list[0]);
  for (size_t i = 1; i < list.size(); ++i) {
    result = list[i - 1].link == kLinkAnd ? result && one(list[i]) : result || one(list[i]);
  }
  return result;
}

bool LinePredicate::ClassMatches(const Condition& c, bool has, int32_t account) const {
  if (!has) return false;
  auto found = accountClasses_.find(account);
  return found != accountClasses_.end() && Compare(found->second, c.op, c.value);
}

bool LinePredicate::MatchesOne(const Condition& c, const PackedLine& line) const {
  switch (c.field) {
    case 0:
      return true;
    case kFieldTable: {
      const int64_t value = ColumnValue(c.column, line);
      if (value >= 0 && value < kTableSize) return c.table[static_cast<size_t>(value)];
      return MatchesList(c.group, line);
    }
    case kFieldGroup:
      return MatchesList(c.group, line);
    case kFieldMonthKind:
      return Compare(MonthOrder(line.monthKind), c.op, c.value);
    case kFieldTaxClass:
      return (c.side != kSideCredit && Compare(line.debitTaxClass, c.op, c.value)) ||
             (c.side != kSideDebit && Compare(line.creditTaxClass, c.op, c.value));
    case kFieldAccountClass:
      return (c.side != kSideCredit && ClassMatches(c, line.hasDebit != 0, line.debitAccount)) ||
             (c.side != kSideDebit && ClassMatches(c, line.hasCredit != 0, line.creditAccount));
    default:
      return false;
  }
}

}  // namespace mvhost
