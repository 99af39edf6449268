// The path text checks and the drive map: whatever the drive table and the
// path text (a host's launch text, a user's entry), they are read without
// fault; the folder and file name parts put together give the path back,
// and a path cut to its folder is a beginning of the path.
//
// Input: TAXLINK_DRIVES \0 TAXLINK_SHARES \0 PATH.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "conditions/PathText.h"
#include "conditions/UsableDrive.h"
#include "fuzz/FuzzSupport.h"
#include "platform/winfs/PathMapping.h"
#include "platform/winfs/WinFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> parts = fuzz::SplitAtNul(fuzz::AsText(data, size), 3);
  ::setenv("TAXLINK_DRIVES", parts[0].c_str(), 1);
  ::setenv("TAXLINK_SHARES", parts[1].c_str(), 1);
  const std::string& path = parts[2];
  const char* text = path.c_str();  // up to its first NUL, as the program sees it
  const std::string whole(text);

  if (taxlink::FolderPart(text) + taxlink::FileNamePart(text) != whole ||
      taxlink::FolderPartAtColon(text) + taxlink::FileNamePartAtColon(text) != whole) {
    fuzz::Broken("the parts of a path do not give it back: " + whole);
  }
  taxlink::IsValidPathText(text);
  taxlink::IsUsableDrive(text);
  taxlink::DirectoryExists(text);
  for (std::size_t i = 0; i < whole.size(); ++i) taxlink::IsInDoubleByteChar(text, i);

  std::vector<char> buffer(taxlink::kPathBufferSize + whole.size() + 1, '\0');
  std::memcpy(buffer.data(), whole.c_str(), whole.size());
  if (taxlink::ReduceToDirectory(buffer.data()) && whole.rfind(buffer.data(), 0) != 0 &&
      // the folder part ends in the separator the path lacked
      whole.rfind(std::string(buffer.data(), std::strlen(buffer.data()) - 1), 0) != 0) {
    fuzz::Broken("a path cut to its folder is no beginning of it: " + whole);
  }
  std::memcpy(buffer.data(), whole.c_str(), whole.size() + 1);
  taxlink::EnsureTrailingSeparator(buffer.data(), taxlink::kPathBufferSize);

  platform::ToPosixPath(whole);
  char root[taxlink::kPathBufferSize + 1] = {};
  std::strncpy(root, text, taxlink::kPathBufferSize);
  platform::PathStripToRoot(root);
  platform::PathSkipRoot(text);
  platform::GetDriveType(root);
  std::vector<platform::DriveMapping> drives = platform::ReadDriveMap();
  for (const platform::DriveMapping& drive : drives) {
    platform::ToWindowsPath(drive.posixRoot + "/x");
  }
  platform::ReadShareMap();
  return 0;
}
