#include "status/HostResult.h"

#include "host/HostStatus.h"

namespace taxlink {

Status HostResultOtherThanZero(int32_t code, const char* where) {
  if (code == kHostOk) return Status();
  if (code == kHostEndOfData) return Status::EndOfData(code, where);
  return Status::HostError(code, where);
}

Status HostCallResult(int32_t code, const char* where) {
  return WalkEnded(HostResult(code, where));
}

Status HostLookupResult(int32_t code, const char* where) {
  if (code == kHostOk) return Status();
  if (code > 0) return Status::Missing("not found", where);
  return Status::HostError(code, where);
}

}  // namespace taxlink
