#include "mvhost/lib/SysUser.h"

#include <cstring>
#include <string>

#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/SqlStatement.h"
#include "platform/text/Encoding.h"

namespace mvhost {

int32_t SysUser::GetCurUserID(char* userId) {
  if (userId == nullptr) return kErrBadArgument;
  int32_t status = 0;
  sqlite3* db = HostSession::Db(&status);
  if (db == nullptr) return status;
  std::string user;
  status = HostSession::CurrentUser(db, &user);
  if (status != 0) return status;
  if (!CopyRecordText(userId, 65, user)) return StoreTextError("host_state current_user");
  return 0;
}

int32_t SysUser::GetSelectedNo(const char* userId, int32_t* first, int32_t* second) {
  if (userId == nullptr || first == nullptr || second == nullptr) return kErrBadArgument;
  int32_t status = 0;
  sqlite3* db = HostSession::Db(&status);
  if (db == nullptr) return status;
  SqlStatement stmt;
  status = stmt.Prepare(db, "SELECT selected_no1, selected_data_no FROM app_user WHERE user_id = ?",
                        "read the user's selection");
  if (status != 0) return status;
  const std::string user = platform::Cp932ToUtf8(userId);
  stmt.BindText(1, user);
  int32_t step = stmt.Step();
  if (step < 0) return step;
  if (step == 0) return kErrNoUser;
  *first = static_cast<int32_t>(stmt.Int(0));
  *second = static_cast<int32_t>(stmt.Int(1));
  // A launch for one data set selects it for this run only.
  int32_t runDataNo = 0;
  if (HostSession::RunDataNo(user, &runDataNo)) *second = runDataNo;
  return 0;
}

}  // namespace mvhost
