#include "host/HostObject.h"

namespace host {

namespace {

thread_local HostObject* waiting = nullptr;

}  // namespace

void* CreationSlot::Allocate(std::size_t size, HostObject* impl, const std::nothrow_t&) noexcept {
  if (impl == nullptr) return nullptr;
  void* memory = ::operator new(size, std::nothrow);
  if (memory == nullptr) {
    delete impl;
    return nullptr;
  }
  delete waiting;  // a construction that never came (none is expected)
  waiting = impl;
  return memory;
}

void* CreationSlot::Allocate(std::size_t size, HostObject* impl) {
  void* memory = Allocate(size, impl, std::nothrow);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

HostObject* CreationSlot::Take() noexcept {
  HostObject* impl = waiting;
  waiting = nullptr;
  return impl;
}

}  // namespace host
