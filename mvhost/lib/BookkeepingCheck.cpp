#include "mvhost/lib/BookkeepingCheck.h"

#include <cstdint>
#include <utility>

#include "host/RefundStatementClasses.h"
#include "mvhost/lib/DataValues.h"
#include "mvhost/lib/PackedLine.h"

namespace mvhost {

namespace {

constexpr int64_t kRawPerYen = 10000;
constexpr int32_t kSixthBusinessType = 6;
constexpr int32_t kSixthTypeFirstDate = 20150401;
constexpr int32_t kRefusedRate = 1000;  // x 100
constexpr int32_t kStandardTaxation = 2;
constexpr size_t kMaxClassDepth = 64;  // a guard against a cyclic hierarchy

bool IsIndividual(int32_t entityKind) { return entityKind == 3 || entityKind == 4; }

// num / den raw units in whole yen: 0 half up, 1 down, 2 up (away from zero
// for negative amounts as for positive ones).
__int128 RoundToYen(__int128 num, __int128 den, int32_t mode) {
  const bool negative = num < 0;
  const __int128 magnitude = negative ? -num : num;
  const __int128 unit = den * kRawPerYen;
  __int128 yen;
  __int128 rest;
  if (magnitude <= static_cast<__int128>(UINT64_MAX) && unit <= static_cast<__int128>(UINT64_MAX)) {
    // Nearly every line: one 64-bit division instead of the 128-bit routine.
    const auto m = static_cast<uint64_t>(magnitude);
    const auto u = static_cast<uint64_t>(unit);
    yen = m / u;
    rest = m % u;
  } else {
    yen = magnitude / unit;
    rest = magnitude % unit;
  }
  if ((mode == 0 && 2 * rest >= unit) || (mode == 2 && rest != 0)) ++yen;
  return negative ? -yen : yen;
}

std::string Yen(__int128 raw) { return FormatAmountText(static_cast<int64_t>(raw)); }

std::string RateText(int32_t rateX100) { return std::to_string(rateX100 / 100) + " %"; }

std::string ClassText(int32_t taxClass, const TaxClassRule& rule) {
  return "tax class " + std::to_string(taxClass) + " (" + rule.name + ")";
}

// "debit 611", the side and its account.
template <typename Side>
std::string SideLabel(const Side& side, bool debit) {
  return (debit ? "debit " : "credit ") + *side.account;
}

// The tax (raw units) that `num` / `den` comes to in whole yen, or false when
// a value would pass 64 bits (the 128-bit path then decides). Nearly every
// line takes this path.
[[gnu::always_inline]] inline bool ExpectedTax64(int64_t num, int64_t den, int32_t mode,
                                                int64_t* expected) {
  int64_t unit = 0;
  if (num == INT64_MIN || den <= 0 || __builtin_mul_overflow(den, kRawPerYen, &unit)) return false;
  const bool negative = num < 0;
  const auto magnitude = static_cast<uint64_t>(negative ? -num : num);
  const auto u = static_cast<uint64_t>(unit);
  uint64_t yen = magnitude / u;
  const uint64_t rest = magnitude % u;
  if ((mode == 0 && 2 * rest >= u) || (mode == 2 && rest != 0)) ++yen;
  const auto signedYen = static_cast<int64_t>(yen);
  return !__builtin_mul_overflow(negative ? -signedYen : signedYen, kRawPerYen, expected);
}

// The account and its name, as findings name them.
std::string AccountText(const Account& account) {
  return "account " + account.code + " (" + account.name + ")";
}

// Whether `code` is `wanted` or lies below it in the class hierarchy.
bool IsOrBelow(uint32_t code, uint32_t wanted,
               const std::unordered_map<uint32_t, uint32_t>& parents) {
  for (size_t depth = 0; depth < kMaxClassDepth; ++depth) {
    if (code == wanted) return true;
    auto parent = parents.find(code);
    if (parent == parents.end()) return false;
    code = parent->second;
  }
  return false;
}

// A class of the table feeds its line; a corporation's statement also takes
// the classes below a class whose total it takes, when the data set keeps
// that total.
bool FeedsRefundLine(uint32_t code, bool individual,
                     const std::unordered_map<uint32_t, uint32_t>& parents,
                     const std::unordered_map<uint32_t, bool>& totals) {
  const RefundStatementClass* own = FindRefundStatementClass(code);
  if (own != nullptr) {
    return individual ? own->individual != IndividualRefundGroup::kNone
                      : own->corporate != CorporateRefundLine::kNone;
  }
  if (individual) return false;
  for (size_t depth = 0; depth < kMaxClassDepth; ++depth) {
    auto parent = parents.find(code);
    if (parent == parents.end()) return false;
    code = parent->second;
    const RefundStatementClass* entry = FindRefundStatementClass(code);
    auto total = totals.find(code);
    if (entry != nullptr && entry->corporateTotal && total != totals.end() && total->second) {
      return true;
    }
  }
  return false;
}

}  // namespace

BookkeepingCheck::BookkeepingCheck(const DataSetModel& model, const MonthSelection& months,
                                   const std::string* source, StoredLinePlace storedLinePlace,
                                   Sink sink, Wants wants)
    : model_(model),
      months_(months),
      source_(source),
      storedLinePlace_(std::move(storedLinePlace)),
      sink_(std::move(sink)),
      wants_(std::move(wants)) {
  for (size_t i = 0; i < rules_.size(); ++i) rules_[i] = RuleOfTaxClass(static_cast<int>(i));
  std::unordered_map<uint32_t, uint32_t> parents;
  std::unordered_map<uint32_t, bool> totals;
  for (const AccountClass& c : model.accountClasses) {
    if (c.parent) parents[c.code] = *c.parent;
    totals[c.code] = c.total;
  }
  const bool individual = IsIndividual(model.info.entityKind);
  for (const Account& account : model.accounts) {
    auto [number, added] =
        accountNumbers_.try_emplace(account.code, static_cast<int32_t>(accounts_.size()));
    if (added) accounts_.emplace_back();
    AccountFacts& facts = accounts_[static_cast<size_t>(number->second)];
    facts.account = &account;
    facts.fixedAsset = IsOrBelow(account.classCode, kAccountClassFixedAssets, parents);
    facts.feedsRefundLine = FeedsRefundLine(account.classCode, individual, parents, totals);
  }
  filesRefundStatement_ = model.settings.filingClass == kStandardTaxation;
  sixthTypeRefused_ = model.settings.filingClass == 1 && months_.firstDay() < kSixthTypeFirstDate;
  unfedIndex_.assign(accounts_.size(), -1);
  auto sideRule = [this](const TaxClassRule& rule, bool debit) {
    SideRule made;
    made.rule = &rule;
    if (rule.use == TaxClassRule::Use::kPending) {
      made.flags = kPending;
      return made;
    }
    if (TakesNoTax(rule)) made.flags |= kTakesNoTax;
    if (CarriesTax(rule)) made.flags |= kCarriesTax;
    if (HasNormalSide(rule) && rule.debitNormal != debit) made.flags |= kUnusual;
    if (filesRefundStatement_ && CarriesTax(rule) && rule.purchaseSide) made.flags |= kRefundClass;
    const bool purchase = rule.purchaseSide && !rule.amountIsTax &&
                          (rule.use == TaxClassRule::Use::kNothing || rule.debitNormal);
    if (debit && purchase) made.flags |= kPurchase;
    return made;
  };
  for (size_t side = 0; side < 2; ++side) {
    for (size_t c = 0; c < 256; ++c) sideRules_[side][c] = sideRule(rules_[c], side == 1);
  }
  unknownRule_ = sideRule(rules_[256], false);
}

template <typename Texts>
[[gnu::noinline]] void BookkeepingCheck::Emit(CheckRule rule, const LinePlace& place,
                                              int32_t journal, Texts texts) {
  EmitAt(rule, place.source != nullptr ? *place.source : *source_, journal,
         place.source != nullptr ? place.Item() : std::string(), texts);
}

template <typename Texts>
void BookkeepingCheck::EmitAt(CheckRule rule, const std::string& source, int32_t journal,
                              std::string item, Texts texts) {
  counts_.Add(rule);
  if (wants_ && !wants_()) return;
  CheckFinding finding;
  finding.rule = rule;
  finding.source = source;
  finding.journal = journal;
  finding.item = std::move(item);
  FindingTexts made = texts();
  finding.what = std::move(made.what);
  finding.todo = std::move(made.todo);
  sink_(finding);
}

int32_t BookkeepingCheck::AccountNumber(const std::string& code) const {
  auto found = accountNumbers_.find(code);
  return found == accountNumbers_.end() ? kUnknownAccount : found->second;
}

[[gnu::always_inline]] inline void BookkeepingCheck::TaxRules(const LineValues& line,
                                                              const LinePlace& place,
                                                              const SideValues& side, bool debit,
                                                              const SideRule& sideRule) {
  const TaxClassRule& rule = *sideRule.rule;
  if ((sideRule.flags & kTakesNoTax) != 0) {
    if (side.tax != 0) {
      Emit(CheckRule::kTaxOnUntaxedClass, place, line.journalNo, [side, debit, &rule] {
        return FindingTexts{SideLabel(side, debit) + ": tax " + Yen(side.tax) + " under " +
                                ClassText(side.taxClass, rule) + ", which takes no tax",
                            "book the line under the taxable class it belongs to, or remove "
                            "the tax"};
      });
    }
    return;
  }
  // The tax the amount implies at the line's rate, in 64 bits when every
  // value fits (as good as the 128 bits of TaxFindings, which decides
  // otherwise and makes the findings).
  const int32_t rate = EffectiveRate(line.rate * 100, line.date);
  const bool included = model_.settings.taxIncluded;
  int64_t base64 = side.amount;
  int64_t num64 = 0;
  int64_t expected64 = 0;
  const int64_t den64 = included ? int64_t{10000} + rate : int64_t{10000};
  if ((!included || !__builtin_add_overflow(side.amount, side.tax, &base64)) &&
      !__builtin_mul_overflow(base64, static_cast<int64_t>(rate), &num64) &&
      ExpectedTax64(num64, den64, model_.settings.roundingMode, &expected64)) {
    if (side.tax == 0) {
      const uint64_t magnitude =
          num64 < 0 ? 0 - static_cast<uint64_t>(num64) : static_cast<uint64_t>(num64);
      // den64 * kRawPerYen fits: ExpectedTax64 made it.
      if (magnitude <= static_cast<uint64_t>(den64 * kRawPerYen)) return;
    } else {
      int64_t difference = 0;
      if (!__builtin_sub_overflow(side.tax, expected64, &difference) &&
          difference <= kRawPerYen && difference >= -kRawPerYen) {
        return;
      }
    }
  }
  TaxFindings(line.journalNo, line.date, line.rate, place, side, debit, rule);
}

[[gnu::noinline]] void BookkeepingCheck::TaxFindings(int32_t journal, int32_t date,
                                                     int32_t linePercent, const LinePlace& place,
                                                     SideValues side, bool debit,
                                                     const TaxClassRule& rule) {
  // Of the amount excluding tax, or of amount and tax together when the
  // books include tax.
  const int32_t rate = EffectiveRate(linePercent * 100, date);
  const bool included = model_.settings.taxIncluded;
  const __int128 den = included ? 10000 + static_cast<__int128>(rate) : 10000;
  // A rate of -100 % or less (only a store edited by hand holds one) implies
  // no tax to compare with, and would divide by zero or less.
  if (den <= 0) return;
  const __int128 base = included ? static_cast<__int128>(side.amount) + side.tax : side.amount;
  const __int128 num = base * rate;
  const __int128 expected = RoundToYen(num, den, model_.settings.roundingMode) * kRawPerYen;
  auto on = [&] {
    return Yen(base) + (included ? " including tax" : "") + " at " + RateText(rate);
  };
  if (side.tax == 0) {
    const __int128 magnitude = num < 0 ? -num : num;
    if (magnitude > den * kRawPerYen) {
      Emit(CheckRule::kTaxableWithoutTax, place, journal, [&] {
        return FindingTexts{SideLabel(side, debit) + ": no tax on " + on() + " under " +
                                ClassText(side.taxClass, rule) + ", which takes " + Yen(expected),
                            "enter the tax, or book the line under a class without tax"};
      });
    }
    return;
  }
  const __int128 difference = side.tax - expected;
  if (difference > kRawPerYen || difference < -kRawPerYen) {
    Emit(CheckRule::kTaxMismatch, place, journal, [&] {
      return FindingTexts{SideLabel(side, debit) + ": tax " + Yen(side.tax) + " on " + on() +
                              " should be " + Yen(expected),
                          "correct the tax, the amount or the rate"};
    });
  }
}

[[gnu::always_inline]] inline void BookkeepingCheck::Side(const LineValues& line,
                                                          const LinePlace& place,
                                                          const SideValues& side, bool debit) {
  if (side.account == nullptr || side.account->empty()) return;
  const SideRule& sideRule = RuleOf(side.taxClass, debit);
  const TaxClassRule& rule = *sideRule.rule;
  if ((sideRule.flags & kPending) != 0) {
    Emit(CheckRule::kImportClassLeftOut, place, line.journalNo, [side, debit, &rule] {
      return FindingTexts{
          SideLabel(side, debit) + ": " + ClassText(side.taxClass, rule) +
              " is left out of the figures",
          "split it into its national (41 to 46) and local (34, 38) import tax classes"};
    });
    return;
  }
  if (side.amount == 0 && side.tax == 0) return;
  if ((sideRule.flags & (kTakesNoTax | kCarriesTax)) != 0) {
    TaxRules(line, place, side, debit, sideRule);
  }
  if ((sideRule.flags & kUnusual) != 0) {
    Emit(CheckRule::kUnusualSide, place, line.journalNo, [side, debit, &rule] {
      const char* todo = "correct the side or the tax class";
      if (!rule.purchaseSide && !rule.debitNormal) {
        todo = "book sales returns and allowances under tax classes 6 to 9, or correct the side";
      } else if (rule.purchaseSide && rule.debitNormal && CarriesTax(rule)) {
        todo =
            "book purchase returns and allowances under tax classes 25 to 27, or correct the side";
      }
      return FindingTexts{SideLabel(side, debit) + ": " + ClassText(side.taxClass, rule) +
                              " on the " + (debit ? "debit" : "credit") +
                              " side, where it subtracts from the figures",
                          todo};
    });
  }
  if ((sideRule.flags & (kRefundClass | kPurchase)) == 0) return;
  if (side.number < 0 || static_cast<size_t>(side.number) >= accounts_.size()) return;
  const auto number = static_cast<size_t>(side.number);
  const AccountFacts& facts = accounts_[number];
  if ((sideRule.flags & kRefundClass) != 0 && !facts.fixedAsset && !facts.feedsRefundLine) {
    if (inPart_) {
      PartUnfed(number, place, line.journalNo, debit ? side.amount : -side.amount);
    } else {
    if (unfedIndex_[number] < 0) {
      unfedIndex_[number] = static_cast<int32_t>(unfed_.size());
      unfed_.push_back({facts.account, place, line.journalNo, 0, 0});
    }
    Unfed& unfed = unfed_[static_cast<size_t>(unfedIndex_[number])];
    ++unfed.lines;
    const int64_t signedAmount = debit ? side.amount : -side.amount;
    if (__builtin_add_overflow(unfed.amount, signedAmount, &unfed.amount)) unfed.amount = 0;
    }
  }
  if ((sideRule.flags & kPurchase) != 0 && facts.fixedAsset && inPart_) {
    part_.purchases.push_back({place.number - partBase_, line.journalNo, side.number, line.date,
                               side.amount, side.tax, CarriesTax(rule)});
  } else if ((sideRule.flags & kPurchase) != 0 && facts.fixedAsset) {
    FixedAssetMatch::Purchase bought;
    bought.place = place;
    bought.journal = line.journalNo;
    bought.account = facts.account;
    bought.date = line.date;
    bought.amount = side.amount;
    bought.tax = side.tax;
    bought.taxable = CarriesTax(rule);
    assets_.Add(bought);
  }
}

[[gnu::always_inline]] inline void BookkeepingCheck::Check(const LineValues& line,
                                                           const LinePlace& place) {
  if (inPart_) {
    PartJournal(line.journalNo, line.debit.amount, line.debit.tax, line.credit.amount,
                line.credit.tax, place);
  } else {
    balances_.Add(line.journalNo, line.debit.amount, line.debit.tax, line.credit.amount,
                  line.credit.tax, place);
  }
  const int32_t rate = EffectiveRate(line.rate * 100, line.date);
  if (rate == kRefusedRate) {
    Emit(CheckRule::kRateRefused, place, line.journalNo, [date = line.date] {
      return FindingTexts{"a line at the 10 % rate on " + FormatDateText(date) +
                              ", which the filing application does not take: a run over these "
                              "months is refused",
                          "leave these months out, or correct the rate or the date"};
    });
  }
  if (sixthTypeRefused_ && line.businessType == kSixthBusinessType) {
    Emit(CheckRule::kSixthTypeRefused, place, line.journalNo, [] {
      return FindingTexts{
          "business type 6 under simplified taxation in months that start before "
          "2015-04-01: a run over these months is refused",
          "correct the business type (1 to 5 in these months)"};
    });
  }
  Side(line, place, line.debit, true);
  Side(line, place, line.credit, false);
}

void BookkeepingCheck::Line(const JournalLine& line, const LinePlace& place) {
  if (!months_.Contains(line.monthKind)) return;
  LineValues values;
  values.journalNo = line.journalNo;
  values.date = line.date;
  values.monthKind = line.monthKind;
  values.rate = line.rate;
  values.businessType = line.businessType;
  auto side = [this](const JournalSide& from, SideValues* to) {
    to->account = &from.account;
    to->number = from.account.empty() ? kUnknownAccount : AccountNumber(from.account);
    to->taxClass = from.taxClass;
    to->amount = from.amount;
    to->tax = from.tax;
  };
  side(line.debit, &values.debit);
  side(line.credit, &values.credit);
  Check(values, place);
}

void BookkeepingCheck::Line(const PackedLine& line, const LinePlace& place,
                            const SideAccount& debit, const SideAccount& credit) {
  if (!months_.Contains(line.monthKind)) return;
  LineValues values;
  values.journalNo = line.journalNo;
  values.date = line.date;
  values.monthKind = line.monthKind;
  values.rate = line.taxRate / 100;
  values.businessType = line.businessType;
  values.debit = {debit.code, debit.number, line.debitTaxClass, line.debitAmount, line.debitTax};
  values.credit = {credit.code, credit.number, line.creditTaxClass, line.creditAmount,
                   line.creditTax};
  Check(values, place);
}

void BookkeepingCheck::BeginPart(int64_t base) {
  inPart_ = true;
  partBase_ = base;
  part_ = CheckPart();
  partStart_ = counts_;
  partOpen_ = false;
  if (partUnfedIndex_.size() != accounts_.size()) partUnfedIndex_.assign(accounts_.size(), -1);
}

void BookkeepingCheck::PartJournal(int32_t journal, int64_t debitAmount, int64_t debitTax,
                                   int64_t creditAmount, int64_t creditTax,
                                   const LinePlace& place) {
  constexpr int64_t kModest = int64_t{1} << 40;
  for (int64_t v : {debitAmount, debitTax, creditAmount, creditTax}) {
    if (v >= kModest || v <= -kModest) part_.modest = false;
  }
  if (!partOpen_ || journal != partJournal_.journal) {
    if (partOpen_) {
      if (journal < partJournal_.journal) part_.ordered = false;
      ClosePartJournal(false);
    }
    partJournal_ = CheckPart::Journal{journal, 0, 0, false, place.number - partBase_};
    partOpen_ = true;
  }
  CheckPart::Journal& j = partJournal_;
  if (__builtin_add_overflow(j.debit, debitAmount, &j.debit) ||
      __builtin_add_overflow(j.debit, debitTax, &j.debit) ||
      __builtin_add_overflow(j.credit, creditAmount, &j.credit) ||
      __builtin_add_overflow(j.credit, creditTax, &j.credit)) {
    j.tooLarge = true;
  }
}

void BookkeepingCheck::ClosePartJournal(bool last) {
  // The first journal and the last may go on in the chunks beside; of those
  // between, only the unbalanced ones matter, and only the first of them
  // are listed (twice as many as the check lists, so that a change that
  // takes some away seldom leaves the list short).
  if (part_.journals.empty() || last) {
    part_.journals.push_back(partJournal_);
  } else if (partJournal_.tooLarge || partJournal_.debit != partJournal_.credit) {
    ++part_.unbalancedCount;
    if (balances_.count() + static_cast<int64_t>(part_.unbalanced.size()) <
        2 * static_cast<int64_t>(JournalBalances::kKept)) {
      part_.unbalanced.push_back(partJournal_);
    }
  }
  partOpen_ = false;
}

void BookkeepingCheck::PartUnfed(size_t number, const LinePlace& place, int32_t journal,
                                 int64_t signedAmount) {
  if (partUnfedIndex_[number] < 0) {
    partUnfedIndex_[number] = static_cast<int32_t>(part_.unfed.size());
    part_.unfed.push_back(
        {static_cast<int32_t>(number), place.number - partBase_, journal, 0, 0});
  }
  CheckPart::Unfed& unfed = part_.unfed[static_cast<size_t>(partUnfedIndex_[number])];
  ++unfed.lines;
  if (__builtin_add_overflow(unfed.amount, signedAmount, &unfed.amount)) unfed.amount = 0;
}

CheckPart BookkeepingCheck::EndPart() {
  if (partOpen_) ClosePartJournal(true);
  for (const CheckPart::Unfed& unfed : part_.unfed) {
    partUnfedIndex_[static_cast<size_t>(unfed.account)] = -1;
  }
  for (size_t i = 0; i < kCheckRuleCount; ++i) {
    const auto rule = static_cast<CheckRule>(i);
    part_.counts[i] = counts_.Of(rule) - partStart_.Of(rule);
  }
  inPart_ = false;
  return std::move(part_);
}

bool BookkeepingCheck::ListsEnough(const CheckPart& part) const {
  return static_cast<int64_t>(part.unbalanced.size()) == part.unbalancedCount ||
         balances_.found().size() + part.unbalanced.size() >= JournalBalances::kKept ||
         !balances_.inOrder();
}

bool BookkeepingCheck::MergePart(const CheckPart& part, int64_t base, bool walked) {
  auto at = [&](int64_t place) {
    LinePlace line;
    line.source = source_;
    line.number = base + place;
    return line;
  };
  if (!walked) {
    for (size_t i = 0; i < kCheckRuleCount; ++i) {
      counts_.Add(static_cast<CheckRule>(i), part.counts[i]);
    }
  }
  if (!part.ordered) balances_.OutOfOrder();
  if (!ListsEnough(part)) return false;
  for (size_t i = 0; i < part.journals.size(); ++i) {
    const CheckPart::Journal& j = part.journals[i];
    if (i == 1 && part.unbalancedCount > 0) {
      std::vector<JournalBalances::Difference> listed;
      for (const CheckPart::Journal& u : part.unbalanced) {
        JournalBalances::Difference d;
        d.journal = u.journal;
        d.debit = u.debit;
        d.credit = u.credit;
        d.tooLarge = u.tooLarge;
        d.place = at(u.place);
        listed.push_back(d);
      }
      balances_.AddUnbalanced(listed, part.unbalancedCount);
    }
    if (!balances_.AddSum(j.journal, j.debit, j.credit, j.tooLarge, part.modest, at(j.place))) {
      return false;
    }
  }
  constexpr int64_t kSafe = int64_t{1} << 61;
  for (const CheckPart::Unfed& u : part.unfed) {
    const auto number = static_cast<size_t>(u.account);
    if (number >= accounts_.size()) return false;
    if (unfedIndex_[number] < 0) {
      unfedIndex_[number] = static_cast<int32_t>(unfed_.size());
      unfed_.push_back({accounts_[number].account, at(u.place), u.journal, 0, 0});
    }
    Unfed& unfed = unfed_[static_cast<size_t>(unfedIndex_[number])];
    // Added as the lines would have been only while no sum can pass 64 bits.
    if (!part.modest || unfed.amount >= kSafe || unfed.amount <= -kSafe) return false;
    unfed.lines += u.lines;
    unfed.amount += u.amount;
  }
  for (const CheckPart::Purchase& p : part.purchases) {
    const auto number = static_cast<size_t>(p.account);
    if (number >= accounts_.size()) return false;
    FixedAssetMatch::Purchase bought;
    bought.place = at(p.place);
    bought.journal = p.journal;
    bought.account = accounts_[number].account;
    bought.date = p.date;
    bought.amount = p.amount;
    bought.tax = p.tax;
    bought.taxable = p.taxable;
    assets_.Add(bought);
  }
  return true;
}

void BookkeepingCheck::EmitBalance(const JournalBalances::Difference& d) {
  const LinePlace place = d.place.source != nullptr ? d.place : storedLinePlace_(d.firstStoredLine);
  Emit(CheckRule::kUnbalancedJournal, place, d.journal, [&] {
    if (d.tooLarge) {
      return FindingTexts{"the debit and credit totals are too large to compare",
                          "correct the amounts"};
    }
    const int64_t by = d.debit > d.credit ? d.debit - d.credit : d.credit - d.debit;
    return FindingTexts{"the debit total " + FormatAmountText(d.debit) + " and the credit total " +
                            FormatAmountText(d.credit) + " differ by " + FormatAmountText(by),
                        "correct the lines so that both sides agree"};
  });
}

bool BookkeepingCheck::Finish(sqlite3* db, std::string* error) {
  balances_.Finish();
  // In journal order the journals past those kept are only counted, unless
  // the sink wants them; out of order the store has them all.
  auto fromStore = [&](int64_t after) {
    return JournalBalances::FromStore(
        db, model_.info.dataNo, months_.Kinds(), after,
        [this](const JournalBalances::Difference& d) { EmitBalance(d); }, error);
  };
  if (!balances_.inOrder()) {
    if (!fromStore(INT64_MIN)) return false;
  } else {
    for (const JournalBalances::Difference& d : balances_.found()) EmitBalance(d);
    const int64_t rest = balances_.count() - static_cast<int64_t>(balances_.found().size());
    if (rest > 0 && (!wants_ || wants_())) {
      if (!fromStore(balances_.found().back().journal)) return false;
    } else if (rest > 0) {
      counts_.Add(CheckRule::kUnbalancedJournal, rest);
    }
  }
  for (const Unfed& unfed : unfed_) {
    Emit(CheckRule::kNoRefundLine, unfed.place, unfed.journal, [&] {
      const bool one = unfed.lines == 1;
      return FindingTexts{
          AccountText(*unfed.account) + " of class " +
              FormatClassCodeText(unfed.account->classCode) +
              " feeds no line of the refund statement: " + std::to_string(unfed.lines) +
              (one ? " line" : " lines") + " of taxable purchases, " +
              FormatAmountText(unfed.amount) + " in all, " + (one ? "is" : "are") +
              " left out of it",
          "give the account a class that feeds one (docs/data-format.md lists them)"};
    });
  }
  FixedAssetMatch::Result assets =
      assets_.Match(model_.fixedAssets, months_.firstDay(), months_.lastDay());
  for (const FixedAssetMatch::Purchase& p : assets.unlisted) {
    Emit(CheckRule::kAssetNotListed, p.place, p.journal, [&] {
      return FindingTexts{"debit " + p.account->code + ": a purchase of " +
                              FormatAmountText(p.amount) + " on " + FormatDateText(p.date) +
                              " on this fixed-asset account has no fixed_assets record, so the "
                              "refund statement leaves it out",
                          "add the asset to fixed_assets"};
    });
  }
  const std::string prefix = *source_ + ": ";
  for (const FixedAsset* asset : assets.unbooked) {
    // The record's place in the data set file, or its code in the store.
    std::string item = asset->origin.rfind(prefix, 0) == 0 ? asset->origin.substr(prefix.size())
                                                           : "fixed asset " + asset->code;
    EmitAt(CheckRule::kAssetNotBooked, *source_, 0, std::move(item), [&] {
      return FindingTexts{"fixed asset " + asset->code + " (" + asset->name + "), " +
                              FormatAmountText(asset->acquisitionAmount) + " acquired " +
                              FormatDateText(asset->acquisitionDate) +
                              ", has no purchase on a fixed-asset account in the journals",
                          "book its purchase, or correct the record's date or amount"};
    });
  }
  return true;
}

}  // namespace mvhost
