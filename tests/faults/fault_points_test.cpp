// Every host call the fault-injecting host can fail, failed throughout a run
// of each example data set by journals, and of the one with a saved return
// (sakura) from the saved return. The run
// either writes exactly the report of a run without the fault, or fails
// with no report and nothing remembered; it never writes other figures and
// never stops with a refusal. The runs are made in this process (the host
// is the seam), each as the program makes it: LinkApp, the scripted front
// end, the fault-injecting host over the embedded one.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/LinkApp.h"
#include "app/RunFailure.h"
#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/StoreAdmin.h"
#include "tests/hosts/FaultPoint.h"
#include "tests/support/PlatformTestEnv.h"
#include "tests/support/PlatformUiFixture.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ProgramRunScripts.h"
#include "tests/support/TempFolder.h"

namespace taxlink::testing {
namespace {

using taxlink_test::ScopedCwd;
using taxlink_test::ScopedEnv;
using taxlink_test::ScopedScriptedUi;

// The code each faulty call returns: the store locked past the host's wait.
constexpr char kFaultCode[] = "-3005";
// The messages a failed run may show: the host's for that code, and the
// host's for a rule object it could not create.
const char kInUse[] =
    "会計データは他の処理で使用中です。\nしばらくしてから、もう一度実行してください。"
    "\n\nエラーコード: -3005";
const char kNotCreated[] = "処理に必要なオブジェクトを作成できませんでした。\n\nエラーコード: -1001";

enum class Method { kJournals, kSavedReturn };

struct Example {
  const char* name;
  const char* file;  // under examples/
  const char* user;
  int dataNo;
  int startMonth;  // the whole accounting year
  int endMonth;
  Method method;
};

constexpr Example kExamples[] = {
    {"sakuraByJournals", "standard-corporation/sakura.json", "sakura", 1, 4, 3, Method::kJournals},
    {"sakuraFromSavedReturn", "standard-corporation/sakura.json", "sakura", 1, 4, 3,
     Method::kSavedReturn},
    {"midoriByJournals", "simplified-corporation/midori.json", "midori", 2, 4, 3,
     Method::kJournals},
    {"aobaByJournals", "individual/aoba.json", "aoba", 3, 1, 12, Method::kJournals},
};

// What one run left behind.
struct RunEnd {
  int exitStatus = -1;
  std::string report;
  std::string remembered;
  std::vector<std::string> messages;  // UTF-8
  size_t mismatches = 0;              // steps of the script that did not fit
  std::string standardError;
};

// Standard error of this process into a file while the object lives.
class CapturedStandardError {
 public:
  explicit CapturedStandardError(const std::string& path) : path_(path) {
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(file, STDERR_FILENO);
    ::close(file);
  }
  ~CapturedStandardError() { Restore(); }
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

class FaultPointRunTest : public ::testing::TestWithParam<Example> {
 protected:
  void SetUp() override {
    folder_ = MakeMemoryTempFolder("taxlink-fault-points");
    ASSERT_FALSE(folder_.empty());
    home_ = folder_ + "/home";
    drives_ = std::make_unique<ScopedEnv>("TAXLINK_DRIVES", "C=/");
    homeEnv_ = std::make_unique<ScopedEnv>("MVHOST_HOME", home_);
    Import(GetParam());
    std::filesystem::create_directories(folder_ + "/out");
  }

  void TearDown() override {
    mvhost::HostSession::Close();
    homeEnv_.reset();
    drives_.reset();
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }

  void Import(const Example& example) {
    mvhost::HostStore store;
    std::string error;
    ASSERT_TRUE(store.Create(home_, &error)) << error;
    int32_t dataNo = 0;
    ASSERT_TRUE(mvhost::ImportDataSetFile(
        store, std::string(TAXLINK_SOURCE_DIR) + "/examples/" + example.file, false, &dataNo,
        &error))
        << error;
    ASSERT_EQ(dataNo, example.dataNo);
    ASSERT_TRUE(mvhost::SelectDataSet(store.db(), example.user, dataNo, &error)) << error;
    ASSERT_TRUE(mvhost::WriteStateEntry(store.db(), "current_user", example.user, &error))
        << error;
  }

  std::string Script() const {
    const std::string path = WindowsPathOf(ReportPath());
    std::vector<std::string> steps;
    if (GetParam().method == Method::kJournals) {
      steps = JournalRunSteps(path, GetParam().startMonth, GetParam().endMonth);
    } else {
      steps = {ClickStep(kSavedValuesRadio), TypeStep(kOutputPathEdit, path),
               ClickStep(kRunButton)};
    }
    steps.push_back(AnswerStep("ok", "出力が終了しました"));
    std::string script;
    for (const std::string& step : steps) script += step + "\n";
    return script;
  }

  std::string ReportPath() const { return folder_ + "/out/report.xml"; }
  std::string RememberedPath() const { return home_ + "/folders/app/TaxLinkAlto.env"; }

  // One run with the given fault entries, as the program's main makes it.
  RunEnd Run(const std::string& faults) {
    std::filesystem::remove(ReportPath());
    std::filesystem::remove(RememberedPath());
    RunEnd end;
    {
      ScopedEnv injected("MVHOST_FAULTS", faults);
      ScopedCwd cwd(folder_);  // the run moves to the program's folder
      ScopedScriptedUi ui(Script());
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
    end.report = ReadFileBytes(ReportPath());
    end.remembered = ReadFileBytes(RememberedPath());
    return end;
  }

  std::string folder_;
  std::string home_;
  std::unique_ptr<ScopedEnv> drives_;
  std::unique_ptr<ScopedEnv> homeEnv_;
};

TEST_P(FaultPointRunTest, WritesTheSameReportOrFails) {
  const RunEnd clean = Run("");
  ASSERT_EQ(clean.exitStatus, 0) << clean.standardError;
  ASSERT_EQ(clean.mismatches, 0u) << clean.standardError;
  ASSERT_NE(clean.report, "");
  ASSERT_NE(clean.remembered, "");

  std::map<std::string, int> outcomes;
  for (size_t i = 0; i < hosts::kFaultPointCount; ++i) {
    const std::string name(hosts::NameOf(static_cast<hosts::FaultPoint>(i)));
    SCOPED_TRACE(name);
    const RunEnd end = Run(name + "=" + kFaultCode);
    switch (end.exitStatus) {
      case 0:
        // Written: with exactly the figures of the run without the fault.
        // Without the host's folders the conditions are neither read nor
        // remembered, as the dialog's fallbacks say; nothing else differs.
        EXPECT_EQ(end.report, clean.report) << end.standardError;
        EXPECT_EQ(end.remembered,
                  name == "ClFileMgr::GetAppFolderPath" ? std::string() : clean.remembered);
        ++outcomes["written"];
        break;
      case 2:
        // Failed: no report, nothing remembered, and no message but the
        // host's for the failure.
        EXPECT_EQ(end.report, "");
        EXPECT_EQ(end.remembered, "");
        for (const std::string& message : end.messages) {
          EXPECT_TRUE(message == Utf8(kInUse) || message == Utf8(kNotCreated)) << message;
        }
        ++outcomes["failed"];
        break;
      case 3:
        // The link itself refused: nothing done.
        EXPECT_EQ(name, "ClAccConnect::Initiate");
        EXPECT_EQ(end.report, "");
        ++outcomes["link refused"];
        break;
      default:
        ADD_FAILURE() << "ended with " << end.exitStatus << "; messages:"
                      << ::testing::PrintToString(end.messages) << "\n"
                      << end.standardError;
    }
  }
  EXPECT_EQ(outcomes["link refused"], 1);
  std::printf("  %d written, %d failed, %d refused link of %zu fault points\n",
              outcomes["written"], outcomes["failed"], outcomes["link refused"],
              hosts::kFaultPointCount);
}

INSTANTIATE_TEST_SUITE_P(Examples, FaultPointRunTest, ::testing::ValuesIn(kExamples),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace taxlink::testing
