#include "host/ClAccConnect.h"

#include <cstdio>
#include <string>

#include "host/ClLinkMgr.h"
#include "host/ClSysEnvMgr.h"
#include "mvhost/lib/ClOptLink.h"
#include "mvhost/lib/ErrorLog.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostMessages.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/SqlStatement.h"
#include "platform/dialog/UserInterface.h"
#include "platform/ui/FrontEnd.h"

namespace {

// The link's state beside the members the program sees.
struct LinkState {
  int appType = -1;
  int useDataType = 0;
  bool connected = false;
};

LinkState& State() {
  static LinkState state;
  return state;
}

// The application type a host_state 'edition' value names (a number or the
// edition's name), or -1.
int EditionOf(const std::string& value) {
  if (value == "std" || value == "Std") return ClSysEnvMgr::kAppTypeStd;
  if (value == "alto" || value == "Alto") return ClSysEnvMgr::kAppTypeAlto;
  if (value == "serena" || value == "Serena") return ClSysEnvMgr::kAppTypeSerena;
  if (value.empty() || value.size() > 3) return -1;
  for (char c : value) {
    if (c < '0' || c > '9') return -1;
  }
  return std::stoi(value);
}

// Every table the services read must exist and be readable: a missing table
// is a damaged store; a store that cannot be read (locked by another
// process, a damaged page) gives the store's failure.
int32_t CheckStore(sqlite3* db) {
  static const char* const kTables[] = {
      "host_state", "data_set",   "tax_rate",     "app_user",    "account_class",
      "account",    "department", "journal_line", "fixed_asset", "saved_return"};
  for (const char* table : kTables) {
    mvhost::SqlStatement stmt;
    int32_t status = stmt.Prepare(db, std::string("SELECT 1 FROM ") + table + " LIMIT 1",
                                  "check the tables of the store");
    if (status == 0) {
      int32_t step = stmt.Step();
      status = step < 0 ? step : 0;
    }
    if (status == mvhost::kErrSqlBase - SQLITE_ERROR) return mvhost::kErrDamagedStore;
    if (status != 0) return status;
  }
  return 0;
}

// The link to the store's host: its state, the edition and the user's
// selection decide whether the program may go on.
class Link : public ClAccConnect::Impl {
 public:
  void SetAppType(int appType) override { State().appType = appType; }
  void SetUseDataType(int useDataType) override;
  int32_t Initiate() override;
  int32_t ExpSysLink() override;
  int32_t DispMsg(HWND owner, const char* text, const char* caption, uint32_t style) override;
  int32_t LogOut() override { return 0; }
  int32_t Terminate() override {
    State().connected = false;
    return 0;
  }
  void Release() override { State() = LinkState(); }
  void BeginReadSpan() override;
  void EndReadSpan() override;
};

void Link::SetUseDataType(int useDataType) {
  State().useDataType = useDataType;
  if (ClOptLink* options = ClLinkMgr::Inst()->GetOptLink()) options->useDataType = useDataType;
}

// The program ends at once without a message of its own when the link cannot
// be opened, so the host says why on standard error.
int32_t RefuseLink(int32_t status) {
  const char* reason = "the host reported an error";
  if (status == mvhost::kErrNoStore) {
    reason = "MVHOST_HOME names no host store (run mvhost init)";
  } else if (status == mvhost::kErrEditionMismatch) {
    reason = "the host home was set up for another edition (host state 'edition')";
  } else if (status == mvhost::kErrLinkClosed) {
    reason = "the host's link is closed (host state 'link')";
  } else if (status == mvhost::kErrSqlBusy || status == mvhost::kErrSqlLocked) {
    reason = "the store is in use by another process";
  } else if (status == mvhost::kErrSqlCorrupt || status == mvhost::kErrSqlNotADb ||
             status == mvhost::kErrDamagedStore) {
    reason = "the store is damaged";
  } else if (status == mvhost::kErrSqlFull) {
    reason = "the disk is full";
  } else if (status <= mvhost::kErrSqlBase && status >= mvhost::kErrSqlLowest) {
    reason = "the store cannot be read";
  }
  std::fprintf(stderr, "mvhost: the accounting link cannot be opened: %s (code %d)\n", reason,
               static_cast<int>(status));
  mvhost::AppendErrorLog("code=" + std::to_string(status) + " link=\"cannot be opened: " + reason +
                         "\"");
  return status;
}

// Why the current user has no data set to link, for standard error: each
// of these ends the run as stopped, with no message of the program's own.
std::string NoSelectionReason(sqlite3* db) {
  std::string user;
  if (mvhost::HostSession::CurrentUser(db, &user) != 0) {
    return "the host has no current user (mvhost state current_user USER)";
  }
  mvhost::SqlStatement stmt;
  if (stmt.Prepare(db,
                   "SELECT (SELECT COUNT(*) FROM data_set),"
                   " (SELECT selected_data_no FROM app_user WHERE user_id = ?)",
                   "explain the missing selection") != 0) {
    return "the current user " + user + " has selected no data set";
  }
  stmt.BindText(1, user);
  if (stmt.Step() <= 0) return "the current user " + user + " has selected no data set";
  if (stmt.Int(0) == 0) return "the store holds no data set (mvhost import FILE.json)";
  if (stmt.IsNull(1)) return "the current user " + user + " is not a user of the store";
  if (stmt.Int(1) == 0) {
    return "the current user " + user + " has selected no data set (mvhost select " + user +
           " DATA-NUMBER)";
  }
  return "the current user " + user + " selects data set " + std::to_string(stmt.Int(1)) +
         ", which the store does not hold (mvhost select " + user + " DATA-NUMBER)";
}

// The host asks the program to stop: said on standard error and logged.
int32_t StopLink(const std::string& reason) {
  std::fprintf(stderr, "mvhost: the host asks the program to stop: %s\n", reason.c_str());
  mvhost::AppendErrorLog("code=" + std::to_string(mvhost::kLinkStop) + " link=\"stop: " + reason +
                         "\"");
  return mvhost::kLinkStop;
}

// A store that cannot be read: the host shows its own message as well, for
// the person at the screen (the failure is already in the error log).
int32_t StoreFailure(int32_t status) {
  // The message waits on the user: no read transaction stays open under it.
  mvhost::ReadScope::EndOpenSpan();
  mvhost::ReadScope::Release(mvhost::HostSession::Db(nullptr));
  platform::Ui().MessageBox(ClAccConnect::Inst()->ownerWindow, mvhost::HostErrorText(status),
                            mvhost::HostCaption(), MB_OK | MB_ICONERROR);
  return RefuseLink(status);
}

int32_t Link::Initiate() {
  State().connected = false;
  int32_t status = 0;
  sqlite3* db = mvhost::HostSession::Db(&status);
  if (db == nullptr) return RefuseLink(status);
  mvhost::ReadScope scope(db);
  std::string value;
  bool found = false;
  status = mvhost::HostSession::ReadState(db, "edition", &value, &found);
  if (status != 0) return StoreFailure(status);
  if (found && EditionOf(value) != State().appType) {
    return RefuseLink(mvhost::kErrEditionMismatch);
  }
  status = mvhost::HostSession::ReadState(db, "link", &value);
  if (status != 0) return StoreFailure(status);
  if (value == "closed") return RefuseLink(mvhost::kErrLinkClosed);
  State().connected = true;
  return 0;
}

int32_t Link::ExpSysLink() {
  if (!State().connected) return mvhost::kErrNotReady;
  int32_t status = 0;
  sqlite3* db = mvhost::HostSession::Db(&status);
  if (db == nullptr) return status;
  mvhost::ReadScope scope(db);
  status = CheckStore(db);
  if (status != 0) return StoreFailure(status);
  std::string value;
  status = mvhost::HostSession::ReadState(db, "link", &value);
  if (status != 0) return StoreFailure(status);
  if (value == "busy") {
    return StopLink("the data set is in use elsewhere (host state 'link' is busy)");
  }
  int32_t dataNo = 0;
  status = mvhost::HostSession::SelectedDataNo(db, &dataNo);
  if (status == mvhost::kErrNoUser || status == mvhost::kErrNoDataSet) {
    return StopLink(NoSelectionReason(db));
  }
  if (status != 0) return StoreFailure(status);
  return 0;
}

int32_t Link::DispMsg(HWND owner, const char* text, const char* messageCaption, uint32_t style) {
  if (text == nullptr) return mvhost::kErrBadArgument;
  static const std::string kToken = "ES_APRPACKAGENAME";
  std::string shown = text;
  std::string name = mvhost::FilingApplicationName();
  for (size_t at = shown.find(kToken); at != std::string::npos;
       at = shown.find(kToken, at + name.size())) {
    shown.replace(at, kToken.size(), name);
  }
  std::string title = messageCaption != nullptr ? messageCaption : mvhost::HostCaption();
  mvhost::ReadScope::EndOpenSpan();
  return platform::Ui().MessageBox(owner, shown, title, style);
}

// Whatever shows a message or a dialog to the user (the program's own ones
// too) ends the span first, through the front end's hook.
void Link::BeginReadSpan() {
  platform::SetUserWaitHook(&mvhost::ReadScope::EndOpenSpan);
  mvhost::ReadScope::BeginSpan(mvhost::HostSession::Db(nullptr));
}

void Link::EndReadSpan() { mvhost::ReadScope::EndOpenSpan(); }

}  // namespace

ClAccConnect::Impl& mvhost::LinkService() {
  static Link link;
  return link;
}
