#include "platform/ui/ScriptedUi.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/dialog/Dialog.h"
#include "platform/text/Encoding.h"

namespace platform {
namespace {

using Json = nlohmann::ordered_json;

std::string Utf8(std::string_view cp932) { return Cp932ToUtf8(cp932); }

}  // namespace

ScriptedUi::ScriptedUi(std::string_view scriptText, std::string transcriptPath, bool keepTranscript)
    : script_(UiScript::Parse(scriptText, &scriptError_)),
      transcript_(std::move(transcriptPath), keepTranscript) {
  if (!scriptError_.empty()) {
    std::fprintf(stderr, "taxlink: user interface script, %s; the script ends before it\n",
                 scriptError_.c_str());
  }
}

std::unique_ptr<ScriptedUi> ScriptedUi::FromFile(const std::string& scriptPath,
                                                 std::string transcriptPath) {
  std::ifstream in(scriptPath, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "taxlink: cannot read the user interface script %s\n", scriptPath.c_str());
    return std::make_unique<ScriptedUi>(std::string_view(), std::move(transcriptPath), false);
  }
  std::ostringstream text;
  text << in.rdbuf();
  return std::make_unique<ScriptedUi>(text.str(), std::move(transcriptPath), false);
}

std::vector<nlohmann::ordered_json> ScriptedUi::Events(std::string_view event) const {
  std::vector<Json> found;
  for (const Json& entry : transcript_.Entries()) {
    if (entry.value("event", std::string()) == event) found.push_back(entry);
  }
  return found;
}

void ScriptedUi::Mismatch(const nlohmann::ordered_json* expected, std::string_view got,
                          const std::string& detail) {
  ++mismatches_;
  Json entry;
  entry["event"] = "mismatch";
  entry["expected"] = expected != nullptr ? *expected : Json(nullptr);
  entry["got"] = std::string(got);
  entry["detail"] = detail;
  std::fprintf(stderr, "taxlink: user interface script mismatch: %s\n", detail.c_str());
  transcript_.Add(std::move(entry));
}

int ScriptedUi::MessageBox(HWND owner, std::string_view text, std::string_view caption,
                           uint32_t style) {
  std::string answer = UiTranscript::SafeAnswer(style);
  if (cancelling_ == 0) {
    std::string utf8Text = Utf8(text);
    // An optional answer for a message that did not come is passed over.
    for (const Json* next = script_.Peek();
         next != nullptr && UiScript::KindOf(*next) == UiScript::StepKind::kAnswer &&
         next->value("optional", false) &&
         utf8Text.find((*next)["expect"].get<std::string>()) == std::string::npos;
         next = script_.Peek()) {
      script_.Pop();
    }
    const Json* step = script_.Peek();
    if (step == nullptr || UiScript::KindOf(*step) != UiScript::StepKind::kAnswer) {
      Mismatch(step, "message", "no answer in the script for the message \"" + utf8Text + "\"");
    } else if (step->contains("expect") &&
               utf8Text.find((*step)["expect"].get<std::string>()) == std::string::npos) {
      Mismatch(step, "message",
               "the message \"" + utf8Text + "\" does not contain \"" +
                   (*step)["expect"].get<std::string>() + "\"");
    } else if (!UiTranscript::IsButtonOf((*step)["answer"].get<std::string>(), style)) {
      Mismatch(step, "message",
               "\"" + (*step)["answer"].get<std::string>() + "\" is not a button of the " +
                   UiTranscript::ButtonsName(style) + " message \"" + utf8Text + "\"");
    } else {
      answer = (*step)["answer"].get<std::string>();
      script_.Pop();
    }
  }
  if (transcript_.Records()) {
    transcript_.Add(UiTranscript::Message(owner, text, caption, style, answer));
  }
  return UiTranscript::AnswerId(answer);
}

int ScriptedUi::RunModal(Dialog& dialog) {
  dialog.SetModal(true);
  dialog.Create();
  if (!dialog.IsEnded()) dialog.ShowWindow(true);
  while (!dialog.IsEnded()) {
    const Json* step = script_.Peek();
    std::string which =
        "dialog " + std::to_string(dialog.TemplateId()) + " \"" + Utf8(dialog.Caption()) + "\"";
    if (step == nullptr || UiScript::KindOf(*step) != UiScript::StepKind::kDialogAction) {
      Mismatch(step, "dialog", which + " waits for input but the script has no action for it");
      CancelDialog(dialog);
      break;
    }
    if (step->contains("dialog") && (*step)["dialog"].get<int>() != dialog.TemplateId()) {
      Mismatch(step, "dialog",
               "the step is for dialog " + std::to_string((*step)["dialog"].get<int>()) + " but " +
                   which + " is open");
      CancelDialog(dialog);
      break;
    }
    Json action = *step;
    script_.Pop();
    std::string problem;
    if (!Perform(dialog, action, &problem)) Mismatch(&action, "dialog", which + ": " + problem);
  }
  if (transcript_.Records()) transcript_.Add(UiTranscript::DialogEnded(dialog));
  return dialog.Result();
}

bool ScriptedUi::Perform(Dialog& dialog, const nlohmann::ordered_json& step, std::string* problem) {
  std::string action = step["do"].get<std::string>();
  int id = step.value("id", -1);
  std::string control = "control " + std::to_string(id);
  bool done = false;
  if (action == "type") {
    done = dialog.UserSetText(id, Utf8ToCp932(step["text"].get<std::string>()));
    *problem = "cannot type into " + control + " (missing, disabled or not an edit)";
  } else if (action == "click") {
    done = dialog.UserClick(id);
    *problem = "cannot click " + control + " (missing, disabled or not a button)";
  } else if (action == "focus") {
    done = dialog.UserFocus(id);
    *problem = "cannot focus " + control + " (missing, disabled or not focusable)";
  } else if (action == "key") {
    unsigned mods = 0;
    if (step.contains("mods")) {
      for (const Json& mod : step["mods"]) {
        if (mod == "shift") mods |= kModShift;
        if (mod == "ctrl") mods |= kModCtrl;
        if (mod == "alt") mods |= kModAlt;
      }
    }
    done = dialog.UserKey(UiScript::VirtualKeyByName(step["key"].get<std::string>()), mods);
    *problem = "the key was not taken";
  } else if (action == "close") {
    done = dialog.UserClose();
    *problem = "the dialog has no close box";
  }
  return done;
}

void ScriptedUi::CancelDialog(Dialog& dialog) {
  // Messages that cancelling brings up are answered the safe way without
  // further mismatches: the mismatch that caused it is already recorded.
  ++cancelling_;
  dialog.UserKey(kVkEscape, 0);
  if (!dialog.IsEnded()) dialog.EndDialog(IDCANCEL);
  --cancelling_;
}

void ScriptedUi::ModelessChanged(Dialog& dialog) { transcript_.ModelessChanged(dialog); }

void ScriptedUi::ModelessDestroyed(Dialog& dialog) { transcript_.ModelessDestroyed(dialog); }

bool ScriptedUi::GetSaveFileName(SaveFileRequest& request) {
  bool confirmed = false;
  if (cancelling_ == 0) {
    const Json* step = script_.Peek();
    if (step == nullptr || UiScript::KindOf(*step) != UiScript::StepKind::kSaveAs) {
      Mismatch(step, "saveas",
               "no save-as choice in the script for \"" + Utf8(request.title) + "\"");
    } else {
      if ((*step)["saveas"].is_string()) {
        request.chosenPath = Utf8ToCp932((*step)["saveas"].get<std::string>());
        confirmed = true;
      }
      script_.Pop();
    }
  }
  if (transcript_.Records()) transcript_.Add(UiTranscript::SaveAs(request, confirmed));
  return confirmed;
}

void ScriptedUi::BeginWaitCursor() { ++waitCursor_; }

void ScriptedUi::EndWaitCursor() {
  if (waitCursor_ > 0) --waitCursor_;
}

}  // namespace platform
