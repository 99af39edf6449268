#include "trace/RateBreakdown.h"

namespace taxlink {

RateBreakdown BreakdownOfRateFigure(uint16_t offset) {
  RateBreakdown breakdown;
  const auto topics = FormTopics();
  for (std::size_t t = 0; t < topics.size() && breakdown.topic < 0; ++t) {
    for (const FormElement& element : topics[t].elements) {
      if (element.journal != JournalSource::kUnclassified || element.figure != offset) continue;
      breakdown.topic = static_cast<int>(t);
      breakdown.parts.push_back(&element);
      for (const FormElement& typed : topics[t].elements) {
        if (typed.journal == JournalSource::kBusinessType && typed.slot == element.slot) {
          breakdown.parts.push_back(&typed);
        }
      }
      break;
    }
  }
  return breakdown;
}

}  // namespace taxlink
