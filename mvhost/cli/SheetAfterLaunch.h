#ifndef TAXLINK_MVHOST_CLI_SHEETAFTERLAUNCH_H_
#define TAXLINK_MVHOST_CLI_SHEETAFTERLAUNCH_H_

#include <string>

namespace mvhost {

// `mvhost launch --sheet`: the check sheet of the report a written run
// wrote, beside the report, with the bookkeeping check's findings for the
// run's data set and months. The host learns where the report went and
// over which months from the run's transcript (the output path and months
// of the conditions dialog), so a run without TAXLINK_UI_TRANSCRIPT gets
// one in a private folder of this object, removed with it.
class SheetAfterLaunch {
 public:
  SheetAfterLaunch() = default;
  ~SheetAfterLaunch();
  SheetAfterLaunch(const SheetAfterLaunch&) = delete;
  SheetAfterLaunch& operator=(const SheetAfterLaunch&) = delete;

  // Before the program starts: sets TAXLINK_UI_TRANSCRIPT when it is not.
  bool Prepare(std::string* error);

  // The transcript the run writes.
  const std::string& TranscriptPath() const { return transcript_; }

  // After a written run: checks the books, runs sheetProgram on the report
  // with the findings (and the run's trace, when not empty) and gives the
  // path of the sheet it wrote; false with the reason otherwise (a check
  // that could not be made is on the sheet).
  bool Write(const std::string& sheetProgram, const std::string& trace, std::string* sheetPath,
             std::string* error);

 private:
  std::string transcript_;
  std::string ownFolder_;  // set when the transcript is this object's own
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_SHEETAFTERLAUNCH_H_
