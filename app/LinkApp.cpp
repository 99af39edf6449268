#include "app/LinkApp.h"

namespace taxlink {

LinkApp& TheApp() {
  // Built by static initialisation before the run and kept until process exit.
  static LinkApp app;
  return app;
}

}  // namespace taxlink
