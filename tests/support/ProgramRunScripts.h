#ifndef TAXLINK_TESTS_SUPPORT_PROGRAMRUNSCRIPTS_H_
#define TAXLINK_TESTS_SUPPORT_PROGRAMRUNSCRIPTS_H_

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/HostFixture.h"
#include "tests/support/ProgramRun.h"

namespace taxlink::testing {

// Control ids of the conditions dialog (template 130).
constexpr int kStartMonthEdit = 1014;
constexpr int kEndMonthEdit = 1016;
constexpr int kOutputPathEdit = 1008;
constexpr int kRunButton = 1005;
constexpr int kCancelButton = 1006;
constexpr int kByJournalsRadio = 1029;
constexpr int kSavedValuesRadio = 1031;

// Program text (Shift_JIS, as the tests' literals are compiled) to UTF-8,
// the encoding of scripts and transcripts.
std::string Utf8(std::string_view cp932);

// One script step each (a JSON line, UTF-8). Texts are given in Shift_JIS.
std::string TypeStep(int controlId, std::string_view cp932Text);
std::string ClickStep(int controlId);
std::string KeyStep(const char* key);
// answer: "yes", "no", "ok" or "cancel"; expect: a fragment of the text.
std::string AnswerStep(const char* answer, std::string_view cp932Expect = {});

// The steps of a run by journals over the given months into windowsPath
// (empty: keep what the dialog offers), the Run button included.
std::vector<std::string> JournalRunSteps(std::string_view windowsPath, int startMonth = 0,
                                         int endMonth = 0);

// The transcript entries of one event kind ("message", "dialog", ...).
std::vector<nlohmann::json> EventsOf(const ProgramRunResult& run, std::string_view kind);
// The texts of every message box, in order (UTF-8).
std::vector<std::string> MessageTexts(const ProgramRunResult& run);
// The one conditions dialog event; fails the test when there is not one.
nlohmann::json ConditionsDialogEvent(const ProgramRunResult& run);
// Whether the dialog event shows control id enabled.
bool FieldEnabled(const nlohmann::json& dialogEvent, int controlId);
// The mismatch events of the run, joined for a failure message.
std::string Mismatches(const ProgramRunResult& run);

// The datagrams a host window receives from a complete hosted run that
// posts result with functionId.
std::vector<std::string> HostedRunDatagrams(int functionId, int result);

// The text of element name in an XML report (Shift_JIS), or "<missing>".
std::string ElementText(const std::string& report, std::string_view name);

// A standard-taxation corporation over April 2014 to March 2015 with a
// sales and a purchase account, selected by user "U01" (selection numbers
// 1 and dataNo). Returns the data number.
int32_t AddSelectedCompany(HostFixture& host, const DataSetSpec& wanted = {});
constexpr int32_t kSalesAccount = 1;
constexpr int32_t kPurchaseAccount = 2;

// A journal line: a sale (tax class 1, credit) or a purchase (tax class 21,
// debit) in whole yen at rate (x 100; 0: the standard rate of the date).
JournalSpec Sale(int32_t date, int64_t yen, int64_t taxYen, int32_t rate = 800,
                 int32_t businessType = 0);
JournalSpec Purchase(int32_t date, int64_t yen, int64_t taxYen, int32_t rate = 800);

// The remembered-path file of an edition in a host home ("" when missing).
std::string RememberedPathFileOf(const HostFixture& host, const std::string& fileName);

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_PROGRAMRUNSCRIPTS_H_
