#ifndef TAXLINK_MVHOST_BOOKKEEPINGCHECK_H_
#define TAXLINK_MVHOST_BOOKKEEPINGCHECK_H_

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "mvhost/lib/CheckFinding.h"
#include "mvhost/lib/CheckPart.h"
#include "mvhost/lib/CheckMonths.h"
#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/FixedAssetMatch.h"
#include "mvhost/lib/JournalBalances.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/TaxClassRules.h"

namespace mvhost {

// The bookkeeping check: the mistakes that change the figures without
// stopping a run (docs/mvhost.md, "check"). The journal lines stream
// through Line, as the import reads them or as a stored data set holds
// them; the rules that need every line report in Finish. Each finding goes
// to the sink as it is made. The rules read the host's own tables: the tax
// classes (TaxClassRules) and the account classes of the refund statements
// (host/RefundStatementClasses.h).
class BookkeepingCheck {
 public:
  using Sink = std::function<void(const CheckFinding&)>;
  // Whether the sink wants the next finding; the others are only counted.
  using Wants = std::function<bool()>;

  // Where the store's line `lineId` of the data set was read, for the
  // journals that came out of order and are found in the store.
  using StoredLinePlace = std::function<LinePlace(int64_t lineId)>;

  // `model` gives the data set, its settings, accounts, classes and fixed
  // assets (its journal lines are not read); it and `source` must outlive
  // the check. `source` names the data set or its file in the findings on
  // fixed-asset records.
  BookkeepingCheck(const DataSetModel& model, const MonthSelection& months,
                   const std::string* source, StoredLinePlace storedLinePlace, Sink sink,
                   Wants wants = Wants());

  void Line(const JournalLine& line, const LinePlace& place);

  // The check's own number of the account with `code`, or kUnknownAccount.
  // A reader that names accounts by number looks each one up once and
  // gives the numbers with the line, instead of a lookup by code per side.
  static constexpr int32_t kUnknownAccount = -1;
  int32_t AccountNumber(const std::string& code) const;

  // A side's account as a reader of packed lines names it: its code in
  // place (null or empty: the line has no such side) and the check's number
  // for it, so that no code is copied per line.
  struct SideAccount {
    const std::string* code = nullptr;
    int32_t number = kUnknownAccount;
  };
  void Line(const PackedLine& line, const LinePlace& place, const SideAccount& debit,
            const SideAccount& credit);
  // The rules over all lines; `db` holds data set `model.info.dataNo`
  // with every line, for journals that came out of order. False with the
  // store's message.
  bool Finish(sqlite3* db, std::string* error);

  // Every finding made so far, wanted or not.
  const CheckCounts& counts() const { return counts_; }

  // The lines from BeginPart to EndPart (one chunk's, whose first line
  // comes after `base` lines) are kept apart as that chunk's part, which
  // MergePart then takes into the check; a part kept from an earlier check
  // of the same data set, months and rules is taken the same way
  // (`walked` false: its findings of a line alone are counted, never
  // handed out). MergePart is false when the part cannot be added exactly
  // as its lines would have been (sums that could pass 64 bits): the
  // caller then checks every line instead.
  void BeginPart(int64_t base);
  CheckPart EndPart();
  bool MergePart(const CheckPart& part, int64_t base, bool walked);
  // Whether the part lists every unbalanced journal the check still lists
  // (false: its chunk must be read again).
  bool ListsEnough(const CheckPart& part) const;

 private:
  struct AccountFacts {
    const Account* account = nullptr;
    bool fixedAsset = false;
    bool feedsRefundLine = false;
  };
  // An account with taxable purchases whose class feeds no refund line.
  struct Unfed {
    const Account* account = nullptr;
    LinePlace place;  // its first line
    int32_t journal = 0;
    int64_t lines = 0;
    int64_t amount = 0;  // debit amounts less credit amounts
  };

  // A line as the rules read it, whichever form it came in.
  struct SideValues {
    const std::string* account = nullptr;
    int32_t number = kUnknownAccount;
    int32_t taxClass = 0;
    int64_t amount = 0;
    int64_t tax = 0;
  };
  struct LineValues {
    int32_t journalNo = 0;
    int32_t date = 0;
    int32_t monthKind = 0;
    int32_t rate = 0;  // percent
    int32_t businessType = 0;
    SideValues debit;
    SideValues credit;
  };
  void Check(const LineValues& line, const LinePlace& place);

  // What the rules do with a side of a tax class, worked out once per class
  // and side instead of per line (the flags below).
  struct SideRule {
    const TaxClassRule* rule = nullptr;
    uint8_t flags = 0;
  };
  static constexpr uint8_t kPending = 1;       // import-class-left-out, nothing else
  static constexpr uint8_t kTakesNoTax = 2;    // a tax on it is a finding
  static constexpr uint8_t kCarriesTax = 4;    // its tax is checked against its amount
  static constexpr uint8_t kUnusual = 8;       // the side subtracts: unusual-side
  static constexpr uint8_t kRefundClass = 16;  // a taxable purchase a refund line should take
  static constexpr uint8_t kPurchase = 32;     // a debit purchase: a fixed asset's acquisition
  const SideRule& RuleOf(int32_t taxClass, bool debit) const {
    // Classes past 255 never come from an import; one edited into the store
    // is a class the rules do not know, not the class of its low byte.
    if (taxClass < 0 || taxClass >= 256) return unknownRule_;
    return sideRules_[debit ? 1 : 0][static_cast<size_t>(taxClass)];
  }

  // The rules of one side, inlined into Line; what makes a finding's texts
  // is kept out of them (TaxFindings, Emit), as most sides make none.
  void Side(const LineValues& line, const LinePlace& place, const SideValues& side, bool debit);
  void TaxRules(const LineValues& line, const LinePlace& place, const SideValues& side,
                bool debit, const SideRule& sideRule);
  // The tax rules of a taxable side again, in 128 bits, with their findings
  // (the line's values by value: a line's values are never needed in memory).
  void TaxFindings(int32_t journal, int32_t date, int32_t linePercent, const LinePlace& place,
                   SideValues side, bool debit, const TaxClassRule& rule);
  struct FindingTexts {
    std::string what;
    std::string todo;
  };
  // Counts a finding and hands it to the sink when it is wanted; `texts`
  // makes its FindingTexts only then, as a data set can hold a finding on
  // most of its lines.
  template <typename Texts>
  void Emit(CheckRule rule, const LinePlace& place, int32_t journal, Texts texts);
  template <typename Texts>
  void EmitAt(CheckRule rule, const std::string& source, int32_t journal, std::string item,
              Texts texts);
  void EmitBalance(const JournalBalances::Difference& difference);
  // A line's journal, and an account's taxable purchase, kept in the part.
  void PartJournal(int32_t journal, int64_t debitAmount, int64_t debitTax, int64_t creditAmount,
                   int64_t creditTax, const LinePlace& place);
  void ClosePartJournal(bool last);
  void PartUnfed(size_t number, const LinePlace& place, int32_t journal, int64_t signedAmount);

  const DataSetModel& model_;
  MonthSelection months_;
  const std::string* source_;
  StoredLinePlace storedLinePlace_;
  Sink sink_;
  Wants wants_;
  CheckCounts counts_;
  std::array<TaxClassRule, 257> rules_;  // the last: a class past 255
  std::array<std::array<SideRule, 256>, 2> sideRules_;  // credit, debit
  SideRule unknownRule_;
  std::vector<AccountFacts> accounts_;
  std::unordered_map<std::string, int32_t> accountNumbers_;
  bool filesRefundStatement_ = false;
  bool sixthTypeRefused_ = false;
  JournalBalances balances_;
  std::vector<int32_t> unfedIndex_;  // per account number, into unfed_ (-1: none yet)
  std::vector<Unfed> unfed_;
  FixedAssetMatch assets_;
  // The part being made (between BeginPart and EndPart).
  bool inPart_ = false;
  int64_t partBase_ = 0;
  CheckPart part_;
  CheckCounts partStart_;
  bool partOpen_ = false;  // part_'s journal being summed
  CheckPart::Journal partJournal_;
  std::vector<int32_t> partUnfedIndex_;  // per account number, into part_.unfed
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_BOOKKEEPINGCHECK_H_
