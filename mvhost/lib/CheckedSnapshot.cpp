#include "mvhost/lib/CheckedSnapshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "mvhost/lib/DerivedSchema.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/SqlStatement.h"
#include "platform/winfs/File.h"

namespace mvhost {

namespace {

// Layout of the blobs: a header (format, row size, a value that tells the
// byte order) and the rows' fields in order, without padding.
constexpr uint32_t kFormat = 3;
constexpr uint64_t kByteOrder = 0x0102030405060708ULL;
constexpr size_t kHeaderBytes = 16;
constexpr size_t kClassRowBytes = 5 * 4 + 5 * 8;
constexpr size_t kAccountRowBytes = 8 + 8 + 4 + 2 + 1 + 1;

template <class T>
void Put(std::string* out, T value) {
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  out->append(bytes, sizeof(T));
}

template <class T>
T Take(const unsigned char*& at) {
  T value;
  std::memcpy(&value, at, sizeof(T));
  at += sizeof(T);
  return value;
}

void PutHeader(std::string* out, uint32_t rowBytes) {
  Put<uint32_t>(out, kFormat);
  Put<uint32_t>(out, rowBytes);
  Put<uint64_t>(out, kByteOrder);
}

std::string EncodeClasses(const ClassTotals& rows) {
  std::string out;
  out.reserve(kHeaderBytes + rows.size() * kClassRowBytes);
  PutHeader(&out, kClassRowBytes);
  for (const ClassTotal& r : rows) {
    for (int32_t v : {r.rate, r.businessType, r.debitTaxClass, r.creditTaxClass, r.monthKind}) {
      Put<int32_t>(&out, v);
    }
    for (int64_t v : {r.lines, r.debitAmount, r.debitTax, r.creditAmount, r.creditTax}) {
      Put<int64_t>(&out, v);
    }
  }
  return out;
}

// A row of the file is an AccountTotal's bytes as they lie in memory (the
// fields in order, no padding, the byte order the header records), so rows
// are copied whole rather than field by field.
static_assert(std::is_trivially_copyable_v<AccountTotal> &&
              sizeof(AccountTotal) == kAccountRowBytes && offsetof(AccountTotal, amount) == 0 &&
              offsetof(AccountTotal, tax) == 8 && offsetof(AccountTotal, accountId) == 16 &&
              offsetof(AccountTotal, rate) == 20 && offsetof(AccountTotal, side) == 22 &&
              offsetof(AccountTotal, entry) == 23);

// The blob of the account totals in pieces of up to 16 KB handed to sink
// (it is 0.5 MB at a million lines: written whole it would double the run's
// peak memory growth).
template <class Sink>
void EncodeAccountsInPieces(const AccountTotals& rows, Sink sink) {
  constexpr size_t kPiece = size_t{16} * 1024;
  std::string out;
  PutHeader(&out, kAccountRowBytes);
  size_t used = out.size();
  out.resize(kPiece + kAccountRowBytes);
  // Each row copied whole into the piece in place (an append a row, or a
  // field, cost about as much as the rest of the keep).
  for (const AccountTotal& r : rows) {
    std::memcpy(out.data() + used, &r, kAccountRowBytes);
    used += kAccountRowBytes;
    if (used >= kPiece) {
      sink(std::string_view(out.data(), used));
      used = 0;
    }
  }
  if (used > 0) sink(std::string_view(out.data(), used));
}

// The rows of a blob after its header; 0 rows and false when the header or
// the size is not this layout's.
bool Rows(std::string_view blob, size_t rowBytes, const unsigned char** first, size_t* count) {
  if (blob.size() < kHeaderBytes || (blob.size() - kHeaderBytes) % rowBytes != 0) return false;
  const auto* at = reinterpret_cast<const unsigned char*>(blob.data());
  if (Take<uint32_t>(at) != kFormat || Take<uint32_t>(at) != rowBytes ||
      Take<uint64_t>(at) != kByteOrder) {
    return false;
  }
  *first = at;
  *count = (blob.size() - kHeaderBytes) / rowBytes;
  return true;
}

bool DecodeClasses(std::string_view blob, ClassTotals* rows) {
  const unsigned char* at = nullptr;
  size_t count = 0;
  if (!Rows(blob, kClassRowBytes, &at, &count)) return false;
  for (size_t i = 0; i < count; ++i) {
    ClassTotal r;
    r.rate = Take<int32_t>(at);
    r.businessType = Take<int32_t>(at);
    r.debitTaxClass = Take<int32_t>(at);
    r.creditTaxClass = Take<int32_t>(at);
    r.monthKind = Take<int32_t>(at);
    r.lines = Take<int64_t>(at);
    r.debitAmount = Take<int64_t>(at);
    r.debitTax = Take<int64_t>(at);
    r.creditAmount = Take<int64_t>(at);
    r.creditTax = Take<int64_t>(at);
    rows->push_back(r);
  }
  return true;
}

bool DecodeAccounts(std::string_view blob, AccountTotals* rows) {
  const unsigned char* at = nullptr;
  size_t count = 0;
  if (!Rows(blob, kAccountRowBytes, &at, &count)) return false;
  // Copied whole through a small buffer, a block of rows at a time (a row
  // pushed at a time cost as much as reading and hashing the file).
  std::array<AccountTotal, 256> block;
  while (count > 0) {
    const size_t n = std::min(count, block.size());
    std::memcpy(block.data(), at, n * kAccountRowBytes);
    rows->insert(rows->end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
    at += n * kAccountRowBytes;
    count -= n;
  }
  return true;
}

void PutText(std::string* out, const std::string& text) {
  Put<uint32_t>(out, static_cast<uint32_t>(text.size()));
  out->append(text);
}

std::string EncodeAccountList(const std::vector<KeptAccount>& accounts) {
  std::string out;
  PutHeader(&out, 0);
  for (const KeptAccount& a : accounts) {
    Put<int32_t>(&out, a.accountId);
    for (int64_t v : {a.classCode, a.excluded, a.balanceSide, a.refundFlag1, a.refundFlag2}) {
      Put<int64_t>(&out, v);
    }
    PutText(&out, a.code);
    for (const ConvertedText* text : {&a.codeText, &a.nameText}) {
      Put<uint8_t>(&out, text->converts ? 1 : 0);
      PutText(&out, text->cp932);
    }
  }
  return out;
}

// Rows of their own length after a header of row size 0, read front to back;
// any read past the blob's end fails.
class ListReader {
 public:
  explicit ListReader(std::string_view blob)
      : at_(reinterpret_cast<const unsigned char*>(blob.data())), end_(at_ + blob.size()) {}
  // The header; false when it is not this layout's.
  bool Header() {
    if (!Has(kHeaderBytes)) return false;
    return Take<uint32_t>(at_) == kFormat && Take<uint32_t>(at_) == 0 &&
           Take<uint64_t>(at_) == kByteOrder;
  }
  bool AtEnd() const { return at_ == end_; }
  bool Has(size_t bytes) const { return static_cast<size_t>(end_ - at_) >= bytes; }
  // A fixed field; the caller made sure with Has that it is there.
  template <class T>
  T Field() {
    return Take<T>(at_);
  }
  // A text of a 32-bit size.
  bool Text(std::string* out) {
    if (!Has(4)) return false;
    const uint32_t size = Take<uint32_t>(at_);
    if (!Has(size)) return false;
    out->assign(reinterpret_cast<const char*>(at_), size);
    at_ += size;
    return true;
  }
  // Passes over bytes, or over a text of a 32-bit size, without reading
  // them; false past the blob's end.
  bool Skip(size_t bytes) {
    if (!Has(bytes)) return false;
    at_ += bytes;
    return true;
  }
  bool SkipText() {
    if (!Has(4)) return false;
    return Skip(Take<uint32_t>(at_));
  }
  // Whether a text converts (one byte, 0 or 1), then the text.
  bool Converted(ConvertedText* out) {
    if (!Has(1)) return false;
    const uint8_t converts = Take<uint8_t>(at_);
    if (converts > 1 || !Text(&out->cp932)) return false;
    out->converts = converts == 1;
    return true;
  }

 private:
  const unsigned char* at_;
  const unsigned char* end_;
};

bool DecodeAccountList(std::string_view blob, std::vector<KeptAccount>* accounts) {
  ListReader in(blob);
  if (!in.Header()) return false;
  // The rows counted first and room made for them at once: growing the list
  // by doubling touched about twice the memory it keeps (fresh pages, each
  // a fault, in a short run).
  size_t rows = 0;
  for (ListReader count = in; !count.AtEnd(); ++rows) {
    if (!count.Skip(4 + 5 * 8) || !count.SkipText() || !count.Skip(1) || !count.SkipText() ||
        !count.Skip(1) || !count.SkipText()) {
      return false;
    }
  }
  accounts->reserve(accounts->size() + rows);
  while (!in.AtEnd()) {
    if (!in.Has(4 + 5 * 8)) return false;
    KeptAccount a;
    a.accountId = in.Field<int32_t>();
    a.classCode = in.Field<int64_t>();
    a.excluded = in.Field<int64_t>();
    a.balanceSide = in.Field<int64_t>();
    a.refundFlag1 = in.Field<int64_t>();
    a.refundFlag2 = in.Field<int64_t>();
    if (!in.Text(&a.code) || !in.Converted(&a.codeText) || !in.Converted(&a.nameText)) {
      return false;
    }
    accounts->push_back(std::move(a));
  }
  return true;
}

std::string EncodeAssetList(const std::vector<KeptAsset>& assets) {
  std::string out;
  PutHeader(&out, 0);
  for (const KeptAsset& a : assets) {
    Put<int32_t>(&out, a.assetId);
    Put<int32_t>(&out, a.kind);
    Put<int32_t>(&out, a.acquisitionDate);
    Put<int64_t>(&out, a.acquisitionAmount);
    Put<uint8_t>(&out, a.incomeKind);
    for (const ConvertedText* text : {&a.code, &a.name}) {
      Put<uint8_t>(&out, text->converts ? 1 : 0);
      PutText(&out, text->cp932);
    }
  }
  return out;
}

bool DecodeAssetList(std::string_view blob, std::vector<KeptAsset>* assets) {
  ListReader in(blob);
  if (!in.Header()) return false;
  while (!in.AtEnd()) {
    if (!in.Has(3 * 4 + 8 + 1)) return false;
    KeptAsset a;
    a.assetId = in.Field<int32_t>();
    a.kind = in.Field<int32_t>();
    a.acquisitionDate = in.Field<int32_t>();
    a.acquisitionAmount = in.Field<int64_t>();
    a.incomeKind = in.Field<uint8_t>();
    if (!in.Converted(&a.code) || !in.Converted(&a.name)) return false;
    assets->push_back(std::move(a));
  }
  return true;
}

// A hash of the blobs and the kept flags, eight bytes a step (the blobs are
// tens of kilobytes at a thousand lines), taken as the bytes come: a
// snapshot changed or damaged in part does not read back.
class BlobHash {
 public:
  explicit BlobHash(int64_t kept) : hash_(0xcbf29ce484222325ULL ^ static_cast<uint64_t>(kept)) {}
  void Add(std::string_view bytes) {
    size_ += bytes.size();
    if (!left_.empty()) {
      const size_t taken = std::min(bytes.size(), 8 - left_.size());
      left_.append(bytes.substr(0, taken));
      bytes.remove_prefix(taken);
      if (left_.size() < 8) return;
      Word(left_.data());
      left_.clear();
    }
    for (; bytes.size() >= 8; bytes.remove_prefix(8)) Word(bytes.data());
    left_.assign(bytes);
  }
  // Ends a blob: its last bytes one at a time, then its size.
  void End() {
    for (unsigned char c : left_) hash_ = (hash_ ^ c) * kPrime;
    hash_ = (hash_ ^ size_) * kPrime;
    left_.clear();
    size_ = 0;
  }
  int64_t Value() const { return static_cast<int64_t>(hash_); }

 private:
  static constexpr uint64_t kPrime = 0x100000001b3ULL;
  void Word(const char* bytes) {
    uint64_t word = 0;
    std::memcpy(&word, bytes, 8);
    hash_ = (hash_ ^ word) * kPrime;
    hash_ ^= hash_ >> 29;
  }
  uint64_t hash_;
  std::string left_;
  size_t size_ = 0;
};

// The file's label hashed after its blobs: a file of another data set or
// counter does not read back.
void HashLabel(BlobHash* hash, int32_t dataNo, uint32_t counter) {
  std::string label;
  Put<int32_t>(&label, dataNo);
  Put<uint32_t>(&label, counter);
  hash->Add(label);
  hash->End();
}

// The counter a commit gives a file whose counter is `counter` (it wraps as
// the file's four bytes do).
int64_t NextCounter(uint32_t counter) { return int64_t{static_cast<uint32_t>(counter + 1)}; }

}  // namespace

bool ReadChangeCounter(sqlite3* db, uint32_t* counter) {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
      file == nullptr || file->pMethods == nullptr) {
    return false;
  }
  // Bytes 18 and 19: 1 for a rollback journal (2 is WAL, whose commits need
  // not move the counter); 24..27 the counter, big-endian.
  std::array<unsigned char, 10> header{};
  if (file->pMethods->xRead(file, header.data(), static_cast<int>(header.size()), 18) !=
          SQLITE_OK ||
      header[0] != 1 || header[1] != 1) {
    return false;
  }
  *counter = (uint32_t{header[6]} << 24) | (uint32_t{header[7]} << 16) |
             (uint32_t{header[8]} << 8) | uint32_t{header[9]};
  return true;
}

namespace {

// The kept file of dataNo: `<store file>-kept/<data_no>`; empty for a store
// with no file (in memory, temporary).
std::string KeptPath(sqlite3* db, int32_t dataNo, std::string* folder) {
  const char* store = sqlite3_db_filename(db, "main");
  if (store == nullptr || *store == '\0') return {};
  *folder = std::string(store) + "-kept";
  return *folder + "/" + std::to_string(dataNo);
}

// The file's header: the byte-order value, format, data set, counter, kept
// flags, checksum and the sizes of the three blobs that follow it.
constexpr size_t kFileHeaderBytes = 8 + 4 + 4 + 4 + 4 + 8 + 8 + 3 * 8;
// A file larger than this is no file this code wrote (a million lines'
// account totals take about 0.5 MB).
constexpr off_t kMostFileBytes = off_t{1} << 30;

struct KeptFile {
  std::string bytes;
  uint32_t counter = 0;
  int64_t kept = 0;
  std::string_view classes, accounts, list;
};

// Whether rows read at counter `read` stand for the store as it is: its
// counter is still `read`, or every commit since was one of the host's
// benign ones. The counter is read while the statement holds the store's
// shared lock, so no commit comes between it and the commits counted.
bool StandsAt(sqlite3* db, uint32_t read) {
  // Whether the benign commits' table is there is told by the schema SQLite
  // has read: a statement on a missing table would be parsed only to fail.
  // No purpose is given, so a failure goes to no log (a store without the
  // table is no failure); the statements are kept prepared where the
  // connection keeps them, for the next kept file read.
  SqlStatement query;
  const bool benignTable =
      sqlite3_table_column_metadata(db, "main", "derived_benign_commit", nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr) == SQLITE_OK &&
      query.Prepare(db,
                    "SELECT count(*), max(counter) FROM main.derived_benign_commit "
                    "WHERE counter > ?1",
                    nullptr) == 0;
  if (benignTable) {
    query.BindInt(1, int64_t{read});
  } else if (query.Prepare(db, "SELECT count(*), NULL FROM main.sqlite_master", nullptr) != 0) {
    return false;
  }
  uint32_t now = 0;
  // Distinct counters in (read, now], as many as the commits since, and
  // none past now: every one of those commits was benign. A counter that
  // went back or wrapped is never taken.
  return query.Step() == 1 && ReadChangeCounter(db, &now) &&
         (now == read || (benignTable && now > read &&
                          query.Int(0) == int64_t{now} - int64_t{read} &&
                          query.Int(1) <= int64_t{now}));
}

// Reads the whole of `size` bytes at `offset` of fd.
bool ReadAt(int fd, char* to, size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t got = pread(fd, to, size, offset);
    if (got <= 0) return false;
    to += got;
    size -= static_cast<size_t>(got);
    offset += got;
  }
  return true;
}

// Reads and verifies the kept file of dataNo when it stands for the store
// as it is (StandsAt, asked before the body is read: after a write the body
// is not needed); false when there is none, it does not stand, or it is
// torn, damaged, of another layout or of another data set.
//
// With `keptAt`, the file is taken only when it was kept at that counter,
// whether or not it stands for the store now (the caller brings it up to
// date).
bool ReadKeptFile(sqlite3* db, int32_t dataNo, KeptFile* file, const uint32_t* keptAt = nullptr) {
  std::string folder;
  const std::string path = KeptPath(db, dataNo, &folder);
  if (path.empty()) return false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  std::array<char, kFileHeaderBytes> header{};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_size >= static_cast<off_t>(kFileHeaderBytes) &&
            info.st_size <= kMostFileBytes && ReadAt(fd, header.data(), header.size(), 0);
  const auto* at = reinterpret_cast<const unsigned char*>(header.data());
  ok = ok && Take<uint64_t>(at) == kByteOrder && Take<uint32_t>(at) == kFormat &&
       Take<int32_t>(at) == dataNo;
  file->counter = ok ? Take<uint32_t>(at) : 0;
  ok = ok && Take<uint32_t>(at) == 0;
  file->kept = ok ? Take<int64_t>(at) : -1;
  const int64_t checksum = ok ? Take<int64_t>(at) : 0;
  uint64_t sizes[3] = {};
  if (ok) {
    for (uint64_t& size : sizes) size = Take<uint64_t>(at);
  }
  const uint64_t body = static_cast<uint64_t>(info.st_size) - kFileHeaderBytes;
  ok = ok && file->kept >= 0 && file->kept <= 7 && sizes[0] <= body &&
       sizes[1] <= body - sizes[0] && sizes[2] == body - sizes[0] - sizes[1] &&
       (keptAt != nullptr ? file->counter == *keptAt : StandsAt(db, file->counter));
  if (ok) {
    file->bytes.resize(body);
    ok = ReadAt(fd, file->bytes.data(), body, static_cast<off_t>(kFileHeaderBytes));
  }
  close(fd);
  if (!ok) return false;
  const std::string_view rest(file->bytes);
  file->classes = rest.substr(0, sizes[0]);
  file->list = rest.substr(sizes[0], sizes[1]);
  file->accounts = rest.substr(sizes[0] + sizes[1]);
  BlobHash hash(file->kept);
  for (std::string_view blob : {file->classes, file->accounts, file->list}) {
    hash.Add(blob);
    hash.End();
  }
  HashLabel(&hash, dataNo, file->counter);
  return hash.Value() == checksum;
}

// The account list of the last kept file the check read, handed once to the
// accounts' read that follows it in the same run instead of a second read of
// the whole file: it stands on the same terms as the file (the store's
// counter then, StandsAt now). A few bytes per account.
struct ListHandOff {
  sqlite3* db = nullptr;
  std::string path;
  int32_t dataNo = 0;
  uint32_t counter = 0;
  int64_t kept = 0;
  std::string list;
};

ListHandOff& HandOff() {
  static auto* handOff = new ListHandOff();
  return *handOff;
}

// Hands the kept file's flags and blobs to decode, when it reads back whole
// and stands for the store as it is; false otherwise.
template <class Decode>
bool ReadKept(sqlite3* db, int32_t dataNo, Decode decode) {
  KeptFile file;
  if (!ReadKeptFile(db, dataNo, &file)) return false;
  std::string folder;
  HandOff() = {db, KeptPath(db, dataNo, &folder), dataNo, file.counter, file.kept,
               std::string(file.list)};
  return decode(file.kept, file.classes, file.accounts, file.list);
}

// The account list handed off for dataNo of db's store, when it still stands
// (taken once); false when there is none.
bool TakeHandedList(sqlite3* db, int32_t dataNo, int64_t* kept, std::string* list) {
  ListHandOff handOff = std::move(HandOff());
  HandOff() = ListHandOff();
  std::string folder;
  if (handOff.db != db || handOff.dataNo != dataNo || handOff.path.empty() ||
      handOff.path != KeptPath(db, dataNo, &folder) || !StandsAt(db, handOff.counter)) {
    return false;
  }
  *kept = handOff.kept;
  *list = std::move(handOff.list);
  return true;
}

// Writes all of bytes to fd.
bool WriteAll(int fd, std::string_view bytes) {
  return platform::WriteFully(fd, bytes.data(), bytes.size()) == 0;
}

// The fixed assets' file of dataNo, `<store file>-kept/<data_no>.assets`: a
// file of its own, so that the check's file keeps the layout earlier builds
// read (a build before this one and this one taking turns on a store would
// otherwise each find the other's file unreadable and check again). It
// stands for the store on the same terms as the check's file: the counter
// it was read at, StandsAt now.
std::string AssetsPath(sqlite3* db, int32_t dataNo, std::string* folder) {
  const std::string path = KeptPath(db, dataNo, folder);
  return path.empty() ? path : path + ".assets";
}

// Its header: the byte-order value, format, data set, counter, the usable
// flag, checksum and the size of the asset list that follows.
constexpr uint32_t kAssetsFormat = 1;
constexpr size_t kAssetsHeaderBytes = 8 + 4 + 4 + 4 + 4 + 8 + 8;

// The assets' file when it reads back whole and stands for the store as it
// is; false otherwise.
bool ReadAssetsFile(sqlite3* db, int32_t dataNo, bool* usable, std::string* list) {
  std::string folder;
  const std::string path = AssetsPath(db, dataNo, &folder);
  if (path.empty()) return false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  std::array<char, kAssetsHeaderBytes> header{};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_size >= static_cast<off_t>(kAssetsHeaderBytes) &&
            info.st_size <= kMostFileBytes && ReadAt(fd, header.data(), header.size(), 0);
  const auto* at = reinterpret_cast<const unsigned char*>(header.data());
  ok = ok && Take<uint64_t>(at) == kByteOrder && Take<uint32_t>(at) == kAssetsFormat &&
       Take<int32_t>(at) == dataNo;
  const uint32_t counter = ok ? Take<uint32_t>(at) : 0;
  const uint32_t flag = ok ? Take<uint32_t>(at) : 2;
  const int64_t checksum = ok ? Take<int64_t>(at) : 0;
  const uint64_t size = ok ? Take<uint64_t>(at) : 0;
  ok = ok && flag <= 1 &&
       size == static_cast<uint64_t>(info.st_size) - kAssetsHeaderBytes && StandsAt(db, counter);
  if (ok) {
    list->resize(size);
    ok = ReadAt(fd, list->data(), size, static_cast<off_t>(kAssetsHeaderBytes));
  }
  close(fd);
  if (!ok) return false;
  BlobHash hash(flag);
  hash.Add(*list);
  hash.End();
  HashLabel(&hash, dataNo, counter);
  *usable = flag == 1;
  return hash.Value() == checksum;
}

// Writes header and body to a temporary file in folder and renames it over
// path: a reader sees the old file or the new one whole. No fsync: a file
// torn by a crash does not read back.
bool WriteRenamed(const std::string& folder, const std::string& path, std::string_view header,
                  std::string_view body) {
  // A name of this process and call: two writers never share a temporary.
  static std::atomic<uint64_t> calls{0};
  const std::string temp = folder + "/.assets." + std::to_string(getpid()) + "." +
                           std::to_string(calls++);
  unlink(temp.c_str());
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool written = WriteAll(fd, header) && WriteAll(fd, body);
  written = close(fd) == 0 && written && rename(temp.c_str(), path.c_str()) == 0;
  if (!written) unlink(temp.c_str());
  return written;
}

// Keeps the assets read at counter `checked` (null: not usable).
bool WriteAssetsFile(sqlite3* db, int32_t dataNo, uint32_t checked,
                     const std::vector<KeptAsset>* assets) {
  std::string folder;
  const std::string path = AssetsPath(db, dataNo, &folder);
  if (path.empty()) return false;
  const std::string list = assets != nullptr ? EncodeAssetList(*assets) : std::string();
  const uint32_t flag = assets != nullptr ? 1 : 0;
  BlobHash hash(flag);
  hash.Add(list);
  hash.End();
  HashLabel(&hash, dataNo, checked);
  std::string header;
  Put<uint64_t>(&header, kByteOrder);
  Put<uint32_t>(&header, kAssetsFormat);
  Put<int32_t>(&header, dataNo);
  Put<uint32_t>(&header, checked);
  Put<uint32_t>(&header, flag);
  Put<int64_t>(&header, hash.Value());
  Put<uint64_t>(&header, uint64_t{list.size()});
  return WriteRenamed(folder, path, header, list);
}

// The position of the account totals' log a kept check stands at, in a
// small file of its own beside it (`<data_no>.since`), so that the check's
// file keeps the layout earlier builds read: a byte-order value, format,
// data set, the counter of the check it goes with, a word of 0, the
// schema version and position of the log, the check's rows of account
// totals, and a checksum.
constexpr uint32_t kSinceFormat = 1;
constexpr size_t kSinceBytes = 8 + 4 + 4 + 4 + 4 + 8 + 8 + 8 + 8;

std::string SincePath(sqlite3* db, int32_t dataNo, std::string* folder) {
  const std::string path = KeptPath(db, dataNo, folder);
  return path.empty() ? path : path + ".since";
}

int64_t SinceChecksum(int32_t dataNo, const KeptSince& since) {
  std::string bytes;
  Put<int64_t>(&bytes, since.log.schemaVersion);
  Put<int64_t>(&bytes, since.log.position);
  Put<uint64_t>(&bytes, since.accountRows);
  BlobHash hash(0);
  hash.Add(bytes);
  hash.End();
  HashLabel(&hash, dataNo, since.counter);
  return hash.Value();
}

}  // namespace

void ReadCheckedSnapshot(sqlite3* db, int32_t dataNo, CheckedRows* rows, bool* found) {
  *rows = CheckedRows();
  *found = false;
  // A connection that built its own derived data in temp tables checks those.
  if (DerivedSchema::UsesTemp(db)) return;
  *found = ReadKept(
      db, dataNo,
      [rows](int64_t kept, std::string_view classes, std::string_view accounts, std::string_view) {
        rows->classesKept = (kept & 1) != 0;
        rows->accountsKept = (kept & 2) != 0;
        return DecodeClasses(classes, &rows->classes) && DecodeAccounts(accounts, &rows->accounts);
      });
  if (!*found) *rows = CheckedRows();
}

bool ReadKeptSince(sqlite3* db, int32_t dataNo, KeptSince* since) {
  if (DerivedSchema::UsesTemp(db)) return false;
  std::string folder;
  const std::string path = SincePath(db, dataNo, &folder);
  if (path.empty()) return false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  std::array<char, kSinceBytes> bytes{};
  const bool read = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                    info.st_size == static_cast<off_t>(kSinceBytes) &&
                    ReadAt(fd, bytes.data(), bytes.size(), 0);
  close(fd);
  if (!read) return false;
  const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
  if (Take<uint64_t>(at) != kByteOrder || Take<uint32_t>(at) != kSinceFormat ||
      Take<int32_t>(at) != dataNo) {
    return false;
  }
  since->counter = Take<uint32_t>(at);
  if (Take<uint32_t>(at) != 0) return false;
  since->log.schemaVersion = Take<int64_t>(at);
  since->log.position = Take<int64_t>(at);
  since->accountRows = Take<uint64_t>(at);
  return Take<int64_t>(at) == SinceChecksum(dataNo, *since);
}

void ReadCheckedRowsAt(sqlite3* db, int32_t dataNo, uint32_t counter, CheckedRows* rows,
                       bool* found) {
  *rows = CheckedRows();
  *found = false;
  KeptFile file;
  if (DerivedSchema::UsesTemp(db) || !ReadKeptFile(db, dataNo, &file, &counter)) return;
  rows->classesKept = (file.kept & 1) != 0;
  rows->accountsKept = (file.kept & 2) != 0;
  *found = DecodeAccounts(file.accounts, &rows->accounts);
  if (!*found) *rows = CheckedRows();
}

bool WriteCheckedSince(sqlite3* db, int32_t dataNo, const KeptSince& since) {
  if ((sqlite3_get_autocommit(db) == 0 && !ReadScope::Held(db)) || DerivedSchema::UsesTemp(db)) {
    return false;
  }
  std::string folder;
  const std::string path = SincePath(db, dataNo, &folder);
  if (path.empty()) return false;
  std::string bytes;
  Put<uint64_t>(&bytes, kByteOrder);
  Put<uint32_t>(&bytes, kSinceFormat);
  Put<int32_t>(&bytes, dataNo);
  Put<uint32_t>(&bytes, since.counter);
  Put<uint32_t>(&bytes, 0);
  Put<int64_t>(&bytes, since.log.schemaVersion);
  Put<int64_t>(&bytes, since.log.position);
  Put<uint64_t>(&bytes, since.accountRows);
  Put<int64_t>(&bytes, SinceChecksum(dataNo, since));
  return WriteRenamed(folder, path, bytes, {});
}

void ReadSnapshotAccounts(sqlite3* db, int32_t dataNo, std::vector<KeptAccount>* accounts,
                          bool* usable, bool* found) {
  accounts->clear();
  *usable = false;
  auto decode = [&](int64_t kept, std::string_view, std::string_view, std::string_view list) {
    *usable = (kept & 4) != 0;
    return !*usable || DecodeAccountList(list, accounts);
  };
  int64_t kept = 0;
  std::string list;
  *found = TakeHandedList(db, dataNo, &kept, &list) ? decode(kept, {}, {}, list)
                                                    : ReadKept(db, dataNo, decode);
  if (!*found || !*usable) accounts->clear();
}

void ReadSnapshotAssets(sqlite3* db, int32_t dataNo, std::vector<KeptAsset>* assets, bool* usable,
                        bool* found) {
  assets->clear();
  *usable = false;
  *found = false;
  if (DerivedSchema::UsesTemp(db)) return;
  std::string list;
  *found = ReadAssetsFile(db, dataNo, usable, &list) &&
           (!*usable || DecodeAssetList(list, assets));
  if (!*found || !*usable) assets->clear();
}

void NoteBenignCommit(sqlite3* db) {
  // Only under a write transaction's lock: no other commit comes between
  // the counter read here and this one's.
  uint32_t counter = 0;
  if (sqlite3_get_autocommit(db) != 0 || !ReadChangeCounter(db, &counter)) return;
  const std::string next = std::to_string(NextCounter(counter));
  // The last few hundred are kept (a counter past this commit's is left by
  // a file put back or wrapped round). The tables an earlier build kept its
  // checks in go while the write lock is held anyway.
  RunSql(db, ("CREATE TABLE IF NOT EXISTS main.derived_benign_commit (counter INTEGER PRIMARY KEY);"
           "DROP TABLE IF EXISTS main.derived_check_kept;"
           "DROP TABLE IF EXISTS main.derived_check_stamp;"
           "DROP TABLE IF EXISTS main.derived_check_snapshot;"
           "INSERT OR REPLACE INTO main.derived_benign_commit (counter) VALUES (" +
           next + ");DELETE FROM main.derived_benign_commit WHERE counter > " + next +
           " OR counter <= " + next + " - 300")
              .c_str());
}

bool WriteCheckedSnapshot(sqlite3* db, int32_t dataNo, uint32_t checked, const CheckedRows& rows,
                          const std::vector<KeptAccount>* accountList,
                          const std::vector<KeptAsset>* assetList) {
  // Not inside a transaction of the caller's (an import's, whose rows may
  // still roll back), not for the connection's own temp tables.
  if ((sqlite3_get_autocommit(db) == 0 && !ReadScope::Held(db)) || DerivedSchema::UsesTemp(db)) {
    return false;
  }
  std::string folder;
  const std::string path = KeptPath(db, dataNo, &folder);
  if (path.empty() || (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)) return false;
  // The assets first: a reader that finds the check's new file finds them
  // beside it (either stands on its own counter all the same).
  WriteAssetsFile(db, dataNo, checked, assetList);
  const std::string classes = EncodeClasses(rows.classes);
  const std::string list = accountList != nullptr ? EncodeAccountList(*accountList) : std::string();
  const int64_t kept =
      (rows.classesKept ? 1 : 0) | (rows.accountsKept ? 2 : 0) | (accountList != nullptr ? 4 : 0);
  // The header, which holds the hash and the sizes, written last over room
  // left for it: the account totals are encoded once, each piece hashed
  // and written in turn.
  const auto header = [&](int64_t hashed, uint64_t accountBytes) {
    std::string bytes;
    Put<uint64_t>(&bytes, kByteOrder);
    Put<uint32_t>(&bytes, kFormat);
    Put<int32_t>(&bytes, dataNo);
    Put<uint32_t>(&bytes, checked);
    Put<uint32_t>(&bytes, 0);
    Put<int64_t>(&bytes, kept);
    Put<int64_t>(&bytes, hashed);
    for (uint64_t size : {uint64_t{classes.size()}, uint64_t{list.size()}, accountBytes}) {
      Put<uint64_t>(&bytes, size);
    }
    return bytes;
  };
  // Written beside it and renamed over it: a reader sees the old file or the
  // new one whole. No fsync: a file torn by a crash does not read back.
  // A name of this process and call: two writers never share a temporary.
  static std::atomic<uint64_t> calls{0};
  const std::string temp = folder + "/." + std::to_string(dataNo) + "." + std::to_string(getpid()) +
                           "." + std::to_string(calls++);
  unlink(temp.c_str());
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool written = WriteAll(fd, header(0, 0)) && WriteAll(fd, classes) && WriteAll(fd, list);
  BlobHash hash(kept);
  hash.Add(classes);
  hash.End();
  uint64_t accountBytes = 0;
  EncodeAccountsInPieces(rows.accounts, [&](std::string_view piece) {
    hash.Add(piece);
    accountBytes += piece.size();
    written = written && WriteAll(fd, piece);
  });
  hash.End();
  hash.Add(list);
  hash.End();
  HashLabel(&hash, dataNo, checked);
  const std::string head = header(hash.Value(), accountBytes);
  written = written && pwrite(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size());
  written = close(fd) == 0 && written && rename(temp.c_str(), path.c_str()) == 0;
  if (!written) unlink(temp.c_str());
  return written;
}

}  // namespace mvhost
