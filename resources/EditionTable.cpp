#include "resources/Edition.h"

#include "host/ClSysEnvMgr.h"
#include "resources/Texts.h"

namespace taxlink {

const Edition& AltoEdition() {
  static const Edition edition{"TaxLinkAlto", ClSysEnvMgr::kAppTypeAlto, texts::kProductNameAlto,
                               "TaxLinkAlto.env"};
  return edition;
}

const Edition& StdEdition() {
  static const Edition edition{"TaxLinkStd", ClSysEnvMgr::kAppTypeStd, texts::kProductNameStd,
                               "TaxLinkStd.env"};
  return edition;
}

const Edition& SerenaEdition() {
  static const Edition edition{"TaxLinkSerena", ClSysEnvMgr::kAppTypeSerena,
                               texts::kProductNameSerena, "TaxLinkSerena.env"};
  return edition;
}

}  // namespace taxlink
