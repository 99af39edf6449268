#include "mvhost/lib/JsonFormat.h"

#include <nlohmann/json.hpp>

#include "mvhost/lib/DataSavedReturn.h"
#include "mvhost/lib/DataValues.h"
#include "mvhost/lib/JsonDocument.h"
#include "mvhost/lib/JsonReader.h"

namespace mvhost {

namespace {

using Json = nlohmann::ordered_json;

constexpr int64_t kInt32Max = 2147483647;

bool ReadDataSet(JsonReader& r, const Json& top, DataSetModel* m) {
  auto it = top.find("data_set");
  if (it == top.end()) return r.Fail("data_set", "missing");
  const Json& o = *it;
  const std::string p = "data_set";
  DataSetInfo& d = m->info;
  return r.Object(o, p,
                  {"data_no", "data_id", "company_name", "period_start", "period_end",
                   "interim_closing", "record_kind", "entity_kind", "income_kind"}) &&
         r.Int(o, "data_no", p, 1, kInt32Max, true, &d.dataNo) &&
         r.Text(o, "data_id", p, true, true, &d.dataId) &&
         r.Text(o, "company_name", p, true, true, &d.companyName) &&
         r.Date(o, "period_start", p, true, &d.periodStart) &&
         r.Date(o, "period_end", p, true, &d.periodEnd) &&
         r.Bool(o, "interim_closing", p, &d.interimClosing) &&
         r.Int(o, "record_kind", p, 0, 32767, false, &d.recordKind) &&
         r.Int(o, "entity_kind", p, 0, 4, false, &d.entityKind) &&
         r.Int(o, "income_kind", p, 0, 3, false, &d.incomeKind);
}

bool ReadSettings(JsonReader& r, const Json& top, DataSetModel* m) {
  auto it = top.find("tax_settings");
  if (it == top.end()) return true;
  const std::string p = "tax_settings";
  TaxSettings& s = m->settings;
  return r.Object(*it, p,
                  {"filing_class", "rounding_mode", "credit_method", "main_business_type",
                   "tax_included"}) &&
         r.Int(*it, "filing_class", p, 0, 2, false, &s.filingClass) &&
         r.Int(*it, "rounding_mode", p, 0, 255, false, &s.roundingMode) &&
         r.Int(*it, "credit_method", p, 0, 1, false, &s.creditMethod) &&
         r.Int(*it, "main_business_type", p, 0, 6, false, &s.mainBusinessType) &&
         r.Bool(*it, "tax_included", p, &s.taxIncluded);
}

bool ReadRates(JsonReader& r, const Json& top, DataSetModel* m) {
  bool present = false;
  if (!r.Array(top, "tax_rates", "", false, &present)) return false;
  if (!present) {
    // Left out: the three rates of the host's rate rows.
    m->taxRates = {8, 5, 3};
    return true;
  }
  const Json& rates = top["tax_rates"];
  for (size_t i = 0; i < rates.size(); ++i) {
    std::string p = JsonReader::Index("tax_rates", i);
    if (!rates[i].is_number_integer()) return r.Fail(p, "not an integer");
    int64_t rate = rates[i].get<int64_t>();
    if (rate != 3 && rate != 5 && rate != 8 && rate != 10) {
      return r.Fail(p, "unknown tax rate " + std::to_string(rate) + " (3, 5, 8 or 10)");
    }
    m->taxRates.push_back(static_cast<int32_t>(rate));
  }
  return true;
}

bool ReadClasses(JsonReader& r, const Json& top, DataSetModel* m) {
  bool present = false;
  if (!r.Array(top, "account_classes", "", false, &present) || !present) return r.error().empty();
  const Json& list = top["account_classes"];
  for (size_t i = 0; i < list.size(); ++i) {
    std::string p = JsonReader::Index("account_classes", i);
    const Json& o = list[i];
    AccountClass c;
    c.origin = r.fileName() + ": " + p;
    if (!r.Object(o, p, {"code", "name", "parent", "total"})) return false;
    if (!o.contains("code")) return r.Fail(JsonReader::Join(p, "code"), "missing");
    if (!r.ClassCode(o["code"], JsonReader::Join(p, "code"), &c.code)) return false;
    if (o.contains("parent") && !o["parent"].is_null()) {
      uint32_t parent = 0;
      if (!r.ClassCode(o["parent"], JsonReader::Join(p, "parent"), &parent)) return false;
      c.parent = parent;
    }
    if (!r.Text(o, "name", p, false, false, &c.name) || !r.Bool(o, "total", p, &c.total)) {
      return false;
    }
    m->accountClasses.push_back(c);
  }
  return true;
}

bool ReadAccounts(JsonReader& r, const Json& top, DataSetModel* m) {
  bool present = false;
  if (!r.Array(top, "accounts", "", false, &present) || !present) return r.error().empty();
  const Json& list = top["accounts"];
  for (size_t i = 0; i < list.size(); ++i) {
    std::string p = JsonReader::Index("accounts", i);
    const Json& o = list[i];
    Account a;
    a.origin = r.fileName() + ": " + p;
    std::string side = "debit";
    if (!r.Object(o, p, {"code", "name", "class", "balance_side", "excluded", "refund_flags"}) ||
        !r.Text(o, "code", p, true, true, &a.code) || !r.Text(o, "name", p, true, true, &a.name) ||
        !r.Text(o, "balance_side", p, false, false, &side) ||
        !r.Bool(o, "excluded", p, &a.excluded)) {
      return false;
    }
    if (!o.contains("class")) return r.Fail(JsonReader::Join(p, "class"), "missing");
    if (!r.ClassCode(o["class"], JsonReader::Join(p, "class"), &a.classCode)) return false;
    if (side != "debit" && side != "credit") {
      return r.Fail(JsonReader::Join(p, "balance_side"), "not \"debit\" or \"credit\": " + side);
    }
    a.balanceSide = side == "debit" ? 1 : 2;
    if (o.contains("refund_flags")) {
      const Json& flags = o["refund_flags"];
      std::string fp = JsonReader::Join(p, "refund_flags");
      if (!flags.is_array() || flags.size() != 2 || !flags[0].is_number_unsigned() ||
          !flags[1].is_number_unsigned() || flags[0].get<uint64_t>() > 255 ||
          flags[1].get<uint64_t>() > 255) {
        return r.Fail(fp, "not a pair of small integers");
      }
      a.refundFlag1 = flags[0].get<int32_t>();
      a.refundFlag2 = flags[1].get<int32_t>();
    }
    m->accounts.push_back(a);
  }
  return true;
}

bool ReadDepartments(JsonReader& r, const Json& top, DataSetModel* m) {
  bool present = false;
  if (!r.Array(top, "departments", "", false, &present) || !present) return r.error().empty();
  const Json& list = top["departments"];
  for (size_t i = 0; i < list.size(); ++i) {
    std::string p = JsonReader::Index("departments", i);
    const Json& o = list[i];
    Department d;
    d.origin = r.fileName() + ": " + p;
    if (!r.Object(o, p, {"code", "name", "kind", "parent", "income_kind"}) ||
        !r.Int(o, "code", p, 1, kInt32Max, true, &d.code) ||
        !r.Text(o, "name", p, true, true, &d.name) ||
        !r.Int(o, "kind", p, 0, 255, false, &d.kind) ||
        !r.Int(o, "parent", p, 0, kInt32Max, false, &d.parentCode) ||
        !r.Int(o, "income_kind", p, 0, 255, false, &d.incomeKind)) {
      return false;
    }
    m->departments.push_back(d);
  }
  return true;
}

bool ReadSide(JsonReader& r, const Json& line, const char* key, const std::string& p,
              JournalSide* side) {
  auto it = line.find(key);
  if (it == line.end()) return true;
  std::string sp = JsonReader::Join(p, key);
  return r.Object(*it, sp, {"account", "dept", "amount", "tax", "tax_class"}) &&
         r.Text(*it, "account", sp, true, true, &side->account) &&
         r.Int(*it, "dept", sp, 0, kInt32Max, false, &side->dept) &&
         r.AmountField(*it, "amount", sp, true, &side->amount) &&
         r.AmountField(*it, "tax", sp, false, &side->tax) &&
         r.Int(*it, "tax_class", sp, 0, 255, true, &side->taxClass);
}

bool ReadJournals(JsonReader& r, const Json& top, const std::string& baseDir, DataSetModel* m) {
  bool present = false;
  if (!r.Array(top, "journals", "", false, &present)) return false;
  if (present) {
    const Json& list = top["journals"];
    for (size_t i = 0; i < list.size(); ++i) {
      std::string p = JsonReader::Index("journals", i);
      const Json& o = list[i];
      JournalLine l;
      l.origin = r.fileName() + ": " + p;
      if (!r.Object(o, p,
                    {"journal", "date", "month", "debit", "credit", "rate", "business_type",
                     "description"}) ||
          !r.Int(o, "journal", p, 1, kInt32Max, true, &l.journalNo) ||
          !r.Date(o, "date", p, true, &l.date) ||
          !r.Int(o, "month", p, 1, 18, true, &l.monthKind) ||
          !ReadSide(r, o, "debit", p, &l.debit) || !ReadSide(r, o, "credit", p, &l.credit) ||
          !r.Int(o, "rate", p, 0, 100, false, &l.rate) ||
          !r.Int(o, "business_type", p, 0, 6, false, &l.businessType) ||
          !r.Text(o, "description", p, false, false, &l.description)) {
        return false;
      }
      m->journals.push_back(l);
    }
  }
  std::string csv;
  if (!r.Text(top, "journals_csv", "", false, true, &csv)) return false;
  if (csv.empty()) return true;
  m->journalsCsv = csv[0] == '/' ? csv : baseDir + "/" + csv;
  return true;
}

bool ReadAssets(JsonReader& r, const Json& top, DataSetModel* m) {
  bool present = false;
  if (!r.Array(top, "fixed_assets", "", false, &present) || !present) return r.error().empty();
  const Json& list = top["fixed_assets"];
  for (size_t i = 0; i < list.size(); ++i) {
    std::string p = JsonReader::Index("fixed_assets", i);
    const Json& o = list[i];
    FixedAsset a;
    a.origin = r.fileName() + ": " + p;
    if (!r.Object(o, p, {"code", "name", "kind", "acquired", "amount", "income_kind"}) ||
        !r.Text(o, "code", p, true, true, &a.code) || !r.Text(o, "name", p, true, true, &a.name) ||
        !r.Int(o, "kind", p, 0, kInt32Max, false, &a.kind) ||
        !r.Date(o, "acquired", p, true, &a.acquisitionDate) ||
        !r.AmountField(o, "amount", p, true, &a.acquisitionAmount) ||
        !r.Int(o, "income_kind", p, 0, 255, false, &a.incomeKind)) {
      return false;
    }
    m->fixedAssets.push_back(a);
  }
  return true;
}

bool ReadOffsetKey(JsonReader& r, const std::string& key, const std::string& p, int32_t* offset) {
  int64_t value = 0;
  if (!ParseIntText(key, &value) || value < 0 || value > kInt32Max) {
    return r.Fail(p, "not a byte offset");
  }
  *offset = static_cast<int32_t>(value);
  return true;
}

bool ReadSaved(JsonReader& r, const Json& top, DataSetModel* m) {
  auto it = top.find("saved_return");
  if (it == top.end() || it->is_null()) return true;
  const Json& o = *it;
  const std::string p = "saved_return";
  SavedReturn s;
  if (!r.Object(
          o, p,
          {"taxation_method", "credit_method_code", "sales_tax_method", "purchase_tax_method",
           "transitional", "period_start", "period_end", "return_period_start", "return_period_end",
           "month_range_first", "month_range_last", "data_code", "kanpuk_code", "kanpuh_code",
           "assets_code", "refund_amounts", "amounts", "bytes"}) ||
      !r.Int(o, "taxation_method", p, 0, 255, false, &s.taxationMethod) ||
      !r.Int(o, "credit_method_code", p, 0, 255, false, &s.creditMethodCode) ||
      !r.Int(o, "sales_tax_method", p, 0, 255, false, &s.salesTaxMethod) ||
      !r.Int(o, "purchase_tax_method", p, 0, 255, false, &s.purchaseTaxMethod) ||
      !r.Int(o, "transitional", p, 0, 255, false, &s.transitional) ||
      !r.DateOrNull(o, "period_start", p, &s.periodStart) ||
      !r.DateOrNull(o, "period_end", p, &s.periodEnd) ||
      !r.DateOrNull(o, "return_period_start", p, &s.returnPeriodStart) ||
      !r.DateOrNull(o, "return_period_end", p, &s.returnPeriodEnd) ||
      !r.DateOrNull(o, "month_range_first", p, &s.monthRangeFirst) ||
      !r.DateOrNull(o, "month_range_last", p, &s.monthRangeLast) ||
      !r.Int(o, "data_code", p, 0, 255, false, &s.dataCode) ||
      !r.Int(o, "kanpuk_code", p, 0, 255, false, &s.kanpukCode) ||
      !r.Int(o, "kanpuh_code", p, 0, 255, false, &s.kanpuhCode) ||
      !r.Int(o, "assets_code", p, 0, 255, false, &s.assetsCode)) {
    return false;
  }
  if (o.contains("refund_amounts")) {
    const Json& list = o["refund_amounts"];
    std::string lp = JsonReader::Join(p, "refund_amounts");
    if (!list.is_array() || list.size() > s.refundAmounts.size()) {
      return r.Fail(lp, "not an array of at most 16 amounts");
    }
    for (size_t i = 0; i < list.size(); ++i) {
      if (!r.Amount(list[i], JsonReader::Index(lp, i), &s.refundAmounts[i])) return false;
    }
  }
  if (o.contains("amounts")) {
    const Json& amounts = o["amounts"];
    std::string ap = JsonReader::Join(p, "amounts");
    if (!amounts.is_object()) return r.Fail(ap, "not an object");
    for (auto a = amounts.begin(); a != amounts.end(); ++a) {
      std::string kp = JsonReader::Join(ap, a.key());
      int32_t offset = 0;
      std::string message;
      if (!ReadOffsetKey(r, a.key(), kp, &offset)) return false;
      if (!CheckSavedAmountOffset(offset, &message)) return r.Fail(kp, message);
      if (!r.Amount(a.value(), kp, &s.amounts[offset])) return false;
    }
  }
  if (o.contains("bytes")) {
    const Json& bytes = o["bytes"];
    std::string bp = JsonReader::Join(p, "bytes");
    if (!bytes.is_object()) return r.Fail(bp, "not an object");
    for (auto b = bytes.begin(); b != bytes.end(); ++b) {
      std::string kp = JsonReader::Join(bp, b.key());
      int32_t offset = 0;
      if (!ReadOffsetKey(r, b.key(), kp, &offset)) return false;
      std::string hex = b.value().is_string() ? b.value().get<std::string>() : std::string("?");
      std::vector<uint8_t> data;
      for (size_t i = 0; i < hex.size(); i += 2) {
        uint32_t code = 0;
        std::string pair = hex.substr(i, 2);
        if (pair.size() != 2 || !ParseClassCodeText("0x" + pair, &code)) {
          return r.Fail(kp, "not hexadecimal bytes");
        }
        data.push_back(static_cast<uint8_t>(code));
      }
      std::string message;
      if (!CheckSavedBytesRange(offset, data.size(), &message)) return r.Fail(kp, message);
      s.bytes[offset] = data;
    }
  }
  std::string field;
  std::string message;
  if (!CheckSavedLayout(s, &field, &message)) return r.Fail(JsonReader::Join(p, field), message);
  m->savedReturn = s;
  return true;
}

bool ReadUsers(JsonReader& r, const Json& top, DataSetModel* m) {
  bool present = false;
  if (!r.Array(top, "users", "", false, &present) || !present) return r.error().empty();
  const Json& list = top["users"];
  for (size_t i = 0; i < list.size(); ++i) {
    std::string p = JsonReader::Index("users", i);
    User u;
    u.origin = r.fileName() + ": " + p;
    if (!r.Object(list[i], p, {"id", "name", "selected_no1"}) ||
        !r.Text(list[i], "id", p, true, true, &u.id) ||
        !r.Text(list[i], "name", p, false, false, &u.name) ||
        !r.Int(list[i], "selected_no1", p, 0, kInt32Max, false, &u.selectedNo1)) {
      return false;
    }
    m->users.push_back(u);
  }
  return true;
}

}  // namespace

bool ModelFromJson(const std::string& text, const std::string& fileName, const std::string& baseDir,
                   DataSetModel* model, std::string* error) {
  Json top;
  if (!ParseJsonDocument(text, fileName, &top, error)) return false;
  JsonReader r(fileName);
  DataSetModel m;
  m.source = fileName;
  std::string format;
  bool ok = r.Object(top, "",
                     {"format", "data_set", "tax_settings", "tax_rates", "account_classes",
                      "accounts", "departments", "journals", "journals_csv", "fixed_assets",
                      "saved_return", "users"}) &&
            r.Text(top, "format", "", true, true, &format) &&
            (format == kDataFormatTag ||
             r.Fail("format", "not \"" + std::string(kDataFormatTag) + "\": " + format)) &&
            ReadDataSet(r, top, &m) && ReadSettings(r, top, &m) && ReadRates(r, top, &m) &&
            ReadClasses(r, top, &m) && ReadAccounts(r, top, &m) && ReadDepartments(r, top, &m) &&
            ReadJournals(r, top, baseDir, &m) && ReadAssets(r, top, &m) && ReadSaved(r, top, &m) &&
            ReadUsers(r, top, &m);
  if (!ok) {
    *error = r.error();
    return false;
  }
  *model = std::move(m);
  return true;
}

}  // namespace mvhost
