#ifndef TAXLINK_TESTS_SUPPORT_HOSTFIXTURE_H_
#define TAXLINK_TESTS_SUPPORT_HOSTFIXTURE_H_

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/StSaveTaxInfo.h"
#include "platform/dialog/UserInterface.h"
#include "tests/support/SjisLiteral.h"

namespace hosts {
class MemoryHost;
}
namespace mvhost {
class StoreRows;
}

namespace taxlink::testing {

// Texts given to the fixture are Shift_JIS, as the program's literals are;
// the fixture stores them as UTF-8. Amounts are raw amounts (yen x 10000).

struct DataSetSpec {
  int32_t dataNo = 1;
  std::string dataId = "D001";
  std::string companyName = "テスト商事株式会社"_sjis;
  int32_t periodStart = 20140401;
  int32_t periodEnd = 20150331;
  bool interimClosing = false;
  int32_t recordKind = 0;
  int32_t entityKind = 0;  // 0/1 corporation, 3/4 individual
  int32_t incomeKind = 0;
  int32_t filingClass = 2;  // 0 exempt, 1 simplified, 2 standard
  int32_t roundingMode = 1;
  int32_t creditMethod = 0;
  int32_t mainBusinessType = 0;
  bool taxIncluded = false;
  std::vector<int32_t> rates = {};  // x 100 in row order; empty: 800, 500, 300
};

struct AccountClassSpec {
  uint32_t code = 0;
  std::string name = {};
  std::optional<uint32_t> parent = {};
  bool total = false;
};

struct AccountSpec {
  int32_t accountId = 0;
  std::string code = {};
  std::string name = {};
  uint32_t classCode = 0;
  int32_t balanceSide = 1;  // 1 debit, 2 credit
  bool excluded = false;
  int32_t refundFlag1 = 0;
  int32_t refundFlag2 = 0;
};

struct DepartmentSpec {
  int32_t code = 0;
  std::string name = {};
  int32_t kind = 1;
  int32_t parentCode = 0;
  int32_t incomeKind = 1;
};

// One side of a journal line; account 0 leaves the side empty.
struct JournalSide {
  int32_t account = 0;
  int64_t amount = 0;  // excluding tax
  int64_t tax = 0;
  int32_t taxClass = 0;
  int32_t dept = 0;
};

struct JournalSpec {
  int32_t date = 0;
  JournalSide debit = {};
  JournalSide credit = {};
  int32_t rate = 0;  // x 100
  int32_t businessType = 0;
  int16_t monthKind = 0;  // 0: the month kind of date in the data set's period
  int32_t journalNo = 0;  // 0: the line id
};

struct AssetSpec {
  int32_t assetId = 0;
  std::string code = {};
  std::string name = {};
  int32_t kind = 1;  // 9 deferred asset
  int32_t acquisitionDate = 0;
  int64_t acquisitionAmount = 0;
  int32_t incomeKind = 1;
};

// Where a fixture's store lives: in a temporary host home that MVHOST_HOME
// names (for the runs of the programs and the home's files), or in memory
// with no home (hosts::MemoryHost).
enum class HostStorage { kHome, kMemory };

// A store for the life of the object, in a temporary host home named by
// MVHOST_HOME or in memory (MVHOST_FAULTS is cleared meanwhile). Rows go in
// through the store's row writer (mvhost/lib/StoreRows.h, the import's),
// with the ids the test gives and without the import's checks, so that a
// test can build data an import would refuse; the host's services read them
// like any store:
//   HostFixture host;
//   int32_t no = host.AddDataSet({});
//   host.SelectForUser("U01", no);
//   host.AddAccount({.accountId = 1, .code = "100", .name = "売上高", .classCode = 0x40888000});
//   host.AddJournal({.date = 20140410, .credit = {.account = 1, .amount = 1000000, .taxClass =
//   1}});
// Rows without a data number go to the data set added last.
class HostFixture {
 public:
  explicit HostFixture(HostStorage storage = HostStorage::kHome);
  ~HostFixture();
  HostFixture(const HostFixture&) = delete;
  HostFixture& operator=(const HostFixture&) = delete;

  // The home's folder; empty for a store in memory.
  const std::string& Home() const { return home_; }
  sqlite3* Db() const { return db_; }
  // Runs SQL; fails the test on an error.
  void Exec(const std::string& sql);

  // host_state: the edition ("3"), link ("open", "busy", "closed"), etc.
  void SetState(const std::string& key, const std::string& value);
  void RemoveState(const std::string& key);

  int32_t AddDataSet(const DataSetSpec& wanted);
  // Makes userId the current user, with dataNo selected.
  void SelectForUser(const std::string& userId, int32_t dataNo, int32_t selectedNo1 = 1);

  void AddAccountClass(const AccountClassSpec& wanted) { AddAccountClass(current_, wanted); }
  void AddAccountClass(int32_t dataNo, const AccountClassSpec& wanted);
  void AddAccount(const AccountSpec& wanted) { AddAccount(current_, wanted); }
  void AddAccount(int32_t dataNo, const AccountSpec& wanted);
  void AddDepartment(const DepartmentSpec& wanted) { AddDepartment(current_, wanted); }
  void AddDepartment(int32_t dataNo, const DepartmentSpec& wanted);
  // Returns the line id.
  int32_t AddJournal(const JournalSpec& wanted) { return AddJournal(current_, wanted); }
  int32_t AddJournal(int32_t dataNo, const JournalSpec& wanted);
  void AddAsset(const AssetSpec& wanted) { AddAsset(current_, wanted); }
  void AddAsset(int32_t dataNo, const AssetSpec& wanted);
  void SaveReturn(int32_t dataNo, const StSaveTaxInfo& image);
  void SaveReturnBytes(int32_t dataNo, const std::string& bytes);

  // Builds the derived journal data of dataNo now, as an import does (the
  // lines added through SQL leave them stale until a service needs them).
  void BuildJournalDerived(int32_t dataNo);

  // Writes the home's faults file (the fault injection syntax) and rereads
  // it; a store in memory has no home, and the entries go to MVHOST_FAULTS.
  void SetFaultsFile(const std::string& text);

 private:
  std::string home_;
  std::optional<std::string> oldHome_;
  std::optional<std::string> oldFaults_;
  std::unique_ptr<hosts::MemoryHost> memory_;
  std::unique_ptr<mvhost::StoreRows> rows_;  // the store's row writer
  sqlite3* db_ = nullptr;
  int32_t current_ = 0;
  int32_t nextLineId_ = 1;
};

// One message box shown through the user interface.
struct HostShownMessage {
  HWND owner = 0;
  std::string text;     // Shift_JIS
  std::string caption;  // Shift_JIS
  uint32_t style = 0;
};

// Installs a user interface that records message boxes (answering answer)
// for the life of the object.
class HostMessageRecorder {
 public:
  explicit HostMessageRecorder(int answer = IDOK);
  ~HostMessageRecorder();
  HostMessageRecorder(const HostMessageRecorder&) = delete;
  HostMessageRecorder& operator=(const HostMessageRecorder&) = delete;

  const std::vector<HostShownMessage>& Messages() const;

 private:
  class RecordingUi;
  RecordingUi* ui_;
  std::unique_ptr<platform::UserInterface> previous_;
};

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_HOSTFIXTURE_H_
