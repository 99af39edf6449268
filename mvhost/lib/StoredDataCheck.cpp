#include "mvhost/lib/StoredDataCheck.h"

#include "mvhost/lib/DataExport.h"

namespace mvhost {

CheckStatus CheckStoredDataSet(HostStore& store, const CheckRequest& request,
                               const BookkeepingCheck::Sink& sink, std::string* error) {
  DataSetModel model;
  if (!LoadDataSet(store, request.dataNo, &model, error)) return CheckStatus::kFailed;
  MonthSelection months;
  if (request.startMonth == 0 && request.endMonth == 0) {
    if (!MonthSelection::WholePeriod(model.info, &months, error)) return CheckStatus::kFailed;
  } else if (!MonthSelection::OfMonths(model.info, request.startMonth, request.endMonth, &months,
                                       error)) {
    return CheckStatus::kBadMonths;
  }
  const std::string source = "data set " + std::to_string(request.dataNo);
  LinePlace place;
  place.source = &source;
  BookkeepingCheck check(model, months, &source, [place](int64_t lineId) {
    LinePlace stored = place;
    stored.number = lineId;
    return stored;
  }, sink);
  for (const JournalLine& line : model.journals) {
    ++place.number;
    check.Line(line, place);
  }
  return check.Finish(store.db(), error) ? CheckStatus::kChecked : CheckStatus::kFailed;
}

}  // namespace mvhost
