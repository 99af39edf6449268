#include "mvhost/cli/BatchScript.h"

#include <nlohmann/json.hpp>

namespace mvhost {

namespace {

// The conditions dialog's controls (resources/ConditionsDialogTemplate.h).
constexpr int kConditionsDialog = 130;
constexpr int kRunButton = 1005;
constexpr int kOutputPath = 1008;
constexpr int kStartMonth = 1014;
constexpr int kEndMonth = 1016;
constexpr int kSavedReturnValues = 1031;

// Fragments of the questions and the closing message the batch answers.
constexpr char kFolderQuestion[] = "指定されたフォルダは存在しません";
constexpr char kOverwriteQuestion[] = "同名のファイルが存在します";
constexpr char kClosingMessage[] = "消費税情報の出力が終了しました";

std::string Line(const nlohmann::json& step) { return step.dump() + "\n"; }

nlohmann::json Type(int id, const std::string& text) {
  return {{"do", "type"}, {"id", id}, {"text", text}, {"dialog", kConditionsDialog}};
}

}  // namespace

std::string BatchScriptText(const BatchRunConditions& conditions) {
  std::string script;
  if (conditions.savedValues) {
    script += Line({{"do", "click"}, {"id", kSavedReturnValues}, {"dialog", kConditionsDialog}});
  } else {
    script += Line(Type(kStartMonth, std::to_string(conditions.startMonth)));
    script += Line(Type(kEndMonth, std::to_string(conditions.endMonth)));
  }
  script += Line(Type(kOutputPath, conditions.windowsPath));
  script += Line({{"do", "click"}, {"id", kRunButton}, {"dialog", kConditionsDialog}});
  script += Line({{"answer", "yes"}, {"expect", kFolderQuestion}, {"optional", true}});
  if (conditions.overwrite) {
    script += Line({{"answer", "yes"}, {"expect", kOverwriteQuestion}, {"optional", true}});
  }
  script += Line({{"answer", "ok"}, {"expect", kClosingMessage}});
  return script;
}

}  // namespace mvhost
