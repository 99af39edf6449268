#include "mvhost/lib/ImportLinePlaces.h"

#include <algorithm>

namespace mvhost {

void ImportLinePlaces::AddCsvLine(int64_t lineId, int64_t fileLine) {
  const int64_t offset = fileLine - lineId;
  if (steps_.empty() || steps_.back().second != offset) steps_.emplace_back(lineId, offset);
}

LinePlace ImportLinePlaces::Of(int64_t lineId) const {
  LinePlace place;
  if (lineId <= items_ || steps_.empty()) {
    place.source = jsonFile_;
    place.kind = LinePlace::Kind::kItem;
    place.number = lineId - 1;
    return place;
  }
  auto step = std::upper_bound(steps_.begin(), steps_.end(), std::make_pair(lineId, INT64_MAX));
  if (step != steps_.begin()) --step;
  place.source = csvFile_;
  place.number = lineId + step->second;
  return place;
}

}  // namespace mvhost
