#ifndef TAXLINK_FUZZ_IMPORTROUNDTRIP_H_
#define TAXLINK_FUZZ_IMPORTROUNDTRIP_H_

#include <string>

namespace fuzz {

// Imports a data set text into the target's store (data sets of the same
// number are replaced). When the import succeeds, the bookkeeping check of
// the stored data set must find as many findings per rule as the import's,
// and the export, imported again and exported, must give the same text;
// anything else is reported as broken. baseDir: where a "journals_csv" file
// is read.
void CheckImportRoundTrip(const std::string& text, const std::string& baseDir);

}  // namespace fuzz

#endif  // TAXLINK_FUZZ_IMPORTROUNDTRIP_H_
