#include "platform/ui/UiTranscript.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/UserInterface.h"
#include "platform/text/Encoding.h"

namespace platform {
namespace {

using Json = nlohmann::ordered_json;

// Text for JSON: converted to UTF-8 with bad bytes replaced, so that dumping
// never fails.
std::string Text(std::string_view cp932) { return Cp932ToUtf8(cp932); }

}  // namespace

UiTranscript::UiTranscript(std::string filePath, bool keepEntries)
    : filePath_(std::move(filePath)), keepEntries_(keepEntries) {}

UiTranscript::~UiTranscript() {
  if (file_ >= 0) ::close(file_);
}

void UiTranscript::Add(nlohmann::ordered_json entry) {
  if (!filePath_.empty()) {
    std::string line =
        entry.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
    if (file_ < 0) file_ = ::open(filePath_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (file_ >= 0) {
      // One write per entry: appended whole, after whatever else was.
      ssize_t n;
      do {
        n = ::write(file_, line.data(), line.size());
      } while (n < 0 && errno == EINTR);
    }
  }
  if (keepEntries_) entries_.push_back(std::move(entry));
}

nlohmann::ordered_json UiTranscript::Message(HWND owner, std::string_view text,
                                             std::string_view caption, uint32_t style,
                                             std::string_view answer) {
  Json entry;
  entry["event"] = "message";
  entry["owner"] = owner;
  entry["caption"] = Text(caption);
  entry["text"] = Text(text);
  entry["icon"] = IconName(style);
  entry["buttons"] = ButtonsName(style);
  entry["answer"] = std::string(answer);
  return entry;
}

nlohmann::ordered_json UiTranscript::DialogEnded(const Dialog& dialog) {
  Json entry;
  entry["event"] = "dialog";
  entry["id"] = dialog.TemplateId();
  entry["caption"] = Text(dialog.Caption());
  entry["result"] = dialog.Result();
  Json fields = Json::object();
  for (const Control& control : dialog.Controls()) {
    if (control.id < 0) continue;
    Json field;
    field["text"] = Text(control.text);
    field["enabled"] = control.enabled;
    field["checked"] = control.checked;
    fields[std::to_string(control.id)] = field;
  }
  entry["fields"] = fields;
  entry["focus"] = dialog.GetFocusId();
  return entry;
}

nlohmann::ordered_json UiTranscript::Modeless(const Dialog& dialog, std::string_view state) {
  Json entry;
  entry["event"] = "progress";
  entry["id"] = dialog.TemplateId();
  entry["caption"] = Text(dialog.Caption());
  entry["visible"] = dialog.IsVisible();
  entry["repaints"] = dialog.RepaintCount();
  entry["state"] = std::string(state);
  // What the window shows: the position of each progress bar.
  Json bars = Json::object();
  for (const Control& control : dialog.Controls()) {
    if (control.kind == ControlKind::kProgressBar)
      bars[std::to_string(control.id)] = control.position;
  }
  if (!bars.empty()) entry["bars"] = bars;
  return entry;
}

nlohmann::ordered_json UiTranscript::SaveAs(const SaveFileRequest& request, bool confirmed) {
  Json entry;
  entry["event"] = "saveas";
  entry["owner"] = request.owner;
  entry["title"] = Text(request.title);
  entry["fileName"] = Text(request.fileName);
  entry["initialFolder"] = Text(request.initialFolder);
  entry["path"] = confirmed ? Json(Text(request.chosenPath)) : Json(nullptr);
  return entry;
}

bool UiTranscript::ModelessChanged(const Dialog& dialog) {
  auto found = modeless_.find(dialog.Handle());
  if (found == modeless_.end()) {
    modeless_[dialog.Handle()] = ModelessState{dialog.IsVisible(), dialog.IsEnded()};
    Add(Modeless(dialog, "created"));
    return true;
  }
  ModelessState& state = found->second;
  if (dialog.IsEnded() && !state.ended) {
    state.ended = true;
    state.visible = dialog.IsVisible();
    Add(Modeless(dialog, "ended"));
    return true;
  }
  if (dialog.IsVisible() != state.visible) {
    state.visible = dialog.IsVisible();
    Add(Modeless(dialog, state.visible ? "shown" : "hidden"));
    return true;
  }
  // A repaint the dialog lets through (at most about 30 a second): what a
  // person would have seen.
  if (state.visible) Add(Modeless(dialog, "repaint"));
  return false;
}

void UiTranscript::ModelessDestroyed(const Dialog& dialog) {
  modeless_.erase(dialog.Handle());
  Add(Modeless(dialog, "destroyed"));
}

std::string UiTranscript::ButtonsName(uint32_t style) {
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return "okcancel";
    case MB_YESNO:
      return "yesno";
    default:
      return "ok";
  }
}

std::string UiTranscript::IconName(uint32_t style) {
  switch (style & MB_ICONMASK) {
    case MB_ICONERROR:
      return "error";
    case MB_ICONQUESTION:
      return "question";
    case MB_ICONWARNING:
      return "warning";
    case MB_ICONINFORMATION:
      return "information";
    default:
      return "none";
  }
}

std::string UiTranscript::SafeAnswer(uint32_t style) {
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return "cancel";
    case MB_YESNO:
      return "no";
    default:
      return "ok";
  }
}

bool UiTranscript::IsButtonOf(std::string_view answer, uint32_t style) {
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return answer == "ok" || answer == "cancel";
    case MB_YESNO:
      return answer == "yes" || answer == "no";
    default:
      return answer == "ok";
  }
}

int UiTranscript::AnswerId(std::string_view answer) {
  if (answer == "yes") return IDYES;
  if (answer == "no") return IDNO;
  if (answer == "cancel") return IDCANCEL;
  return IDOK;
}

}  // namespace platform
