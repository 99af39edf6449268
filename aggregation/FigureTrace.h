#ifndef TAXLINK_AGGREGATION_FIGURETRACE_H_
#define TAXLINK_AGGREGATION_FIGURETRACE_H_

#include <cstdint>

#include "host/StKAMOKUINFO.h"

namespace taxlink {

struct TaxSummaryTables;

// The figures of TaxSummaryTables that the program sums itself (the
// tax-return rows are summed by the host).
enum class Figure : uint8_t {
  kLegacyRate5,
  kLegacyRate3,
  kCorpMerchandiseBook,
  kCorpMerchandiseNonTaxable,
  kCorpSellingAdminBook,
  kCorpSellingAdminNonTaxable,
  kCorpNonOperatingBook,
  kCorpNonOperatingNonTaxable,
  kCorpOtherBook,
  kCorpOtherNonTaxable,
  kCorpFixedAssets,
  kCorpDeferredAssets,
  kIndBusinessPurchasesBook,
  kIndBusinessPurchasesNonTaxable,
  kIndBusinessExpensesBook,
  kIndBusinessExpensesNonTaxable,
  kIndBusinessFixedAssetsBook,
  kIndRealEstateExpensesBook,
  kIndRealEstateExpensesNonTaxable,
  kIndRealEstateFixedAssetsBook,
  kIndOtherPurchasesBook,
  kIndOtherPurchasesNonTaxable,
  kIndOtherExpensesBook,
  kIndOtherExpensesNonTaxable,
};
inline constexpr int kFigureCount = static_cast<int>(Figure::kIndOtherExpensesNonTaxable) + 1;

// The value of a figure in the tables, and where the tables hold it.
int64_t FigureValue(const TaxSummaryTables& tables, Figure figure);
const int64_t* FigureAddress(const TaxSummaryTables& tables, Figure figure);

// One amount that went into a figure, and the host record it came from.
struct Contribution {
  enum class Source : uint8_t {
    kTaxSummary,   // a legacy-rate summary record; id: the listed account's id
    kAccountSum,   // an account-sum record; id: its account id, detail: the
                   // department code (0 without departments)
    kJournalLine,  // id: the journal id, detail: the line number
    kFixedAsset,   // id: the asset id
  };
  Figure figure;
  Source source;
  int32_t id;
  int32_t detail;
  int64_t amount;         // raw amount added (negative: taken off)
  bool replaces = false;  // the amount replaced what the figure held
  // The host record it came from, valid during the call: StTAXSUMINFO,
  // StKAMOKUSUMINFO, StSWKTINFO or StKOTEISHISANINFO by source.
  const void* record = nullptr;
  // Journal lines: the listed account the side matched, and the side
  // (1 debit, 2 credit).
  const StKAMOKUINFO* account = nullptr;
  int8_t side = 0;
};

// Receives every contribution to the figures while the engine runs. A run
// without a trace passes none, and its per-line path then calls nothing.
class FigureTrace {
 public:
  virtual ~FigureTrace() = default;
  virtual void Contribute(const Contribution& contribution) = 0;
};

// The walks take the trace as a template parameter: NoTrace compiles every
// contribution away; SinkTrace hands each to a FigureTrace.
struct NoTrace {
  void operator()(const Contribution&) const {}
};
struct SinkTrace {
  FigureTrace* sink;
  void operator()(const Contribution& contribution) const { sink->Contribute(contribution); }
};

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_FIGURETRACE_H_
