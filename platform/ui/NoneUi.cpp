#include "platform/ui/NoneUi.h"

#include <cstdio>

#include "platform/dialog/Dialog.h"
#include "platform/text/Encoding.h"

namespace platform {

NoneUi::NoneUi(std::string transcriptPath) : transcript_(std::move(transcriptPath)) {}

int NoneUi::MessageBox(HWND owner, std::string_view text, std::string_view caption,
                       uint32_t style) {
  std::string answer = UiTranscript::SafeAnswer(style);
  std::fprintf(stderr, "%s: %s [%s]\n", Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str(),
               answer.c_str());
  transcript_.Add(UiTranscript::Message(owner, text, caption, style, answer));
  return UiTranscript::AnswerId(answer);
}

int NoneUi::RunModal(Dialog& dialog) {
  dialog.SetModal(true);
  dialog.Create();
  if (!dialog.IsEnded()) {
    std::fprintf(stderr,
                 "taxlink: the dialog \"%s\" is cancelled: there is no terminal and "
                 "TAXLINK_UI_SCRIPT names no script\n",
                 Cp932ToUtf8(dialog.Caption()).c_str());
    dialog.ShowWindow(true);
    dialog.UserKey(kVkEscape, 0);
    if (!dialog.IsEnded()) dialog.EndDialog(IDCANCEL);
  }
  transcript_.Add(UiTranscript::DialogEnded(dialog));
  return dialog.Result();
}

void NoneUi::ModelessChanged(Dialog&) {}

void NoneUi::ModelessDestroyed(Dialog&) {}

bool NoneUi::GetSaveFileName(SaveFileRequest& request) {
  transcript_.Add(UiTranscript::SaveAs(request, false));
  return false;
}

}  // namespace platform
