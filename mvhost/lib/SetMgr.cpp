#include "mvhost/lib/SetMgr.h"

#include "host/ClSetBase.h"
#include "mvhost/lib/SetBumon.h"
#include "mvhost/lib/SetData.h"
#include "mvhost/lib/SetKamoku.h"
#include "mvhost/lib/SetShohizei.h"

namespace mvhost {

ClSetBase* SetMgr::SharedSetObject(int kind) {
  static SetKamoku accounts;
  static SetBumon departments;
  static SetShohizei taxSettings;
  static SetData dataSets;
  switch (kind) {
    case kSetKindAccounts:
      return &accounts;
    case kSetKindDepartments:
      return &departments;
    case kSetKindTaxSettings:
      return &taxSettings;
    case kSetKindDataSets:
      return &dataSets;
    default:
      return nullptr;
  }
}

void SetMgr::UnbindSharedSetObjects() {
  static_cast<SetKamoku*>(SharedSetObject(kSetKindAccounts))->Unbind();
  static_cast<SetBumon*>(SharedSetObject(kSetKindDepartments))->Unbind();
  static_cast<SetShohizei*>(SharedSetObject(kSetKindTaxSettings))->Unbind();
  static_cast<SetData*>(SharedSetObject(kSetKindDataSets))->Unbind();
}

ClSetBase* SetMgr::GetSetObject(int kind, int /*flag*/) { return SharedSetObject(kind); }

}  // namespace mvhost
