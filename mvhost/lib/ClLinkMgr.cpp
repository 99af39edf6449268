#include "host/ClLinkMgr.h"

#include "mvhost/lib/ClOptLink.h"
#include "mvhost/lib/HostObjects.h"

namespace mvhost {

namespace {

// The one set of link options of the process.
class LinkOptions : public ClLinkMgr::Impl {
 public:
  ClOptLink* GetOptLink() override { return &options_; }

 private:
  ClOptLink options_;
};

}  // namespace

ClLinkMgr::Impl& LinkOptionService() {
  static LinkOptions options;
  return options;
}

}  // namespace mvhost
