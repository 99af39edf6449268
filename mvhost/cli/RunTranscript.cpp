#include "mvhost/cli/RunTranscript.h"

#include <nlohmann/json.hpp>

#include <fstream>

#include "resources/ids/ConditionsDialogIds.h"

namespace mvhost {

namespace {

// The transcript names a dialog's fields by their control ids.
std::string FieldText(const nlohmann::json& fields, int control) {
  const std::string id = std::to_string(control);
  if (!fields.contains(id) || !fields[id].is_object()) return std::string();
  return fields[id].value("text", "");
}

bool FieldChecked(const nlohmann::json& fields, int control) {
  const std::string id = std::to_string(control);
  return fields.contains(id) && fields[id].is_object() && fields[id].value("checked", false);
}

// A month as typed: one or two digits; 0 otherwise.
int MonthOf(const std::string& text) {
  if (text.empty() || text.size() > 2) return 0;
  int month = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    month = month * 10 + (c - '0');
  }
  return month;
}

}  // namespace

RunTranscript RunTranscript::Read(const std::string& path) {
  RunTranscript run;
  std::ifstream in(path, std::ios::binary);
  bool nextUnforeseen = false;
  for (std::string line; std::getline(in, line);) {
    nlohmann::json entry = nlohmann::json::parse(line, nullptr, false);
    if (!entry.is_object()) break;
    const std::string event = entry.value("event", "");
    if (event == "mismatch") {
      if (entry.value("got", "") == "message") {
        nextUnforeseen = true;
      } else {
        run.dialogMismatches.push_back(entry.value("detail", ""));
      }
    } else if (event == "message") {
      run.messages.push_back(ShownMessage{entry.value("text", ""), entry.value("buttons", ""),
                                          entry.value("answer", ""), !nextUnforeseen});
      nextUnforeseen = false;
    } else if (event == "dialog" && entry.value("id", 0) == taxlink::kIddConditions &&
               entry.value("result", 0) == taxlink::kIdcRunButton && entry.contains("fields") &&
               entry["fields"].is_object()) {
      const nlohmann::json& fields = entry["fields"];
      TakenConditions taken;
      taken.startMonth = MonthOf(FieldText(fields, taxlink::kIdcStartMonth));
      taken.endMonth = MonthOf(FieldText(fields, taxlink::kIdcEndMonth));
      taken.method = FieldChecked(fields, taxlink::kIdcSavedReturnValues) ? "saved" : "journals";
      taken.windowsPath = FieldText(fields, taxlink::kIdcOutputPath);
      run.conditions = taken;
    }
  }
  return run;
}

}  // namespace mvhost
