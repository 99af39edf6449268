#include "mvhost/lib/TaxLineTracer.h"

#include <string>

#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

int32_t TaxLineTracer::Open(sqlite3* db, int32_t dataNo, const StFINDINFO* filter,
                            const StTAXREPORTRATEINFO* rates, TaxLineSink* sink) {
  if (rates == nullptr || sink == nullptr) return kErrBadArgument;
  int32_t status = predicate_.Compile(db, dataNo, filter);
  if (status != 0) return status;
  accounts_.clear();
  SqlStatement names;
  status = names.Prepare(db, "SELECT account_id, code, name FROM account WHERE data_no = ?",
                         "trace the tax return");
  if (status != 0) return status;
  names.BindInt(1, dataNo);
  int32_t step = 0;
  while ((step = names.Step()) == 1) {
    const auto id = static_cast<int32_t>(names.Int(0));
    AccountText& text = accounts_[id];
    if (!CopyRecordText(text.code, sizeof(text.code), names.Text(1)) ||
        !CopyRecordText(text.name, sizeof(text.name), names.Text(2))) {
      return StoreTextError("data set " + std::to_string(dataNo) + ": account " +
                            std::to_string(id));
    }
  }
  if (step < 0) return step;
  for (std::size_t c = 0; c < summed_.size(); ++c) {
    summed_[c] = TaxReturnSums::Summed(static_cast<int>(c));
  }
  sums_.emplace(rates);
  sink_ = sink;
  return 0;
}

int32_t TaxLineTracer::Report(const PackedLine& line) {
  if (!predicate_.Matches(line)) return 0;
  TaxLineSide& side = side_;
  for (int s = 0; s < 2; ++s) {
    const bool debit = s == 0;
    if ((debit ? line.hasDebit : line.hasCredit) == 0) continue;
    const int taxClass = debit ? line.debitTaxClass : line.creditTaxClass;
    // A class that feeds no figure.
    if (static_cast<unsigned>(taxClass) >= summed_.size() ||
        !summed_[static_cast<std::size_t>(taxClass)]) {
      continue;
    }
    side.journalId = line.journalNo;
    side.lineNo = line.lineId;
    side.date = line.date;
    side.monthKind = static_cast<int16_t>(line.monthKind);
    side.rate = EffectiveRate(line.taxRate, line.date);
    side.businessType = static_cast<uint8_t>(line.businessType);
    side.debit = debit;
    side.accountId = debit ? line.debitAccount : line.creditAccount;
    side.department = debit ? line.debitDept : line.creditDept;
    side.amount = debit ? line.debitAmount : line.creditAmount;
    side.tax = debit ? line.debitTax : line.creditTax;
    side.taxClass = static_cast<uint8_t>(taxClass);
    if (!sums_->Targets(side.rate, side.businessType, side.taxClass, side.debit, side.amount,
                        side.tax, &side)) {
      return kErrOverflow;
    }
    if (side.targetCount == 0) continue;
    // The texts by pointer: the map's entries stay where they are.
    auto account = accounts_.find(side.accountId);
    side.accountCode = account != accounts_.end() ? account->second.code : "";
    side.accountName = account != accounts_.end() ? account->second.name : "";
    if (!sink_->Side(side)) return kErrTraceStopped;
  }
  return 0;
}

}  // namespace mvhost
