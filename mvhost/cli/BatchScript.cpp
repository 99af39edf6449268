#include "mvhost/cli/BatchScript.h"

#include <nlohmann/json.hpp>

#include "resources/ids/ConditionsDialogIds.h"

namespace mvhost {

namespace {

// Fragments of the questions and the closing message the batch answers.
constexpr char kFolderQuestion[] = "指定されたフォルダは存在しません";
constexpr char kOverwriteQuestion[] = "同名のファイルが存在します";
constexpr char kClosingMessage[] = "消費税情報の出力が終了しました";

std::string Line(const nlohmann::json& step) { return step.dump() + "\n"; }

nlohmann::json Type(int id, const std::string& text) {
  return {{"do", "type"}, {"id", id}, {"text", text}, {"dialog", taxlink::kIddConditions}};
}

}  // namespace

std::string BatchScriptText(const BatchRunConditions& conditions) {
  std::string script;
  if (conditions.savedValues) {
    script += Line({{"do", "click"},
                    {"id", taxlink::kIdcSavedReturnValues},
                    {"dialog", taxlink::kIddConditions}});
  } else {
    script += Line(Type(taxlink::kIdcStartMonth, std::to_string(conditions.startMonth)));
    script += Line(Type(taxlink::kIdcEndMonth, std::to_string(conditions.endMonth)));
  }
  script += Line(Type(taxlink::kIdcOutputPath, conditions.windowsPath));
  script +=
      Line({{"do", "click"}, {"id", taxlink::kIdcRunButton}, {"dialog", taxlink::kIddConditions}});
  script += Line({{"answer", "yes"}, {"expect", kFolderQuestion}, {"optional", true}});
  if (conditions.overwrite) {
    script += Line({{"answer", "yes"}, {"expect", kOverwriteQuestion}, {"optional", true}});
  }
  script += Line({{"answer", "ok"}, {"expect", kClosingMessage}});
  return script;
}

}  // namespace mvhost
