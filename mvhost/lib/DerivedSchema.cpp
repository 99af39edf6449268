#include "mvhost/lib/DerivedSchema.h"

#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mvhost/lib/AccountTotalLog.h"
#include "mvhost/lib/DerivedChunks.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// A changed line's row in journal_line_change holds what the line now is:
// `present` (0 when it was deleted), `sound` (0 when it holds what the host
// never writes, as SoundPackedColumns tells) and `packed`, the line's
// PackedLine as text (PackedNoteSql), so that readers and the rewrite of its
// chunk need not look the line up nor read a column per value, and the
// check of the noted lines reads one column. (No column is named as one of
// journal_line's: the build before joins the two and names them
// unqualified.)
constexpr const char* kChangeValueColumns[] = {"present", "sound", "packed"};

// The types a sound line's columns have (their month kind also known).
constexpr std::pair<const char*, const char*> kSoundTypes[] = {
    {"journal_no", "'integer'"},
    {"date", "'integer'"},
    {"month_kind", "'integer'"},
    {"tax_rate", "'integer', 'real'"},
    {"business_type", "'integer'"},
    {"debit_account", "'integer', 'null'"},
    {"debit_dept", "'integer'"},
    {"debit_tax_class", "'integer'"},
    {"debit_amount", "'integer'"},
    {"debit_tax", "'integer'"},
    {"credit_account", "'integer', 'null'"},
    {"credit_dept", "'integer'"},
    {"credit_tax_class", "'integer'"},
    {"credit_amount", "'integer'"},
    {"credit_tax", "'integer'"}};

// Whether the row `row` holds what the host writes.
std::string SoundSql(const std::string& row) {
  std::string sql = "(" + row + ".month_kind IN (1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 18)";
  for (const auto& [column, types] : kSoundTypes) {
    sql += std::string(" AND typeof(") + row + "." + column + ") IN (" + types + ")";
  }
  return sql + ")";
}

// The value of a column of a note of the row `row`, added when `present`.
std::string NoteValueSql(const std::string& column, const std::string& row,
                         const std::string& present) {
  if (column == "present") return present;
  if (column == "sound") return "NOT " + present + " OR " + SoundSql(row);
  return PackedNoteSql(row);
}

std::string ChangeValueColumnsSql(const char* separator) {
  std::string columns;
  for (const char* column : kChangeValueColumns) {
    columns += (columns.empty() ? "  " : std::string(separator) + "  ") + column;
  }
  return columns;
}

// The tables, for the store (with references to the data set, so that
// deleting one removes its rows) or for a connection's temp schema.
std::string TablesSql(bool store) {
  const std::string parent = store ? " REFERENCES data_set(data_no) ON DELETE CASCADE" : "";
  const std::string schema = store ? "" : "temp.";
  return "CREATE TABLE IF NOT EXISTS " + schema +
         "journal_derived_state (\n"
         "  data_no      INTEGER PRIMARY KEY" +
         parent +
         ",\n"
         "  overflow     INTEGER NOT NULL DEFAULT 0,\n"
         "  built        INTEGER NOT NULL DEFAULT 0,\n"
         "  progress     INTEGER NOT NULL DEFAULT 0,\n"
         "  progress_end INTEGER NOT NULL DEFAULT 0\n"
         ");\n"
         "CREATE TABLE IF NOT EXISTS " +
         schema +
         "journal_chunk (\n"
         "  data_no  INTEGER NOT NULL" +
         parent +
         ",\n"
         "  chunk_no INTEGER NOT NULL,\n"
         "  lines    BLOB NOT NULL,\n"
         "  PRIMARY KEY (data_no, chunk_no)\n"
         ");\n"
         "CREATE TABLE IF NOT EXISTS " +
         schema +
         "journal_class_total (\n"
         "  data_no          INTEGER NOT NULL" +
         parent +
         ",\n"
         "  rate             INTEGER NOT NULL,\n"
         "  business_type    INTEGER NOT NULL,\n"
         "  debit_tax_class  INTEGER NOT NULL,\n"
         "  credit_tax_class INTEGER NOT NULL,\n"
         "  month_kind       INTEGER NOT NULL,\n"
         "  lines            INTEGER NOT NULL,\n"
         "  debit_amount     INTEGER NOT NULL,\n"
         "  debit_tax        INTEGER NOT NULL,\n"
         "  credit_amount    INTEGER NOT NULL,\n"
         "  credit_tax       INTEGER NOT NULL,\n"
         "  PRIMARY KEY (data_no, rate, business_type, debit_tax_class, credit_tax_class, "
         "month_kind)\n"
         ") WITHOUT ROWID;\n"
         "CREATE TABLE IF NOT EXISTS " +
         schema +
         "journal_account_total (\n"
         "  data_no    INTEGER NOT NULL" +
         parent +
         ",\n"
         "  account_id INTEGER NOT NULL,\n"
         "  side       INTEGER NOT NULL,\n"
         "  rate       INTEGER NOT NULL,\n"
         "  month_kind INTEGER NOT NULL,\n"
         "  amount     INTEGER NOT NULL,\n"
         "  tax        INTEGER NOT NULL,\n"
         "  lines      INTEGER NOT NULL DEFAULT 0,\n"
         "  PRIMARY KEY (data_no, account_id, side, rate, month_kind)\n"
         ") WITHOUT ROWID;\n"
         "CREATE TABLE IF NOT EXISTS " +
         schema +
         "journal_department_total (\n"
         "  data_no    INTEGER NOT NULL" +
         parent +
         ",\n"
         "  dept       INTEGER NOT NULL,\n"
         "  account_id INTEGER NOT NULL,\n"
         "  side       INTEGER NOT NULL,\n"
         "  month_kind INTEGER NOT NULL,\n"
         "  amount     INTEGER NOT NULL,\n"
         "  tax        INTEGER NOT NULL,\n"
         "  lines      INTEGER NOT NULL DEFAULT 0,\n"
         "  PRIMARY KEY (data_no, dept, account_id, side, month_kind)\n"
         ") WITHOUT ROWID;\n"
         "CREATE TABLE IF NOT EXISTS " +
         schema +
         "journal_line_change (\n"
         "  data_no INTEGER NOT NULL,\n"
         "  line_id INTEGER NOT NULL,\n" +
         ChangeValueColumnsSql(",\n") +
         ",\n"
         "  PRIMARY KEY (data_no, line_id)\n"
         ") WITHOUT ROWID;\n";
}

// Columns an earlier build's tables lack: ALTER TABLE adds them without
// rewriting the table. The state rows it had get built = 0: rebuild.
struct AddedColumn {
  const char* table;
  const char* column;
};
constexpr AddedColumn kAddedColumns[] = {
    {"journal_derived_state", "built"},        {"journal_derived_state", "progress"},
    {"journal_derived_state", "progress_end"}, {"journal_account_total", "lines"},
    {"journal_department_total", "lines"},
};

// The triggers of this build and of earlier ones. The build before this one
// had the same four triggers on the tables with the work on the totals
// written out in each (and no view): they kept the derived data as current
// as these do, so its store gets the shorter ones without a rebuild, and it
// takes a store of this build as its own.
constexpr const char* kLineTriggers[] = {"journal_derived_v2_insert", "journal_derived_v2_update",
                                         "journal_derived_v2_delete", "journal_derived_v2_forget"};
constexpr const char* kApplyTrigger = "journal_derived_v2_apply";
constexpr const char* kEarlierTriggers[] = {"journal_line_inserted", "journal_line_updated",
                                            "journal_line_deleted"};

// The columns of journal_line the derived data are made of (all but the
// description).
constexpr const char* kDerivedColumns[] = {
    "data_no",        "line_id",      "journal_no",    "date",       "month_kind",
    "debit_account",  "debit_dept",   "debit_amount",  "debit_tax",  "debit_tax_class",
    "credit_account", "credit_dept",  "credit_amount", "credit_tax", "credit_tax_class",
    "tax_rate",       "business_type"};

// The SQL of one trigger's work on the row `row`; `sign` is put before each
// value the row adds ("" to add, "-" to take away, or a factor).
class RowSql {
 public:
  RowSql(std::string row, std::string sign) : row_(std::move(row)), sign_(std::move(sign)) {}

  // A column as the host reads it (sqlite3_column_int64 converts the same).
  std::string V(const char* column) const { return "CAST(" + row_ + "." + column + " AS INTEGER)"; }
  std::string Signed(const char* column) const { return sign_ + V(column); }
  std::string Rate() const {
    return "(CASE WHEN " + V("tax_rate") + " <> 0 THEN " + V("tax_rate") + " WHEN " + V("date") +
           " < 19970401 THEN 300 WHEN " + V("date") + " < 20140401 THEN 500 WHEN " + V("date") +
           " < 20191001 THEN 800 ELSE 1000 END)";
  }
  std::string DataNo() const { return row_ + ".data_no"; }
  std::string Built() const {
    return "EXISTS (SELECT 1 FROM journal_derived_state WHERE data_no = " + DataNo() +
           " AND built = 1)";
  }
  std::string Tracked() const {
    return "EXISTS (SELECT 1 FROM journal_derived_state WHERE data_no = " + DataNo() + ")";
  }
  std::string Side(const char* side) const { return row_ + "." + side + "_account IS NOT NULL"; }
  std::string SideAmount(const std::string& side, const char* what) const {
    return "CASE WHEN " + Side(side.c_str()) + " THEN " + Signed((side + "_" + what).c_str()) +
           " ELSE 0 END";
  }

  std::string ClassKey() const {
    return "data_no = " + DataNo() + " AND rate = " + Rate() +
           " AND business_type = " + V("business_type") +
           " AND debit_tax_class = " + V("debit_tax_class") +
           " AND credit_tax_class = " + V("credit_tax_class") +
           " AND month_kind = " + V("month_kind");
  }
  std::string AccountKey(const std::string& side, int sideNo) const {
    return "data_no = " + DataNo() + " AND account_id = " + V((side + "_account").c_str()) +
           " AND side = " + std::to_string(sideNo) + " AND rate = " + Rate() +
           " AND month_kind = " + V("month_kind");
  }
  std::string DepartmentKey(const std::string& side, int sideNo) const {
    return "data_no = " + DataNo() + " AND dept = " + V((side + "_dept").c_str()) +
           " AND account_id = " + V((side + "_account").c_str()) +
           " AND side = " + std::to_string(sideNo) + " AND month_kind = " + V("month_kind");
  }

  // Adds (or takes away) the row's contributions, and removes the rows of
  // totals that no line feeds any more.
  std::string Totals() const {
    std::string sql =
        "INSERT INTO journal_class_total (data_no, rate, business_type, debit_tax_class, "
        "credit_tax_class, month_kind, lines, debit_amount, debit_tax, credit_amount, credit_tax) "
        "SELECT " +
        DataNo() + ", " + Rate() + ", " + V("business_type") + ", " + V("debit_tax_class") + ", " +
        V("credit_tax_class") + ", " + V("month_kind") + ", " + sign_ + "1, " +
        SideAmount("debit", "amount") + ", " + SideAmount("debit", "tax") + ", " +
        SideAmount("credit", "amount") + ", " + SideAmount("credit", "tax") + " WHERE " + Built() +
        " ON CONFLICT DO UPDATE SET lines = lines + excluded.lines, "
        "debit_amount = debit_amount + excluded.debit_amount, "
        "debit_tax = debit_tax + excluded.debit_tax, "
        "credit_amount = credit_amount + excluded.credit_amount, "
        "credit_tax = credit_tax + excluded.credit_tax;\n"
        "DELETE FROM journal_class_total WHERE " +
        ClassKey() + " AND lines = 0;\n";
    const std::pair<const char*, int> sides[] = {{"debit", 1}, {"credit", 2}};
    for (const auto& [side, sideNo] : sides) {
      const std::string s = side;
      const std::string values = std::to_string(sideNo) + ", ";
      sql +=
          "INSERT INTO journal_account_total (data_no, account_id, side, rate, month_kind, "
          "amount, tax, lines) SELECT " +
          DataNo() + ", " + V((s + "_account").c_str()) + ", " + values + Rate() + ", " +
          V("month_kind") + ", " + Signed((s + "_amount").c_str()) + ", " +
          Signed((s + "_tax").c_str()) + ", " + sign_ + "1 WHERE " + Side(side) + " AND " +
          Built() +
          " ON CONFLICT DO UPDATE SET amount = amount + excluded.amount, "
          "tax = tax + excluded.tax, lines = lines + excluded.lines;\n"
          "DELETE FROM journal_account_total WHERE " +
          AccountKey(s, sideNo) + " AND lines = 0;\n";
      sql +=
          "INSERT INTO journal_department_total (data_no, dept, account_id, side, month_kind, "
          "amount, tax, lines) SELECT " +
          DataNo() + ", " + V((s + "_dept").c_str()) + ", " + V((s + "_account").c_str()) + ", " +
          values + V("month_kind") + ", " + Signed((s + "_amount").c_str()) + ", " +
          Signed((s + "_tax").c_str()) + ", " + sign_ + "1 WHERE " + Side(side) + " AND " +
          Built() +
          " ON CONFLICT DO UPDATE SET amount = amount + excluded.amount, "
          "tax = tax + excluded.tax, lines = lines + excluded.lines;\n"
          "DELETE FROM journal_department_total WHERE " +
          DepartmentKey(s, sideNo) + " AND lines = 0;\n";
    }
    return sql;
  }

  // A sum past 64 bits becomes a floating-point value in SQL: the state
  // then asks for a rebuild, which tells whether the totals fit. So does any
  // change to a data set whose totals did not fit.
  std::string OverflowCheck() const {
    auto real = [](const std::string& table, const std::string& key, const std::string& columns) {
      return "EXISTS (SELECT 1 FROM " + table + " WHERE " + key + " AND 'real' IN (" + columns +
             "))";
    };
    const std::string sideColumns = "typeof(amount), typeof(tax)";
    return "UPDATE journal_derived_state SET overflow = 2 WHERE data_no = " + DataNo() +
           " AND built = 1 AND (overflow = 1 OR overflow = 0 AND (" +
           real("journal_class_total", ClassKey(),
                "typeof(debit_amount), typeof(debit_tax), typeof(credit_amount), "
                "typeof(credit_tax)") +
           " OR " + real("journal_account_total", AccountKey("debit", 1), sideColumns) + " OR " +
           real("journal_account_total", AccountKey("credit", 2), sideColumns) + " OR " +
           real("journal_department_total", DepartmentKey("debit", 1), sideColumns) + " OR " +
           real("journal_department_total", DepartmentKey("credit", 2), sideColumns) + "));\n";
  }

  // Notes the line as it now is: present with the row's values when the
  // row is added, absent when it is taken away (an update takes the old row
  // away first, then adds the new one).
  std::string NoteChange() const {
    std::string columns = "data_no, line_id";
    std::string values = DataNo() + ", " + row_ + ".line_id";
    for (const char* column : kChangeValueColumns) {
      columns += std::string(", ") + column;
      values += ", " + NoteValueSql(column, row_, "((" + sign_ + "1) > 0)");
    }
    return "INSERT OR REPLACE INTO journal_line_change (" + columns + ") SELECT " + values +
           " WHERE " + Tracked() + ";\n";
  }

 private:
  std::string row_;
  std::string sign_;
};

// A journal line's contributions go through one INSERT into a view whose
// INSTEAD OF trigger holds the work on the totals once: the store's schema,
// which every connection parses when it opens, stays short. sign is 1 for a
// line added and -1 for a line taken away.
constexpr const char* kDeltaColumns[] = {
    "data_no",    "line_id",         "journal_no",     "date",        "month_kind",
    "tax_rate",   "business_type",   "debit_account",  "debit_dept",  "debit_amount",
    "debit_tax",  "debit_tax_class", "credit_account", "credit_dept", "credit_amount",
    "credit_tax", "credit_tax_class"};

std::string DeltaSql(const char* row, const char* sign) {
  std::string values;
  for (const char* column : kDeltaColumns) values += std::string(row) + "." + column + ", ";
  return "INSERT INTO journal_derived_delta SELECT " + values + sign + ";\n";
}

// The INSTEAD OF trigger of the view, as sqlite_schema keeps its text.
const std::string& ApplyTriggerSql() {
  static const std::string* sql = [] {
    const RowSql delta("NEW", "NEW.sign * ");
    return new std::string(std::string("CREATE TRIGGER ") + kApplyTrigger +
                           " INSTEAD OF INSERT ON journal_derived_delta BEGIN\n" + delta.Totals() +
                           delta.OverflowCheck() + delta.NoteChange() + "END");
  }();
  return *sql;
}

std::string TriggersSql() {
  const RowSql added("NEW", "");
  const RowSql removed("OLD", "-");
  std::string changed;
  std::string columns;
  for (const char* column : kDerivedColumns) {
    changed +=
        std::string(changed.empty() ? "" : " OR ") + "OLD." + column + " IS NOT NEW." + column;
    columns += std::string(columns.empty() ? "" : ", ") + column;
  }
  std::string deltaColumns;
  std::string nulls;
  for (const char* column : kDeltaColumns) {
    deltaColumns += std::string(column) + ", ";
    nulls += "NULL, ";
  }
  return "CREATE VIEW journal_derived_delta (" + deltaColumns + "sign) AS SELECT " + nulls +
         "NULL WHERE 0;\n" + ApplyTriggerSql() +
         ";\n"
         "CREATE TRIGGER journal_derived_v2_insert AFTER INSERT ON journal_line WHEN " +
         added.Tracked() + " BEGIN\n" + DeltaSql("NEW", "1") +
         "END;\n"
         "CREATE TRIGGER journal_derived_v2_delete AFTER DELETE ON journal_line WHEN " +
         removed.Tracked() + " BEGIN\n" + DeltaSql("OLD", "-1") +
         "END;\n"
         "CREATE TRIGGER journal_derived_v2_update AFTER UPDATE OF " +
         columns + " ON journal_line WHEN (" + changed + ") AND (" + removed.Tracked() + " OR " +
         added.Tracked() + ") BEGIN\n" + DeltaSql("OLD", "-1") + DeltaSql("NEW", "1") +
         "END;\n"
         // Before the data set's lines go with it, so that their triggers
         // find nothing to keep current.
         "CREATE TRIGGER journal_derived_v2_forget BEFORE DELETE ON data_set BEGIN\n"
         "DELETE FROM journal_derived_state WHERE data_no = OLD.data_no;\n"
         "DELETE FROM journal_chunk WHERE data_no = OLD.data_no;\n"
         "DELETE FROM journal_class_total WHERE data_no = OLD.data_no;\n"
         "DELETE FROM journal_account_total WHERE data_no = OLD.data_no;\n"
         "DELETE FROM journal_department_total WHERE data_no = OLD.data_no;\n"
         "DELETE FROM journal_line_change WHERE data_no = OLD.data_no;\n"
         "END;\n";
}

// The triggers of the derived data that the store holds.
struct TriggerCounts {
  int64_t line = 0;  // of kLineTriggers
  int64_t apply = 0;
  int64_t applyCurrent = 0;  // the apply trigger is this build's
  int64_t earlier = 0;
  int64_t log = 0;  // of the account totals' log, as this build makes them
};

template <size_t N>
std::string QuotedList(const char* const (&names)[N]) {
  std::string list;
  for (const char* name : names) list += std::string(list.empty() ? "'" : ", '") + name + "'";
  return list;
}

int32_t CountTriggers(sqlite3* db, TriggerCounts* counts) {
  SqlStatement triggers;
  int32_t status = triggers.Prepare(
      db,
      "SELECT count(*) FILTER (WHERE name IN (" + QuotedList(kLineTriggers) +
          ")), count(*) FILTER (WHERE name = '" + kApplyTrigger +
          "'), max(sql) FILTER (WHERE name = '" + kApplyTrigger +
          "'), count(*) FILTER (WHERE name IN (" + QuotedList(kEarlierTriggers) +
          ")), count(*) FILTER (WHERE tbl_name = 'journal_account_total' AND " +
          AccountTotalLogTriggerCondition() + ") FROM main.sqlite_schema WHERE type = 'trigger'",
      "read the schema of the derived journal data");
  if (status != 0) return status;
  int32_t step = triggers.Step();
  if (step < 0) return step;
  counts->line = triggers.Int(0);
  counts->apply = triggers.Int(1);
  counts->applyCurrent =
      counts->apply == 1 && DerivedSchema::IsCurrentApplyTrigger(triggers.BlobView(2)) ? 1 : 0;
  counts->earlier = triggers.Int(3);
  counts->log = triggers.Int(4);
  return 0;
}

int32_t HasColumn(sqlite3* db, const char* table, const char* column, bool* has) {
  SqlStatement info;
  int32_t status = info.Prepare(
      db, std::string("SELECT 1 FROM pragma_table_info('") + table + "') WHERE name = ?",
      "read the columns of the derived journal data");
  if (status != 0) return status;
  info.BindText(1, column);
  int32_t step = info.Step();
  if (step < 0) return step;
  *has = step == 1;
  return 0;
}

// Earlier builds' triggers noted less of a changed line (its id alone):
// every noted line gets what this build notes of it (present 0 when it is
// gone).
int32_t RefreshChangeValues(sqlite3* db) {
  std::string set;
  for (const char* column : kChangeValueColumns) {
    bool has = false;
    int32_t status = HasColumn(db, "journal_line_change", column, &has);
    if (status != 0) return status;
    if (!has) {
      status = ExecQuietly(
          db, (std::string("ALTER TABLE journal_line_change ADD COLUMN ") + column).c_str());
      if (status != 0) return status;
    }
    set += std::string(set.empty() ? "" : ", ") + column + " = " + NoteValueSql(column, "l", "1");
  }
  int32_t status = ExecQuietly(db, "UPDATE journal_line_change SET present = 0, sound = 1");
  if (status != 0) return status;
  return ExecQuietly(db, ("UPDATE journal_line_change AS c SET " + set +
                          " FROM journal_line l WHERE l.data_no = c.data_no AND "
                          "l.line_id = c.line_id")
                             .c_str());
}

}  // namespace

int32_t ExecQuietly(sqlite3* db, const char* sql) {
  ReadScope::Release(db);
  int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  return rc == SQLITE_OK ? 0 : SqlFailure(rc);
}

// The apply trigger's text is some 10 KB built from many pieces: a run
// compares the stored text with its length and digest instead of building
// it (a unit test holds these to the text ApplyTriggerSql builds).
constexpr size_t kApplyTriggerBytes = 10330;
constexpr uint64_t kApplyTriggerDigest = 0xffd531278fb15403ULL;

uint64_t DerivedSchema::TextDigest(std::string_view text) {
  // Eight bytes at a time, read as little-endian whatever the machine, each
  // word mixed in with a multiply and a shift.
  constexpr uint64_t kMultiplier = 0xff51afd7ed558ccdULL;
  uint64_t digest = 0x9e3779b97f4a7c15ULL ^ text.size();
  const auto mix = [&digest](uint64_t word) {
    digest = (digest ^ word) * kMultiplier;
    digest ^= digest >> 29;
  };
  size_t at = 0;
  for (; text.size() - at >= 8; at += 8) {
    uint64_t word = 0;
    std::memcpy(&word, text.data() + at, 8);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    mix(word);
  }
  if (at < text.size()) {
    uint64_t word = 0;
    for (size_t i = 0; at + i < text.size(); ++i) {
      word |= static_cast<uint64_t>(static_cast<unsigned char>(text[at + i])) << (8 * i);
    }
    mix(word);
  }
  digest *= kMultiplier;
  return digest ^ (digest >> 32);
}

bool DerivedSchema::IsCurrentApplyTrigger(std::string_view sql) {
  return sql.size() == kApplyTriggerBytes && TextDigest(sql) == kApplyTriggerDigest;
}

const std::string& DerivedSchema::ApplyTriggerText() { return ApplyTriggerSql(); }

int32_t DerivedSchema::Inspect(sqlite3* db, Shape* shape) {
  TriggerCounts counts;
  int32_t status = CountTriggers(db, &counts);
  if (status != 0) return status;
  const bool current = counts.line == static_cast<int64_t>(std::size(kLineTriggers)) &&
                       counts.applyCurrent == 1 && counts.earlier == 0 &&
                       counts.log == kAccountTotalLogTriggers;
  *shape = current ? Shape::kCurrent : Shape::kOutdated;
  return 0;
}

int32_t DerivedSchema::Migrate(sqlite3* db) {
  TriggerCounts counts;
  int32_t status = CountTriggers(db, &counts);
  if (status != 0) return status;
  // The four triggers without the view are the previous build's: they kept
  // the derived data current.
  const bool keptCurrent =
      counts.line == static_cast<int64_t>(std::size(kLineTriggers)) && counts.earlier == 0;
  for (const char* trigger : kEarlierTriggers) {
    status = ExecQuietly(db, ("DROP TRIGGER IF EXISTS " + std::string(trigger)).c_str());
    if (status != 0) return status;
  }
  for (const char* trigger : kLineTriggers) {
    status = ExecQuietly(db, ("DROP TRIGGER IF EXISTS " + std::string(trigger)).c_str());
    if (status != 0) return status;
  }
  // Its INSTEAD OF trigger goes with the view.
  status = ExecQuietly(db, "DROP VIEW IF EXISTS journal_derived_delta");
  if (status != 0) return status;
  status = ExecQuietly(db, TablesSql(true).c_str());
  if (status != 0) return status;
  for (const AddedColumn& added : kAddedColumns) {
    bool has = false;
    status = HasColumn(db, added.table, added.column, &has);
    if (status != 0) return status;
    if (has) continue;
    status = ExecQuietly(db, (std::string("ALTER TABLE ") + added.table + " ADD COLUMN " +
                              added.column + " INTEGER NOT NULL DEFAULT 0")
                                 .c_str());
    if (status != 0) return status;
  }
  status = RefreshChangeValues(db);
  if (status != 0) return status;
  // Otherwise whatever was built before is rebuilt: an earlier build
  // numbered its chunks otherwise and counted no lines in its totals, and
  // lines may have changed while this build's triggers were missing.
  if (!keptCurrent) {
    status = ExecQuietly(db, "UPDATE journal_derived_state SET built = 0");
    if (status != 0) return status;
  }
  status = ExecQuietly(db, TriggersSql().c_str());
  if (status != 0) return status;
  // A store of an earlier build gets the log of the account totals without
  // a rebuild: the checks kept before it cover nothing of it.
  return MakeAccountTotalLogTriggers(db);
}

int32_t DerivedSchema::CreateInTemp(sqlite3* db) {
  return ExecQuietly(db, TablesSql(false).c_str());
}

bool DerivedSchema::UsesTemp(sqlite3* db) {
  // Told by the connection's own schema, which no other connection changes:
  // asked at each service, a statement cost several times the look-up.
  return sqlite3_table_column_metadata(db, "temp", "journal_derived_state", nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace mvhost
