#include "aggregation/AccountList.h"

#include <cstring>

#include "aggregation/JournalFilters.h"
#include "aggregation/ProgressSink.h"
#include "host/ClDataMgr.h"
#include "host/ClSetKamoku.h"
#include "status/HostResult.h"

namespace taxlink {

Status AccountList::Build(int list, ProgressSink& progress) {
  Clear();
  NestedFilter classFilter;
  if (!BuildAccountClassFilter(list, &classFilter)) {
    progress.DetailComplete();
    return Status::OK();
  }
  auto* accounts = dynamic_cast<ClSetKamoku*>(ClDataMgr::Inst()->GetSetObject(kSetKindAccounts, 1));
  if (accounts == nullptr) {
    return Status::Missing("no accounts set object", "ClDataMgr::GetSetObject");
  }
  int32_t cursor = 0;
  Status status = HostCallResult(accounts->GetCursor(&cursor), "ClSetKamoku::GetCursor");
  if (!status.ok()) return status;
  status = HostResult(accounts->ReadyCursor(cursor), "ClSetKamoku::ReadyCursor");
  while (status.ok()) {
    StKAMOKUINFO account;
    std::memset(&account, 0, sizeof(account));
    status = HostResult(accounts->WalkFind(&classFilter.top(), &account, cursor),
                        "ClSetKamoku::WalkFind");
    if (!status.ok()) break;
    progress.DetailTick();
    if (account.excluded == 0) Append(account);
  }
  accounts->ReleaseCursor(cursor);
  // A walk that ends on anything but the end of data leaves accounts out.
  status = WalkEnded(status);
  if (!status.ok()) Clear();
  progress.DetailComplete();
  return status;
}

}  // namespace taxlink
