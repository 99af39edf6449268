#include "platform/dialog/RepaintGate.h"

#include "platform/dialog/RepaintThrottle.h"

namespace platform {

int64_t RepaintGate::NowNs() { return RepaintThrottle::CoarseNowNs(); }

}  // namespace platform
