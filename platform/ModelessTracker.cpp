#include "platform/ModelessTracker.h"

#include "platform/Dialog.h"

namespace platform {

const char* ModelessTracker::Changed(const Dialog& dialog) {
  auto found = states_.find(dialog.Handle());
  if (found == states_.end()) {
    states_[dialog.Handle()] = State{dialog.IsVisible(), dialog.IsEnded()};
    return "created";
  }
  State& state = found->second;
  if (dialog.IsEnded() && !state.ended) {
    state.ended = true;
    state.visible = dialog.IsVisible();
    return "ended";
  }
  if (dialog.IsVisible() != state.visible) {
    state.visible = dialog.IsVisible();
    return state.visible ? "shown" : "hidden";
  }
  return nullptr;
}

void ModelessTracker::Destroyed(const Dialog& dialog) { states_.erase(dialog.Handle()); }

}  // namespace platform
