#ifndef TAXLINK_RESOURCES_IDS_REPORTTEMPORARY_H_
#define TAXLINK_RESOURCES_IDS_REPORTTEMPORARY_H_

namespace taxlink {

// The program writes the report to "<stem>.<process id>.tmp" beside the
// output file; the host removes the one a program it started left when it
// ended before renaming it.
inline constexpr char kReportTemporaryStem[] = "TaxLinkReport";
// The same for the trace ("<stem>.<process id>.tmp" beside the trace file),
// open from the start of the aggregation.
inline constexpr char kTraceTemporaryStem[] = "trace";

}  // namespace taxlink

#endif  // TAXLINK_RESOURCES_IDS_REPORTTEMPORARY_H_
