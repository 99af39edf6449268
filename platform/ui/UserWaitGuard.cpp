#include "platform/ui/UserWaitGuard.h"

#include <utility>

namespace platform {

UserWaitGuard::UserWaitGuard(std::unique_ptr<UserInterface> inner) : inner_(std::move(inner)) {}

int UserWaitGuard::MessageBox(HWND owner, std::string_view text, std::string_view caption,
                              uint32_t style) {
  BeforeUserWait();
  return inner_->MessageBox(owner, text, caption, style);
}

int UserWaitGuard::RunModal(Dialog& dialog) {
  BeforeUserWait();
  return inner_->RunModal(dialog);
}

void UserWaitGuard::ModelessChanged(Dialog& dialog) { inner_->ModelessChanged(dialog); }

void UserWaitGuard::ModelessDestroyed(Dialog& dialog) { inner_->ModelessDestroyed(dialog); }

bool UserWaitGuard::GetSaveFileName(SaveFileRequest& request) {
  BeforeUserWait();
  return inner_->GetSaveFileName(request);
}

void UserWaitGuard::BeginWaitCursor() { inner_->BeginWaitCursor(); }

void UserWaitGuard::EndWaitCursor() { inner_->EndWaitCursor(); }

}  // namespace platform
