#include "resources/Edition.h"

namespace taxlink {

const Edition& CurrentEdition() { return AltoEdition(); }

}  // namespace taxlink
