#include "sheet/ElementCatalog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "aggregation/AccountClasses.h"
#include "mvhost/lib/TaxClassRules.h"
#include "report/FormTopics.h"
#include "report/ReportFormat.h"
#include "sheet/ElementLabels.h"

namespace taxlink::sheet {

namespace {

using T = TaxSummaryTables;

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : separator) + part;
  return out;
}

std::string Hex(uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", code);
  return text;
}

// The embedded host's tax classes whose lines feed the rate figure at
// offset (docs/host.md, "Tax classes and the return figures").
std::string ClassesOfRateFigure(int offset) {
  std::vector<std::string> classes;
  for (int c = 0; c <= 255; ++c) {
    const mvhost::TaxClassRule rule = mvhost::RuleOfTaxClass(c);
    if (rule.use != mvhost::TaxClassRule::Use::kSummed) continue;
    if (rule.excl != offset && rule.tax != offset && rule.incl != offset) continue;
    std::string text = std::to_string(c);
    if (rule.securities) text += " (1/20, restored x 20 by the aggregation)";
    classes.push_back(text);
  }
  return classes.empty() ? "none" : Join(classes, ", ");
}

std::string ClassesOfBusinessFigure(mvhost::TaxClassRule::BusinessFigure figure) {
  std::vector<std::string> classes;
  for (int c = 0; c <= 255; ++c) {
    if (mvhost::RuleOfTaxClass(c).business == figure) classes.push_back(std::to_string(c));
  }
  return Join(classes, ", ");
}

bool IsSalesFigure(const FormElement& element) {
  return element.figure == offsetof(StTAXREPORTBUSINESSTYPEINFO, salesIncl) ||
         element.figure == offsetof(StTAXREPORTBUSINESSTYPEINFO, salesTax) ||
         element.figure == offsetof(StTAXREPORTBUSINESSTYPEINFO, salesExcl);
}

std::string JournalSourceOf(const FormElement& element) {
  using Business = mvhost::TaxClassRule::BusinessFigure;
  const std::string figure = element.figureName != nullptr
                                 ? "`" + std::string(element.figureName) + "` (offset " +
                                       std::to_string(element.figure) + ")"
                                 : "";
  switch (element.journal) {
    case JournalSource::kEmpty:
      return "always empty";
    case JournalSource::kRateFigure:
      return "rate row " + figure + "; tax classes " + ClassesOfRateFigure(element.figure);
    case JournalSource::kBusinessType:
      return "business type " + std::to_string(element.businessType) + ", " + figure +
             "; tax classes " +
             ClassesOfBusinessFigure(IsSalesFigure(element) ? Business::kSales
                                                            : Business::kReturns) +
             " of lines of that type";
    case JournalSource::kUnclassified:
      return "rate row " + figure + " minus business types 1 to 6: tax classes " +
             ClassesOfRateFigure(element.figure) + " of lines without a business type";
  }
  return {};
}

std::string SavedSourceOf(const FormElement& element, const char* flag) {
  std::vector<std::string> offsets;
  for (int rate = 0; rate < kRateGroups; ++rate) {
    if (!element.HasRate(rate)) continue;
    offsets.push_back(element.saved.at[rate] == 0 ? "empty"
                                                  : std::to_string(element.saved.at[rate]));
  }
  if (element.saved.member == nullptr) return "always empty";
  return "`" + std::string(element.saved.member) + "8/5/3` (" + Join(offsets, ", ") + ")" +
         (element.saved.times20 ? " x 20" : "") + ", " + flag;
}

std::string Rates(const FormElement& element) {
  std::vector<std::string> rates;
  for (int rate = 0; rate < kRateGroups; ++rate) {
    if (element.HasRate(rate)) rates.push_back(std::to_string(RatePercent(rate)));
  }
  return Join(rates, ", ");
}

const char* LabelOrDash(const char* label) { return label != nullptr ? label : "-"; }

void AppendTopic(std::string& out, const FormTopic& topic) {
  const char* flag = topic.savedFlag == SavedFlag::kStandardOnly ? "under standard taxation only"
                                                                 : "under simplified taxation only";
  out += "### " + FormCode(topic, 0) + ", " + FormCode(topic, 1) + ", " + FormCode(topic, 2) +
         ": " + LabelOrDash(GroupTitle(topic.codeStem)) + "\n\n";
  out += "| Element (8 %) | Label | Rates | By journals | Saved return |\n";
  out += "|---|---|---|---|---|\n";
  for (const FormElement& element : topic.elements) {
    out += "| `" + ElementName(element, 0) + "` | " + LabelOrDash(LabelOf(element.stem)) + " | " +
           Rates(element) + " | " + JournalSourceOf(element) + " | " +
           SavedSourceOf(element, flag) + " |\n";
  }
  out += "\n";
}

// The account classes of a refund statement line, from the aggregation's
// class lists.
std::string CorporateClasses(CorporateLine line) {
  std::vector<std::string> classes;
  for (uint32_t code : AccountClassList(ACCOUNT_CLASS_CORPORATE)) {
    if (CorporateLineOfClass(code) == line) classes.push_back(Hex(code));
  }
  return Join(classes, ", ");
}

std::string IndividualClasses(IndividualGroup group) {
  std::vector<std::string> classes;
  for (uint32_t code : AccountClassList(ACCOUNT_CLASS_INDIVIDUAL)) {
    if (IndividualGroupOfClass(code) == group) classes.push_back(Hex(code));
  }
  return Join(classes, ", ");
}

struct LineSource {
  RefundLine T::*line;
  const char* income;  // individuals: the income the line belongs to
  bool purchases;      // individuals: the purchase classes, else the expense classes
  CorporateLine corporate;
};

constexpr LineSource kLineSources[] = {
    {&T::corpMerchandisePurchases, nullptr, false, CorporateLine::kMerchandise},
    {&T::corpSellingAdminExpenses, nullptr, false, CorporateLine::kSellingAdmin},
    {&T::corpNonOperatingExpenses, nullptr, false, CorporateLine::kNonOperating},
    {&T::corpOtherItems, nullptr, false, CorporateLine::kOther},
    {&T::indBusinessPurchases, "business income", true, CorporateLine::kNone},
    {&T::indBusinessExpenses, "business income", false, CorporateLine::kNone},
    {&T::indRealEstateExpenses, "real-estate income", false, CorporateLine::kNone},
    {&T::indOtherPurchases, "other income", true, CorporateLine::kNone},
    {&T::indOtherExpenses, "other income", false, CorporateLine::kNone},
};

std::string StatementJournalSource(const ElementFormat& element) {
  const StatementFeed& feed = element.statement;
  if (feed.amount == &T::corpFixedAssets) {
    return "fixed-asset records (kind other than 9) acquired in the month range";
  }
  if (feed.amount == &T::corpDeferredAssets) {
    return "fixed-asset records of kind 9 (deferred assets) acquired in the month range";
  }
  if (feed.line == &T::indBusinessFixedAssets) {
    return "fixed-asset records of business income acquired in the month range";
  }
  if (feed.line == &T::indRealEstateFixedAssets) {
    return "fixed-asset records of real-estate income acquired in the month range";
  }
  if (feed.line == nullptr)
    return element.journalSource != nullptr ? element.journalSource : "always empty";
  for (const LineSource& source : kLineSources) {
    if (source.line != feed.line) continue;
    const std::string classes =
        source.income == nullptr ? CorporateClasses(source.corporate)
                                 : IndividualClasses(source.purchases ? IndividualGroup::kPurchases
                                                                      : IndividualGroup::kExpenses);
    std::string text = feed.part == &RefundLine::bookAmount
                           ? "net amount of the accounts of classes " + classes
                           : "journal amounts of the accounts of classes " + classes +
                                 " whose tax class is not a taxable purchase (below 21, 24, "
                                 "above 29)";
    if (source.income != nullptr) text += ", routed to " + std::string(source.income);
    return text;
  }
  return "-";
}

std::string StatementSavedSource(const ElementFormat& element) {
  if (element.statement.savedIndex < 0) {
    return element.savedSource != nullptr ? element.savedSource : "-";
  }
  return "`refundAmounts[" + std::to_string(element.statement.savedIndex) + "]` (" +
         std::to_string(9868 + 8 * element.statement.savedIndex) + ")";
}

void AppendGroup(std::string& out, const GroupFormat& group, bool statement) {
  out += "### " + group.name + ": " + LabelOrDash(GroupTitle(group.name)) + "\n\n";
  out += "| Element | Label | By journals | Saved return |\n|---|---|---|---|\n";
  for (const ElementFormat& element : group.elements) {
    std::string label = LabelOrDash(LabelOfElement(group.name, element.name));
    const char last = element.name.back();
    if (statement && (last == '1' || last == '2') && element.kind != ValueKind::kCodeOrEmpty) {
      label += std::string(" ") + StatementColumnTitle(last - '0');
    }
    const std::string journal =
        statement ? StatementJournalSource(element)
                  : (element.kind == ValueKind::kFixed ? "\"" + std::string(element.fixed) + "\""
                                                       : std::string(element.journalSource));
    const std::string saved =
        statement ? StatementSavedSource(element)
                  : (element.kind == ValueKind::kFixed ? "\"" + std::string(element.fixed) + "\""
                                                       : std::string(element.savedSource));
    out += "| `" + element.name + "` | " + label + " | " + journal + " | " + saved + " |\n";
  }
  out += "\n";
}

}  // namespace

std::string ElementCatalogMarkdown() {
  std::string out =
      "# The report's elements\n\n"
      "Made by `taxlink-sheet --elements` from the format table (`report/ReportFormat.cpp`,\n"
      "`report/FormTopics.cpp`) and the labels of the check sheet\n"
      "(`sheet/ElementLabels.cpp`); a test keeps this page current. The file's layout and\n"
      "value rules are in docs/report.md, the schema in `report/Report.xsd`.\n\n"
      "Sources: \"By journals\" names the figure of the aggregation tables and the tax\n"
      "classes of the embedded host whose journal lines feed it (docs/host.md, \"Tax\n"
      "classes and the return figures\"); \"Saved return\" names the member of the saved\n"
      "return (`StSaveTaxInfo`) and its byte offsets. Amounts are rounded to whole yen\n"
      "by the data set's rounding mode.\n\n";
  out += "## SYSTEM and BASIC\n\n";
  AppendGroup(out, *FindGroup("SYSTEM"), false);
  AppendGroup(out, *FindGroup("BASIC"), false);
  out +=
      "## DATA: the form groups\n\n"
      "Each topic is written three times, for 8 %, 5 % and 3 % (the group code's last\n"
      "digit 0, 1, 2; the element names end in 8, 5, 3); an element without a rate in\n"
      "its Rates column is left out of that group.\n\n";
  for (const FormTopic& topic : FormTopics()) AppendTopic(out, topic);
  out +=
      "## DATA: the refund statements\n\n"
      "`KANPUH` is filled for corporations, `KANPUK` for individuals under standard\n"
      "taxation; from the saved return both only under standard taxation. Elements\n"
      "ending in 1 carry a line's amount as booked, those ending in 2 the part of it\n"
      "that is not a taxable purchase. By journals, `KANPUK` writes a zero amount as\n"
      "\"0\" and leaves empty the rows of the incomes the data set's income kind does\n"
      "not have (docs/report.md). Refund amounts are read from offset 9868 on.\n\n";
  AppendGroup(out, KanpuhFormat(), true);
  AppendGroup(out, KanpukFormat(), true);
  return out;
}

}  // namespace taxlink::sheet
