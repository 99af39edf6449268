#ifndef TAXLINK_REPORT_REPORTSCHEMA_H_
#define TAXLINK_REPORT_REPORTSCHEMA_H_

#include <string>

namespace taxlink {

// The XML Schema of the report, made from ReportFormat(): the element order
// of every group, the texts each element may hold. report/Report.xsd holds
// the same text (a test keeps it current).
std::string ReportSchemaText();

}  // namespace taxlink

#endif  // TAXLINK_REPORT_REPORTSCHEMA_H_
