#include "tests/support/HostFixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/PeriodMath.h"
#include "mvhost/lib/SetMgr.h"
#include "mvhost/lib/StoreAdmin.h"
#include "mvhost/lib/StoreRows.h"
#include "platform/dialog/Dialog.h"
#include "platform/text/Encoding.h"
#include "tests/hosts/FaultTable.h"
#include "tests/hosts/MemoryHost.h"
#include "tests/support/TempFolder.h"

namespace taxlink::testing {

namespace {

std::optional<std::string> GetEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void RestoreEnv(const char* name, const std::optional<std::string>& value) {
  if (value.has_value()) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

// Shift_JIS text as the store keeps it (UTF-8).
std::string Utf8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

// Fails the test with the store's message when a write failed.
void ExpectWritten(bool written, const std::string& error) {
  if (!written) ADD_FAILURE() << "cannot write the fixture's row: " << error;
}

}  // namespace

HostFixture::HostFixture(HostStorage storage) {
  oldHome_ = GetEnv("MVHOST_HOME");
  oldFaults_ = GetEnv("MVHOST_FAULTS");
  unsetenv("MVHOST_FAULTS");
  if (storage == HostStorage::kMemory) {
    // No home: the host's services work on the in-memory store alone.
    unsetenv("MVHOST_HOME");
    memory_ = std::make_unique<hosts::MemoryHost>();
    db_ = memory_->store().db();
    rows_ = std::make_unique<mvhost::StoreRows>(db_);
    hosts::FaultTable::Instance().Reload();
    return;
  }
  home_ = MakeMemoryTempFolder("mvhost-test");
  if (home_.empty()) {
    ADD_FAILURE() << "cannot create a temporary host home";
    rows_ = std::make_unique<mvhost::StoreRows>(nullptr);
    return;
  }
  setenv("MVHOST_HOME", home_.c_str(), 1);
  mvhost::HostStore store;
  std::string error;
  if (!store.Create(home_, &error)) ADD_FAILURE() << error;
  store.Close();
  if (sqlite3_open_v2((home_ + "/host.db").c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) !=
      SQLITE_OK) {
    ADD_FAILURE() << "cannot open the fixture's store";
  }
  sqlite3_busy_timeout(db_, 5000);
  rows_ = std::make_unique<mvhost::StoreRows>(db_);
  mvhost::HostSession::Close();
  mvhost::SetMgr::UnbindSharedSetObjects();
  hosts::FaultTable::Instance().Reload();
}

HostFixture::~HostFixture() {
  rows_.reset();
  mvhost::HostSession::Close();
  mvhost::SetMgr::UnbindSharedSetObjects();
  if (memory_ != nullptr) {
    memory_.reset();
  } else if (db_ != nullptr) {
    mvhost::JournalDerived::ForgetConnection(db_);
    sqlite3_close_v2(db_);
  }
  RestoreEnv("MVHOST_HOME", oldHome_);
  RestoreEnv("MVHOST_FAULTS", oldFaults_);
  hosts::FaultTable::Instance().Reload();
  if (!home_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
  }
}

void HostFixture::BuildJournalDerived(int32_t dataNo) {
  EXPECT_EQ(mvhost::JournalDerived::Ensure(db_, dataNo), 0);
}

void HostFixture::Exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    ADD_FAILURE() << sql << ": " << (message != nullptr ? message : "error");
  }
  sqlite3_free(message);
}

void HostFixture::SetState(const std::string& key, const std::string& value) {
  std::string error;
  ExpectWritten(mvhost::WriteStateEntry(db_, Utf8(key), Utf8(value), &error), error);
}

void HostFixture::RemoveState(const std::string& key) {
  std::string error;
  ExpectWritten(mvhost::RemoveStateEntry(db_, Utf8(key), &error), error);
}

int32_t HostFixture::AddDataSet(const DataSetSpec& wanted) {
  mvhost::DataSetInfo info;
  info.dataNo = wanted.dataNo;
  info.dataId = Utf8(wanted.dataId);
  info.companyName = Utf8(wanted.companyName);
  info.periodStart = wanted.periodStart;
  info.periodEnd = wanted.periodEnd;
  info.interimClosing = wanted.interimClosing;
  info.recordKind = wanted.recordKind;
  info.entityKind = wanted.entityKind;
  info.incomeKind = wanted.incomeKind;
  mvhost::TaxSettings settings;
  settings.filingClass = wanted.filingClass;
  settings.roundingMode = wanted.roundingMode;
  settings.creditMethod = wanted.creditMethod;
  settings.mainBusinessType = wanted.mainBusinessType;
  settings.taxIncluded = wanted.taxIncluded;
  ExpectWritten(rows_->DataSet(info, settings), rows_->error());
  for (size_t row = 0; row < wanted.rates.size(); ++row) {
    ExpectWritten(rows_->TaxRate(wanted.dataNo, static_cast<int64_t>(row + 1), wanted.rates[row]),
                  rows_->error());
  }
  current_ = wanted.dataNo;
  return wanted.dataNo;
}

void HostFixture::SelectForUser(const std::string& userId, int32_t dataNo, int32_t selectedNo1) {
  mvhost::User user;
  user.id = Utf8(userId);
  user.name = user.id;
  user.selectedNo1 = selectedNo1;
  ExpectWritten(rows_->User(dataNo, user), rows_->error());
  SetState("current_user", userId);
}

void HostFixture::AddAccountClass(int32_t dataNo, const AccountClassSpec& wanted) {
  mvhost::AccountClass accountClass;
  accountClass.code = wanted.code;
  accountClass.name = Utf8(wanted.name);
  accountClass.parent = wanted.parent;
  accountClass.total = wanted.total;
  ExpectWritten(rows_->AccountClass(dataNo, accountClass), rows_->error());
}

void HostFixture::AddAccount(int32_t dataNo, const AccountSpec& wanted) {
  mvhost::Account account;
  account.code = Utf8(wanted.code);
  account.name = Utf8(wanted.name);
  account.classCode = wanted.classCode;
  account.excluded = wanted.excluded;
  account.balanceSide = wanted.balanceSide;
  account.refundFlag1 = wanted.refundFlag1;
  account.refundFlag2 = wanted.refundFlag2;
  ExpectWritten(rows_->Account(dataNo, wanted.accountId, account), rows_->error());
}

void HostFixture::AddDepartment(int32_t dataNo, const DepartmentSpec& wanted) {
  mvhost::Department department;
  department.code = wanted.code;
  department.name = Utf8(wanted.name);
  department.kind = wanted.kind;
  department.parentCode = wanted.parentCode;
  department.incomeKind = wanted.incomeKind;
  ExpectWritten(rows_->Department(dataNo, department), rows_->error());
}

int32_t HostFixture::AddJournal(int32_t dataNo, const JournalSpec& wanted) {
  int16_t monthKind = wanted.monthKind;
  if (monthKind == 0) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db_, "SELECT period_start, period_end FROM data_set WHERE data_no = ?", -1,
                       &stmt, nullptr);
    sqlite3_bind_int64(stmt, 1, dataNo);
    if (sqlite3_step(stmt) == SQLITE_ROW) {
      int32_t start = sqlite3_column_int(stmt, 0);
      int32_t end = sqlite3_column_int(stmt, 1);
      monthKind =
          mvhost::period::MonthKindOf(wanted.date, start, end, mvhost::period::ClosingDayOf(end));
    }
    sqlite3_finalize(stmt);
    if (monthKind == 0) ADD_FAILURE() << "journal date " << wanted.date << " outside the period";
  }
  int32_t lineId = nextLineId_++;
  mvhost::JournalLine line;
  line.journalNo = wanted.journalNo != 0 ? wanted.journalNo : lineId;
  line.date = wanted.date;
  line.monthKind = monthKind;
  line.businessType = wanted.businessType;
  mvhost::JournalSide* sides[2] = {&line.debit, &line.credit};
  const JournalSide* given[2] = {&wanted.debit, &wanted.credit};
  for (int k = 0; k < 2; ++k) {
    sides[k]->dept = given[k]->dept;
    sides[k]->amount = given[k]->amount;
    sides[k]->tax = given[k]->tax;
    sides[k]->taxClass = given[k]->taxClass;
  }
  ExpectWritten(rows_->JournalLine(dataNo, lineId, line, wanted.debit.account,
                                   wanted.credit.account, wanted.rate),
                rows_->error());
  return lineId;
}

void HostFixture::AddAsset(int32_t dataNo, const AssetSpec& wanted) {
  mvhost::FixedAsset asset;
  asset.code = Utf8(wanted.code);
  asset.name = Utf8(wanted.name);
  asset.kind = wanted.kind;
  asset.acquisitionDate = wanted.acquisitionDate;
  asset.acquisitionAmount = wanted.acquisitionAmount;
  asset.incomeKind = wanted.incomeKind;
  ExpectWritten(rows_->FixedAsset(dataNo, wanted.assetId, asset), rows_->error());
}

void HostFixture::SaveReturn(int32_t dataNo, const StSaveTaxInfo& image) {
  SaveReturnBytes(dataNo, std::string(reinterpret_cast<const char*>(&image), sizeof(image)));
}

void HostFixture::SaveReturnBytes(int32_t dataNo, const std::string& bytes) {
  ExpectWritten(rows_->SavedReturn(dataNo, std::vector<uint8_t>(bytes.begin(), bytes.end())),
                rows_->error());
}

void HostFixture::SetFaultsFile(const std::string& text) {
  if (home_.empty()) {
    // No home to hold the file: the same entries through the variable.
    setenv("MVHOST_FAULTS", text.c_str(), 1);
  } else {
    std::ofstream(home_ + "/faults") << text;
  }
  hosts::FaultTable::Instance().Reload();
}

class HostMessageRecorder::RecordingUi : public platform::UserInterface {
 public:
  explicit RecordingUi(int answer) : answer_(answer) {}
  int MessageBox(HWND owner, std::string_view text, std::string_view caption,
                 uint32_t style) override {
    messages_.push_back({owner, std::string(text), std::string(caption), style});
    return answer_;
  }
  int RunModal(platform::Dialog& /*dialog*/) override { return IDCANCEL; }
  void ModelessChanged(platform::Dialog& /*dialog*/) override {}
  void ModelessDestroyed(platform::Dialog& /*dialog*/) override {}
  bool GetSaveFileName(platform::SaveFileRequest& /*request*/) override { return false; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}

  std::vector<HostShownMessage> messages_;

 private:
  int answer_;
};

HostMessageRecorder::HostMessageRecorder(int answer) {
  auto ui = std::make_unique<RecordingUi>(answer);
  ui_ = ui.get();
  previous_ = platform::SetUi(std::move(ui));
}

HostMessageRecorder::~HostMessageRecorder() { platform::SetUi(std::move(previous_)); }

const std::vector<HostShownMessage>& HostMessageRecorder::Messages() const {
  return ui_->messages_;
}

}  // namespace taxlink::testing
