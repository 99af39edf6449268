#ifndef TAXLINK_CONDITIONS_PATHTEXT_H_
#define TAXLINK_CONDITIONS_PATHTEXT_H_

#include <cstddef>
#include <string>

#include "platform/text/WinTypes.h"

namespace taxlink {

// Windows path texts in Shift_JIS bytes. A double-byte character is never
// split: a 0x5C that is the trail byte of a character is not a separator.
// Path work buffers hold kPathBufferSize bytes (260 of text and the
// terminator).
constexpr std::size_t kPathBufferSize = MAX_PATH_ + 1;

// True when position lies inside a double-byte character (its lead or its
// trail byte) of the zero-terminated text.
bool IsInDoubleByteChar(const char* text, std::size_t position);

// Makes a non-empty text end in a backslash separator, appending one while
// the text is shorter than capacity - 1. False for an empty text or when no
// room is left.
bool EnsureTrailingSeparator(char* buffer, std::size_t capacity);

// Cuts the path to its drive and folder, ending in a separator when that
// fits in the path's own length (C:\a\b becomes C:\a\). False, path
// unchanged, when nothing is left or the path is longer than 260 bytes.
bool ReduceToDirectory(char* path);

// True when the folder of the path (the path itself when it has no folder
// part) is a directory.
bool DirectoryExists(const char* path);

// The text up to and including the last separator; empty when there is none.
std::string FolderPart(const char* path);
// The text after the last separator; the whole text when there is none.
std::string FileNamePart(const char* path);
// The same split at the last colon (for texts without a separator).
std::string FolderPartAtColon(const char* path);
std::string FileNamePartAtColon(const char* path);

// False for texts that cannot name an output file: longer than 260 bytes, a
// doubled separator, or any of / : , ; * ? " > < | or a control character
// after the drive or the network prefix.
bool IsValidPathText(const char* path);

}  // namespace taxlink

#endif  // TAXLINK_CONDITIONS_PATHTEXT_H_
