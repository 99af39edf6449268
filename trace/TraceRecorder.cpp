#include "trace/TraceRecorder.h"

#include <cstring>

#include <nlohmann/json.hpp>

#include "host/StKAMOKUSUMINFO.h"
#include "host/StKOTEISHISANINFO.h"
#include "host/StSWKTINFO.h"
#include "platform/text/Encoding.h"
#include "trace/TraceKeys.h"
#include "trace/YenText.h"

namespace taxlink {

namespace {

// A Shift_JIS field of a host record as a JSON string.
std::string JsonText(const char* field, std::size_t size) {
  return nlohmann::json(platform::Cp932ToUtf8(std::string_view(field, strnlen(field, size))))
      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void AppendNumber(std::string& out, const char* key, int64_t value) {
  out += ",\"";
  out += key;
  out += "\":";
  out += std::to_string(value);
}

void AppendText(std::string& out, const char* key, const std::string& json) {
  out += ",\"";
  out += key;
  out += "\":";
  out += json;
}

void StartEntry(std::string& out, const char* kind, int64_t amount) {
  out = "\n{\"kind\":\"";
  out += kind;
  out += "\",\"amount\":\"";
  out += YenText(amount);
  out += '"';
}

const char* TakenName(TaxLineSide::Taken taken) {
  switch (taken) {
    case TaxLineSide::Taken::kExcludingTax: return "\"excluding_tax\"";
    case TaxLineSide::Taken::kTax: return "\"tax\"";
    case TaxLineSide::Taken::kIncludingTax: return "\"including_tax\"";
  }
  return "null";
}

}  // namespace

namespace {

std::string AccountObject(int32_t id, const char* code, std::size_t codeSize, const char* name,
                          std::size_t nameSize) {
  return "{\"id\":" + std::to_string(id) + ",\"code\":" + JsonText(code, codeSize) +
         ",\"name\":" + JsonText(name, nameSize) + "}";
}

}  // namespace

const std::string& TraceRecorder::AccountJson(int32_t id, const char* code, std::size_t codeSize,
                                              const char* name, std::size_t nameSize) {
  auto [it, added] = accounts_.try_emplace(id);
  if (added) it->second = AccountObject(id, code, codeSize, name, nameSize);
  return it->second;
}

bool TraceRecorder::Side(const TaxLineSide& side) {
  // The line's facts once; each target then gets them with its own amount.
  std::string facts;
  AppendNumber(facts, "journal", side.journalId);
  AppendNumber(facts, "line", side.lineNo);
  AppendNumber(facts, "date", side.date);
  AppendNumber(facts, "month_kind", side.monthKind);
  AppendText(facts, "account",
             AccountJson(side.accountId, side.accountCode, sizeof(side.accountCode),
                         side.accountName, sizeof(side.accountName)));
  AppendText(facts, "side", side.debit ? "\"debit\"" : "\"credit\"");
  AppendNumber(facts, "tax_class", side.taxClass);
  AppendNumber(facts, "rate", side.rate);
  AppendNumber(facts, "business_type", side.businessType);
  AppendNumber(facts, "department", side.department);

  bool typed = false;
  for (int i = 0; i < side.targetCount; ++i) {
    typed = typed || side.targets[i].record == TaxLineSide::Record::kBusinessType;
  }
  for (int i = 0; i < side.targetCount; ++i) {
    const TaxLineSide::Target& target = side.targets[i];
    StartEntry(entry_, "line", target.amount);
    entry_ += facts;
    AppendText(entry_, "taken", TakenName(target.taken));
    entry_ += '}';
    if (target.record == TaxLineSide::Record::kBusinessType) {
      if (!spools_.Append(TraceKey(TraceKeyKind::kTypeFigure, target.row, target.businessType,
                                   target.offset),
                          entry_, target.amount)) {
        return false;
      }
      continue;
    }
    if (!spools_.Append(TraceKey(TraceKeyKind::kRateFigure, target.row, 0, target.offset), entry_,
                        target.amount)) {
      return false;
    }
    // A side the summation gave no business type feeds the part of the
    // figure that the business-type groups leave unclassified.
    if (!typed && !spools_.Append(TraceKey(TraceKeyKind::kUntypedPart, target.row, 0,
                                           target.offset),
                                  entry_, target.amount)) {
      return false;
    }
  }
  return true;
}

void TraceRecorder::Contribute(const Contribution& c) {
  const uint64_t key = EngineFigureKey(c.figure);
  switch (c.source) {
    case Contribution::Source::kTaxSummary:
      // The legacy-rate sums feed no amount of the report.
      return;
    case Contribution::Source::kJournalLine: {
      const auto& line = *static_cast<const StSWKTINFO*>(c.record);
      const bool debit = c.side == 1;
      StartEntry(entry_, "line", c.amount);
      AppendNumber(entry_, "journal", line.journalId);
      AppendNumber(entry_, "line", line.lineNo);
      AppendNumber(entry_, "date", line.date);
      AppendNumber(entry_, "month_kind", line.monthKind);
      AppendText(entry_, "account",
                 AccountJson(c.account->accountId, c.account->code, sizeof(c.account->code),
                             c.account->name, sizeof(c.account->name)));
      AppendText(entry_, "side", debit ? "\"debit\"" : "\"credit\"");
      AppendNumber(entry_, "tax_class", debit ? line.debitTaxClass : line.creditTaxClass);
      AppendNumber(entry_, "rate", line.taxRate);
      AppendNumber(entry_, "business_type", line.businessType);
      AppendNumber(entry_, "department", debit ? line.debitDeptCode : line.creditDeptCode);
      AppendText(entry_, "taken", taxIncluded_ ? "\"including_tax\"" : "\"excluding_tax\"");
      break;
    }
    case Contribution::Source::kAccountSum: {
      const auto& record = *static_cast<const StKAMOKUSUMINFO*>(c.record);
      StartEntry(entry_, "account", c.amount);
      // Not from the cache: the class total records all have account id 0.
      AppendText(entry_, "account",
                 AccountObject(record.accountId, record.code, sizeof(record.code), record.name,
                               sizeof(record.name)));
      AppendNumber(entry_, "department", c.detail);
      // The month entries of the kind the passes took, those not zero.
      const int64_t* debit = taxIncluded_ ? record.debitIncl : record.debit;
      const int64_t* credit = taxIncluded_ ? record.creditIncl : record.credit;
      entry_ += ",\"months\":[";
      bool first = true;
      for (int slot = 0; slot < 15; ++slot) {
        if (debit[slot] == 0 && credit[slot] == 0) continue;
        entry_ += first ? "{\"slot\":" : ",{\"slot\":";
        entry_ += std::to_string(slot) + ",\"debit\":\"" + YenText(debit[slot]) +
                  "\",\"credit\":\"" + YenText(credit[slot]) + "\"}";
        first = false;
      }
      entry_ += ']';
      break;
    }
    case Contribution::Source::kFixedAsset: {
      const auto& asset = *static_cast<const StKOTEISHISANINFO*>(c.record);
      StartEntry(entry_, "asset", c.amount);
      entry_ += ",\"asset\":{\"id\":" + std::to_string(asset.assetId);
      AppendText(entry_, "code", JsonText(asset.code, sizeof(asset.code)));
      AppendText(entry_, "name", JsonText(asset.name, sizeof(asset.name)));
      AppendNumber(entry_, "kind", asset.kind);
      AppendNumber(entry_, "acquired", asset.acquisitionDate);
      AppendNumber(entry_, "income_kind", asset.incomeKind);
      entry_ += '}';
      break;
    }
  }
  entry_ += '}';
  // A total that replaces the figure's amount leaves only itself behind.
  if (c.replaces) spools_.Clear(key);
  spools_.Append(key, entry_, c.amount);
}

}  // namespace taxlink
