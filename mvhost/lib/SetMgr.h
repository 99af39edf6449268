#ifndef TAXLINK_MVHOST_SETMGR_H_
#define TAXLINK_MVHOST_SETMGR_H_

#include "host/ClSetMgr.h"

namespace mvhost {

// The set manager: hands out the shared set objects of ClDataMgr.
class SetMgr : public ClSetMgr {
 public:
  ClSetBase* GetSetObject(int kind, int flag) override;

  // The process's shared set object of a kind, or null for another kind.
  static ClSetBase* SharedSetObject(int kind);
  // Sends every shared set object back to the current user's selection.
  static void UnbindSharedSetObjects();
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SETMGR_H_
