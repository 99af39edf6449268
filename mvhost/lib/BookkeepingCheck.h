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
#include "mvhost/lib/CheckMonths.h"
#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/FixedAssetMatch.h"
#include "mvhost/lib/JournalBalances.h"
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
  void Line(const JournalLine& line, const LinePlace& place, int32_t debitAccount,
            int32_t creditAccount);
  // The rules over all lines; `db` holds data set `model.info.dataNo`
  // with every line, for journals that came out of order. False with the
  // store's message.
  bool Finish(sqlite3* db, std::string* error);

  // Every finding made so far, wanted or not.
  const CheckCounts& counts() const { return counts_; }

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

  void Side(const JournalLine& line, const LinePlace& place, const JournalSide& side, bool debit,
            int32_t account);
  void TaxRules(const JournalLine& line, const LinePlace& place, const JournalSide& side,
                bool debit, const TaxClassRule& rule);
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

  const DataSetModel& model_;
  MonthSelection months_;
  const std::string* source_;
  StoredLinePlace storedLinePlace_;
  Sink sink_;
  Wants wants_;
  CheckCounts counts_;
  std::array<TaxClassRule, 256> rules_;
  std::vector<AccountFacts> accounts_;
  std::unordered_map<std::string, int32_t> accountNumbers_;
  bool filesRefundStatement_ = false;
  bool sixthTypeRefused_ = false;
  JournalBalances balances_;
  std::unordered_map<std::string, size_t> unfedIndex_;
  std::vector<Unfed> unfed_;
  FixedAssetMatch assets_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_BOOKKEEPINGCHECK_H_
