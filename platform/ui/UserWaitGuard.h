#ifndef TAXLINK_PLATFORM_UI_USERWAITGUARD_H_
#define TAXLINK_PLATFORM_UI_USERWAITGUARD_H_

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/dialog/UserInterface.h"

namespace platform {

// A front end around the chosen one that calls BeforeUserWait before each
// call that waits on the user, whoever makes it, and forwards every call.
class UserWaitGuard : public UserInterface {
 public:
  explicit UserWaitGuard(std::unique_ptr<UserInterface> inner);

  int MessageBox(HWND owner, std::string_view text, std::string_view caption,
                 uint32_t style) override;
  int RunModal(Dialog& dialog) override;
  void ModelessChanged(Dialog& dialog) override;
  void ModelessDestroyed(Dialog& dialog) override;
  bool GetSaveFileName(SaveFileRequest& request) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  std::unique_ptr<UserInterface> inner_;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_UI_USERWAITGUARD_H_
