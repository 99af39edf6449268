#ifndef TAXLINK_AGGREGATION_ACQUIREDASSETS_H_
#define TAXLINK_AGGREGATION_ACQUIREDASSETS_H_

#include <cstdint>
#include <cstring>
#include <memory>

#include "aggregation/JournalFilters.h"
#include "aggregation/ProgressSink.h"
#include "host/ClRuleGenkashokyaku.h"
#include "host/StKOTEISHISANINFO.h"
#include "status/HostResult.h"

namespace taxlink {

// Walks the fixed assets acquired from from to to (yyyymmdd, both included)
// with rule, one detail tick per asset, handing each to visit; the query is
// finished on every path. The walk's status: ok at its end, or the host
// failure that stopped it.
template <class Visit>
Status WalkAcquiredAssets(ClRuleGenkashokyaku& rule, int32_t from, int32_t to,
                          ProgressSink& progress, Visit visit) {
  StFINDINFO assetFilter = AssetDateFilter(from, to);
  Status status = HostResult(rule.MoveReady(&assetFilter, 0, 0), "ClRuleGenkashokyaku::MoveReady");
  int32_t assetCount = 0;
  if (status.ok()) {
    assetCount = rule.GetCount();
    status = HostCountResult(assetCount, "ClRuleGenkashokyaku::GetCount");
  }
  auto year = std::make_unique<StKOTEINENINFO>();
  auto month = std::make_unique<StKOTEITSUKIINFO>();
  for (int32_t i = 0; status.ok() && i < assetCount; ++i) {
    progress.DetailTick();
    StKOTEISHISANINFO asset;
    std::memset(&asset, 0, sizeof(asset));
    std::memset(year.get(), 0, sizeof(*year));
    std::memset(month.get(), 0, sizeof(*month));
    status = HostResult(rule.Move(i, &asset, year.get(), month.get()), "ClRuleGenkashokyaku::Move");
    if (!status.ok()) break;
    visit(asset);
  }
  rule.MoveFinish();
  return WalkEnded(status);
}

}  // namespace taxlink

#endif  // TAXLINK_AGGREGATION_ACQUIREDASSETS_H_
