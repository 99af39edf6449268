#include "app/HostReadSpan.h"

#include "host/ClAccConnect.h"

namespace taxlink {

HostReadSpan::HostReadSpan() { ClAccConnect::Inst()->BeginReadSpan(); }

HostReadSpan::~HostReadSpan() { End(); }

void HostReadSpan::End() {
  if (open_) ClAccConnect::Inst()->EndReadSpan();
  open_ = false;
}

void HostReadSpan::Resume() {
  ClAccConnect::Inst()->BeginReadSpan();
  open_ = true;
}

}  // namespace taxlink
