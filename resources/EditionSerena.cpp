#include "resources/Edition.h"

namespace taxlink {

const Edition& CurrentEdition() { return SerenaEdition(); }

}  // namespace taxlink
