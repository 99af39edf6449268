#include "resources/ProgressDialogTemplate.h"
#include "resources/Texts.h"

namespace taxlink {

const platform::DialogTemplate& ProgressDialogTemplate() {
  using platform::ControlKind;
  static const platform::DialogTemplate kTemplate{
      kIddProgress,
      texts::kProgressCaption,
      {0, 0, 221, 44},
      texts::kDialogFont,
      9,
      // Pop-up with caption and modal frame, system-modal; no system menu and
      // no WS_VISIBLE, so the window is created hidden.
      platform::kDialogCaption | platform::kDialogModalFrame | platform::kDialogSystemModal,
      {
          {kIdcOverallBar,
           ControlKind::kProgressBar,
           {5, 6, 211, 22},
           "",
           platform::kStyleSmooth | platform::kStyleBorder},
          {kIdcDetailBar, ControlKind::kProgressBar, {5, 29, 211, 10}, "", platform::kStyleBorder},
      },
  };
  return kTemplate;
}

}  // namespace taxlink
