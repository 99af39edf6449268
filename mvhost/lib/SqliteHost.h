#ifndef TAXLINK_MVHOST_SQLITEHOST_H_
#define TAXLINK_MVHOST_SQLITEHOST_H_

#include "host/Host.h"

namespace mvhost {

// The embedded accounting host on the SQLite store of $MVHOST_HOME.
host::Host& SqliteHost();
// Registers it as the process's host.
void RegisterSqliteHost();

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_SQLITEHOST_H_
