#ifndef TAXLINK_TESTS_SUPPORT_TEMPFOLDER_H_
#define TAXLINK_TESTS_SUPPORT_TEMPFOLDER_H_

#include <string>

namespace taxlink::testing {

// A new empty folder named prefix-XXXXXX on a memory file system
// (/dev/shm) when there is one, else in /tmp: a store there waits for no
// disk at each commit. Empty when none can be made.
std::string MakeMemoryTempFolder(const std::string& prefix);

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_TEMPFOLDER_H_
