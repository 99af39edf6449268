#include "resources/Edition.h"

#include "host/ClSysEnvMgr.h"

namespace taxlink {

const Edition& AltoEdition() {
  static const Edition edition{"TaxLinkAlto", ClSysEnvMgr::kAppTypeAlto, "Marvesta１８ Alto",
                               "TaxLinkAlto.env"};
  return edition;
}

const Edition& StdEdition() {
  static const Edition edition{"TaxLinkStd", ClSysEnvMgr::kAppTypeStd, "Marvesta１８",
                               "TaxLinkStd.env"};
  return edition;
}

const Edition& SerenaEdition() {
  static const Edition edition{"TaxLinkSerena", ClSysEnvMgr::kAppTypeSerena,
                               "Marvesta１８ Serena", "TaxLinkSerena.env"};
  return edition;
}

}  // namespace taxlink
