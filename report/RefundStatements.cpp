// The refund statements at the end of DATA: KANPUH (corporations) and
// KANPUK (individuals), from the aggregation or from the saved return.
#include "report/ReportDocument.h"

#include <array>
#include <cstddef>
#include <string>

#include "aggregation/TaxSummaryTables.h"
#include "host/StSaveTaxInfo.h"
#include "report/AmountRounding.h"
#include "report/RecordFigure.h"
#include "report/ReportFormat.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {

namespace {

constexpr uint16_t kFormDepth = 2;
constexpr uint16_t kFormValueDepth = 3;

// The statements' element names and order come from the format table.
constexpr std::size_t kKanpuhCount = 16;
// Positions in KANPUH.
constexpr std::size_t kHCode = 0;
constexpr std::size_t kHFirstLine = 1;  // eight line amounts
constexpr std::size_t kHAssetsCode = 9;
constexpr std::size_t kHFirstAsset = 10;  // six asset amounts

constexpr std::size_t kKanpukCount = 17;

// The sixteen amount rows of KANPUK in journal mode: the line and the part
// of it (none: the row is never written), and the income kinds that leave
// the row out.
struct IndividualRow {
  RefundLine TaxSummaryTables::*line;
  int64_t RefundLine::*part;
  uint8_t mask;
};
constexpr IndividualRow kIndividualRows[kKanpukCount - 1] = {
    {&TaxSummaryTables::indBusinessPurchases, &RefundLine::bookAmount, 2},
    {&TaxSummaryTables::indBusinessPurchases, &RefundLine::nonTaxablePart, 2},
    {&TaxSummaryTables::indBusinessExpenses, &RefundLine::bookAmount, 2},
    {&TaxSummaryTables::indBusinessExpenses, &RefundLine::nonTaxablePart, 2},
    {&TaxSummaryTables::indBusinessFixedAssets, &RefundLine::bookAmount, 2},
    {nullptr, nullptr, 2},
    {&TaxSummaryTables::indRealEstateExpenses, &RefundLine::bookAmount, 1},
    {&TaxSummaryTables::indRealEstateExpenses, &RefundLine::nonTaxablePart, 1},
    {&TaxSummaryTables::indRealEstateFixedAssets, &RefundLine::bookAmount, 1},
    {nullptr, nullptr, 1},
    {&TaxSummaryTables::indOtherPurchases, &RefundLine::bookAmount, 3},
    {&TaxSummaryTables::indOtherPurchases, &RefundLine::nonTaxablePart, 3},
    {&TaxSummaryTables::indOtherExpenses, &RefundLine::bookAmount, 3},
    {&TaxSummaryTables::indOtherExpenses, &RefundLine::nonTaxablePart, 3},
    {nullptr, nullptr, 3},
    {nullptr, nullptr, 3},
};

constexpr RefundLine TaxSummaryTables::*kCorporateLines[] = {
    &TaxSummaryTables::corpMerchandisePurchases,
    &TaxSummaryTables::corpSellingAdminExpenses,
    &TaxSummaryTables::corpNonOperatingExpenses,
    &TaxSummaryTables::corpOtherItems,
};

constexpr RefundLine TaxSummaryTables::*kIndividualLines[] = {
    &TaxSummaryTables::indBusinessPurchases,     &TaxSummaryTables::indBusinessExpenses,
    &TaxSummaryTables::indBusinessFixedAssets,   &TaxSummaryTables::indRealEstateExpenses,
    &TaxSummaryTables::indRealEstateFixedAssets, &TaxSummaryTables::indOtherPurchases,
    &TaxSummaryTables::indOtherExpenses,         &TaxSummaryTables::indOtherFixedAssets,
};

bool IsIndividual(uint8_t entityKind) { return entityKind == 3 || entityKind == 4; }
bool IsCorporation(uint8_t entityKind) { return entityKind == 0 || entityKind == 1; }

// Settings byte 5 names the code of the statements in journal mode.
const char* JournalCode(const StSHOHIZEIINFO& settings) {
  return settings.taxIncluded != 0 ? "1" : "2";
}

// A saved code byte of 2 gives "2", any other value "1".
const char* SavedCode(uint8_t code) { return code == 2 ? "2" : "1"; }

uint8_t IncomeKindMask(uint8_t incomeKind) {
  switch (incomeKind) {
    case 1:
      return 1;
    case 2:
      return 2;
    case 3:
      return 4;
    default:
      return 0;
  }
}

// The saved statement amount number index (0 to 15).
int64_t SavedStatementAmount(const StSaveTaxInfo& saved, std::size_t index) {
  return RecordFigure(&saved, offsetof(StSaveTaxInfo, refundAmounts) + sizeof(int64_t) * index);
}

template <std::size_t N>
bool WriteForm(XmlTextWriter& writer, const GroupFormat& form,
               const std::array<std::string, N>& values) {
  if (form.elements.size() != N) return false;
  if (!writer.WriteStartTag(form.name.c_str(), kFormDepth)) return false;
  for (std::size_t i = 0; i < N; ++i) {
    if (!writer.WriteElement(form.elements[i].name.c_str(), values[i], kFormValueDepth)) {
      return false;
    }
  }
  return writer.WriteEndTag(form.name.c_str(), kFormDepth);
}

}  // namespace

bool ReportDocument::WriteKanpuh(XmlTextWriter& writer, const StDATAINFO& dataSet,
                                 const StSHOHIZEIINFO& settings) {
  std::array<std::string, kKanpuhCount> values;
  if (!IsIndividual(dataSet.entityKind)) {
    const TaxSummaryTables& t = run_.tables;
    const uint8_t mode = run_.settings.roundingMode();
    bool anyLine = false;
    std::size_t at = kHFirstLine;
    for (auto line : kCorporateLines) {
      const RefundLine& l = t.*line;
      anyLine = anyLine || l.bookAmount != 0 || l.nonTaxablePart != 0;
      values[at++] = AmountText(l.bookAmount, mode);
      values[at++] = AmountText(l.nonTaxablePart, mode);
    }
    if (anyLine) values[kHCode] = JournalCode(settings);
    if (t.corpFixedAssets != 0 || t.corpDeferredAssets != 0) {
      values[kHAssetsCode] = JournalCode(settings);
    }
    values[kHFirstAsset] = AmountText(t.corpFixedAssets, mode);         // KOTEISHISAN1
    values[kHFirstAsset + 2] = AmountText(t.corpDeferredAssets, mode);  // KURINOBESHISAN1
  }
  return WriteForm(writer, KanpuhFormat(), values);
}

bool ReportDocument::WriteKanpuk(XmlTextWriter& writer, const StDATAINFO& dataSet,
                                 const StSHOHIZEIINFO& settings) {
  std::array<std::string, kKanpukCount> values;
  if (!IsCorporation(dataSet.entityKind) && run_.settings.filingClass() == 2) {
    const TaxSummaryTables& t = run_.tables;
    bool anyLine = false;
    for (auto line : kIndividualLines) {
      const RefundLine& l = t.*line;
      anyLine = anyLine || l.bookAmount != 0 || l.nonTaxablePart != 0;
    }
    if (anyLine) values[0] = JournalCode(settings);
    const uint8_t incomeMask = IncomeKindMask(dataSet.incomeKind);
    for (std::size_t i = 0; i < kKanpukCount - 1; ++i) {
      const IndividualRow& row = kIndividualRows[i];
      if (row.line == nullptr || (row.mask & incomeMask) != 0) continue;
      // The one place where a zero amount is written as "0".
      values[i + 1] = AmountTextWithZero((t.*(row.line)).*(row.part), run_.settings.roundingMode());
    }
  }
  return WriteForm(writer, KanpukFormat(), values);
}

bool ReportDocument::WriteSavedKanpuh(XmlTextWriter& writer, const StDATAINFO& dataSet) {
  std::array<std::string, kKanpuhCount> values;
  if (run_.savedReturn && !IsIndividual(dataSet.entityKind) && run_.settings.filingClass() == 2) {
    const StSaveTaxInfo& saved = *run_.savedReturn;
    bool anyLine = false;
    for (std::size_t i = 0; i < 8; ++i) {
      int64_t raw = SavedStatementAmount(saved, i);
      anyLine = anyLine || raw != 0;
      values[kHFirstLine + i] = AmountText(raw, run_.settings.roundingMode());
    }
    bool anyAsset = false;
    for (std::size_t i = 0; i < 6; ++i) {
      int64_t raw = SavedStatementAmount(saved, 8 + i);
      anyAsset = anyAsset || raw != 0;
      values[kHFirstAsset + i] = AmountText(raw, run_.settings.roundingMode());
    }
    if (anyLine) values[kHCode] = SavedCode(saved.kanpuhCode);
    if (anyAsset) values[kHAssetsCode] = SavedCode(saved.assetsCode);
  }
  return WriteForm(writer, KanpuhFormat(), values);
}

bool ReportDocument::WriteSavedKanpuk(XmlTextWriter& writer, const StDATAINFO& dataSet) {
  std::array<std::string, kKanpukCount> values;
  if (run_.savedReturn && !IsCorporation(dataSet.entityKind) && run_.settings.filingClass() == 2) {
    const StSaveTaxInfo& saved = *run_.savedReturn;
    bool any = false;
    for (std::size_t i = 0; i < kKanpukCount - 1; ++i) {
      int64_t raw = SavedStatementAmount(saved, i);
      any = any || raw != 0;
      values[i + 1] = AmountText(raw, run_.settings.roundingMode());
    }
    if (any) values[0] = SavedCode(saved.kanpukCode);
  }
  return WriteForm(writer, KanpukFormat(), values);
}

}  // namespace taxlink
