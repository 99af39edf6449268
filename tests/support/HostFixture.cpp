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
#include "platform/Dialog.h"
#include "platform/Encoding.h"
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

// A statement with its values bound in order; runs it once.
class Insert {
 public:
  Insert(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
    }
    db_ = db;
  }
  ~Insert() { sqlite3_finalize(stmt_); }
  Insert& Int(int64_t value) {
    sqlite3_bind_int64(stmt_, ++index_, value);
    return *this;
  }
  Insert& Null() {
    sqlite3_bind_null(stmt_, ++index_);
    return *this;
  }
  // Shift_JIS text, stored as UTF-8.
  Insert& Text(const std::string& cp932) {
    std::string utf8 = platform::Cp932ToUtf8(cp932);
    sqlite3_bind_text(stmt_, ++index_, utf8.data(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
    return *this;
  }
  Insert& Blob(const std::string& bytes) {
    sqlite3_bind_blob(stmt_, ++index_, bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
    return *this;
  }
  void Run() {
    if (sqlite3_step(stmt_) != SQLITE_DONE) ADD_FAILURE() << sqlite3_errmsg(db_);
  }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  int index_ = 0;
};

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
    hosts::FaultTable::Instance().Reload();
    return;
  }
  home_ = MakeMemoryTempFolder("mvhost-test");
  if (home_.empty()) {
    ADD_FAILURE() << "cannot create a temporary host home";
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
  mvhost::HostSession::Close();
  mvhost::SetMgr::UnbindSharedSetObjects();
  hosts::FaultTable::Instance().Reload();
}

HostFixture::~HostFixture() {
  mvhost::HostSession::Close();
  mvhost::SetMgr::UnbindSharedSetObjects();
  if (memory_ != nullptr) {
    memory_.reset();
  } else if (db_ != nullptr) {
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
  Insert(db_, "INSERT OR REPLACE INTO host_state (key, value) VALUES (?, ?)")
      .Text(key)
      .Text(value)
      .Run();
}

void HostFixture::RemoveState(const std::string& key) {
  Insert(db_, "DELETE FROM host_state WHERE key = ?").Text(key).Run();
}

int32_t HostFixture::AddDataSet(const DataSetSpec& wanted) {
  Insert(db_,
         "INSERT INTO data_set (data_no, data_id, company_name, period_start, period_end, "
         "interim_closing, record_kind, entity_kind, income_kind, filing_class, rounding_mode, "
         "credit_method, main_business_type, tax_included) "
         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
      .Int(wanted.dataNo)
      .Text(wanted.dataId)
      .Text(wanted.companyName)
      .Int(wanted.periodStart)
      .Int(wanted.periodEnd)
      .Int(wanted.interimClosing ? 1 : 0)
      .Int(wanted.recordKind)
      .Int(wanted.entityKind)
      .Int(wanted.incomeKind)
      .Int(wanted.filingClass)
      .Int(wanted.roundingMode)
      .Int(wanted.creditMethod)
      .Int(wanted.mainBusinessType)
      .Int(wanted.taxIncluded ? 1 : 0)
      .Run();
  for (size_t row = 0; row < wanted.rates.size(); ++row) {
    Insert(db_, "INSERT INTO tax_rate (data_no, row_no, rate) VALUES (?, ?, ?)")
        .Int(wanted.dataNo)
        .Int(static_cast<int64_t>(row))
        .Int(wanted.rates[row])
        .Run();
  }
  current_ = wanted.dataNo;
  return wanted.dataNo;
}

void HostFixture::SelectForUser(const std::string& userId, int32_t dataNo, int32_t selectedNo1) {
  Insert(db_,
         "INSERT OR REPLACE INTO app_user (user_id, name, selected_no1, selected_data_no) "
         "VALUES (?, ?, ?, ?)")
      .Text(userId)
      .Text(userId)
      .Int(selectedNo1)
      .Int(dataNo)
      .Run();
  SetState("current_user", userId);
}

void HostFixture::AddAccountClass(int32_t dataNo, const AccountClassSpec& wanted) {
  Insert insert(db_,
                "INSERT INTO account_class (data_no, class_code, name, parent_class, total) "
                "VALUES (?, ?, ?, ?, ?)");
  insert.Int(dataNo).Int(wanted.code).Text(wanted.name);
  if (wanted.parent.has_value()) {
    insert.Int(*wanted.parent);
  } else {
    insert.Null();
  }
  insert.Int(wanted.total ? 1 : 0).Run();
}

void HostFixture::AddAccount(int32_t dataNo, const AccountSpec& wanted) {
  Insert(db_,
         "INSERT INTO account (data_no, account_id, code, name, class_code, excluded, "
         "balance_side, refund_flag1, refund_flag2) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
      .Int(dataNo)
      .Int(wanted.accountId)
      .Text(wanted.code)
      .Text(wanted.name)
      .Int(wanted.classCode)
      .Int(wanted.excluded ? 1 : 0)
      .Int(wanted.balanceSide)
      .Int(wanted.refundFlag1)
      .Int(wanted.refundFlag2)
      .Run();
}

void HostFixture::AddDepartment(int32_t dataNo, const DepartmentSpec& wanted) {
  Insert(db_,
         "INSERT INTO department (data_no, code, name, kind, parent_code, income_kind) "
         "VALUES (?, ?, ?, ?, ?, ?)")
      .Int(dataNo)
      .Int(wanted.code)
      .Text(wanted.name)
      .Int(wanted.kind)
      .Int(wanted.parentCode)
      .Int(wanted.incomeKind)
      .Run();
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
      monthKind = mvhost::period::MonthKindOf(wanted.date, start, end,
                                              mvhost::period::ClosingDayOf(end));
    }
    sqlite3_finalize(stmt);
    if (monthKind == 0) ADD_FAILURE() << "journal date " << wanted.date << " outside the period";
  }
  int32_t lineId = nextLineId_++;
  Insert insert(db_,
                "INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind, "
                "debit_account, debit_dept, debit_amount, debit_tax, debit_tax_class, "
                "credit_account, credit_dept, credit_amount, credit_tax, credit_tax_class, "
                "tax_rate, business_type) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert.Int(dataNo).Int(lineId).Int(wanted.journalNo != 0 ? wanted.journalNo : lineId);
  insert.Int(wanted.date).Int(monthKind);
  for (const JournalSide* side : {&wanted.debit, &wanted.credit}) {
    if (side->account != 0) {
      insert.Int(side->account);
    } else {
      insert.Null();
    }
    insert.Int(side->dept).Int(side->amount).Int(side->tax).Int(side->taxClass);
  }
  insert.Int(wanted.rate).Int(wanted.businessType).Run();
  return lineId;
}

void HostFixture::AddAsset(int32_t dataNo, const AssetSpec& wanted) {
  Insert(db_,
         "INSERT INTO fixed_asset (data_no, asset_id, code, name, kind, acquisition_date, "
         "acquisition_amount, income_kind) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
      .Int(dataNo)
      .Int(wanted.assetId)
      .Text(wanted.code)
      .Text(wanted.name)
      .Int(wanted.kind)
      .Int(wanted.acquisitionDate)
      .Int(wanted.acquisitionAmount)
      .Int(wanted.incomeKind)
      .Run();
}

void HostFixture::SaveReturn(int32_t dataNo, const StSaveTaxInfo& image) {
  SaveReturnBytes(dataNo, std::string(reinterpret_cast<const char*>(&image), sizeof(image)));
}

void HostFixture::SaveReturnBytes(int32_t dataNo, const std::string& bytes) {
  Insert(db_, "INSERT OR REPLACE INTO saved_return (data_no, image) VALUES (?, ?)")
      .Int(dataNo)
      .Blob(bytes)
      .Run();
}

void HostFixture::SetFaultsFile(const std::string& text) {
  std::ofstream(home_ + "/faults") << text;
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
