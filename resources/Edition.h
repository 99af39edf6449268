#ifndef TAXLINK_RESOURCES_EDITION_H_
#define TAXLINK_RESOURCES_EDITION_H_

namespace taxlink {

// The values in which the three editions of the program differ.
struct Edition {
  const char* deliverable;         // "TaxLinkAlto"
  int appType;                     // host application type (ClSysEnvMgr)
  const char* productDisplayName;  // Shift_JIS
  const char* rememberedPathFile;  // "TaxLinkAlto.env"
};

// The edition this executable was built as (one EditionXxx.cpp per program).
const Edition& CurrentEdition();

// The three rows of the edition table.
const Edition& AltoEdition();
const Edition& StdEdition();
const Edition& SerenaEdition();

}  // namespace taxlink

#endif  // TAXLINK_RESOURCES_EDITION_H_
