#include "mvhost/lib/CheckedSnapshot.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "mvhost/lib/BusyWait.h"
#include "mvhost/lib/DerivedSchema.h"
#include "mvhost/lib/ReadScope.h"

namespace mvhost {

namespace {

// Layout of the blobs: a header (format, row size, a value that tells the
// byte order) and the rows' fields in order, without padding.
constexpr uint32_t kFormat = 1;
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

std::string EncodeAccounts(const AccountTotals& rows) {
  std::string out;
  out.reserve(kHeaderBytes + rows.size() * kAccountRowBytes);
  PutHeader(&out, kAccountRowBytes);
  for (const AccountTotal& r : rows) {
    Put<int64_t>(&out, r.amount);
    Put<int64_t>(&out, r.tax);
    Put<int32_t>(&out, r.accountId);
    Put<int16_t>(&out, r.rate);
    Put<uint8_t>(&out, r.side);
    Put<uint8_t>(&out, r.entry);
  }
  return out;
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

// A hash of both blobs and the kept flags, eight bytes a step (the blobs
// are tens of kilobytes at a thousand lines): a snapshot changed or damaged
// in part does not read back.
int64_t Checksum(std::string_view classes, std::string_view accounts, int64_t kept) {
  uint64_t hash = 0xcbf29ce484222325ULL ^ static_cast<uint64_t>(kept);
  auto add = [&hash](std::string_view bytes) {
    size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
      uint64_t word = 0;
      std::memcpy(&word, bytes.data() + at, 8);
      hash = (hash ^ word) * 0x100000001b3ULL;
      hash ^= hash >> 29;
    }
    for (; at < bytes.size(); ++at) {
      hash = (hash ^ static_cast<unsigned char>(bytes[at])) * 0x100000001b3ULL;
    }
    hash = (hash ^ bytes.size()) * 0x100000001b3ULL;
  };
  add(classes);
  add(accounts);
  return static_cast<int64_t>(hash);
}

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

void ReadCheckedSnapshot(sqlite3* db, int32_t dataNo, CheckedRows* rows, bool* found) {
  *found = false;
  *rows = CheckedRows();
  // Prepared once a run at most: not through the statement cache, whose
  // failures are logged (a store without the table is no failure).
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db,
                         "SELECT change_counter, kept, checksum, classes, accounts "
                         "FROM main.derived_check_snapshot WHERE data_no = ?",
                         -1, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    return;
  }
  sqlite3_bind_int(stmt, 1, dataNo);
  // The row is read, and the counter compared, while the statement holds
  // the store's shared lock: no commit can come between them.
  uint32_t counter = 0;
  if (sqlite3_step(stmt) == SQLITE_ROW && ReadChangeCounter(db, &counter) &&
      sqlite3_column_int64(stmt, 0) == int64_t{counter}) {
    const int64_t kept = sqlite3_column_int64(stmt, 1);
    const int64_t checksum = sqlite3_column_int64(stmt, 2);
    auto view = [stmt](int column) {
      const void* bytes = sqlite3_column_blob(stmt, column);
      const int size = sqlite3_column_bytes(stmt, column);
      return bytes == nullptr ? std::string_view()
                              : std::string_view(static_cast<const char*>(bytes),
                                                 static_cast<size_t>(size));
    };
    const std::string_view classes = view(3);
    const std::string_view accounts = view(4);
    rows->classesKept = (kept & 1) != 0;
    rows->accountsKept = (kept & 2) != 0;
    *found = kept >= 0 && kept <= 3 && Checksum(classes, accounts, kept) == checksum &&
             DecodeClasses(classes, &rows->classes) && DecodeAccounts(accounts, &rows->accounts);
  }
  sqlite3_finalize(stmt);
  if (!*found) *rows = CheckedRows();
}

bool WriteCheckedSnapshot(sqlite3* db, int32_t dataNo, uint32_t checked, const CheckedRows& rows,
                          StoreStamp* after) {
  // Not inside a transaction of the caller's (an import's), not while a
  // walk steps, not on a store this connection may only read, not for the
  // connection's own temp tables.
  if ((sqlite3_get_autocommit(db) == 0 && !ReadScope::Held(db)) ||
      ReadScope::StatementActive(db) || sqlite3_db_readonly(db, "main") != 0 ||
      DerivedSchema::UsesTemp(db)) {
    return false;
  }
  ReadScope::Release(db);
  sqlite3_busy_timeout(db, 0);
  bool written = false;
  if (Run(db, "BEGIN IMMEDIATE")) {
    uint32_t counter = 0;
    const std::string classes = EncodeClasses(rows.classes);
    const std::string accounts = EncodeAccounts(rows.accounts);
    const int64_t kept = (rows.classesKept ? 1 : 0) | (rows.accountsKept ? 2 : 0);
    sqlite3_stmt* stmt = nullptr;
    // The counter read under the write lock: still the check's, and this
    // commit moves it by one.
    written = ReadChangeCounter(db, &counter) && counter == checked &&
              Run(db,
                  "CREATE TABLE IF NOT EXISTS main.derived_check_snapshot (\n"
                  "  data_no        INTEGER PRIMARY KEY,\n"
                  "  change_counter INTEGER NOT NULL,\n"
                  "  kept           INTEGER NOT NULL,\n"
                  "  checksum       INTEGER NOT NULL,\n"
                  "  classes        BLOB NOT NULL,\n"
                  "  accounts       BLOB NOT NULL\n"
                  ")") &&
              sqlite3_prepare_v2(db,
                                 "INSERT OR REPLACE INTO main.derived_check_snapshot (data_no, "
                                 "change_counter, kept, checksum, classes, accounts) "
                                 "VALUES (?, ?, ?, ?, ?, ?)",
                                 -1, &stmt, nullptr) == SQLITE_OK;
    if (written) {
      sqlite3_bind_int(stmt, 1, dataNo);
      sqlite3_bind_int64(stmt, 2, int64_t{counter} + 1 > 0xFFFFFFFFLL ? 0 : int64_t{counter} + 1);
      sqlite3_bind_int64(stmt, 3, kept);
      sqlite3_bind_int64(stmt, 4, Checksum(classes, accounts, kept));
      sqlite3_bind_blob(stmt, 5, classes.data(), static_cast<int>(classes.size()), SQLITE_STATIC);
      sqlite3_bind_blob(stmt, 6, accounts.data(), static_cast<int>(accounts.size()),
                        SQLITE_STATIC);
      written = sqlite3_step(stmt) == SQLITE_DONE && ReadStoreStamp(db, after) == 0;
    }
    sqlite3_finalize(stmt);
    written = written && Run(db, "COMMIT");
    if (!written) Run(db, "ROLLBACK");
  }
  WaitWhenBusy(db);
  return written;
}

}  // namespace mvhost
