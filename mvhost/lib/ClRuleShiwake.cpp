#include "host/ClRuleShiwake.h"

#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "host/FilterCondition.h"
#include "host/HostStatus.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/KeptClassTotals.h"
#include "mvhost/lib/LinePredicate.h"
#include "mvhost/lib/PackedLineReader.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/TaxLineTracer.h"

// A walk streams the packed lines in line order through the compiled filter.
namespace mvhost {

// ClRuleShiwake on the store.
class SqliteRuleShiwake : public BoundObject<ClRuleShiwake::Impl> {
 public:
  SqliteRuleShiwake();
  ~SqliteRuleShiwake() override;
  int32_t GetSwkCount(const StFINDINFO* filter, const void* displayInfo, int32_t* count) override;
  int32_t MoveReady(const StFINDINFO* filter, const void* order, const void* displayInfo,
                    int32_t cursorType) override;
  int32_t MoveNext(StSWKTINFO* out) override;
  int32_t MoveFinish() override;
  int32_t CheckExistSwkByZeiRate(const StFINDINFO* filter, uint32_t* flags, int32_t mode) override;
  int32_t CheckExistSwkByJigyoBunrui(const StFINDINFO* filter, int32_t businessType,
                                     int32_t* count) override;
  int32_t TraceReady(uint8_t filingClass, const StFINDINFO* filter,
                     const StTAXREPORTRATEINFO* rates, TaxLineSink* sink) override;
  int32_t TraceRest() override;

 private:
  struct Query;
  [[gnu::noinline]] int32_t MoveNextOther(StSWKTINFO* out);
  Query* query_;
};

}  // namespace mvhost

struct mvhost::SqliteRuleShiwake::Query {
  // Ready, and tracing until every line was passed: one test per line
  // handed out, as for a walk without a trace.
  enum class State : uint8_t { kNotReady, kReady, kTracing };
  State state = State::kNotReady;
  mvhost::LinePredicate predicate;
  mvhost::PackedLineReader reader;
  // What TraceReady asked of the next walk.
  struct TraceRequest {
    const StFINDINFO* filter;
    const StTAXREPORTRATEINFO* rates;
    TaxLineSink* sink;
  };
  std::optional<TraceRequest> traceAsked;
  // The walk's trace.
  std::optional<mvhost::TaxLineTracer> tracer;
  // The next line the walk's filter takes, every line passed handing its
  // sides to the trace: 1, 0 at the end (the trace then has every side), or
  // an error.
  int32_t NextTraced(const mvhost::PackedLine** line) {
    int32_t step = 0;
    while ((step = reader.Next(line)) == 1) {
      const int32_t traced = tracer->Report(**line);
      if (traced != 0) return traced;
      if (predicate.Matches(**line)) return 1;
    }
    if (step == 0) state = State::kReady;
    return step;
  }
};

namespace {

// The data set of the object with its derived data built; the service's
// statements from here on share scope's read transaction.
int32_t Prepare(const mvhost::RuleBinding& binding, sqlite3** db, int32_t* dataNo,
                mvhost::ReadScope* scope) {
  int32_t status = binding.Resolve(db, dataNo, scope);
  return status != 0 ? status : mvhost::JournalDerived::Ensure(*db, *dataNo);
}

// Filters on tax classes and month kinds only are answered from the totals
// per tax class; others from the packed lines.
bool TotalsAnswer(const StFINDINFO* filter) {
  return mvhost::FilterUsesOnlyFields(filter, {kFieldTaxClass, kFieldMonthKind});
}

// One integer over the matching rows of journal_class_total ("j"), with
// extraCondition and its values before the filter's.
int32_t QueryTotals(sqlite3* db, int32_t dataNo, const StFINDINFO* filter, const char* purpose,
                    const std::string& select, const std::string& extraCondition,
                    const std::vector<int64_t>& extraValues, mvhost::SqlStatement* stmt) {
  mvhost::SqlFilter where;
  int32_t status = mvhost::TranslateFilter(filter, mvhost::FilterTarget::kJournalLine, &where);
  if (status != 0) return status;
  status = stmt->Prepare(db,
                         "SELECT " + select + " FROM journal_class_total j WHERE j.data_no = ? " +
                             extraCondition + " AND " + where.sql,
                         purpose);
  if (status != 0) return status;
  stmt->BindInt(1, dataNo);
  stmt->BindAll(2, extraValues);
  stmt->BindAll(2 + static_cast<int>(extraValues.size()), where.values);
  return 0;
}

// Calls visit for every packed line that matches the filter.
template <class Visit>
int32_t ForEachLine(sqlite3* db, int32_t dataNo, const StFINDINFO* filter, Visit visit) {
  mvhost::LinePredicate predicate;
  int32_t status = predicate.Compile(db, dataNo, filter);
  if (status != 0) return status;
  mvhost::PackedLineReader reader;
  status = reader.Open(db, dataNo);
  if (status != 0) return status;
  const mvhost::PackedLine* line = nullptr;
  int32_t step = 0;
  while ((step = reader.Next(&line)) == 1) {
    if (predicate.Matches(*line)) visit(*line);
  }
  return step;
}

// Counts the matching lines, of one business type when businessType >= 0.
int32_t CountLines(const mvhost::RuleBinding& binding, const StFINDINFO* filter,
                   int64_t businessType, const char* purpose, int32_t* count) {
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  mvhost::ReadScope scope;
  int32_t status = Prepare(binding, &db, &dataNo, &scope);
  if (status != 0) return status;
  if (TotalsAnswer(filter)) {
    bool answered = false;
    int64_t lines = 0;
    status = mvhost::ForEachKeptClassTotal(db, dataNo, filter, &answered, [&](const mvhost::ClassTotal& row) {
      if (businessType < 0 || row.businessType == businessType) lines += row.lines;
    });
    if (status != 0) return status;
    if (answered) {
      *count = static_cast<int32_t>(lines);
      return 0;
    }
    mvhost::SqlStatement stmt;
    status = businessType < 0
                 ? QueryTotals(db, dataNo, filter, purpose, "SUM(j.lines)", "", {}, &stmt)
                 : QueryTotals(db, dataNo, filter, purpose, "SUM(j.lines)",
                               "AND j.business_type = ?", {businessType}, &stmt);
    if (status != 0) return status;
    int32_t step = stmt.Step();
    if (step < 0) return step;
    *count = static_cast<int32_t>(stmt.Int(0));
    return 0;
  }
  int64_t lines = 0;
  status = ForEachLine(db, dataNo, filter, [&](const mvhost::PackedLine& line) {
    if (businessType < 0 || line.businessType == businessType) ++lines;
  });
  if (status != 0) return status;
  *count = static_cast<int32_t>(lines);
  return 0;
}

// The size of a line record as a value read at run time. Knowing the size,
// the compiler expands the clear of a record inline as `rep stos`, whose
// start-up costs several times the stores themselves; the C library's
// memset clears 592 bytes with vector stores. A walk clears one record per
// line it hands out.
const volatile size_t kLineRecordSize = sizeof(StSWKTINFO);

// Bit 0: 3 %, bit 1: 5 %, bit 2: 8 %, bit 3: 10 %, bit 4: any other rate.
uint32_t RateBit(int64_t rate) {
  switch (rate) {
    case 300:
      return 1;
    case 500:
      return 2;
    case 800:
      return 4;
    case 1000:
      return 8;
    default:
      return 16;
  }
}

}  // namespace

mvhost::SqliteRuleShiwake::SqliteRuleShiwake() : query_(new Query) {}

mvhost::SqliteRuleShiwake::~SqliteRuleShiwake() { delete query_; }

ClRuleShiwake::Impl* mvhost::NewRuleShiwake() { return new (std::nothrow) SqliteRuleShiwake; }

int32_t mvhost::SqliteRuleShiwake::GetSwkCount(const StFINDINFO* filter,
                                               const void* /*displayInfo*/, int32_t* count) {
  if (count == nullptr) return mvhost::kErrBadArgument;
  return CountLines(context_, filter, -1, "count the journal lines", count);
}

int32_t mvhost::SqliteRuleShiwake::TraceReady(uint8_t filingClass, const StFINDINFO* filter,
                                              const StTAXREPORTRATEINFO* rates, TaxLineSink* sink) {
  if (rates == nullptr || sink == nullptr || filingClass > 2) return mvhost::kErrBadArgument;
  query_->traceAsked = Query::TraceRequest{filter, rates, sink};
  return 0;
}

int32_t mvhost::SqliteRuleShiwake::MoveReady(const StFINDINFO* filter, const void* /*order*/,
                                             const void* /*displayInfo*/, int32_t /*cursorType*/) {
  query_->state = Query::State::kNotReady;
  query_->tracer.reset();
  // A trace asked for is this walk's, whether or not it can be readied.
  const std::optional<Query::TraceRequest> trace = query_->traceAsked;
  query_->traceAsked.reset();
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  mvhost::ReadScope scope;
  int32_t status = Prepare(context_, &db, &dataNo, &scope);
  if (status != 0) return status;
  status = query_->predicate.Compile(db, dataNo, filter);
  if (status != 0) return status;
  if (trace) {
    status = query_->tracer.emplace().Open(db, dataNo, trace->filter, trace->rates, trace->sink);
    if (status != 0) return status;
  }
  status = query_->reader.Open(db, dataNo);
  if (status != 0) return status;
  query_->state = trace ? Query::State::kTracing : Query::State::kReady;
  return 0;
}

namespace {

// A line as the walk hands it out: whole, zeros where the store has nothing.
int32_t HandOut(int32_t step, const mvhost::PackedLine* line, StSWKTINFO* out) {
  if (step < 0) return step;
  if (step == 0) return kHostEndOfData;
  std::memset(out, 0, kLineRecordSize);
  out->journalId = line->journalNo;
  out->lineNo = line->lineId;
  out->date = line->date;
  out->monthKind = static_cast<int16_t>(line->monthKind);
  out->taxRate = line->taxRate;
  out->businessType = static_cast<uint8_t>(line->businessType);
  out->debitAccountId = line->debitAccount;
  out->debitDeptCode = line->debitDept;
  out->debitAmount = line->debitAmount;
  out->debitTax = line->debitTax;
  out->debitTaxClass = static_cast<uint8_t>(line->debitTaxClass);
  out->creditAccountId = line->creditAccount;
  out->creditDeptCode = line->creditDept;
  out->creditAmount = line->creditAmount;
  out->creditTax = line->creditTax;
  out->creditTaxClass = static_cast<uint8_t>(line->creditTaxClass);
  return 0;
}

}  // namespace

int32_t mvhost::SqliteRuleShiwake::MoveNext(StSWKTINFO* out) {
  if (out == nullptr) return mvhost::kErrBadArgument;
  // A walk not ready, or tracing, out of line: the walk without a trace
  // keeps its registers.
  if (query_->state != Query::State::kReady) return MoveNextOther(out);
  const mvhost::PackedLine* line = nullptr;
  int32_t step = 0;
  while ((step = query_->reader.Next(&line)) == 1 && !query_->predicate.Matches(*line)) {
  }
  return HandOut(step, line, out);
}

int32_t mvhost::SqliteRuleShiwake::MoveNextOther(StSWKTINFO* out) {
  if (query_->state != Query::State::kTracing) return mvhost::kErrNotReady;
  const mvhost::PackedLine* line = nullptr;
  const int32_t step = query_->NextTraced(&line);
  return HandOut(step, line, out);
}

int32_t mvhost::SqliteRuleShiwake::TraceRest() {
  if (query_->state == Query::State::kNotReady || !query_->tracer) return mvhost::kErrNotReady;
  if (query_->state != Query::State::kTracing) return 0;
  const mvhost::PackedLine* line = nullptr;
  int32_t step = 0;
  while ((step = query_->reader.Next(&line)) == 1) {
    const int32_t traced = query_->tracer->Report(*line);
    if (traced != 0) return traced;
  }
  if (step < 0) return step;
  query_->state = Query::State::kReady;
  return 0;
}

int32_t mvhost::SqliteRuleShiwake::MoveFinish() {
  query_->state = Query::State::kNotReady;
  query_->tracer.reset();
  query_->traceAsked.reset();
  query_->reader.Close();
  return 0;
}

int32_t mvhost::SqliteRuleShiwake::CheckExistSwkByZeiRate(const StFINDINFO* filter, uint32_t* flags,
                                                          int32_t /*mode*/) {
  if (flags == nullptr) return mvhost::kErrBadArgument;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  mvhost::ReadScope scope;
  int32_t status = Prepare(context_, &db, &dataNo, &scope);
  if (status != 0) return status;
  uint32_t found = 0;
  bool answered = false;
  if (TotalsAnswer(filter)) {
    status = mvhost::ForEachKeptClassTotal(db, dataNo, filter, &answered, [&](const mvhost::ClassTotal& row) {
      if (row.lines > 0) found |= RateBit(row.rate);
    });
    if (status != 0) return status;
    if (!answered) {
      mvhost::SqlStatement stmt;
      status = QueryTotals(db, dataNo, filter, "look for journal lines at a rate",
                           "DISTINCT j.rate", "AND j.lines > 0", {}, &stmt);
      if (status != 0) return status;
      int32_t step = 0;
      while ((step = stmt.Step()) == 1) found |= RateBit(stmt.Int(0));
      if (step < 0) return step;
    }
  } else {
    status = ForEachLine(db, dataNo, filter, [&](const mvhost::PackedLine& line) {
      found |= RateBit(mvhost::EffectiveRate(line.taxRate, line.date));
    });
    if (status != 0) return status;
  }
  *flags |= found;
  return 0;
}

int32_t mvhost::SqliteRuleShiwake::CheckExistSwkByJigyoBunrui(const StFINDINFO* filter,
                                                              int32_t businessType,
                                                              int32_t* count) {
  if (count == nullptr) return mvhost::kErrBadArgument;
  return CountLines(context_, filter, businessType, "count the journal lines of a business type",
                    count);
}
