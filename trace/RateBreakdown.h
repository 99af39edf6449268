#ifndef TAXLINK_TRACE_RATEBREAKDOWN_H_
#define TAXLINK_TRACE_RATEBREAKDOWN_H_

#include <cstdint>
#include <vector>

#include "report/FormTopics.h"

namespace taxlink {

// A rate-row figure that the form also splits by business type: the figure
// is the sum of the unclassified element and the business-type elements of
// the same slot, all in one business-type topic. The trace lists the lines
// under those parts only and makes the rate-row figure of the parts.
struct RateBreakdown {
  int topic = -1;  // index into FormTopics(); -1: the figure has no breakdown
  // The unclassified element first, then the business-type elements.
  std::vector<const FormElement*> parts;
};

// The breakdown of the rate-row figure at offset (StTAXREPORTRATEINFO).
RateBreakdown BreakdownOfRateFigure(uint16_t offset);

}  // namespace taxlink

#endif  // TAXLINK_TRACE_RATEBREAKDOWN_H_
