#ifndef TAXLINK_APP_HOSTREGISTRATION_H_
#define TAXLINK_APP_HOSTREGISTRATION_H_

namespace taxlink {

// Registers the host the program runs on (host/Host.h); main calls it
// first. Each program links one definition: the embedded host for bin/,
// the fault-injecting host over it for bin-faults/.
void RegisterHost();

}  // namespace taxlink

#endif  // TAXLINK_APP_HOSTREGISTRATION_H_
