#include "mvhost/lib/DataCsv.h"

#include <fstream>
#include <map>

#include "mvhost/lib/DataValues.h"

namespace mvhost {

namespace {

const char* const kColumns[] = {
    "journal",        "date",          "month",          "debit_account",   "debit_dept",
    "debit_amount",   "debit_tax",     "debit_tax_class", "credit_account", "credit_dept",
    "credit_amount",  "credit_tax",    "credit_tax_class", "rate",          "business_type",
    "description"};

class CsvLine {
 public:
  CsvLine(std::string where, const std::map<std::string, size_t>& columns,
          const std::vector<std::string>& fields)
      : where_(std::move(where)), columns_(columns), fields_(fields) {}

  const std::string& error() const { return error_; }

  std::string Cell(const char* column) const {
    auto it = columns_.find(column);
    return it == columns_.end() || it->second >= fields_.size() ? std::string()
                                                                 : fields_[it->second];
  }

  bool Fail(const char* column, const std::string& message) {
    error_ = where_ + ": " + column + ": " + message;
    return false;
  }

  // An integer in [min, max]; an empty cell is `fallback` unless required.
  bool Int(const char* column, int64_t min, int64_t max, bool required, int32_t fallback,
           int32_t* out) {
    std::string text = Cell(column);
    if (text.empty()) {
      if (required) return Fail(column, "missing");
      *out = fallback;
      return true;
    }
    int64_t value = 0;
    if (!ParseIntText(text, &value)) return Fail(column, "not an integer: " + text);
    if (value < min || value > max) {
      return Fail(column, "out of range " + std::to_string(min) + ".." + std::to_string(max) +
                              ": " + text);
    }
    *out = static_cast<int32_t>(value);
    return true;
  }

  bool Amount(const char* column, int64_t* out) {
    std::string text = Cell(column);
    if (text.empty()) {
      *out = 0;
      return true;
    }
    if (!ParseAmountText(text, out)) {
      return Fail(column, "amount not an integer or a decimal with up to 4 fraction digits: " + text);
    }
    return true;
  }

  bool Side(const char* prefix, JournalSide* side) {
    std::string p(prefix);
    side->account = Cell((p + "_account").c_str());
    return Int((p + "_dept").c_str(), 0, 2147483647, false, 0, &side->dept) &&
           Amount((p + "_amount").c_str(), &side->amount) &&
           Amount((p + "_tax").c_str(), &side->tax) &&
           Int((p + "_tax_class").c_str(), 0, 255, false, 0, &side->taxClass);
  }

 private:
  std::string where_;
  const std::map<std::string, size_t>& columns_;
  const std::vector<std::string>& fields_;
  std::string error_;
};

}  // namespace

bool SplitCsvRecord(const std::string& record, std::vector<std::string>* fields) {
  fields->clear();
  std::string field;
  size_t i = 0;
  while (true) {
    field.clear();
    if (i < record.size() && record[i] == '"') {
      ++i;
      while (true) {
        if (i >= record.size()) return false;  // no closing quote
        if (record[i] == '"') {
          if (i + 1 < record.size() && record[i + 1] == '"') {
            field.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field.push_back(record[i++]);
      }
      if (i < record.size() && record[i] != ',') return false;  // text after the quote
    } else {
      while (i < record.size() && record[i] != ',') {
        if (record[i] == '"') return false;
        field.push_back(record[i++]);
      }
    }
    fields->push_back(field);
    if (i >= record.size()) return true;
    ++i;  // the comma
  }
}

bool ReadJournalCsv(const std::string& path, std::vector<JournalLine>* lines, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot open the journal CSV file";
    return false;
  }
  std::vector<JournalLine> read;
  std::map<std::string, size_t> columns;
  std::vector<std::string> fields;
  std::string record;
  int lineNo = 0;
  while (std::getline(in, record)) {
    ++lineNo;
    if (!record.empty() && record.back() == '\r') record.pop_back();
    if (lineNo == 1 && record.compare(0, 3, "\xEF\xBB\xBF") == 0) record.erase(0, 3);
    std::string where = path + ":" + std::to_string(lineNo);
    if (!SplitCsvRecord(record, &fields)) {
      *error = where + ": broken quoting";
      return false;
    }
    if (lineNo == 1) {
      for (size_t i = 0; i < fields.size(); ++i) {
        bool known = false;
        for (const char* c : kColumns) known = known || fields[i] == c;
        if (!known) {
          *error = where + ": " + fields[i] + ": unknown column";
          return false;
        }
        if (!columns.emplace(fields[i], i).second) {
          *error = where + ": " + fields[i] + ": column named twice";
          return false;
        }
      }
      for (const char* required : {"journal", "date", "month"}) {
        if (columns.count(required) == 0) {
          *error = where + ": " + required + ": missing column";
          return false;
        }
      }
      continue;
    }
    if (record.empty()) continue;
    if (fields.size() > columns.size()) {
      *error = where + ": more fields than columns";
      return false;
    }
    JournalLine line;
    line.origin = where;
    line.fromCsv = true;
    CsvLine csv(where, columns, fields);
    std::string date = csv.Cell("date");
    bool ok = csv.Int("journal", 1, 2147483647, true, 0, &line.journalNo) &&
              (ParseDateText(date, &line.date) ||
               csv.Fail("date", "not a date (YYYY-MM-DD): " + date)) &&
              csv.Int("month", 1, 18, true, 0, &line.monthKind) && csv.Side("debit", &line.debit) &&
              csv.Side("credit", &line.credit) && csv.Int("rate", 0, 100, false, 0, &line.rate) &&
              csv.Int("business_type", 0, 6, false, 0, &line.businessType);
    if (!ok) {
      *error = csv.error();
      return false;
    }
    line.description = csv.Cell("description");
    read.push_back(std::move(line));
  }
  if (lineNo == 0) {
    *error = path + ":1: the header line is missing";
    return false;
  }
  lines->insert(lines->end(), read.begin(), read.end());
  return true;
}

}  // namespace mvhost
