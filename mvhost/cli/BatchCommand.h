#ifndef TAXLINK_MVHOST_CLI_BATCHCOMMAND_H_
#define TAXLINK_MVHOST_CLI_BATCHCOMMAND_H_

#include <cstdint>
#include <string>
#include <vector>

namespace mvhost {

struct BatchOptions {
  std::string home;    // --home, else MVHOST_HOME
  std::string out;     // --out DIR
  int startMonth = 0;  // --months S-E; both 0 with --whole-period
  int endMonth = 0;
  bool savedValues = false;  // --method saved
  std::string edition;       // empty: the home's edition, else Alto
  bool overwrite = false;
  int jobs = 0;  // 0: the number of cores
  bool resume = false;
  bool findings = true;  // --no-findings: no bookkeeping check per client
  bool all = false;
  std::vector<int32_t> dataNos;
  std::string program;  // --program: started instead of the edition's
};

// `mvhost batch`: runs the link for each data set with fixed conditions and
// no questions, -j at a time, and writes DIR/index.csv and DIR/index.html
// (docs/mvhost.md, "batch"). 0 when every run wrote its report, 1 when any
// was refused or failed (or the batch could not start or was stopped), 2
// on a usage error.
int BatchCommand(const BatchOptions& options);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_BATCHCOMMAND_H_
