// The writing half of the data format (JsonFormat.h).
#include "mvhost/lib/JsonFormat.h"

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>

#include "mvhost/lib/DataValues.h"

namespace mvhost {

namespace {

using Json = nlohmann::ordered_json;

// Whole yen as a number, fractions of a yen as text.
Json AmountValue(int64_t raw) {
  if (raw % 10000 == 0) return Json(raw / 10000);
  return Json(FormatAmountText(raw));
}

Json DateOrNull(int32_t date) { return date == 0 ? Json(nullptr) : Json(FormatDateText(date)); }

Json SideValue(const JournalSide& side) {
  Json o = Json::object();
  o["account"] = side.account;
  if (side.dept != 0) o["dept"] = side.dept;
  o["amount"] = AmountValue(side.amount);
  if (side.tax != 0) o["tax"] = AmountValue(side.tax);
  o["tax_class"] = side.taxClass;
  return o;
}

Json SavedValue(const SavedReturn& s) {
  Json o = Json::object();
  o["taxation_method"] = s.taxationMethod;
  o["credit_method_code"] = s.creditMethodCode;
  o["sales_tax_method"] = s.salesTaxMethod;
  o["purchase_tax_method"] = s.purchaseTaxMethod;
  o["transitional"] = s.transitional;
  o["period_start"] = DateOrNull(s.periodStart);
  o["period_end"] = DateOrNull(s.periodEnd);
  o["return_period_start"] = DateOrNull(s.returnPeriodStart);
  o["return_period_end"] = DateOrNull(s.returnPeriodEnd);
  o["month_range_first"] = DateOrNull(s.monthRangeFirst);
  o["month_range_last"] = DateOrNull(s.monthRangeLast);
  o["data_code"] = s.dataCode;
  o["kanpuk_code"] = s.kanpukCode;
  o["kanpuh_code"] = s.kanpuhCode;
  o["assets_code"] = s.assetsCode;
  Json refunds = Json::array();
  for (int64_t amount : s.refundAmounts) refunds.push_back(AmountValue(amount));
  o["refund_amounts"] = refunds;
  Json amounts = Json::object();
  for (const auto& [offset, amount] : s.amounts)
    amounts[std::to_string(offset)] = AmountValue(amount);
  o["amounts"] = amounts;
  Json bytes = Json::object();
  for (const auto& [offset, data] : s.bytes) {
    std::string hex;
    for (uint8_t b : data) {
      char pair[3];
      std::snprintf(pair, sizeof pair, "%02x", b);
      hex += pair;
    }
    bytes[std::to_string(offset)] = hex;
  }
  o["bytes"] = bytes;
  return o;
}

// One journal line as the format writes it.
Json JournalValue(const JournalLine& l) {
  Json o = Json::object();
  o["journal"] = l.journalNo;
  o["date"] = FormatDateText(l.date);
  o["month"] = l.monthKind;
  if (!l.debit.account.empty()) o["debit"] = SideValue(l.debit);
  if (!l.credit.account.empty()) o["credit"] = SideValue(l.credit);
  o["rate"] = l.rate;
  if (l.businessType != 0) o["business_type"] = l.businessType;
  if (!l.description.empty()) o["description"] = l.description;
  return o;
}

// Everything but the journal lines, whose place holds `journals`; a CSV
// file named by csvName follows it.
Json TopValue(const DataSetModel& m, Json journals, const std::string& csvName) {
  Json top = Json::object();
  top["format"] = kDataFormatTag;
  Json d = Json::object();
  d["data_no"] = m.info.dataNo;
  d["data_id"] = m.info.dataId;
  d["company_name"] = m.info.companyName;
  d["period_start"] = FormatDateText(m.info.periodStart);
  d["period_end"] = FormatDateText(m.info.periodEnd);
  d["interim_closing"] = m.info.interimClosing;
  d["record_kind"] = m.info.recordKind;
  d["entity_kind"] = m.info.entityKind;
  d["income_kind"] = m.info.incomeKind;
  top["data_set"] = d;

  Json s = Json::object();
  s["filing_class"] = m.settings.filingClass;
  s["rounding_mode"] = m.settings.roundingMode;
  s["credit_method"] = m.settings.creditMethod;
  s["main_business_type"] = m.settings.mainBusinessType;
  s["tax_included"] = m.settings.taxIncluded;
  top["tax_settings"] = s;
  top["tax_rates"] = m.taxRates;

  Json classes = Json::array();
  for (const AccountClass& c : m.accountClasses) {
    Json o = Json::object();
    o["code"] = FormatClassCodeText(c.code);
    o["name"] = c.name;
    o["parent"] = c.parent ? Json(FormatClassCodeText(*c.parent)) : Json(nullptr);
    o["total"] = c.total;
    classes.push_back(o);
  }
  top["account_classes"] = classes;

  Json accounts = Json::array();
  for (const Account& a : m.accounts) {
    Json o = Json::object();
    o["code"] = a.code;
    o["name"] = a.name;
    o["class"] = FormatClassCodeText(a.classCode);
    o["balance_side"] = a.balanceSide == 2 ? "credit" : "debit";
    if (a.excluded) o["excluded"] = true;
    if (a.refundFlag1 != 0 || a.refundFlag2 != 0)
      o["refund_flags"] = {a.refundFlag1, a.refundFlag2};
    accounts.push_back(o);
  }
  top["accounts"] = accounts;

  Json departments = Json::array();
  for (const Department& dep : m.departments) {
    Json o = Json::object();
    o["code"] = dep.code;
    o["name"] = dep.name;
    o["kind"] = dep.kind;
    o["parent"] = dep.parentCode;
    o["income_kind"] = dep.incomeKind;
    departments.push_back(o);
  }
  top["departments"] = departments;
  top["journals"] = std::move(journals);
  if (!csvName.empty()) top["journals_csv"] = csvName;

  Json assets = Json::array();
  for (const FixedAsset& a : m.fixedAssets) {
    Json o = Json::object();
    o["code"] = a.code;
    o["name"] = a.name;
    o["kind"] = a.kind;
    o["acquired"] = FormatDateText(a.acquisitionDate);
    o["amount"] = AmountValue(a.acquisitionAmount);
    o["income_kind"] = a.incomeKind;
    assets.push_back(o);
  }
  top["fixed_assets"] = assets;
  top["saved_return"] = m.savedReturn ? SavedValue(*m.savedReturn) : Json(nullptr);

  Json users = Json::array();
  for (const User& u : m.users) {
    Json o = Json::object();
    o["id"] = u.id;
    o["name"] = u.name;
    o["selected_no1"] = u.selectedNo1;
    users.push_back(o);
  }
  top["users"] = users;
  return top;
}

std::string NotUtf8(const DataSetModel& m) {
  return "data set " + std::to_string(m.info.dataNo) + " holds text that is not UTF-8";
}

// Where the value of the top-level "journals" begins in the text of
// TopValue dumped with two-space indentation.
constexpr const char kJournalsKey[] = "\n  \"journals\": ";

}  // namespace

bool DataSetJsonWriter::Begin(const DataSetModel& head, const std::string& csvName,
                              std::string* error) {
  dataNo_ = head.info.dataNo;
  inline_ = csvName.empty();
  std::string text;
  try {
    // Inline lines go where the placeholder (null) stands.
    text = TopValue(head, inline_ ? Json(nullptr) : Json::array(), csvName).dump(2) + "\n";
  } catch (const Json::type_error&) {
    *error = NotUtf8(head);
    return false;
  }
  if (!inline_) {
    out_ << text;
    return true;
  }
  const size_t key = text.find(kJournalsKey);
  const size_t value = key + std::strlen(kJournalsKey);
  out_.write(text.data(), static_cast<std::streamsize>(value));
  rest_ = text.substr(value + std::strlen("null"));
  return true;
}

bool DataSetJsonWriter::Line(const JournalLine& line, std::string* error) {
  std::string text;
  try {
    text = JournalValue(line).dump(2);
  } catch (const Json::type_error&) {
    *error = "data set " + std::to_string(dataNo_) + ": journal " + std::to_string(line.journalNo) +
             " holds text that is not UTF-8";
    return false;
  }
  // The element as the array's dump writes it: each line indented by four.
  out_ << (lines_++ == 0 ? "[\n    " : ",\n    ");
  size_t from = 0;
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
    out_.write(text.data() + from, static_cast<std::streamsize>(at + 1 - from));
    out_ << "    ";
    from = at + 1;
  }
  out_.write(text.data() + from, static_cast<std::streamsize>(text.size() - from));
  return true;
}

bool DataSetJsonWriter::End(std::string* /*error*/) {
  if (inline_) out_ << (lines_ == 0 ? "[]" : "\n  ]") << rest_;
  return true;
}

bool JsonFromModel(const DataSetModel& m, std::string* text, std::string* error) {
  std::ostringstream out;
  DataSetJsonWriter writer(out);
  if (!writer.Begin(m, "", error)) return false;
  for (const JournalLine& line : m.journals) {
    if (!writer.Line(line, error)) {
      *error = NotUtf8(m);
      return false;
    }
  }
  writer.End(error);
  *text = out.str();
  return true;
}

}  // namespace mvhost
