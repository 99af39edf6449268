#ifndef TAXLINK_MVHOST_ERRORLOG_H_
#define TAXLINK_MVHOST_ERRORLOG_H_

#include <string>

namespace mvhost {

// Appends "YYYY-MM-DD HH:MM:SS entry" as one line to error.log of the host
// home that MVHOST_HOME names; nothing without a home.
void AppendErrorLog(const std::string& entry);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_ERRORLOG_H_
