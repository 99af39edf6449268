#ifndef TAXLINK_SHEET_WORKEDEXAMPLES_H_
#define TAXLINK_SHEET_WORKEDEXAMPLES_H_

#include <string>
#include <string_view>

namespace taxlink::sheet {

// The worked examples of docs/report-elements.md: every figure of a run's
// trace (docs/trace.md) with its value, the figure before rounding, the
// number of contributions and the first of them, as Markdown. The page
// shows those of the example data set sakura (tests/app/golden/).
std::string WorkedExamplesMarkdown(std::string_view traceJson);

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_WORKEDEXAMPLES_H_
