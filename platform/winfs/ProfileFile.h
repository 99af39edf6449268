#ifndef TAXLINK_PLATFORM_WINFS_PROFILEFILE_H_
#define TAXLINK_PLATFORM_WINFS_PROFILEFILE_H_

#include <cstddef>

namespace platform {

// GetPrivateProfileStringA: reads key of section from the Windows profile
// (INI) file at the Windows path fileName into buffer (at most size - 1
// bytes and a terminator). Section and key compare case-insensitively;
// surrounding blanks and a pair of quotes around the value are removed.
// Missing file, section or key gives defaultValue. Returns the length copied.
std::size_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                    char* buffer, std::size_t size, const char* fileName);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_WINFS_PROFILEFILE_H_
