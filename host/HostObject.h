#ifndef TAXLINK_HOST_HOSTOBJECT_H_
#define TAXLINK_HOST_HOSTOBJECT_H_

#include <cstddef>
#include <new>

namespace host {

// Root of the implementations a host creates behind the program's objects
// (rule objects, saved-data readers, periods).
class HostObject {
 public:
  virtual ~HostObject() = default;
};

// Creation of a program-created host object. The class's operator new asks
// the registered host for the implementation first: when the host cannot
// create one, the new-expression yields null (or throws std::bad_alloc in
// its throwing form). The implementation then waits here, on this thread,
// for the constructor that follows.
class CreationSlot {
 public:
  // Memory of size bytes with impl waiting for the constructor; null (impl
  // deleted) when impl is null or no memory is left.
  static void* Allocate(std::size_t size, HostObject* impl, const std::nothrow_t&) noexcept;
  // The same, throwing std::bad_alloc instead of returning null.
  static void* Allocate(std::size_t size, HostObject* impl);
  // The implementation made for the object being constructed, or null when
  // the object was not created through its operator new.
  static HostObject* Take() noexcept;
};

}  // namespace host

// Declares the allocation functions of a host class in its body.
#define HOST_OBJECT_ALLOCATION                                                 \
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept; \
  static void* operator new(std::size_t size);                                 \
  static void operator delete(void* p) noexcept;                               \
  static void operator delete(void* p, const std::nothrow_t&) noexcept

// Defines the allocation functions and the constructor of a host class
// whose implementation the registered host makes with its function Maker
// (host/Host.h); Base is the class's base, constructed with the
// implementation. A constructor not reached through operator new (an object
// on the stack) asks the host itself and throws std::bad_alloc when it
// cannot create one.
#define HOST_OBJECT_DEFINITION(ClassName, Base, Maker)                                      \
  void* ClassName::operator new(std::size_t size, const std::nothrow_t& nothrow) noexcept { \
    return ::host::CreationSlot::Allocate(size, ::host::Registered().Maker(), nothrow);     \
  }                                                                                         \
  void* ClassName::operator new(std::size_t size) {                                         \
    return ::host::CreationSlot::Allocate(size, ::host::Registered().Maker());              \
  }                                                                                         \
  void ClassName::operator delete(void* p) noexcept { ::operator delete(p); }               \
  void ClassName::operator delete(void* p, const std::nothrow_t&) noexcept {                \
    ::operator delete(p);                                                                   \
  }                                                                                         \
  ClassName::ClassName() : Base(::host::TakeOrMake(&::host::Host::Maker)) {}

#endif  // TAXLINK_HOST_HOSTOBJECT_H_
