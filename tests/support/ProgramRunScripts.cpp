#include "tests/support/ProgramRunScripts.h"

#include <gtest/gtest.h>

#include "platform/text/Encoding.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {

namespace {

constexpr int64_t kYen = 10000;

std::string Line(const nlohmann::json& step) { return step.dump(); }

}  // namespace

std::string Utf8(std::string_view cp932) { return platform::Cp932ToUtf8(std::string(cp932)); }

std::string TypeStep(int controlId, std::string_view cp932Text) {
  return Line({{"do", "type"}, {"id", controlId}, {"text", Utf8(cp932Text)}});
}

std::string ClickStep(int controlId) { return Line({{"do", "click"}, {"id", controlId}}); }

std::string KeyStep(const char* key) { return Line({{"do", "key"}, {"key", key}}); }

std::string AnswerStep(const char* answer, std::string_view cp932Expect) {
  nlohmann::json step = {{"answer", answer}};
  if (!cp932Expect.empty()) step["expect"] = Utf8(cp932Expect);
  return Line(step);
}

std::vector<std::string> JournalRunSteps(std::string_view windowsPath, int startMonth,
                                         int endMonth) {
  std::vector<std::string> steps;
  if (startMonth != 0) steps.push_back(TypeStep(kStartMonthEdit, std::to_string(startMonth)));
  if (endMonth != 0) steps.push_back(TypeStep(kEndMonthEdit, std::to_string(endMonth)));
  if (!windowsPath.empty()) steps.push_back(TypeStep(kOutputPathEdit, windowsPath));
  steps.push_back(ClickStep(kRunButton));
  return steps;
}

std::vector<nlohmann::json> EventsOf(const ProgramRunResult& run, std::string_view kind) {
  std::vector<nlohmann::json> events;
  for (const nlohmann::json& entry : run.transcript) {
    if (entry.value("event", "") == kind) events.push_back(entry);
  }
  return events;
}

std::vector<std::string> MessageTexts(const ProgramRunResult& run) {
  std::vector<std::string> texts;
  for (const nlohmann::json& event : EventsOf(run, "message")) {
    texts.push_back(event.value("text", ""));
  }
  return texts;
}

nlohmann::json ConditionsDialogEvent(const ProgramRunResult& run) {
  std::vector<nlohmann::json> dialogs;
  for (const nlohmann::json& event : EventsOf(run, "dialog")) {
    if (event.value("id", 0) == 130) dialogs.push_back(event);
  }
  EXPECT_EQ(dialogs.size(), 1u) << "conditions dialogs shown";
  return dialogs.empty() ? nlohmann::json::object() : dialogs.front();
}

bool FieldEnabled(const nlohmann::json& dialogEvent, int controlId) {
  std::string key = std::to_string(controlId);
  if (!dialogEvent.contains("fields") || !dialogEvent["fields"].contains(key)) {
    ADD_FAILURE() << "no control " << key << " in " << dialogEvent.dump();
    return false;
  }
  return dialogEvent["fields"][key].value("enabled", false);
}

std::string Mismatches(const ProgramRunResult& run) {
  std::string text;
  for (const nlohmann::json& event : EventsOf(run, "mismatch")) text += event.dump() + "\n";
  return text;
}

std::vector<std::string> HostedRunDatagrams(int functionId, int result) {
  return {"ENABLE 0", "FOREGROUND", "ENABLE 1",
          "POST 1025 " + std::to_string(functionId) + " " + std::to_string(result), "ENABLE 1"};
}

std::string ElementText(const std::string& report, std::string_view name) {
  std::string open = "<" + std::string(name) + ">";
  std::string close = "</" + std::string(name) + ">";
  size_t at = report.find(open);
  if (at == std::string::npos) return "<missing>";
  at += open.size();
  size_t end = report.find(close, at);
  if (end == std::string::npos) return "<missing>";
  return report.substr(at, end - at);
}

int32_t AddSelectedCompany(HostFixture& host, const DataSetSpec& wanted) {
  int32_t dataNo = host.AddDataSet(wanted);
  host.AddAccount({.accountId = kSalesAccount,
                   .code = "500",
                   .name = "売上高"_sjis,
                   .classCode = 0x60880000,
                   .balanceSide = 2});
  host.AddAccount({.accountId = kPurchaseAccount,
                   .code = "600",
                   .name = "仕入高"_sjis,
                   .classCode = 0x40884400,
                   .balanceSide = 1});
  host.SelectForUser("U01", dataNo);
  return dataNo;
}

JournalSpec Sale(int32_t date, int64_t yen, int64_t taxYen, int32_t rate, int32_t businessType) {
  return JournalSpec{.date = date,
                     .credit = {.account = kSalesAccount,
                                .amount = yen * kYen,
                                .tax = taxYen * kYen,
                                .taxClass = 1},
                     .rate = rate,
                     .businessType = businessType};
}

JournalSpec Purchase(int32_t date, int64_t yen, int64_t taxYen, int32_t rate) {
  return JournalSpec{.date = date,
                     .debit = {.account = kPurchaseAccount,
                               .amount = yen * kYen,
                               .tax = taxYen * kYen,
                               .taxClass = 21},
                     .rate = rate};
}

std::string RememberedPathFileOf(const HostFixture& host, const std::string& fileName) {
  return ReadFileBytes(host.Home() + "/folders/app/" + fileName);
}

}  // namespace taxlink::testing
