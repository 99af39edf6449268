#ifndef TAXLINK_CONDITIONS_REMEMBEREDPATHFILE_H_
#define TAXLINK_CONDITIONS_REMEMBEREDPATHFILE_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace taxlink {

// The conditions of a user's last written run.
struct RememberedRecord {
  int32_t method = 0;
  int16_t startMonth = 0;
  int16_t endMonth = 0;
  std::string path;  // at most 260 bytes
};

// The remembered-path file: one line per user and data selection,
//   KEY METHOD/START/END/PATH LF   with KEY = "USER/NO1/NO2:"
// e.g. "U01/3/1:0/4/3/C:\tax\out.xml". A key matches only at the start of a
// line. A last line without its LF runs to the end of the file. A line whose
// value has fewer than three "/", whose value is longer than 511 bytes or
// whose path is longer than 260 bytes is no usable record. A key whose user
// id holds "/", ":" or a control character is refused by every operation.
class RememberedPathFile {
 public:
  static constexpr std::size_t kMaxKey = 50;
  static constexpr std::size_t kMaxLine = 511;

  // folder is a Windows path (a missing final separator is supplied).
  RememberedPathFile(std::string folder, std::string fileName);

  // The key of a user's record; false when it would be longer than kMaxKey
  // or the user id holds "/", ":" or a control character.
  static bool FormatKey(const std::string& userId, int32_t selectedNo1, int32_t selectedNo2,
                        std::string* key);

  const std::string& Path() const { return path_; }

  // The first usable record of key; false when the file, the key or a
  // usable record is missing.
  bool Read(const std::string& key, RememberedRecord* record) const;

  // Drops every line of key and appends the new record as the last line;
  // the other lines keep their bytes and order. The folder is created when
  // missing. The new content is written to a temporary file in the same
  // folder that then replaces the file, so a failure leaves the old file as
  // it was; a file that would not change is not written. Saves of other
  // processes wait for each other through an advisory lock on LockPath(),
  // held from the read to the rename; a save that cannot have it within
  // three seconds gives up. False when the line
  // would be longer than kMaxLine, the path holds a control character (a
  // line feed would begin another record) or anything fails.
  bool Save(const std::string& key, const RememberedRecord& record) const;

  // The temporary file a save writes first, and the lock file beside it.
  std::string TemporaryPath() const;
  std::string LockPath() const;

 private:
  // The whole file; false when it cannot be read, with *missing telling
  // whether no file is there at all.
  bool ReadAll(std::string* content, bool* missing = nullptr) const;

  std::string folder_;
  std::string fileName_;
  std::string path_;
};

}  // namespace taxlink

#endif  // TAXLINK_CONDITIONS_REMEMBEREDPATHFILE_H_
