#include "host/FilterGroupRegistry.h"

#include <map>
#include <mutex>

namespace {

struct GroupTable {
  std::mutex mutex;
  std::map<uint32_t, const FilterCondition*> groups;
  uint32_t next = 1;
};

GroupTable& Table() {
  static GroupTable table;
  return table;
}

}  // namespace

ClFilterGroupRegistry* ClFilterGroupRegistry::Inst() {
  static ClFilterGroupRegistry registry;
  return &registry;
}

uint32_t ClFilterGroupRegistry::Register(const FilterCondition* conditions) {
  if (conditions == nullptr) return 0;
  GroupTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  // Ids are handed out in turn, skipping 0 and ids still in use after a wrap.
  for (;;) {
    uint32_t ref = table.next++;
    if (ref == 0 || table.groups.count(ref) != 0) continue;
    table.groups[ref] = conditions;
    return ref;
  }
}

void ClFilterGroupRegistry::Unregister(uint32_t ref) {
  GroupTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.groups.erase(ref);
}

const FilterCondition* ClFilterGroupRegistry::Resolve(uint32_t ref) const {
  GroupTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.groups.find(ref);
  return it == table.groups.end() ? nullptr : it->second;
}
