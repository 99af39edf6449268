#ifndef TAXLINK_PLATFORM_MODELESSTRACKER_H_
#define TAXLINK_PLATFORM_MODELESSTRACKER_H_

#include <map>

#include "platform/WinTypes.h"

namespace platform {

class Dialog;

// What front ends write to the transcript about modeless dialogs: the first
// report of a dialog is "created", later ones "ended", "shown" or "hidden"
// when that changed; repaints and caption changes alone are no event.
class ModelessTracker {
 public:
  // The state word of the change, or null when the report is no event.
  const char* Changed(const Dialog& dialog);
  void Destroyed(const Dialog& dialog);

 private:
  struct State {
    bool visible = false;
    bool ended = false;
  };
  std::map<HWND, State> states_;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_MODELESSTRACKER_H_
