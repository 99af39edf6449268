#include "host/Host.h"

#include <cstdio>
#include <cstdlib>

namespace host {

namespace {

Host* registered = nullptr;

}  // namespace

Host* Register(Host* host) {
  Host* before = registered;
  registered = host;
  return before;
}

Host& Registered() {
  if (registered == nullptr) {
    std::fputs("taxlink: a host call was made before a host was registered\n", stderr);
    std::abort();
  }
  return *registered;
}

}  // namespace host
