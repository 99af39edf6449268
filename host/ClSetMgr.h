#ifndef TAXLINK_HOST_CLSETMGR_H_
#define TAXLINK_HOST_CLSETMGR_H_

class ClSetBase;

// The host's set manager.
class ClSetMgr {
 public:
  virtual ~ClSetMgr() = default;
  // The shared set object of a kind (ClSetBase.h), or null.
  virtual ClSetBase* GetSetObject(int kind, int flag) = 0;
};

#endif  // TAXLINK_HOST_CLSETMGR_H_
