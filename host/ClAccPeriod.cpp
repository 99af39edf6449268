#include "host/ClAccPeriod.h"

#include "host/Host.h"

void* ClAccPeriod::operator new(std::size_t size, const std::nothrow_t& nothrow) noexcept {
  return host::CreationSlot::Allocate(size, host::Registered().NewAccPeriod(), nothrow);
}

void* ClAccPeriod::operator new(std::size_t size) {
  return host::CreationSlot::Allocate(size, host::Registered().NewAccPeriod());
}

void ClAccPeriod::operator delete(void* p) noexcept { ::operator delete(p); }

void ClAccPeriod::operator delete(void* p, const std::nothrow_t&) noexcept { ::operator delete(p); }

ClAccPeriod::ClAccPeriod() : impl_(host::TakeOrMake(&host::Host::NewAccPeriod)) {}

ClAccPeriod::~ClAccPeriod() { delete impl_; }
