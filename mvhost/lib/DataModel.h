#ifndef TAXLINK_MVHOST_DATAMODEL_H_
#define TAXLINK_MVHOST_DATAMODEL_H_

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mvhost {

// One data set of the host store as it is imported and exported. Text is
// UTF-8, amounts are raw amounts (ten-thousandths of a yen), dates are
// yyyymmdd numbers. Every item keeps `origin`, the place it was read from
// ("journals[3]" or "journals.csv:12"), so that checks can name it.

struct DataSetInfo {
  int32_t dataNo = 0;
  std::string dataId;
  std::string companyName;
  int32_t periodStart = 0;
  int32_t periodEnd = 0;
  bool interimClosing = false;
  int32_t recordKind = 0;
  int32_t entityKind = 0;
  int32_t incomeKind = 0;
};

struct TaxSettings {
  int32_t filingClass = 2;
  int32_t roundingMode = 1;
  int32_t creditMethod = 0;
  int32_t mainBusinessType = 0;
  bool taxIncluded = false;
};

struct AccountClass {
  std::string origin;
  uint32_t code = 0;
  std::string name;
  std::optional<uint32_t> parent;
  bool total = false;
};

struct Account {
  std::string origin;
  std::string code;
  std::string name;
  uint32_t classCode = 0;
  bool excluded = false;
  int32_t balanceSide = 1;  // 1 debit, 2 credit
  int32_t refundFlag1 = 0;
  int32_t refundFlag2 = 0;
};

struct Department {
  std::string origin;
  int32_t code = 0;
  std::string name;
  int32_t kind = 1;
  int32_t parentCode = 0;
  int32_t incomeKind = 1;
};

// One side of a journal line; an empty account means the side is unused.
struct JournalSide {
  std::string account;
  int32_t dept = 0;
  int64_t amount = 0;
  int64_t tax = 0;
  int32_t taxClass = 0;
};

struct JournalLine {
  std::string origin;
  bool fromCsv = false;  // origin is "FILE:LINE" and fields are CSV columns
  int32_t journalNo = 0;
  int32_t date = 0;
  int32_t monthKind = 0;
  JournalSide debit;
  JournalSide credit;
  int32_t rate = 0;  // percent: 0, 3, 5, 8, 10
  int32_t businessType = 0;
  std::string description;
};

struct FixedAsset {
  std::string origin;
  std::string code;
  std::string name;
  int32_t kind = 1;
  int32_t acquisitionDate = 0;
  int64_t acquisitionAmount = 0;
  int32_t incomeKind = 1;
};

// The saved consumption-tax return: the named members of the host's image,
// amounts by byte offset, and any other non-zero bytes so that an image
// round-trips exactly.
struct SavedReturn {
  int32_t taxationMethod = 0;
  int32_t creditMethodCode = 0;
  int32_t salesTaxMethod = 0;
  int32_t purchaseTaxMethod = 0;
  int32_t transitional = 0;
  int32_t periodStart = 0;
  int32_t periodEnd = 0;
  int32_t returnPeriodStart = 0;
  int32_t returnPeriodEnd = 0;
  int32_t monthRangeFirst = 0;
  int32_t monthRangeLast = 0;
  int32_t dataCode = 0;
  int32_t kanpukCode = 0;
  int32_t kanpuhCode = 0;
  int32_t assetsCode = 0;
  std::array<int64_t, 16> refundAmounts{};
  std::map<int32_t, int64_t> amounts;             // byte offset -> raw amount
  std::map<int32_t, std::vector<uint8_t>> bytes;  // byte offset -> raw bytes
};

struct User {
  std::string origin;
  std::string id;
  std::string name;
  int32_t selectedNo1 = 0;
};

struct DataSetModel {
  std::string source;  // the file the model was read from, for messages
  DataSetInfo info;
  TaxSettings settings;
  std::vector<int32_t> taxRates;  // percent, in row order
  std::vector<AccountClass> accountClasses;
  std::vector<Account> accounts;
  std::vector<Department> departments;
  std::vector<JournalLine> journals;
  // The CSV file of further journal lines ("journals_csv", resolved against
  // the JSON file's folder); empty when none. Its lines are read while the
  // import writes them, never held in the model.
  std::string journalsCsv;
  std::vector<FixedAsset> fixedAssets;
  std::optional<SavedReturn> savedReturn;
  std::vector<User> users;  // users whose selection is this data set
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATAMODEL_H_
