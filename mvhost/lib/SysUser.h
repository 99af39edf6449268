#ifndef TAXLINK_MVHOST_SYSUSER_H_
#define TAXLINK_MVHOST_SYSUSER_H_

#include "host/ClSysUser.h"

namespace mvhost {

// The current user (host_state 'current_user') and the users' selections
// (table app_user).
class SysUser : public ClSysUser {
 public:
  int32_t GetCurUserID(char* userId) override;
  int32_t GetSelectedNo(const char* userId, int32_t* first, int32_t* second) override;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SYSUSER_H_
