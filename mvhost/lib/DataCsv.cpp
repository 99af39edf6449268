#include "mvhost/lib/DataCsv.h"

#include "mvhost/lib/DataValues.h"
#include "mvhost/lib/ImportText.h"

namespace mvhost {

namespace {

enum Column {
  kJournal,
  kDate,
  kMonth,
  kDebitAccount,
  kDebitDept,
  kDebitAmount,
  kDebitTax,
  kDebitTaxClass,
  kCreditAccount,
  kCreditDept,
  kCreditAmount,
  kCreditTax,
  kCreditTaxClass,
  kRate,
  kBusinessType,
  kDescription,
};

const char* const kColumnNames[JournalCsvReader::kColumnCount] = {
    "journal",          "date",         "month",         "debit_account",
    "debit_dept",       "debit_amount", "debit_tax",     "debit_tax_class",
    "credit_account",   "credit_dept",  "credit_amount", "credit_tax",
    "credit_tax_class", "rate",         "business_type", "description"};

const std::string kEmpty;

}  // namespace

bool SplitCsvRecord(const std::string& record, std::vector<std::string>* fields) {
  // The strings of earlier records are reused, so that splitting a file
  // allocates only for fields longer than any before them.
  size_t count = 0;
  size_t i = 0;
  while (true) {
    if (count == fields->size()) fields->emplace_back();
    std::string& field = (*fields)[count++];
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
      size_t end = record.find_first_of(",\"", i);
      if (end == std::string::npos) end = record.size();
      if (end < record.size() && record[end] == '"') return false;
      field.assign(record, i, end - i);
      i = end;
    }
    if (i >= record.size()) {
      fields->resize(count);
      return true;
    }
    ++i;  // the comma
  }
}

bool JournalCsvReader::Fail(const std::string& message, std::string* error) const {
  *error = path_ + ":" + std::to_string(lineNo_) + ": " + message;
  return false;
}

bool JournalCsvReader::ReadRecord(std::string* error) {
  if (!std::getline(in_, raw_)) return false;
  ++lineNo_;
  bytesRead_ += raw_.size() + 1;
  if (!raw_.empty() && raw_.back() == '\r') raw_.pop_back();
  const size_t skipped = lineNo_ == 1 && bom_ ? 3 : 0;
  if (skipped != 0) raw_.erase(0, skipped);
  size_t offset = 0;
  if (!DecodeText(raw_, encoding_, &record_, &offset)) {
    const size_t column = (offset == std::string::npos ? raw_.size() : offset) + skipped + 1;
    *error = path_ + ":" + std::to_string(lineNo_) + ":" + std::to_string(column) + ": " +
             DecodeProblem(encoding_, "--csv-encoding");
    return false;
  }
  return true;
}

bool JournalCsvReader::RefuseUtf8Text(std::string* error) {
  std::string line;
  int lineNo = 0;
  int runLine = 0;
  size_t runOffset = 0;
  std::string run;
  while (std::getline(in_, line)) {
    ++lineNo;
    // A byte that UTF-8 lacks: Shift_JIS, as the file is to be read.
    if (FindInvalidUtf8(line) != std::string::npos) {
      runLine = 0;
      break;
    }
    size_t length = 0;
    if (runLine == 0 && FindUtf8Run(line, &runOffset, &length)) {
      runLine = lineNo;
      run = line.substr(runOffset, length);
    }
  }
  in_.clear();
  in_.seekg(0);
  if (runLine == 0) return true;
  *error = path_ + ":" + std::to_string(runLine) + ":" + std::to_string(runOffset + 1) + ": " +
           AmbiguityProblem(run, "--csv-encoding");
  return false;
}

bool JournalCsvReader::Open(const std::string& path, FileEncoding encoding, std::string* error) {
  path_ = path;
  encoding_ = encoding.encoding;
  in_.open(path, std::ios::binary | std::ios::ate);
  if (!in_) {
    *error = path + ": cannot open the journal CSV file";
    return false;
  }
  fileSize_ = static_cast<uint64_t>(in_.tellg());
  in_.seekg(0);
  char start[3] = {};
  in_.read(start, sizeof start);
  bom_ = StartsWithUtf8Bom(std::string_view(start, static_cast<size_t>(in_.gcount())));
  in_.clear();
  in_.seekg(0);
  if (bom_) encoding_ = TextEncoding::kUtf8;
  if (encoding_ == TextEncoding::kCp932 && !encoding.given && !RefuseUtf8Text(error)) return false;
  if (!ReadRecord(error)) {
    if (error->empty()) *error = path + ":1: the header line is missing";
    return false;
  }
  if (!SplitCsvRecord(record_, &fields_)) return Fail("broken quoting", error);
  fieldOf_.fill(-1);
  for (size_t i = 0; i < fields_.size(); ++i) {
    int column = -1;
    for (int c = 0; c < kColumnCount; ++c) {
      if (fields_[i] == kColumnNames[c]) column = c;
    }
    if (column < 0) return Fail(fields_[i] + ": unknown column", error);
    if (fieldOf_[column] >= 0) return Fail(fields_[i] + ": column named twice", error);
    fieldOf_[column] = static_cast<int>(i);
  }
  for (int required : {kJournal, kDate, kMonth}) {
    if (fieldOf_[required] < 0) {
      return Fail(std::string(kColumnNames[required]) + ": missing column", error);
    }
  }
  headerFields_ = fields_.size();
  return true;
}

const std::string& JournalCsvReader::Cell(int column) const {
  int field = fieldOf_[column];
  return field < 0 ? kEmpty : fields_[static_cast<size_t>(field)];
}

// An integer in [min, max]; an empty cell is `fallback` unless required.
bool JournalCsvReader::Int(int column, int64_t min, int64_t max, bool required, int32_t fallback,
                           int32_t* out, std::string* error) const {
  const std::string& text = Cell(column);
  const std::string name = kColumnNames[column];
  if (text.empty()) {
    if (required) return Fail(name + ": missing", error);
    *out = fallback;
    return true;
  }
  int64_t value = 0;
  if (!ParseIntText(text, &value)) return Fail(name + ": not an integer: " + text, error);
  if (value < min || value > max) {
    return Fail(
        name + ": out of range " + std::to_string(min) + ".." + std::to_string(max) + ": " + text,
        error);
  }
  *out = static_cast<int32_t>(value);
  return true;
}

bool JournalCsvReader::Amount(int column, int64_t* out, std::string* error) const {
  const std::string& text = Cell(column);
  if (text.empty()) {
    *out = 0;
    return true;
  }
  AmountTextProblem problem = AmountTextProblem::kNone;
  if (!ParseAmountText(text, out, &problem)) {
    const char* reason = problem == AmountTextProblem::kTooLarge ? "amount too large"
                         : problem == AmountTextProblem::kTooSmall
                             ? "amount too small"
                             : "amount not an integer or a decimal with up to "
                               "4 fraction digits";
    return Fail(std::string(kColumnNames[column]) + ": " + reason + ": " + text, error);
  }
  return true;
}

// The five columns of a side start at its account column.
bool JournalCsvReader::Side(int first, JournalSide* side, std::string* error) const {
  side->account = Cell(first);
  return Int(first + 1, 0, 2147483647, false, 0, &side->dept, error) &&
         Amount(first + 2, &side->amount, error) && Amount(first + 3, &side->tax, error) &&
         Int(first + 4, 0, 255, false, 0, &side->taxClass, error);
}

bool JournalCsvReader::Next(JournalLine* line, std::string* error) {
  error->clear();
  do {
    if (!ReadRecord(error)) return false;
  } while (record_.empty());
  if (!SplitCsvRecord(record_, &fields_)) return Fail("broken quoting", error);
  if (fields_.size() > headerFields_) return Fail("more fields than columns", error);
  if (fields_.size() < headerFields_) {
    // Missing cells would silently become 0: name what is missing.
    std::string missing;
    for (size_t field = fields_.size(); field < headerFields_; ++field) {
      for (int c = 0; c < kColumnCount; ++c) {
        if (fieldOf_[c] == static_cast<int>(field)) {
          missing += (missing.empty() ? "" : ", ") + std::string(kColumnNames[c]);
        }
      }
    }
    return Fail(std::to_string(fields_.size()) + " fields for " + std::to_string(headerFields_) +
                    " columns: missing " + missing,
                error);
  }
  line->origin.assign(path_).append(":").append(std::to_string(lineNo_));
  line->fromCsv = true;
  const std::string& date = Cell(kDate);
  if (!Int(kJournal, 1, 2147483647, true, 0, &line->journalNo, error)) return false;
  if (!ParseDateText(date, &line->date)) {
    return Fail("date: not a date (YYYY-MM-DD): " + date, error);
  }
  if (!Int(kMonth, 1, 18, true, 0, &line->monthKind, error) ||
      !Side(kDebitAccount, &line->debit, error) || !Side(kCreditAccount, &line->credit, error) ||
      !Int(kRate, 0, 100, false, 0, &line->rate, error) ||
      !Int(kBusinessType, 0, 6, false, 0, &line->businessType, error)) {
    return false;
  }
  line->description = Cell(kDescription);
  return true;
}

void JournalCsvWriter::Header() {
  for (int c = 0; c < JournalCsvReader::kColumnCount; ++c) {
    out_ << (c == 0 ? "" : ",") << kColumnNames[c];
  }
  out_ << "\n";
}

bool JournalCsvWriter::Field(const std::string& text, const JournalLine& line, const char* column,
                             std::string* error) {
  if (text.find_first_of("\r\n") != std::string::npos ||
      FindInvalidUtf8(text) != std::string::npos) {
    *error = "journal " + std::to_string(line.journalNo) + " of " + FormatDateText(line.date) +
             ": the " + column + " cannot be written to a CSV file (" +
             (FindInvalidUtf8(text) != std::string::npos ? "not UTF-8 text" : "a line break") +
             "); export the lines inline";
    return false;
  }
  row_ += ',';
  if (text.find_first_of(",\"") == std::string::npos) {
    row_ += text;
    return true;
  }
  row_ += '"';
  for (char c : text) row_ += c == '"' ? std::string("\"\"") : std::string(1, c);
  row_ += '"';
  return true;
}

bool JournalCsvWriter::Row(const JournalLine& line, std::string* error) {
  row_ = std::to_string(line.journalNo) + "," + FormatDateText(line.date) + "," +
         std::to_string(line.monthKind);
  for (const JournalSide* side : {&line.debit, &line.credit}) {
    if (side->account.empty()) {
      row_ += ",,,,,";
      continue;
    }
    if (!Field(side->account, line, "account", error)) return false;
    row_ += "," + std::to_string(side->dept) + "," + FormatAmountText(side->amount) + "," +
            FormatAmountText(side->tax) + "," + std::to_string(side->taxClass);
  }
  row_ += "," + std::to_string(line.rate) + "," + std::to_string(line.businessType);
  if (!Field(line.description, line, "description", error)) return false;
  row_ += '\n';
  out_ << row_;
  return true;
}

}  // namespace mvhost
