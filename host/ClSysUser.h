#ifndef TAXLINK_HOST_CLSYSUSER_H_
#define TAXLINK_HOST_CLSYSUSER_H_

#include <cstdint>

// The host's current user and the data selection of each user.
class ClSysUser {
 public:
  virtual ~ClSysUser() = default;
  // Copies the current user's id (at most 64 bytes) into a 65-byte buffer.
  virtual int32_t GetCurUserID(char* userId) = 0;
  // The user's selected data: first and second selected number (the second
  // is the data number of the selected data set).
  virtual int32_t GetSelectedNo(const char* userId, int32_t* first, int32_t* second) = 0;
};

#endif  // TAXLINK_HOST_CLSYSUSER_H_
