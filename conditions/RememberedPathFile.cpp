#include "conditions/RememberedPathFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>

#include "conditions/FolderLevels.h"
#include "conditions/PathText.h"
#include "platform/text/DecimalText.h"
#include "platform/winfs/File.h"
#include "platform/winfs/ReplacementFile.h"

namespace taxlink {

namespace {

// How long a save waits for another process's save of the same file.
constexpr unsigned kLockWaitMilliseconds = 3000;

// A record key "USER/NO1/NO2:": a line feed, a "/" or a ":" inside the user
// id would make one user's record read as another's, so a key holds exactly
// two "/" and ends in its only ":", and no control character. None of these
// bytes can be the trail byte of a double-byte character.
bool IsWellFormedKey(const std::string& key) {
  if (key.empty() || key.size() > RememberedPathFile::kMaxKey || key.back() != ':') return false;
  int slashes = 0;
  for (std::size_t i = 0; i < key.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(key[i]);
    if (c < 0x20 || c == 0x7F || (c == ':' && i + 1 != key.size())) return false;
    if (c == '/') ++slashes;
  }
  return slashes == 2;
}

// The runtime's decimal conversion, saturating at the member's range.
template <class Member>
Member DecimalOf(const std::string& text) {
  return static_cast<Member>(platform::DecimalValue(text, std::numeric_limits<Member>::min(),
                                                    std::numeric_limits<Member>::max()));
}

// Splits a value "METHOD/START/END/PATH"; only the first three "/" separate.
bool ParseValue(const std::string& value, RememberedRecord* record) {
  std::size_t first = value.find('/');
  if (first == std::string::npos) return false;
  std::size_t second = value.find('/', first + 1);
  if (second == std::string::npos) return false;
  std::size_t third = value.find('/', second + 1);
  if (third == std::string::npos) return false;
  std::string path = value.substr(third + 1);
  if (path.size() > kPathBufferSize - 1) return false;
  record->method = DecimalOf<int32_t>(value.substr(0, first));
  record->startMonth = DecimalOf<int16_t>(value.substr(first + 1, second - first - 1));
  record->endMonth = DecimalOf<int16_t>(value.substr(second + 1, third - second - 1));
  record->path = std::move(path);
  return true;
}

}  // namespace

RememberedPathFile::RememberedPathFile(std::string folder, std::string fileName)
    : folder_(std::move(folder)), fileName_(std::move(fileName)) {
  // The file goes inside the folder even when its separator is missing.
  if (!folder_.empty() &&
      (folder_.back() != '\\' || IsInDoubleByteChar(folder_.c_str(), folder_.size() - 1))) {
    folder_ += '\\';
  }
  path_ = folder_ + fileName_;
}

bool RememberedPathFile::FormatKey(const std::string& userId, int32_t selectedNo1,
                                   int32_t selectedNo2, std::string* key) {
  char numbers[32] = {};
  std::snprintf(numbers, sizeof(numbers), "/%d/%d:", static_cast<int>(selectedNo1),
                static_cast<int>(selectedNo2));
  std::string text = userId + numbers;
  if (!IsWellFormedKey(text)) return false;
  *key = std::move(text);
  return true;
}

std::string RememberedPathFile::TemporaryPath() const {
  return folder_ + platform::ReplacementFile::TemporaryName(fileName_);
}

std::string RememberedPathFile::LockPath() const { return path_ + ".lock"; }

bool RememberedPathFile::ReadAll(std::string* content, bool* missing) const {
  // The open itself tells a missing file and refuses a folder: no look at
  // the path before it.
  platform::File file;
  platform::FileException failure{};
  if (!file.Open(path_.c_str(), platform::File::kRead, &failure)) {
    if (missing != nullptr) *missing = failure.cause == ENOENT;
    return false;
  }
  std::string bytes;
  try {
    char chunk[8192];
    for (;;) {
      std::size_t got = file.Read(chunk, sizeof(chunk));
      bytes.append(chunk, got);
      // A short read is the end of the file: no read more to learn it.
      if (got < sizeof(chunk)) break;
    }
    file.Close();
  } catch (const platform::FileException&) {
    file.Abort();
    return false;
  }
  *content = std::move(bytes);
  return true;
}

bool RememberedPathFile::Read(const std::string& key, RememberedRecord* record) const {
  if (!IsWellFormedKey(key)) return false;
  std::string content;
  if (!ReadAll(&content)) return false;
  for (std::size_t start = 0; start < content.size();) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    if (content.compare(start, key.size(), key) == 0) {
      std::size_t valueStart = start + key.size();
      std::size_t valueLength = end - valueStart;
      RememberedRecord parsed;
      if (valueLength <= kMaxLine && ParseValue(content.substr(valueStart, valueLength), &parsed)) {
        *record = std::move(parsed);
        return true;
      }
    }
    start = end + 1;
  }
  return false;
}

bool RememberedPathFile::Save(const std::string& key, const RememberedRecord& record) const {
  if (!IsWellFormedKey(key)) return false;
  if (record.path.size() > kPathBufferSize - 1) return false;
  // A line break in the path would end the record there and begin another
  // (a found fault): no control character is taken.
  for (char c : record.path) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  char numbers[48] = {};
  std::snprintf(numbers, sizeof(numbers), "%ld/%d/%d/", static_cast<long>(record.method),
                record.startMonth, record.endMonth);
  std::string line = key + numbers + record.path + "\n";
  if (line.size() > kMaxLine) return false;

  if (folder_.empty()) return false;
  if (!DirectoryExists(folder_.c_str()) && !CreateFolderLevels(folder_.c_str())) return false;

  // Another run saving at the same moment would otherwise drop this record
  // (or this run its): the lock is held from the read to the rename.
  platform::File lock;
  if (!lock.Open(LockPath().c_str(), platform::File::kCreate | platform::File::kNoTruncate |
                                         platform::File::kReadWrite) ||
      !lock.LockExclusive(kLockWaitMilliseconds)) {
    return false;
  }

  // Keep every other line; a file that exists but cannot be read is left
  // alone rather than replaced by this one record.
  std::string old;
  bool missing = false;
  if (!ReadAll(&old, &missing) && !missing) return false;
  std::string content;
  content.reserve(old.size() + line.size() + 1);
  for (std::size_t start = 0; start < old.size();) {
    std::size_t end = old.find('\n', start);
    std::size_t next = end == std::string::npos ? old.size() : end + 1;
    if (old.compare(start, key.size(), key) != 0) content.append(old, start, next - start);
    start = next;
  }
  if (!content.empty() && content.back() != '\n') content.push_back('\n');
  content += line;
  // The file holds this record already (a run with the same choices): it is
  // left as it is, without a temporary, a rename and two flushes to disk.
  if (content == old) return true;

  platform::ReplacementFile replacement(path_, fileName_);
  platform::File file;
  if (!replacement.Open(&file)) return false;
  try {
    file.Write(content.data(), content.size());
    file.Close();
  } catch (const platform::FileException&) {
    return false;  // the temporary goes with replacement
  }
  return replacement.Commit();
}

}  // namespace taxlink
