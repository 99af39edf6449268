#ifndef TAXLINK_TESTS_HOSTS_FAULTPOINT_H_
#define TAXLINK_TESTS_HOSTS_FAULTPOINT_H_

#include <cstddef>
#include <string_view>

namespace hosts {

// Every host call the fault-injecting host can make fail, named as in
// MVHOST_FAULTS ("Class::Method", or "new Class" for a creation).
enum class FaultPoint : int {
#define HOSTS_FAULT_POINT(id, name) id,
#include "tests/hosts/FaultPoints.inc"
#undef HOSTS_FAULT_POINT
  kCount
};

constexpr size_t kFaultPointCount = static_cast<size_t>(FaultPoint::kCount);

// The name of a point.
std::string_view NameOf(FaultPoint point);
// The point of a name; false when no host call has that name.
bool FaultPointNamed(std::string_view name, FaultPoint* point);

}  // namespace hosts

#endif  // TAXLINK_TESTS_HOSTS_FAULTPOINT_H_
