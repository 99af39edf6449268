#ifndef TAXLINK_REPORT_REPORTDOCUMENT_H_
#define TAXLINK_REPORT_REPORTDOCUMENT_H_

#include <cstdint>

#include "host/StDATAINFO.h"
#include "host/StSHOHIZEIINFO.h"
#include "report/ReportInputs.h"

namespace taxlink {

class XmlTextWriter;
struct FormTopic;

// Source of the BASIC section's period and method values.
constexpr int kSourceJournals = 0;
constexpr int kSourceSavedReturn = 1;

// The section writers of the report file. Each writes complete lines through
// the writer and returns true when every line of its section was written,
// false at the first line that failed (the rest of the section is not
// written). The figures are read from the run's inputs, never changed.
class ReportDocument {
 public:
  explicit ReportDocument(const ReportInputs& inputs);
  virtual ~ReportDocument() = default;
  ReportDocument(const ReportDocument&) = delete;
  ReportDocument& operator=(const ReportDocument&) = delete;

  const ReportInputs& inputs() const { return run_; }

  // SYSTEM: the exporting program.
  virtual bool WriteSystem(XmlTextWriter& writer);
  // BASIC: company, period and settings; sourceMode kSourceJournals or
  // kSourceSavedReturn.
  virtual bool WriteBasic(XmlTextWriter& writer, const StDATAINFO& dataSet, int sourceMode);
  // DATA from the aggregation tables, ending with KANPUH and KANPUK. Fails
  // right after the opening tag when the host had no consumption-tax set
  // object or the tables were never allocated.
  virtual bool WriteData(XmlTextWriter& writer, const StDATAINFO& dataSet,
                         const StSHOHIZEIINFO& settings);
  // DATA from the saved return, ending with its KANPUH and KANPUK. Fails
  // right after the opening tag when no saved return was read. An amount
  // whose factor 20 does not fit a raw amount raises Decimal4Overflow.
  virtual bool WriteSavedData(XmlTextWriter& writer, const StDATAINFO& dataSet);

  // The refund statements (depth 2 inside DATA).
  bool WriteKanpuh(XmlTextWriter& writer, const StDATAINFO& dataSet,
                   const StSHOHIZEIINFO& settings);
  bool WriteKanpuk(XmlTextWriter& writer, const StDATAINFO& dataSet,
                   const StSHOHIZEIINFO& settings);
  bool WriteSavedKanpuh(XmlTextWriter& writer, const StDATAINFO& dataSet);
  bool WriteSavedKanpuk(XmlTextWriter& writer, const StDATAINFO& dataSet);

 private:
  bool WriteTopicGroup(XmlTextWriter& writer, const FormTopic& topic, int rateIndex);
  bool WriteSavedTopicGroup(XmlTextWriter& writer, const FormTopic& topic, int rateIndex);

  ReportInputs run_;
};

}  // namespace taxlink

#endif  // TAXLINK_REPORT_REPORTDOCUMENT_H_
