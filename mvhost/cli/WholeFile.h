#ifndef TAXLINK_MVHOST_CLI_WHOLEFILE_H_
#define TAXLINK_MVHOST_CLI_WHOLEFILE_H_

#include <string>
#include <string_view>
#include <vector>

namespace mvhost {

// The tool's own files (POSIX paths), read and replaced whole: the new
// bytes go to "<path>.<pid>.tmp", which is then renamed over path, so a
// reader never meets half a file. ReadWholeFile gives "" for a file that
// cannot be read; WriteWholeFile is false with the reason.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error);
// The same with the bytes given in pieces, written one after another
// without joining them first.
bool WriteWholeFile(const std::string& path, const std::vector<std::string_view>& pieces,
                    std::string* error);

// Private files kept in memory (a batch's results and logs): no name in a
// file system, gone with the last descriptor. MemoryFile is -1 when the
// system cannot make one; the reader gives what was written, from the start.
int MemoryFile(const char* name);
std::string ReadWholeDescriptor(int fd);
bool WriteWholeDescriptor(int fd, std::string_view bytes);

// A new private folder "<TMPDIR or /tmp>/<prefix>-XXXXXX"; "" with the
// system's reason when it cannot be made.
std::string MakePrivateFolder(const char* prefix, std::string* reason);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_WHOLEFILE_H_
