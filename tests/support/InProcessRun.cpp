#include "tests/support/InProcessRun.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>

#include "app/LinkApp.h"
#include "app/RunFailure.h"
#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/StoreAdmin.h"
#include "tests/support/PlatformUiFixture.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ProgramRunScripts.h"
#include "tests/support/SjisLiteral.h"
#include "tests/support/TempFolder.h"

namespace taxlink::testing {

namespace {

// Standard error of this process into a file while the object lives.
class CapturedStandardError {
 public:
  explicit CapturedStandardError(const std::string& path) : path_(path) {
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (file >= 0) {
      ::dup2(file, STDERR_FILENO);
      ::close(file);
    }
  }
  ~CapturedStandardError() { Restore(); }
  CapturedStandardError(const CapturedStandardError&) = delete;
  CapturedStandardError& operator=(const CapturedStandardError&) = delete;

  std::string Text() {
    Restore();
    return ReadFileBytes(path_);
  }

 private:
  void Restore() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    saved_ = -1;
  }

  std::string path_;
  int saved_ = -1;
};

}  // namespace

ExampleRunHome::ExampleRunHome(const ExampleDataSet& example) : example_(example) {
  folder_ = MakeMemoryTempFolder("taxlink-example-run");
  if (folder_.empty()) {
    error_ = "no temporary folder";
    return;
  }
  home_ = folder_ + "/home";
  drives_ = std::make_unique<taxlink_test::ScopedEnv>("TAXLINK_DRIVES", "C=/");
  homeEnv_ = std::make_unique<taxlink_test::ScopedEnv>("MVHOST_HOME", home_);
  std::filesystem::create_directories(folder_ + "/out");
  mvhost::HostStore store;
  int32_t dataNo = 0;
  const std::string file = std::string(TAXLINK_SOURCE_DIR) + "/examples/" + example.file;
  if (!store.Create(home_, &error_) ||
      !mvhost::ImportDataSetFile(store, file, false, &dataNo, &error_) ||
      !mvhost::SelectDataSet(store.db(), example.user, dataNo, &error_) ||
      !mvhost::WriteStateEntry(store.db(), "current_user", example.user, &error_)) {
    if (error_.empty()) error_ = "the example could not be imported";
  }
}

ExampleRunHome::~ExampleRunHome() {
  mvhost::HostSession::Close();
  homeEnv_.reset();
  drives_.reset();
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

std::string ExampleRunHome::Script() const {
  const std::string path = WindowsPathOf(folder_ + "/out/report.xml");
  std::vector<std::string> steps;
  if (example_.fromSavedReturn) {
    steps = {ClickStep(kSavedValuesRadio), TypeStep(kOutputPathEdit, path), ClickStep(kRunButton)};
  } else {
    steps = JournalRunSteps(path, example_.startMonth, example_.endMonth);
  }
  steps.push_back(AnswerStep("ok", "出力が終了しました"_sjis));
  std::string script;
  for (const std::string& step : steps) script += step + "\n";
  return script;
}

InProcessRunEnd ExampleRunHome::Run(const std::string& faults) {
  const std::string report = folder_ + "/out/report.xml";
  const std::string remembered = home_ + "/folders/app/TaxLinkAlto.env";
  std::filesystem::remove(report);
  std::filesystem::remove(remembered);
  InProcessRunEnd end;
  {
    taxlink_test::ScopedEnv injected("MVHOST_FAULTS", faults);
    taxlink_test::ScopedCwd cwd(folder_);  // the run moves to the program's folder
    taxlink_test::ScopedScriptedUi ui(Script());
    CapturedStandardError captured(folder_ + "/stderr.txt");
    LinkApp app;
    try {
      app.InitInstance();
    } catch (...) {
      FailRunAfterException(app, std::current_exception());
    }
    app.ExitInstance();
    end.exitStatus = app.ExitStatus();
    end.messages = ui.MessageTexts();
    end.mismatches = ui->Events("mismatch").size();
    end.standardError = captured.Text();
  }
  end.report = ReadFileBytes(report);
  end.remembered = ReadFileBytes(remembered);
  return end;
}

}  // namespace taxlink::testing
