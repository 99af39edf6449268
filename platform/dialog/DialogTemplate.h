#ifndef TAXLINK_PLATFORM_DIALOG_DIALOGTEMPLATE_H_
#define TAXLINK_PLATFORM_DIALOG_DIALOGTEMPLATE_H_

#include <cstdint>
#include <vector>

namespace platform {

enum class ControlKind {
  kLabel,  // static text
  kEdit,
  kPushButton,
  kGroupBox,
  kRadioButton,  // auto radio button
  kPicture,
  kProgressBar,
};

// Positions and sizes in dialog units.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Control styles (the subset the program's templates use).
constexpr uint32_t kStyleTabStop = 0x00010000;   // WS_TABSTOP
constexpr uint32_t kStyleGroup = 0x00020000;     // WS_GROUP: first of a group
constexpr uint32_t kStyleDisabled = 0x08000000;  // WS_DISABLED
constexpr uint32_t kStyleRight = 0x0002;         // SS_RIGHT / ES_RIGHT
constexpr uint32_t kStyleCenter = 0x0001;        // SS_CENTER / ES_CENTER
constexpr uint32_t kStyleNumber = 0x2000;        // ES_NUMBER: digits only
constexpr uint32_t kStyleBitmap = 0x000E;        // SS_BITMAP
constexpr uint32_t kStyleSmooth = 0x0001;        // PBS_SMOOTH
constexpr uint32_t kStyleBorder = 0x00800000;    // WS_BORDER

// Dialog styles.
constexpr uint32_t kDialogCaption = 0x00C00000;      // WS_CAPTION
constexpr uint32_t kDialogSysMenu = 0x00080000;      // WS_SYSMENU
constexpr uint32_t kDialogModalFrame = 0x00000080;   // DS_MODALFRAME
constexpr uint32_t kDialogSystemModal = 0x00000002;  // DS_SYSMODAL
constexpr uint32_t kDialogVisible = 0x10000000;      // WS_VISIBLE

struct ControlTemplate {
  int id;  // -1 for a control without id
  ControlKind kind;
  Rect rect;
  const char* text;  // Shift_JIS
  uint32_t style;
};

// A dialog resource: controls in resource order, which is the tab order.
struct DialogTemplate {
  int id;
  const char* caption;  // Shift_JIS
  Rect rect;
  const char* fontName;
  int fontSize;
  uint32_t style;
  std::vector<ControlTemplate> controls;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_DIALOG_DIALOGTEMPLATE_H_
