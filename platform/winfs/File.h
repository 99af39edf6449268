#ifndef TAXLINK_PLATFORM_WINFS_FILE_H_
#define TAXLINK_PLATFORM_WINFS_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The framework's file exception: raised by File's reads and writes.
struct FileException {
  int cause;  // errno of the failed call
  std::string path;
};

// Starts writing the dirty pages of an open file to disk without waiting
// (see File::StartWriteBack); a descriptor that cannot is left alone.
void StartFileWriteBack(int descriptor);

// Writes all `count` bytes to a descriptor (at `offset` for WriteFullyAt),
// resuming after short writes and interruptions. Returns 0, or the errno of
// the failure (ENOSPC for a write that took nothing).
int WriteFully(int descriptor, const void* data, std::size_t count);
int WriteFullyAt(int descriptor, const void* data, std::size_t count, uint64_t offset);

// The pause of File::LockExclusive before its next try, having waited
// waitedMicros of wholeMicros: short first, longer later, never past the
// whole wait; 0 when it is spent.
unsigned LockPollStepMicros(unsigned waitedMicros, unsigned wholeMicros);

// The framework's file object (CFile) over a Windows path. Open reports
// failure by its result; Read, Write, Seek and Close raise FileException.
class File {
 public:
  enum OpenFlags : unsigned {
    kRead = 0x0000,
    kWrite = 0x0001,
    kReadWrite = 0x0002,
    kCreate = 0x1000,      // create, truncating an existing file
    kNoTruncate = 0x2000,  // with kCreate: keep an existing file's content
  };

  File() = default;
  ~File();  // closes without raising
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool Open(const char* path, unsigned flags, FileException* error = nullptr);
  bool IsOpen() const { return fd_ >= 0; }
  std::size_t Read(void* buffer, std::size_t count);
  void Write(const void* data, std::size_t count);
  // Writes count bytes at offset, leaving the file's position where it is;
  // raises like Write.
  void WriteAt(const void* data, std::size_t count, uint64_t offset);
  // Starts writing to disk what is written so far, without waiting for it,
  // so that a flush to disk later (a replacement's) has less to wait for.
  // Only a hint: a file system that cannot is left to the later flush.
  void StartWriteBack();
  // The open descriptor (CFile::m_hFile), -1 when closed; still owned here.
  int Descriptor() const { return fd_; }
  uint64_t SeekToEnd();
  uint64_t GetLength() const;
  void Close();
  // Closes without raising (CFile::Abort).
  void Abort();
  // Takes an advisory lock on the whole file that excludes every other
  // holder (another process, or another File on the same file), waiting up
  // to waitMilliseconds (at most 4,000,000) for one to let go; false when
  // the wait ran out or the file is not open. Closing the file releases the
  // lock.
  bool LockExclusive(unsigned waitMilliseconds);

 private:
  friend class ReplacementFile;  // hands out its temporary file

  int fd_ = -1;
  std::string path_;
};

}  // namespace platform

#endif  // TAXLINK_PLATFORM_WINFS_FILE_H_
