#ifndef TAXLINK_STATUS_HOSTRESULT_H_
#define TAXLINK_STATUS_HOSTRESULT_H_

#include <cstdint>

#include "status/Status.h"

namespace taxlink {

// The host's services answer with a signed 32-bit code. It becomes a Status
// here and nowhere else in the program: 0 is ok, the end-of-data code ends a
// walk (Status::IsEndOfData), anything else is a failure of the call named
// by where (a string literal such as "ClRuleShiwake::MoveNext").

// The part of HostResult that the per-line path never reaches.
Status HostResultOtherThanZero(int32_t code, const char* where);

// A call that steps through data: ok, the end of the data, or a failure.
inline Status HostResult(int32_t code, const char* where) {
  if (code == 0) return Status();
  return HostResultOtherThanZero(code, where);
}

// A single call (a count, a summation, a cursor): the end-of-data code counts
// as success, as it does for every host call.
Status HostCallResult(int32_t code, const char* where);

// A lookup by key: a positive answer means the key is not known
// (Status::Code::kMissing), a negative one is a failure.
Status HostLookupResult(int32_t code, const char* where);

// A walk's last result: its end is success.
inline Status WalkEnded(const Status& last) { return last.IsEndOfData() ? Status() : last; }

// A count that the host returns where a negative value is its error code.
inline Status HostCountResult(int32_t count, const char* where) {
  return count < 0 ? Status::HostError(count, where) : Status();
}

}  // namespace taxlink

#endif  // TAXLINK_STATUS_HOSTRESULT_H_
