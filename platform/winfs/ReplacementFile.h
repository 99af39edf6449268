#ifndef TAXLINK_PLATFORM_WINFS_REPLACEMENTFILE_H_
#define TAXLINK_PLATFORM_WINFS_REPLACEMENTFILE_H_

#include <string>
#include <string_view>

#include "platform/winfs/File.h"

namespace platform {

// A file that is replaced whole or not at all. The new content goes to a
// temporary file "<stem>.<process id>.tmp" in the target's folder; Commit
// puts it on disk and renames it over the target, so that a reader, a
// killed process or a full disk never meets half a file. A temporary that is
// not committed is deleted when the object goes, also when an exception
// unwinds past it.
//
// While it exists, the temporary is held under an exclusive advisory lock.
// Open first deletes the unlocked temporaries of its stem in the folder,
// which only a process that ended before its commit (killed) leaves behind.
class ReplacementFile {
 public:
  // target: a Windows path; stem: the first part of the temporary's name.
  ReplacementFile(std::string target, std::string stem);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Deletes stale temporaries of stem in the target's folder, creates this
  // one and opens it in file for writing (errors raised by file name the
  // target). False when the target cannot be replaced (no such folder, a
  // folder or a read-only file in its place) or the temporary cannot be
  // created; error then holds the cause.
  bool Open(File* file, FileException* error = nullptr);

  // Flushes the temporary to disk, renames it over the target and flushes
  // the folder. The caller has finished writing (file may still be open).
  // False when any step failed: the temporary is gone, and the target is
  // the old file unless only the folder's flush failed.
  bool Commit();

  // Deletes the temporary (also done by the destructor when not committed).
  void Discard();

  // Whether Open found a device or a pipe, written directly: no temporary,
  // and the file cannot be written out of order.
  bool WritesDirectly() const { return direct_; }
  // Whether the target is a device or a pipe now, without opening it (an
  // open and close of a pipe would end its reader's stream).
  bool TargetIsDirect() const;

  // Drops the cached pages of the regular file it replaces (the file stays
  // as it is), so that the rename over it need not evict them: a large file
  // is dropped on another thread while its replacement is written. Safe to
  // call from another thread than the one writing; it must have ended
  // before Commit. The file is kept open until TakeReplaced, so that the
  // rename does not free its blocks either: its last close does.
  void DropTargetPages();
  // The descriptor of the replaced file that DropTargetPages kept, -1 when
  // none; still owned here.
  int ReplacedDescriptor() const { return replaced_; }
  // Closes that file, freeing it when the rename took its last name: called
  // after Commit where the wait delays nothing (another thread), else the
  // destructor does it.
  void CloseReplaced();

  // The temporary's file name for a stem in this process, or in process pid.
  static std::string TemporaryName(std::string_view stem);
  static std::string TemporaryNameOf(std::string_view stem, long pid);

 private:
  std::string target_;
  std::string stem_;
  std::string targetPosix_;
  std::string temporaryPosix_;
  int holder_ = -1;      // the locked descriptor of the temporary
  int replaced_ = -1;    // the file it replaces, held open (DropTargetPages)
  bool direct_ = false;  // the target is a device or a pipe, written directly
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_WINFS_REPLACEMENTFILE_H_
