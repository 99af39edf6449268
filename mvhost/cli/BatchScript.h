#ifndef TAXLINK_MVHOST_CLI_BATCHSCRIPT_H_
#define TAXLINK_MVHOST_CLI_BATCHSCRIPT_H_

#include <string>

namespace mvhost {

// The conditions of one client's run in a batch.
struct BatchRunConditions {
  bool savedValues = false;  // the saved return values, else by journals
  int startMonth = 0;        // calendar months, typed (by journals only)
  int endMonth = 0;
  std::string windowsPath;  // the report, typed into the output path (UTF-8)
  bool overwrite = false;   // yes to the overwrite question
};

// The UI script (docs/ui-script.md) that answers a run as the batch does:
// the conditions typed, the Run button, the folder question Yes, the
// overwrite question as asked, the closing message OK. Any other message
// finds no answer, so the scripted front end answers it the safe way and
// the transcript marks it as not foreseen.
std::string BatchScriptText(const BatchRunConditions& conditions);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_BATCHSCRIPT_H_
