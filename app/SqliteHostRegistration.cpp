#include "app/HostRegistration.h"
#include "mvhost/lib/SqliteHost.h"

namespace taxlink {

void RegisterHost() { mvhost::RegisterSqliteHost(); }

}  // namespace taxlink
