#include "aggregation/IndividualRouting.h"

namespace taxlink {

namespace {
constexpr uint8_t kIncomeBusiness = 1;
constexpr uint8_t kIncomeRealEstate = 2;
constexpr uint8_t kIncomeSeveral = 3;
// Department income kinds.
constexpr uint8_t kDepartmentBusiness = 1;
constexpr uint8_t kDepartmentRealEstate = 3;
}  // namespace

IncomeRouting RouteIndividualAmount(uint8_t incomeKind, bool departmentsExist,
                                    const StBUMONINFO& department) {
  // Flag G: a department of kind 1 whose value at 16 is zero; flag H: kind 1
  // with a non-zero value. They never hold together.
  const bool flagG = department.kind == 1 && department.parentCode == 0;
  const bool flagH = department.kind == 1 && department.parentCode != 0;
  const uint8_t departmentIncome = department.incomeKind;
  const bool several = incomeKind == kIncomeSeveral;

  IncomeRouting routing;
  routing.business =
      incomeKind == kIncomeBusiness ||
      (several && (!departmentsExist || departmentIncome == kDepartmentBusiness || flagG));
  routing.realEstate = incomeKind == kIncomeRealEstate ||
                       (several && departmentsExist && departmentIncome == kDepartmentRealEstate);
  routing.other = several && departmentsExist && !flagG &&
                  (flagH || (departmentIncome != kDepartmentBusiness &&
                             departmentIncome != kDepartmentRealEstate));
  return routing;
}

}  // namespace taxlink
