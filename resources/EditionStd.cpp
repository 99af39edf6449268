#include "resources/Edition.h"

namespace taxlink {

const Edition& CurrentEdition() { return StdEdition(); }

}  // namespace taxlink
