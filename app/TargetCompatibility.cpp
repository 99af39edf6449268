#include "app/TargetCompatibility.h"

#include <cstdint>
#include <cstring>

#include "host/ClAccConnect.h"
#include "platform/text/DecimalText.h"
#include "platform/text/Mbcs.h"
#include "platform/winfs/ProfileFile.h"
#include "platform/winfs/WinFileSystem.h"
#include "resources/Caption.h"
#include "resources/Texts.h"

namespace taxlink {

namespace {

struct StatusMessage {
  int32_t status;
  const char* text;
};

// Searched in this order; a status found here is not compatible.
const StatusMessage kStatusMessages[] = {
    {-1, texts::kTargetEnvironmentWrong},
    {1, texts::kTargetTooOldForHost},
    {2, texts::kTargetComponentTooOld},
};

}  // namespace

int32_t TargetCompatibilityStatus() {
  char current[MAX_PATH_ + 1] = {};
  char path[517] = {};
  if (platform::Getcwd(current, sizeof(current)) != nullptr) {
    std::strncpy(path, current, sizeof(path) - 1);
  }
  size_t length = std::strlen(path);
  if (length > 0) {
    bool endsWithSeparator = path[length - 1] == '\\' && !platform::IsTrailAt(path, length - 1);
    if (!endsWithSeparator && length < 516) path[length++] = '\\';
  }
  std::strncat(path, kFilingDefinitionFile, sizeof(path) - 1 - std::strlen(path));

  if (!platform::PathFileExists(path)) return -1;
  char level[16] = {};
  platform::GetPrivateProfileString("ProgramLevel", "SY26", "1", level, sizeof(level), path);
  if (level[0] == '\0') return -1;
  // A level beyond the int range saturates: never a wrapped 1.
  const int64_t value = platform::DecimalValue(level, INT32_MIN, INT32_MAX);
  if (value == 1) return 0;
  return value < 1 ? 1 : 2;
}

bool CheckTargetCompatibility(HWND owner, bool showMessages) {
  int32_t status = TargetCompatibilityStatus();
  for (const StatusMessage& entry : kStatusMessages) {
    if (entry.status != status) continue;
    if (showMessages) {
      ClAccConnect::Inst()->DispMsg(owner, entry.text, kMessageCaption, MB_ICONWARNING);
    }
    return false;
  }
  return true;
}

}  // namespace taxlink
