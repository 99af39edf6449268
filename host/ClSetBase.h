#ifndef TAXLINK_HOST_CLSETBASE_H_
#define TAXLINK_HOST_CLSETBASE_H_

#include <cstdint>

class ClSetMgr;

// A host set object: a shared view of one kind of master data. Set objects
// belong to the host and are never deleted by the program.
class ClSetBase {
 public:
  virtual ~ClSetBase() = default;
  virtual int32_t AttachSetMgr(ClSetMgr* setMgr) = 0;
  virtual int32_t SetCurDataID(const char* dataId) = 0;
};

// Set object kinds of ClDataMgr::GetSetObject and ClSetMgr::GetSetObject.
constexpr int kSetKindAccounts = 1;     // ClSetKamoku
constexpr int kSetKindDepartments = 2;  // ClSetBumon
constexpr int kSetKindTaxSettings = 4;  // ClSetShohizei
constexpr int kSetKindDataSets = 5;     // ClSetData

#endif  // TAXLINK_HOST_CLSETBASE_H_
