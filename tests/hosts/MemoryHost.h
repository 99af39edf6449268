#ifndef TAXLINK_TESTS_HOSTS_MEMORYHOST_H_
#define TAXLINK_TESTS_HOSTS_MEMORYHOST_H_

#include <string>

#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/HostStore.h"

namespace hosts {

// The embedded host's services on a store in memory that the import fills
// from data-set models (mvhost/lib/DataModel.h): the same rules as on a
// home's store, with no file and no MVHOST_HOME. The process's host must be
// the embedded host or a decorator over it (the test programs register
// one); the store is the host's for the life of this object.
class MemoryHost {
 public:
  MemoryHost();
  ~MemoryHost();
  MemoryHost(const MemoryHost&) = delete;
  MemoryHost& operator=(const MemoryHost&) = delete;

  // Checks and writes a data set as the import does, replacing one of the
  // same number
  // (its users become the store's, the first of them current when none is);
  // false with the import's message.
  bool Add(const mvhost::DataSetModel& model, std::string* error);
  // A host_state entry (edition, link, current_user); false with the
  // store's message.
  bool SetState(const std::string& key, const std::string& value, std::string* error);

  mvhost::HostStore& store() { return store_; }

 private:
  mvhost::HostStore store_;
  mvhost::HostStore* before_ = nullptr;
};

}  // namespace hosts

#endif  // TAXLINK_TESTS_HOSTS_MEMORYHOST_H_
