#include "resources/StringResources.h"

namespace taxlink {

const char* LoadStringResource(int id) {
  switch (id) {
    case kIdsComponentVersion:
      return "18.00.00";
    default:
      return "";
  }
}

}  // namespace taxlink
