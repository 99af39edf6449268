#include <algorithm>
#include <cstring>
#include <vector>

#include "host/ClSetBase.h"
#include "host/ClSetShohizei.h"
#include "tests/hosts/FaultHost.h"
#include "tests/hosts/FaultObjects.h"
#include "tests/hosts/FaultTable.h"

namespace hosts {

namespace {

// Owns the inner implementation and checks the table before each call.
template <class Interface>
class Wrapper : public Interface {
 public:
  Wrapper(FaultHost& host, Interface* inner) : host_(host), faults_(host.faults()), inner_(inner) {}
  ~Wrapper() override { delete inner_; }

 protected:
  FaultHost& host_;
  FaultTable& faults_;
  Interface* inner_;
};

// The preparation calls of rule objects (Rule: true) or saved-data readers.
template <class Interface, bool Rule>
class BoundWrapper : public Wrapper<Interface> {
 public:
  using Wrapper<Interface>::Wrapper;
  int32_t AttachSetMgr(ClSetMgr* setMgr) override {
    if (auto code = this->faults_.Find(Rule ? FaultPoint::kRuleBaseAttachSetMgr
                                            : FaultPoint::kSaveBaseAttachSetMgr)) {
      return *code;
    }
    return this->inner_->AttachSetMgr(setMgr);
  }
  int32_t SetCurDataID(const char* dataId) override {
    if (auto code = this->faults_.Find(Rule ? FaultPoint::kRuleBaseSetCurDataID
                                            : FaultPoint::kSaveBaseSetCurDataID)) {
      return *code;
    }
    return this->inner_->SetCurDataID(dataId);
  }
  int32_t AttachOptLink(ClOptLink* optLink) override {
    if (auto code = this->faults_.Find(Rule ? FaultPoint::kRuleBaseAttachOptLink
                                            : FaultPoint::kSaveBaseAttachOptLink)) {
      return *code;
    }
    return this->inner_->AttachOptLink(optLink);
  }
};

class Period : public Wrapper<ClAccPeriod::Impl> {
 public:
  using Wrapper::Wrapper;
  int32_t SetPeriod(int32_t start, int32_t end) override {
    HOSTS_FAULT(faults_, kAccPeriodSetPeriod);
    return inner_->SetPeriod(start, end);
  }
  int32_t GetClosingDayByEndDate(int32_t endDate, int32_t flag) override {
    HOSTS_FAULT(faults_, kAccPeriodGetClosingDayByEndDate);
    return inner_->GetClosingDayByEndDate(endDate, flag);
  }
  int32_t SetClosingDay(int32_t closingDay) override {
    HOSTS_FAULT(faults_, kAccPeriodSetClosingDay);
    return inner_->SetClosingDay(closingDay);
  }
  int32_t GetPeriod(int32_t* start, int32_t* end) override {
    HOSTS_FAULT(faults_, kAccPeriodGetPeriod);
    return inner_->GetPeriod(start, end);
  }
  int32_t GetAMonthByDate(int32_t date, int16_t* month, int32_t flag) override {
    HOSTS_FAULT(faults_, kAccPeriodGetAMonthByDate);
    return inner_->GetAMonthByDate(date, month, flag);
  }
  int32_t GetPeriodByAMonth(int16_t month, int32_t* start, int32_t* end, int32_t flag) override {
    HOSTS_FAULT(faults_, kAccPeriodGetPeriodByAMonth);
    return inner_->GetPeriodByAMonth(month, start, end, flag);
  }
  int32_t GetPeriodByMonthKind(int16_t monthKind, int32_t* first, int32_t* last,
                               int32_t flag) override {
    HOSTS_FAULT(faults_, kAccPeriodGetPeriodByMonthKind);
    return inner_->GetPeriodByMonthKind(monthKind, first, last, flag);
  }
};

class SavedReturn : public BoundWrapper<ClSaveTaxShiryo::Impl, false> {
 public:
  using BoundWrapper::BoundWrapper;
  int32_t RefreshCache() override {
    HOSTS_FAULT(faults_, kSaveTaxShiryoRefreshCache);
    return inner_->RefreshCache();
  }
  int32_t GetTaxSaveInfo(StSaveTaxInfo* out) override {
    HOSTS_FAULT(faults_, kSaveTaxShiryoGetTaxSaveInfo);
    return inner_->GetTaxSaveInfo(out);
  }
};

class Journal : public BoundWrapper<ClRuleShiwake::Impl, true> {
 public:
  using BoundWrapper::BoundWrapper;
  int32_t GetSwkCount(const StFINDINFO* filter, const void* displayInfo, int32_t* count) override {
    HOSTS_FAULT(faults_, kRuleShiwakeGetSwkCount);
    return inner_->GetSwkCount(filter, displayInfo, count);
  }
  int32_t MoveReady(const StFINDINFO* filter, const void* order, const void* displayInfo,
                    int32_t cursorType) override {
    HOSTS_FAULT(faults_, kRuleShiwakeMoveReady);
    return inner_->MoveReady(filter, order, displayInfo, cursorType);
  }
  int32_t MoveNext(StSWKTINFO* out) override {
    HOSTS_FAULT(faults_, kRuleShiwakeMoveNext);
    return inner_->MoveNext(out);
  }
  int32_t MoveFinish() override {
    HOSTS_FAULT(faults_, kRuleShiwakeMoveFinish);
    return inner_->MoveFinish();
  }
  int32_t CheckExistSwkByZeiRate(const StFINDINFO* filter, uint32_t* flags, int32_t mode) override {
    HOSTS_FAULT(faults_, kRuleShiwakeCheckExistSwkByZeiRate);
    return inner_->CheckExistSwkByZeiRate(filter, flags, mode);
  }
  int32_t CheckExistSwkByJigyoBunrui(const StFINDINFO* filter, int32_t businessType,
                                     int32_t* count) override {
    HOSTS_FAULT(faults_, kRuleShiwakeCheckExistSwkByJigyoBunrui);
    return inner_->CheckExistSwkByJigyoBunrui(filter, businessType, count);
  }
  int32_t TraceReady(uint8_t filingClass, const StFINDINFO* filter,
                     const StTAXREPORTRATEINFO* rates, TaxLineSink* sink) override {
    HOSTS_FAULT(faults_, kRuleShiwakeTraceReady);
    return inner_->TraceReady(filingClass, filter, rates, sink);
  }
  int32_t TraceRest() override {
    HOSTS_FAULT(faults_, kRuleShiwakeTraceRest);
    return inner_->TraceRest();
  }
};

class AccountSums : public BoundWrapper<ClRuleKamoku::Impl, true> {
 public:
  using BoundWrapper::BoundWrapper;
  int32_t MoveReady(int32_t baseSumType, int32_t deptSumType, int32_t displayType,
                    const StFINDINFO* filter, const StBUMONINFO* department,
                    int32_t pastType) override {
    HOSTS_FAULT(faults_, kRuleKamokuMoveReady);
    return inner_->MoveReady(baseSumType, deptSumType, displayType, filter, department, pastType);
  }
  int32_t GetSumCount(int32_t* count) override {
    HOSTS_FAULT(faults_, kRuleKamokuGetSumCount);
    return inner_->GetSumCount(count);
  }
  int32_t SetMovePos(int32_t position) override {
    HOSTS_FAULT(faults_, kRuleKamokuSetMovePos);
    return inner_->SetMovePos(position);
  }
  int32_t MoveNext(StKAMOKUSUMINFO* out) override {
    HOSTS_FAULT(faults_, kRuleKamokuMoveNext);
    return inner_->MoveNext(out);
  }
  int32_t MoveFinish() override {
    HOSTS_FAULT(faults_, kRuleKamokuMoveFinish);
    return inner_->MoveFinish();
  }
};

class TaxSummaries : public BoundWrapper<ClRuleShohizei::Impl, true> {
 public:
  using BoundWrapper::BoundWrapper;
  int32_t MoveReady(int32_t sumType, const int16_t* startKind, const int16_t* endKind,
                    const int32_t* rate, const void* reserved, uint8_t taxIncluded) override {
    HOSTS_FAULT(faults_, kRuleShohizeiMoveReady);
    return inner_->MoveReady(sumType, startKind, endKind, rate, reserved, taxIncluded);
  }
  int32_t GetSumInfoCount() override {
    HOSTS_FAULT(faults_, kRuleShohizeiGetSumInfoCount);
    return inner_->GetSumInfoCount();
  }
  int32_t MoveNext(StTAXSUMINFO* out) override {
    HOSTS_FAULT(faults_, kRuleShohizeiMoveNext);
    return inner_->MoveNext(out);
  }
  int32_t MoveFinish() override {
    HOSTS_FAULT(faults_, kRuleShohizeiMoveFinish);
    return inner_->MoveFinish();
  }
};

// A host whose rate-row count is injected writes that many rows: the inner
// host sums into tables of its own count, and the rows the injected count
// has are handed on (the caller sized its tables by that count).
class TaxReturn : public BoundWrapper<ClRuleShohizeiShinkoku::Impl, true> {
 public:
  using BoundWrapper::BoundWrapper;
  int32_t SumTax(uint8_t filingClass, const StFINDINFO* filter, StTAXREPORTRATEINFO* rates,
                 StTAXREPORTBUSINESSTYPEINFO* businessTypes) override {
    HOSTS_FAULT(faults_, kRuleShohizeiShinkokuSumTax);
    std::optional<int32_t> injected = faults_.Find(FaultPoint::kSetShohizeiGetTaxRateCount);
    if (!injected || rates == nullptr || businessTypes == nullptr) {
      return inner_->SumTax(filingClass, filter, rates, businessTypes);
    }
    auto* settings =
        dynamic_cast<ClSetShohizei*>(host_.inner().DataMgr().GetSetObject(kSetKindTaxSettings, 1));
    int32_t own = settings != nullptr ? settings->GetTaxRateCount() : 0;
    if (own <= 0) return inner_->SumTax(filingClass, filter, rates, businessTypes);
    size_t given = static_cast<size_t>(std::max<int32_t>(*injected, 0));
    size_t kept = std::min(given, static_cast<size_t>(own));
    std::vector<StTAXREPORTRATEINFO> ownRates(static_cast<size_t>(own));
    std::vector<StTAXREPORTBUSINESSTYPEINFO> ownTypes(static_cast<size_t>(own) * 6);
    std::memcpy(ownRates.data(), rates, kept * sizeof(StTAXREPORTRATEINFO));
    int32_t status = inner_->SumTax(filingClass, filter, ownRates.data(), ownTypes.data());
    std::memcpy(rates, ownRates.data(), kept * sizeof(StTAXREPORTRATEINFO));
    std::memcpy(businessTypes, ownTypes.data(), kept * 6 * sizeof(StTAXREPORTBUSINESSTYPEINFO));
    return status;
  }
  int32_t TraceTax(uint8_t filingClass, const StFINDINFO* filter, const StTAXREPORTRATEINFO* rates,
                   TaxLineSink* sink) override {
    HOSTS_FAULT(faults_, kRuleShohizeiShinkokuTraceTax);
    return inner_->TraceTax(filingClass, filter, rates, sink);
  }
};

class FixedAssets : public BoundWrapper<ClRuleGenkashokyaku::Impl, true> {
 public:
  using BoundWrapper::BoundWrapper;
  int32_t MoveReady(const StFINDINFO* filter, int32_t sortType, int32_t sumType) override {
    HOSTS_FAULT(faults_, kRuleGenkashokyakuMoveReady);
    return inner_->MoveReady(filter, sortType, sumType);
  }
  int32_t GetCount() override {
    HOSTS_FAULT(faults_, kRuleGenkashokyakuGetCount);
    return inner_->GetCount();
  }
  int32_t Move(int32_t index, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
               StKOTEITSUKIINFO* month) override {
    HOSTS_FAULT(faults_, kRuleGenkashokyakuMove);
    return inner_->Move(index, asset, year, month);
  }
  int32_t MoveFinish() override {
    HOSTS_FAULT(faults_, kRuleGenkashokyakuMoveFinish);
    return inner_->MoveFinish();
  }
};

template <class W, class Impl>
Impl* Wrapped(FaultHost& host, Impl* inner) {
  return inner == nullptr ? nullptr : new W(host, inner);
}

}  // namespace

ClAccPeriod::Impl* WrapPeriod(FaultHost& host, ClAccPeriod::Impl* inner) {
  return Wrapped<Period>(host, inner);
}
ClSaveTaxShiryo::Impl* WrapSavedReturn(FaultHost& host, ClSaveTaxShiryo::Impl* inner) {
  return Wrapped<SavedReturn>(host, inner);
}
ClRuleShiwake::Impl* WrapRule(FaultHost& host, ClRuleShiwake::Impl* inner) {
  return Wrapped<Journal>(host, inner);
}
ClRuleKamoku::Impl* WrapRule(FaultHost& host, ClRuleKamoku::Impl* inner) {
  return Wrapped<AccountSums>(host, inner);
}
ClRuleShohizei::Impl* WrapRule(FaultHost& host, ClRuleShohizei::Impl* inner) {
  return Wrapped<TaxSummaries>(host, inner);
}
ClRuleShohizeiShinkoku::Impl* WrapRule(FaultHost& host, ClRuleShohizeiShinkoku::Impl* inner) {
  return Wrapped<TaxReturn>(host, inner);
}
ClRuleGenkashokyaku::Impl* WrapRule(FaultHost& host, ClRuleGenkashokyaku::Impl* inner) {
  return Wrapped<FixedAssets>(host, inner);
}

}  // namespace hosts
