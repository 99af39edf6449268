#ifndef TAXLINK_CONDITIONS_USABLEDRIVE_H_
#define TAXLINK_CONDITIONS_USABLEDRIVE_H_

namespace taxlink {

// The access modes of the runtime's _access.
constexpr int kAccessExists = 0;
constexpr int kAccessReadWrite = 6;

// True when the drive of a path (its first letter), or the share of a
// network path (\\server\share\...), can be written to. A doubled separator
// in a drive path and a share name without a separator after it are refused.
bool IsUsableDrive(const char* path);

// By the drive type of letter's root: unknown, CD-ROM and RAM disks are
// refused, a letter without a volume passes, removable, fixed and remote
// drives pass when their root grants accessMode. A letter outside A-Z and
// a-z (including any byte of 0x80 and above) is refused.
bool IsUsableDriveLetter(char letter, int accessMode);

// False when the path names a drive letter ("Q:\x.xml", "Q:x.xml") that has
// no root directory: nothing can be created or written there.
bool DriveExists(const char* path);

}  // namespace taxlink

#endif  // TAXLINK_CONDITIONS_USABLEDRIVE_H_
