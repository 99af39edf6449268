#ifndef TAXLINK_TESTS_SUPPORT_REPORTFIXTURES_H_
#define TAXLINK_TESTS_SUPPORT_REPORTFIXTURES_H_

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <functional>
#include <utility>

#include "aggregation/TaxSettings.h"
#include "aggregation/TaxSummaryTables.h"
#include "host/ClSetShohizei.h"
#include "host/StSaveTaxInfo.h"
#include "platform/dialog/UserInterface.h"
#include "report/ReportDocument.h"
#include "report/ReportInputs.h"

namespace taxlink::testing {

// One message box the program showed.
struct ShownMessage {
  HWND owner;
  std::string text;
  std::string caption;
  uint32_t style;
};

// A user interface that records message boxes and answers them from a
// script (IDYES when the script has run out). Installed for its lifetime.
class RecordingUi : public platform::UserInterface {
 public:
  struct Log {
    std::vector<ShownMessage> messages;
    std::deque<int> answers;
  };

  // Installs a recording front end; the log lives as long as this object.
  class Scope {
   public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    Log& log() { return *log_; }

   private:
    std::shared_ptr<Log> log_;
    std::unique_ptr<platform::UserInterface> previous_;
  };

  explicit RecordingUi(std::shared_ptr<Log> log) : log_(std::move(log)) {}

  int MessageBox(HWND owner, std::string_view text, std::string_view caption,
                 uint32_t style) override;
  int RunModal(platform::Dialog&) override { return IDCANCEL; }
  void ModelessChanged(platform::Dialog&) override {}
  void ModelessDestroyed(platform::Dialog&) override {}
  bool GetSaveFileName(platform::SaveFileRequest&) override { return false; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}

 private:
  std::shared_ptr<Log> log_;
};

// A consumption-tax set object that reports a given number of tax rates.
class FakeTaxSet : public ClSetShohizei {
 public:
  explicit FakeTaxSet(int32_t rateCount) : rateCount_(rateCount) {}
  int32_t AttachSetMgr(ClSetMgr*) override { return 0; }
  int32_t SetCurDataID(const char*) override { return 0; }
  int32_t Get(StSHOHIZEIINFO* out) override;
  int32_t GetTaxRateCount() override { return rateCount_; }

  StSHOHIZEIINFO settings{};

 private:
  int32_t rateCount_;
};

// A fresh temporary folder (POSIX), removed with its files at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  // POSIX and Windows paths of a file in the folder.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string WindowsFile(const std::string& name) const;

 private:
  std::string path_;
};

// Changes the current directory for its lifetime.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& path);
  ~CurrentDirectory();
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::string previous_;
};

// The values of a run that the report reads, built by a test. settings
// holds the consumption-tax settings record (filing class, rounding mode);
// whether the host had a settings object and its rate rows are the
// TestDocument's.
struct ReportRun {
  TaxSummaryTables tables;
  TaxSettings settings;
  std::unique_ptr<StSaveTaxInfo> savedReturn;
  int16_t functionId = 1;

  ReportInputs inputs() const {
    return ReportInputs{tables, settings, savedReturn.get(), functionId};
  }
};

// The run's settings as read from a consumption-tax set object of the
// test's choosing (null: the host had none).
TaxSettings SettingsWithTaxSet(const TaxSettings& settings, ClSetShohizei* taxSet);

// Holds the settings a TestDocument reports with (a base, so that they are
// there before the document refers to them).
struct TestDocumentSettings {
  TaxSettings settings;
};

// The section writers of a run whose host had the given consumption-tax set
// object (null: none). The run's tables, saved return and function id are
// taken when the document is made.
class TestDocument : private TestDocumentSettings, public ReportDocument {
 public:
  TestDocument(const ReportRun& run, ClSetShohizei* taxSet)
      : TestDocumentSettings{SettingsWithTaxSet(run.settings, taxSet)},
        ReportDocument(ReportInputs{run.tables, settings, run.savedReturn.get(), run.functionId}) {}
};

// Runs write against a writer on a fresh file and returns the bytes written;
// *result receives what write returned.
std::string CaptureLines(const std::function<bool(XmlTextWriter&)>& write, bool* result);

// The element lines of written text as (name, value) pairs, in order;
// opening and closing tag lines are left out.
std::vector<std::pair<std::string, std::string>> ElementsOf(const std::string& text);
// The value of the first element of that name; "<missing>" when none.
std::string ValueOf(const std::string& text, const std::string& name);

// Whole-file helpers.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_REPORTFIXTURES_H_
