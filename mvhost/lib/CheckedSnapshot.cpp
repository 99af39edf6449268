#include "mvhost/lib/CheckedSnapshot.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mvhost/lib/BusyWait.h"
#include "mvhost/lib/DerivedSchema.h"
#include "mvhost/lib/ReadScope.h"

namespace mvhost {

namespace {

// Layout of the blobs: a header (format, row size, a value that tells the
// byte order) and the rows' fields in order, without padding.
constexpr uint32_t kFormat = 2;
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

// The blob of the account totals in pieces of up to 16 KB handed to sink
// (it is 0.5 MB at a million lines: written whole it would double the run's
// peak memory growth).
template <class Sink>
void EncodeAccountsInPieces(const AccountTotals& rows, Sink sink) {
  constexpr size_t kPiece = size_t{16} * 1024;
  std::string out;
  out.reserve(kPiece + kAccountRowBytes);
  PutHeader(&out, kAccountRowBytes);
  for (const AccountTotal& r : rows) {
    Put<int64_t>(&out, r.amount);
    Put<int64_t>(&out, r.tax);
    Put<int32_t>(&out, r.accountId);
    Put<int16_t>(&out, r.rate);
    Put<uint8_t>(&out, r.side);
    Put<uint8_t>(&out, r.entry);
    if (out.size() >= kPiece) {
      sink(std::string_view(out));
      out.clear();
    }
  }
  if (!out.empty()) sink(std::string_view(out));
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
  for (size_t i = 0; i < count; ++i) {
    AccountTotal r;
    r.amount = Take<int64_t>(at);
    r.tax = Take<int64_t>(at);
    r.accountId = Take<int32_t>(at);
    r.rate = Take<int16_t>(at);
    r.side = Take<uint8_t>(at);
    r.entry = Take<uint8_t>(at);
    rows->push_back(r);
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

bool DecodeAccountList(std::string_view blob, std::vector<KeptAccount>* accounts) {
  // The header's row size 0: rows of their own length follow.
  if (blob.size() < kHeaderBytes) return false;
  const auto* at = reinterpret_cast<const unsigned char*>(blob.data());
  if (Take<uint32_t>(at) != kFormat || Take<uint32_t>(at) != 0 ||
      Take<uint64_t>(at) != kByteOrder) {
    return false;
  }
  const unsigned char* end = reinterpret_cast<const unsigned char*>(blob.data()) + blob.size();
  auto text = [&at, end](std::string* out) {
    if (end - at < 4) return false;
    const uint32_t size = Take<uint32_t>(at);
    if (static_cast<size_t>(end - at) < size) return false;
    out->assign(reinterpret_cast<const char*>(at), size);
    at += size;
    return true;
  };
  constexpr std::ptrdiff_t kFixed = 4 + 5 * 8;
  while (at != end) {
    if (end - at < kFixed) return false;
    KeptAccount a;
    a.accountId = Take<int32_t>(at);
    a.classCode = Take<int64_t>(at);
    a.excluded = Take<int64_t>(at);
    a.balanceSide = Take<int64_t>(at);
    a.refundFlag1 = Take<int64_t>(at);
    a.refundFlag2 = Take<int64_t>(at);
    if (!text(&a.code)) return false;
    for (ConvertedText* converted : {&a.codeText, &a.nameText}) {
      if (end - at < 1) return false;
      const uint8_t converts = Take<uint8_t>(at);
      if (converts > 1 || !text(&converted->cp932)) return false;
      converted->converts = converts == 1;
    }
    accounts->push_back(std::move(a));
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

int64_t Checksum(std::string_view classes, std::string_view accounts, std::string_view list,
                 int64_t kept) {
  BlobHash hash(kept);
  for (std::string_view blob : {classes, accounts, list}) {
    hash.Add(blob);
    hash.End();
  }
  return hash.Value();
}

// The counter a commit gives a file whose counter is `counter` (it wraps as
// the file's four bytes do).
int64_t NextCounter(uint32_t counter) { return int64_t{static_cast<uint32_t>(counter + 1)}; }

// Runs a statement quietly: a missing table is no failure to log.
bool Run(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

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

// Reads the row of dataNo and hands its flags and blobs to decode, when the
// store's counter is the one it was written for and its checksum holds;
// false otherwise (no table, no row, another counter, a damaged row).
template <class Decode>
bool ReadRow(sqlite3* db, int32_t dataNo, Decode decode) {
  // Prepared once a run at most: not through the statement cache, whose
  // failures are logged (a store without the table is no failure).
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db,
                         "SELECT t.change_counter, k.kept, k.checksum, k.classes, k.accounts, "
                         "k.account_list FROM main.derived_check_kept k JOIN "
                         "main.derived_check_stamp t ON t.data_no = k.data_no WHERE k.data_no = ?",
                         -1, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    return false;
  }
  sqlite3_bind_int(stmt, 1, dataNo);
  // The row is read, and the counter compared, while the statement holds
  // the store's shared lock: no commit can come between them.
  uint32_t counter = 0;
  bool found = false;
  if (sqlite3_step(stmt) == SQLITE_ROW && ReadChangeCounter(db, &counter) &&
      sqlite3_column_int64(stmt, 0) == int64_t{counter}) {
    const int64_t kept = sqlite3_column_int64(stmt, 1);
    auto view = [stmt](int column) {
      const void* bytes = sqlite3_column_blob(stmt, column);
      const int size = sqlite3_column_bytes(stmt, column);
      return bytes == nullptr
                 ? std::string_view()
                 : std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(size));
    };
    const std::string_view classes = view(3), accounts = view(4), list = view(5);
    found = kept >= 0 && kept <= 7 &&
            Checksum(classes, accounts, list, kept) == sqlite3_column_int64(stmt, 2) &&
            decode(kept, classes, accounts, list);
  }
  sqlite3_finalize(stmt);
  return found;
}

}  // namespace

void ReadCheckedSnapshot(sqlite3* db, int32_t dataNo, CheckedRows* rows, bool* found) {
  *rows = CheckedRows();
  *found = false;
  // A connection that built its own derived data in temp tables checks those.
  if (DerivedSchema::UsesTemp(db)) return;
  *found = ReadRow(
      db, dataNo,
      [rows](int64_t kept, std::string_view classes, std::string_view accounts, std::string_view) {
        rows->classesKept = (kept & 1) != 0;
        rows->accountsKept = (kept & 2) != 0;
        return DecodeClasses(classes, &rows->classes) && DecodeAccounts(accounts, &rows->accounts);
      });
  if (!*found) *rows = CheckedRows();
}

void ReadSnapshotAccounts(sqlite3* db, int32_t dataNo, std::vector<KeptAccount>* accounts,
                          bool* usable, bool* found) {
  accounts->clear();
  *usable = false;
  *found = ReadRow(db, dataNo,
                   [&](int64_t kept, std::string_view, std::string_view, std::string_view list) {
                     *usable = (kept & 4) != 0;
                     return !*usable || DecodeAccountList(list, accounts);
                   });
  if (!*found || !*usable) accounts->clear();
}

void CarryCheckedSnapshots(sqlite3* db) {
  // Only under a write transaction's lock: no other commit comes between
  // the counter read here and this one's.
  uint32_t counter = 0;
  if (sqlite3_get_autocommit(db) != 0 || !ReadChangeCounter(db, &counter)) return;
  Run(db,
      ("UPDATE main.derived_check_stamp SET change_counter = " +
       std::to_string(NextCounter(counter)) + " WHERE change_counter = " + std::to_string(counter))
          .c_str());
}

bool WriteCheckedSnapshot(sqlite3* db, int32_t dataNo, uint32_t checked, const CheckedRows& rows,
                          const std::vector<KeptAccount>* accountList, StoreStamp* after) {
  // Not inside a transaction of the caller's (an import's), not while a
  // walk steps, not on a store this connection may only read, not for the
  // connection's own temp tables.
  if ((sqlite3_get_autocommit(db) == 0 && !ReadScope::Held(db)) || ReadScope::StatementActive(db) ||
      sqlite3_db_readonly(db, "main") != 0 || DerivedSchema::UsesTemp(db)) {
    return false;
  }
  ReadScope::Release(db);
  sqlite3_busy_timeout(db, 0);
  bool written = false;
  if (Run(db, "BEGIN IMMEDIATE")) {
    uint32_t counter = 0;
    const std::string classes = EncodeClasses(rows.classes);
    const std::string list =
        accountList != nullptr ? EncodeAccountList(*accountList) : std::string();
    const int64_t kept =
        (rows.classesKept ? 1 : 0) | (rows.accountsKept ? 2 : 0) | (accountList != nullptr ? 4 : 0);
    // The account totals are hashed, then written, piece by piece: the row
    // goes in with zeros in their place (the last column, which SQLite does
    // not fill in memory) and the pieces are written into it.
    BlobHash hash(kept);
    hash.Add(classes);
    hash.End();
    int64_t accountBytes = 0;
    EncodeAccountsInPieces(rows.accounts, [&](std::string_view piece) {
      hash.Add(piece);
      accountBytes += static_cast<int64_t>(piece.size());
    });
    hash.End();
    hash.Add(list);
    hash.End();
    sqlite3_stmt* stmt = nullptr;
    // The counter read under the write lock: still the check's, and this
    // commit moves it by one. A table of another layout (an earlier build's)
    // is made again.
    // (The single table of an earlier build, the counter inside the rows, goes.)
    static constexpr const char* kCreate =
        "DROP TABLE IF EXISTS main.derived_check_snapshot;\n"
        "CREATE TABLE IF NOT EXISTS main.derived_check_kept (\n"
        "  data_no      INTEGER PRIMARY KEY,\n"
        "  kept         INTEGER NOT NULL,\n"
        "  checksum     INTEGER NOT NULL,\n"
        "  classes      BLOB NOT NULL,\n"
        "  account_list BLOB NOT NULL,\n"
        "  accounts     BLOB NOT NULL\n"
        ");\n"
        "CREATE TABLE IF NOT EXISTS main.derived_check_stamp (\n"
        "  data_no        INTEGER PRIMARY KEY,\n"
        "  change_counter INTEGER NOT NULL\n"
        ")";
    static constexpr const char* kInsert =
        "INSERT OR REPLACE INTO main.derived_check_kept (data_no, kept, checksum, classes, "
        "account_list, accounts) VALUES (?1, ?3, ?4, ?5, ?6, zeroblob(?7))";
    auto prepare = [db, &stmt] {
      return Run(db, kCreate) && sqlite3_prepare_v2(db, kInsert, -1, &stmt, nullptr) == SQLITE_OK;
    };
    written = ReadChangeCounter(db, &counter) && counter == checked && prepare();
    if (written) {
      sqlite3_bind_int(stmt, 1, dataNo);
      sqlite3_bind_int64(stmt, 3, kept);
      sqlite3_bind_int64(stmt, 4, hash.Value());
      sqlite3_bind_blob(stmt, 5, classes.data(), static_cast<int>(classes.size()), SQLITE_STATIC);
      sqlite3_bind_blob(stmt, 6, list.data(), static_cast<int>(list.size()), SQLITE_STATIC);
      sqlite3_bind_int64(stmt, 7, accountBytes);
      written = sqlite3_step(stmt) == SQLITE_DONE;
    }
    const int64_t next = NextCounter(counter);
    written = written &&
              Run(db, ("INSERT OR REPLACE INTO main.derived_check_stamp (data_no, change_counter) "
                       "VALUES (" +
                       std::to_string(dataNo) + ", " + std::to_string(next) + ")")
                          .c_str());
    sqlite3_blob* blob = nullptr;
    written = written && sqlite3_blob_open(db, "main", "derived_check_kept", "accounts", dataNo, 1,
                                           &blob) == SQLITE_OK;
    int offset = 0;
    if (written) {
      EncodeAccountsInPieces(rows.accounts, [&](std::string_view piece) {
        written = written && sqlite3_blob_write(blob, piece.data(), static_cast<int>(piece.size()),
                                                offset) == SQLITE_OK;
        offset += static_cast<int>(piece.size());
      });
    }
    if (blob != nullptr) written = sqlite3_blob_close(blob) == SQLITE_OK && written;
    written = written && ReadStoreStamp(db, after) == 0;
    sqlite3_finalize(stmt);
    written = written && Run(db, "COMMIT");
    if (!written) Run(db, "ROLLBACK");
  }
  WaitWhenBusy(db);
  return written;
}

}  // namespace mvhost
