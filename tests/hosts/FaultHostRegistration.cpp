// The host of the programs in bin-faults/: the embedded host behind the
// fault-injecting one.

#include "app/HostRegistration.h"
#include "mvhost/lib/SqliteHost.h"
#include "tests/hosts/FaultHost.h"

namespace taxlink {

void RegisterHost() { hosts::RegisterFaultHostOver(mvhost::SqliteHost()); }

}  // namespace taxlink
