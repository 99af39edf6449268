#include "tests/hosts/FaultPoint.h"

namespace hosts {

namespace {

constexpr std::string_view kNames[] = {
#define HOSTS_FAULT_POINT(id, name) name,
#include "tests/hosts/FaultPoints.inc"
#undef HOSTS_FAULT_POINT
};
static_assert(std::size(kNames) == kFaultPointCount);

}  // namespace

std::string_view NameOf(FaultPoint point) { return kNames[static_cast<size_t>(point)]; }

bool FaultPointNamed(std::string_view name, FaultPoint* point) {
  for (size_t i = 0; i < kFaultPointCount; ++i) {
    if (kNames[i] == name) {
      *point = static_cast<FaultPoint>(i);
      return true;
    }
  }
  return false;
}

}  // namespace hosts
