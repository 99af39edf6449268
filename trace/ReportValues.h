#ifndef TAXLINK_TRACE_REPORTVALUES_H_
#define TAXLINK_TRACE_REPORTVALUES_H_

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace taxlink {

// The texts of the elements inside DATA of a report file as the program
// writes it (one element per line), by group and element name: the values
// the trace explains.
using ReportValues = std::map<std::pair<std::string, std::string>, std::string>;

ReportValues ReadReportValues(std::string_view reportBytes);

}  // namespace taxlink

#endif  // TAXLINK_TRACE_REPORTVALUES_H_
