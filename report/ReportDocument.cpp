#include "report/ReportDocument.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "aggregation/Decimal4.h"
#include "report/AmountRounding.h"
#include "report/FormTopics.h"
#include "report/FullWidthName.h"
#include "report/RecordFigure.h"
#include "report/TransitionalFigures.h"
#include "resources/Edition.h"
#include "resources/StringResources.h"
#include "xml/SupportInfoFile.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {

namespace {

constexpr uint16_t kSectionDepth = 1;
constexpr uint16_t kValueDepth = 2;
constexpr uint16_t kGroupDepth = 2;
constexpr uint16_t kGroupValueDepth = 3;

constexpr char kGyoumuPrefix[] = "SY26";
constexpr char kDocumentVersion[] = "1";
constexpr char kDefaultProgramVersion[] = "18.00.0X";

std::string Decimal(int32_t value) { return std::to_string(value); }

// "1" for a zero method byte, "2" otherwise.
const char* MethodCode(uint8_t method) { return method == 0 ? "1" : "2"; }

const char* EntityCode(uint8_t entityKind) {
  switch (entityKind) {
    case 0:
    case 1:
      return "1";
    case 3:
    case 4:
      return "2";
    default:
      return "";
  }
}

// A saved amount times 20. A product that does not fit a raw amount is the
// Decimal4 overflow rather than a wrapped value.
int64_t Times20(int64_t raw) {
  int64_t product;
  if (__builtin_mul_overflow(raw, int64_t{20}, &product)) throw Decimal4Overflow{};
  return (Decimal4::FromRaw(raw) * 20).ToRaw();
}

}  // namespace

ReportDocument::ReportDocument(const ReportInputs& inputs) : run_(inputs) {}

bool ReportDocument::WriteSystem(XmlTextWriter& writer) {
  SupportInfoFile support(CurrentEdition().deliverable);
  std::string productName = support.GetProductName();
  if (productName.empty()) productName = CurrentEdition().productDisplayName;
  std::string productVersion = support.GetProductVersion();
  if (productVersion.empty()) productVersion = kDefaultProgramVersion;

  return writer.WriteStartTag("SYSTEM", kSectionDepth) &&
         writer.WriteElement("GYOUMUPREFIX", kGyoumuPrefix, kValueDepth) &&
         writer.WriteElement("VERSION", kDocumentVersion, kValueDepth) &&
         writer.WriteElement("FUNCTIONID", Decimal(run_.functionId), kValueDepth) &&
         writer.WriteElement("CONNECTEDPROGRAMVER", LoadStringResource(kIdsComponentVersion),
                             kValueDepth) &&
         writer.WriteElement("PROGRAMNAME", productName, kValueDepth) &&
         writer.WriteElement("PROGRAMVER", productVersion, kValueDepth) &&
         writer.WriteEndTag("SYSTEM", kSectionDepth);
}

bool ReportDocument::WriteBasic(XmlTextWriter& writer, const StDATAINFO& dataSet, int sourceMode) {
  const bool fromSaved = sourceMode == kSourceSavedReturn;
  // Without a saved return there is nothing to describe in saved mode.
  if (fromSaved && !run_.savedReturn) return false;
  const bool standard = run_.settings.filingClass() == 2;

  std::string periodFrom, periodTo, transitional, salesMethod, purchaseMethod;
  if (fromSaved) {
    const StSaveTaxInfo& saved = *run_.savedReturn;
    periodFrom = Decimal(saved.returnPeriodStart);
    periodTo = Decimal(saved.returnPeriodEnd);
    transitional = saved.transitional != 0 ? "1" : "2";
    salesMethod = MethodCode(saved.salesTaxMethod);
    if (standard) purchaseMethod = MethodCode(saved.purchaseTaxMethod);
  } else {
    periodFrom = Decimal(dataSet.periodStart);
    periodTo = Decimal(dataSet.periodEnd);
    transitional = HasTransitionalFigures(run_.tables, run_.settings) ? "1" : "2";
    salesMethod = "1";
    if (standard) purchaseMethod = "1";
  }
  std::string name(dataSet.companyName, strnlen(dataSet.companyName, sizeof(dataSet.companyName)));

  return writer.WriteStartTag("BASIC", kSectionDepth) &&
         writer.WriteElement("KOMONSAKINAME", ToFullWidthName(name), kValueDepth) &&
         writer.WriteElement("JIGYOUNENDOFROM", periodFrom, kValueDepth) &&
         writer.WriteElement("JIGYOUNENDOTO", periodTo, kValueDepth) &&
         writer.WriteElement("HOUJINKOJINKUBUN", EntityCode(dataSet.entityKind), kValueDepth) &&
         writer.WriteElement("KAZEIKUBUN", standard ? "1" : "2", kValueDepth) &&
         writer.WriteElement("KEIKASHOCHIKAZEISHISAN", transitional, kValueDepth) &&
         writer.WriteElement("URIAGEZEIGAKUKEISAN", salesMethod, kValueDepth) &&
         writer.WriteElement("SHIIREZEIGAKUKEISAN", purchaseMethod, kValueDepth) &&
         writer.WriteEndTag("BASIC", kSectionDepth);
}

bool ReportDocument::WriteTopicGroup(XmlTextWriter& writer, const FormTopic& topic, int rateIndex) {
  const TaxSummaryTables& tables = run_.tables;
  const StTAXREPORTRATEINFO& row = tables.rateInfo[rateIndex];
  // Unrounded sums of the business-type figures of this group.
  Decimal4 typeSums[3];

  const std::string code = FormCode(topic, rateIndex);
  if (!writer.WriteStartTag(code.c_str(), kGroupDepth)) return false;
  std::string name;
  for (const FormElement& element : topic.elements) {
    if (!element.HasRate(rateIndex)) continue;
    std::string value;
    switch (element.journal) {
      case JournalSource::kEmpty:
        break;
      case JournalSource::kRateFigure:
        value = AmountText(RecordFigure(&row, element.figure), run_.settings.roundingMode());
        break;
      case JournalSource::kBusinessType: {
        const StTAXREPORTBUSINESSTYPEINFO& record =
            tables.businessTypeInfo[kBusinessTypesPerRate * rateIndex + element.businessType - 1];
        int64_t raw = RecordFigure(&record, element.figure);
        typeSums[element.slot] += Decimal4::FromRaw(raw);
        value = AmountText(raw, run_.settings.roundingMode());
        break;
      }
      case JournalSource::kUnclassified: {
        // Rounded once, on the exact difference, never on its parts.
        int64_t rest = (RecordFigure(&row, element.figure) - typeSums[element.slot]).ToRaw();
        value = AmountText(rest, run_.settings.roundingMode());
        break;
      }
    }
    AssignElementName(&name, element, rateIndex);
    if (!writer.WriteElement(name.c_str(), value, kGroupValueDepth)) {
      return false;
    }
  }
  return writer.WriteEndTag(code.c_str(), kGroupDepth);
}

bool ReportDocument::WriteData(XmlTextWriter& writer, const StDATAINFO& dataSet,
                               const StSHOHIZEIINFO& settings) {
  if (!writer.WriteStartTag("DATA", kSectionDepth)) return false;
  if (!run_.settings.setObjectFound) return false;
  const TaxSummaryTables& tables = run_.tables;
  if (!tables.rateInfo || !tables.businessTypeInfo || tables.rateCount < kRateGroups) {
    return false;
  }
  for (const FormTopic& topic : FormTopics()) {
    for (int rate = 0; rate < kRateGroups; ++rate) {
      if (!WriteTopicGroup(writer, topic, rate)) return false;
    }
  }
  return WriteKanpuh(writer, dataSet, settings) && WriteKanpuk(writer, dataSet, settings) &&
         writer.WriteEndTag("DATA", kSectionDepth);
}

bool ReportDocument::WriteSavedTopicGroup(XmlTextWriter& writer, const FormTopic& topic,
                                          int rateIndex) {
  const StSaveTaxInfo& saved = *run_.savedReturn;
  const bool standard = run_.settings.filingClass() == 2;
  const bool withValues = topic.savedFlag == SavedFlag::kStandardOnly ? standard : !standard;

  const std::string code = FormCode(topic, rateIndex);
  if (!writer.WriteStartTag(code.c_str(), kGroupDepth)) return false;
  std::string name;
  for (const FormElement& element : topic.elements) {
    if (!element.HasRate(rateIndex)) continue;
    std::string value;
    const uint16_t offset = element.saved.at[rateIndex];
    if (withValues && offset != 0) {
      int64_t raw = RecordFigure(&saved, offset);
      if (element.saved.times20) raw = Times20(raw);
      value = AmountText(raw, run_.settings.roundingMode());
    }
    AssignElementName(&name, element, rateIndex);
    if (!writer.WriteElement(name.c_str(), value, kGroupValueDepth)) {
      return false;
    }
  }
  return writer.WriteEndTag(code.c_str(), kGroupDepth);
}

bool ReportDocument::WriteSavedData(XmlTextWriter& writer, const StDATAINFO& dataSet) {
  if (!writer.WriteStartTag("DATA", kSectionDepth)) return false;
  if (!run_.savedReturn) return false;
  for (const FormTopic& topic : FormTopics()) {
    for (int rate = 0; rate < kRateGroups; ++rate) {
      if (!WriteSavedTopicGroup(writer, topic, rate)) return false;
    }
  }
  return WriteSavedKanpuh(writer, dataSet) && WriteSavedKanpuk(writer, dataSet) &&
         writer.WriteEndTag("DATA", kSectionDepth);
}

}  // namespace taxlink
