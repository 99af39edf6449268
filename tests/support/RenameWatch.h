#ifndef TAXLINK_TESTS_SUPPORT_RENAMEWATCH_H_
#define TAXLINK_TESTS_SUPPORT_RENAMEWATCH_H_

#include <functional>
#include <string>

namespace taxlink::testing {

// Called at the entry of each rename system call of a watched program with
// the new name; true kills the program there with SIGKILL, before the
// rename happens. Anything else the handler does (start another run, wait)
// happens while the program stands still at that point.
using RenameHandler = std::function<bool(const std::string& newPath)>;

// Why renames cannot be watched in this build, or "" when they can: the
// watch reads the system call registers of x86-64 processors only.
std::string RenameWatchUnsupported();

// Starts path with argv and envp (standard input, output and error from the
// given descriptors) in a process group of its own under ptrace and watches
// its renames until it ends; after seconds the group is killed and *expired
// set. Returns the wait status, or -1 when the program cannot be traced here
// (ptrace refused, or RenameWatchUnsupported()).
int RunWatchingRenames(const std::string& path, char* const argv[], char* const envp[], int in,
                       int out, int err, const RenameHandler& onRename, int seconds, bool* expired);

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_RENAMEWATCH_H_
