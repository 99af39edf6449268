#include "platform/dialog/UserInterface.h"

namespace platform {
namespace {

// Never destroyed: dialogs owned by static objects may still report to the
// front end while the process exits.
std::unique_ptr<UserInterface>& Current() {
  static auto* current = new std::unique_ptr<UserInterface>();
  return *current;
}

FrontEndLostHandler& LostHandler() {
  static FrontEndLostHandler handler = nullptr;
  return handler;
}

UserWaitHook& WaitHook() {
  static UserWaitHook hook = nullptr;
  return hook;
}

}  // namespace

void SetUserWaitHook(UserWaitHook hook) { WaitHook() = hook; }

void BeforeUserWait() {
  if (WaitHook() != nullptr) WaitHook()();
}

UserInterface* CurrentUi() { return Current().get(); }

std::unique_ptr<UserInterface> SetUi(std::unique_ptr<UserInterface> ui) {
  std::unique_ptr<UserInterface> previous = std::move(Current());
  Current() = std::move(ui);
  return previous;
}

void SetFrontEndLostHandler(FrontEndLostHandler handler) { LostHandler() = handler; }

void FrontEndLost(const char* why) {
  if (LostHandler() != nullptr) LostHandler()(why);
}

}  // namespace platform
