#include "mvhost/lib/DataValidate.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mvhost/lib/DataValues.h"
#include "platform/text/Encoding.h"

namespace mvhost {

namespace {

// The host's record widths (bytes of Shift_JIS text, terminator included).
constexpr size_t kDataIdWidth = 16;
constexpr size_t kCompanyNameWidth = 260;
constexpr size_t kAccountCodeWidth = 16;
constexpr size_t kAccountNameWidth = 64;
constexpr size_t kDepartmentNameWidth = 59;
constexpr size_t kAssetCodeWidth = 16;
constexpr size_t kAssetNameWidth = 28;
constexpr size_t kUserIdWidth = 65;

// "U+00A5" for the code point of one UTF-8 character.
std::string CodePointText(const std::string& character) {
  const unsigned char lead = static_cast<unsigned char>(character[0]);
  uint32_t value = character.size() == 1 ? lead : lead & (0xFF >> (character.size() + 1));
  for (size_t i = 1; i < character.size(); ++i) {
    value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
  }
  char text[16];
  std::snprintf(text, sizeof(text), "U+%04X", static_cast<unsigned>(value));
  return text;
}

// The first character of a text that Shift_JIS holds but gives back as
// another ("¥" comes back as "＼"), with what comes back; false when the
// whole text comes back unchanged. The text converts to Shift_JIS.
bool FirstChangedCharacter(const std::string& utf8, const std::string& cp932,
                           std::string* character, std::string* back) {
  std::string again;
  if (platform::TryCp932ToUtf8(cp932, &again) && again == utf8) return false;
  for (size_t at = 0; at < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[at]);
    size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::string one = utf8.substr(at, length);
    std::string converted;
    std::string returned;
    if (!platform::TryUtf8ToCp932(one, &converted) ||
        !platform::TryCp932ToUtf8(converted, &returned) || returned != one) {
      *character = one;
      *back = returned;
      return true;
    }
    at += length;
  }
  *character = utf8;  // not met: the text as a whole changes
  *back = again;
  return true;
}

// "U+000A" for a control character.
std::string ControlCharacterText(unsigned char c) {
  char shown[16];
  std::snprintf(shown, sizeof(shown), "U+%04X", static_cast<unsigned>(c));
  return shown;
}

// Why a text cannot reach the program and the report unchanged through
// Shift_JIS (empty when it can; cp932 then holds it converted). A control
// character (U+0000..U+001F, U+007F) is refused too: the report's XML may
// not hold most of them, and a line break would end a record's line.
std::string ShiftJisProblem(const std::string& text, std::string* cp932) {
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u == 0) return "text holds a NUL character";
    if (u < 0x20 || u == 0x7F) return "text holds the control character " + ControlCharacterText(u);
  }
  if (!platform::TryUtf8ToCp932(text, cp932)) return "text cannot be written in Shift_JIS: " + text;
  std::string character, back;
  if (FirstChangedCharacter(text, *cp932, &character, &back)) {
    return "\"" + character + "\" (" + CodePointText(character) +
           ") comes back from Shift_JIS as \"" + back + "\": " + text;
  }
  return std::string();
}

class Checker {
 public:
  explicit Checker(std::string* error) : error_(error) {}

  bool Fail(const std::string& origin, const std::string& field, const std::string& message) {
    *error_ = origin + "." + field + ": " + message;
    return false;
  }

  bool FailLine(const JournalLine& line, const std::string& field, const std::string& message) {
    if (!line.fromCsv) return Fail(line.origin, field, message);
    std::string column = field;
    for (char& c : column) c = c == '.' ? '_' : c;
    *error_ = line.origin + ": " + column + ": " + message;
    return false;
  }

  // Text that the host hands out in a fixed-width Shift_JIS field.
  bool Fits(const std::string& origin, const std::string& field, const std::string& text,
            size_t width) {
    std::string cp932;
    std::string problem = ShiftJisProblem(text, &cp932);
    if (!problem.empty()) return Fail(origin, field, problem);
    if (width != 0 && cp932.size() >= width) {
      return Fail(origin, field,
                  "text longer than " + std::to_string(width - 1) + " Shift_JIS bytes: " + text);
    }
    return true;
  }

  // The same for a journal line's text, named as the line was read.
  bool FitsLine(const JournalLine& line, const std::string& field, const std::string& text) {
    std::string cp932;
    std::string problem = ShiftJisProblem(text, &cp932);
    return problem.empty() || FailLine(line, field, problem);
  }

  // A user id, by the rules of UserIdProblem.
  bool IsUsableUserId(const std::string& origin, const std::string& field, const std::string& id) {
    std::string problem = UserIdProblem(id);
    return problem.empty() || Fail(origin, field, problem);
  }

 private:
  std::string* error_;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The chain of parents from start back to start ("A -> B -> A"), or empty
// when start is on no cycle.
template <class Code>
std::vector<Code> CycleFrom(Code start, const std::map<Code, Code>& parents) {
  std::vector<Code> chain{start};
  std::set<Code> seen{start};
  for (auto it = parents.find(start); it != parents.end(); it = parents.find(it->second)) {
    chain.push_back(it->second);
    if (it->second == start) return chain;
    if (!seen.insert(it->second).second) break;  // a cycle that start leads into
  }
  return {};
}

// The first day on which a rate was in force.
int32_t RateStart(int32_t rate) {
  switch (rate) {
    case 3:
      return 19890401;
    case 5:
      return 19970401;
    case 8:
      return 20140401;
    case 10:
      return 20191001;
    default:
      return 0;
  }
}

// The standard rate (percent) on a date, as the host applies it to a line
// without a rate of its own.
int32_t ImpliedRate(int32_t date) {
  if (date < RateStart(5)) return 3;
  if (date < RateStart(8)) return 5;
  if (date < RateStart(10)) return 8;
  return 10;
}

std::string RateList(const std::vector<int32_t>& rates) {
  std::string text;
  for (int32_t rate : rates) text += (text.empty() ? "" : ", ") + std::to_string(rate);
  return text.empty() ? "none" : text;
}

bool CheckSide(Checker& c, const JournalLine& line, const char* name, const JournalSide& side,
               const std::set<std::string>& accounts, const std::set<int32_t>& departments) {
  std::string n(name);
  if (side.account.empty()) {
    if (side.amount != 0 || side.tax != 0 || side.taxClass != 0 || side.dept != 0) {
      return c.FailLine(line, n + ".account", "missing for a side with an amount");
    }
    return true;
  }
  if (accounts.count(side.account) == 0) {
    return c.FailLine(line, n + ".account", "unknown account " + Quoted(side.account));
  }
  if (side.dept != 0 && departments.count(side.dept) == 0) {
    return c.FailLine(line, n + ".dept", "unknown department " + std::to_string(side.dept));
  }
  if (!IsKnownTaxClass(side.taxClass)) {
    return c.FailLine(line, n + ".tax_class",
                      "unknown tax class " + std::to_string(side.taxClass) +
                          " (known: 0-11, 21-27, 30-38, 40-46)");
  }
  return true;
}

bool CheckJournal(Checker& c, const DataSetModel& m, const JournalLine& line,
                  const std::set<std::string>& accounts, const std::set<int32_t>& departments) {
  const DataSetInfo& d = m.info;
  if (line.date < d.periodStart || line.date > d.periodEnd) {
    return c.FailLine(line, "date",
                      "date " + FormatDateText(line.date) + " is outside the period " +
                          FormatDateText(d.periodStart) + ".." + FormatDateText(d.periodEnd));
  }
  int32_t month = AccountingMonthOf(d.periodStart, d.periodEnd, line.date);
  std::string kind = std::to_string(line.monthKind);
  if (line.monthKind >= 1 && line.monthKind <= 12) {
    if (line.monthKind != month) {
      return c.FailLine(line, "month",
                        "month " + kind + " does not match the date " + FormatDateText(line.date) +
                            " (accounting month " + std::to_string(month) + ")");
    }
  } else if (line.monthKind == 15) {
    if (!d.interimClosing) {
      return c.FailLine(line, "month",
                        "month 15 (interim closing) in a data set without an interim closing");
    }
    int32_t day = MonthKindEnd(d.periodStart, d.periodEnd, 6);
    if (line.date != day) {
      return c.FailLine(line, "month",
                        "month 15 (interim closing) needs the last day of "
                        "accounting month 6 (" +
                            FormatDateText(day) + "), not " + FormatDateText(line.date));
    }
  } else if (line.monthKind == 18) {
    if (line.date != d.periodEnd) {
      return c.FailLine(line, "month",
                        "month 18 (year-end closing) needs the period's last day (" +
                            FormatDateText(d.periodEnd) + "), not " + FormatDateText(line.date));
    }
  } else {
    return c.FailLine(line, "month", "unknown month kind " + kind + " (1-12, 15, 18)");
  }
  if (line.debit.account.empty() && line.credit.account.empty()) {
    return c.FailLine(line, "debit", "neither a debit nor a credit side");
  }
  if (!CheckSide(c, line, "debit", line.debit, accounts, departments) ||
      !CheckSide(c, line, "credit", line.credit, accounts, departments)) {
    return false;
  }
  // The rate a line is summed at, given or implied by its date, must be one
  // the data set lists.
  const int32_t rate = line.rate != 0 ? line.rate : ImpliedRate(line.date);
  if (std::find(m.taxRates.begin(), m.taxRates.end(), rate) == m.taxRates.end()) {
    std::string what = line.rate != 0 ? "rate " + std::to_string(rate)
                                      : "the date " + FormatDateText(line.date) + " implies rate " +
                                            std::to_string(rate) + ", which";
    return c.FailLine(
        line, "rate",
        what + " is not one of the data set's tax_rates (" + RateList(m.taxRates) + ")");
  }
  if (line.rate != 0 && line.date < RateStart(line.rate)) {
    return c.FailLine(
        line, "rate",
        "rate " + std::to_string(line.rate) + " % did not apply on " + FormatDateText(line.date));
  }
  return true;
}

}  // namespace

std::string UserIdProblem(const std::string& id) {
  for (char ch : id) {
    const unsigned char u = static_cast<unsigned char>(ch);
    if (ch == '/' || ch == ':' || u < 0x20 || u == 0x7F) {
      const std::string shown =
          u < 0x20 || u == 0x7F ? ControlCharacterText(u) : "\"" + std::string(1, ch) + "\"";
      return "id holds " + shown + "; an id may hold no \"/\", \":\" or control character";
    }
  }
  std::string cp932;
  std::string problem = ShiftJisProblem(id, &cp932);
  if (!problem.empty()) return problem;
  if (cp932.size() >= kUserIdWidth) {
    return "text longer than " + std::to_string(kUserIdWidth - 1) + " Shift_JIS bytes: " + id;
  }
  return std::string();
}

bool ValidateModel(const DataSetModel& m, std::string* error) {
  Checker c(error);
  const DataSetInfo& d = m.info;
  const std::string dataOrigin = m.source + ": data_set";
  if (!c.Fits(dataOrigin, "data_id", d.dataId, kDataIdWidth) ||
      !c.Fits(dataOrigin, "company_name", d.companyName, kCompanyNameWidth)) {
    return false;
  }
  if (d.periodEnd < d.periodStart || d.periodEnd > MonthKindEnd(d.periodStart, d.periodEnd, 12)) {
    return c.Fail(dataOrigin, "period_end",
                  "the period " + FormatDateText(d.periodStart) + ".." +
                      FormatDateText(d.periodEnd) + " is not one to twelve months long");
  }
  std::set<int32_t> rates;
  for (size_t i = 0; i < m.taxRates.size(); ++i) {
    if (!rates.insert(m.taxRates[i]).second) {
      *error = m.source + ": tax_rates[" + std::to_string(i) + "]: duplicate tax rate " +
               std::to_string(m.taxRates[i]);
      return false;
    }
  }

  std::map<uint32_t, std::string> classes;
  for (const AccountClass& k : m.accountClasses) {
    if (!c.Fits(k.origin, "name", k.name, 0)) return false;
    auto [it, added] = classes.emplace(k.code, k.origin);
    if (!added) {
      return c.Fail(
          k.origin, "code",
          "duplicate account class " + FormatClassCodeText(k.code) + " (also " + it->second + ")");
    }
  }
  std::map<uint32_t, uint32_t> classParents;
  for (const AccountClass& k : m.accountClasses) {
    if (k.parent && classes.count(*k.parent) == 0) {
      return c.Fail(k.origin, "parent", "unknown account class " + FormatClassCodeText(*k.parent));
    }
    if (k.parent) classParents[k.code] = *k.parent;
  }
  // A class among its own ancestors would count every account of the cycle
  // in each of its totals.
  for (const AccountClass& k : m.accountClasses) {
    std::vector<uint32_t> cycle = CycleFrom(k.code, classParents);
    if (!cycle.empty()) {
      std::string path;
      for (uint32_t code : cycle) path += (path.empty() ? "" : " -> ") + FormatClassCodeText(code);
      return c.Fail(
          k.origin, "parent",
          "account class " + FormatClassCodeText(k.code) + " is its own ancestor (" + path + ")");
    }
  }

  std::map<std::string, std::string> accountOrigins;
  for (const Account& a : m.accounts) {
    auto [it, added] = accountOrigins.emplace(a.code, a.origin);
    if (!added) {
      return c.Fail(a.origin, "code",
                    "duplicate account code " + Quoted(a.code) + " (also " + it->second + ")");
    }
    if (!classes.empty() && classes.count(a.classCode) == 0) {
      return c.Fail(a.origin, "class", "unknown account class " + FormatClassCodeText(a.classCode));
    }
    if (!c.Fits(a.origin, "code", a.code, kAccountCodeWidth) ||
        !c.Fits(a.origin, "name", a.name, kAccountNameWidth)) {
      return false;
    }
  }

  std::map<int32_t, std::string> departmentOrigins;
  std::set<int32_t> departments;
  for (const Department& dep : m.departments) {
    auto [it, added] = departmentOrigins.emplace(dep.code, dep.origin);
    if (!added) {
      return c.Fail(
          dep.origin, "code",
          "duplicate department code " + std::to_string(dep.code) + " (also " + it->second + ")");
    }
    departments.insert(dep.code);
    if (!c.Fits(dep.origin, "name", dep.name, kDepartmentNameWidth)) return false;
  }
  std::map<int32_t, int32_t> departmentParents;
  for (const Department& dep : m.departments) {
    if (dep.parentCode != 0 && departments.count(dep.parentCode) == 0) {
      return c.Fail(dep.origin, "parent", "unknown department " + std::to_string(dep.parentCode));
    }
    if (dep.parentCode != 0) departmentParents[dep.code] = dep.parentCode;
  }
  for (const Department& dep : m.departments) {
    std::vector<int32_t> cycle = CycleFrom(dep.code, departmentParents);
    if (!cycle.empty()) {
      std::string path;
      for (int32_t code : cycle) path += (path.empty() ? "" : " -> ") + std::to_string(code);
      return c.Fail(
          dep.origin, "parent",
          "department " + std::to_string(dep.code) + " is its own ancestor (" + path + ")");
    }
  }

  const JournalLineChecker lines(m);
  for (const JournalLine& line : m.journals) {
    if (!lines.Check(line, error)) return false;
  }

  std::map<std::string, std::string> assetOrigins;
  for (const FixedAsset& a : m.fixedAssets) {
    auto [it, added] = assetOrigins.emplace(a.code, a.origin);
    if (!added) {
      return c.Fail(a.origin, "code",
                    "duplicate fixed asset code " + Quoted(a.code) + " (also " + it->second + ")");
    }
    if (!c.Fits(a.origin, "code", a.code, kAssetCodeWidth) ||
        !c.Fits(a.origin, "name", a.name, kAssetNameWidth)) {
      return false;
    }
  }

  std::map<std::string, std::string> userOrigins;
  for (const User& u : m.users) {
    auto [it, added] = userOrigins.emplace(u.id, u.origin);
    if (!added) {
      return c.Fail(u.origin, "id",
                    "duplicate user " + Quoted(u.id) + " (also " + it->second + ")");
    }
    if (!c.IsUsableUserId(u.origin, "id", u.id) || !c.Fits(u.origin, "name", u.name, 0)) {
      return false;
    }
  }
  return true;
}

JournalLineChecker::JournalLineChecker(const DataSetModel& model) : model_(model) {
  for (const Account& a : model.accounts) accounts_.insert(a.code);
  for (const Department& d : model.departments) departments_.insert(d.code);
}

bool JournalLineChecker::Check(const JournalLine& line, std::string* error) const {
  Checker c(error);
  if (!CheckJournal(c, model_, line, accounts_, departments_)) return false;
  return line.description.empty() || c.FitsLine(line, "description", line.description);
}

}  // namespace mvhost
