#include "report/FormTopics.h"

#include <cstddef>

#include "host/StSaveTaxInfo.h"
#include "host/StTAXREPORTBUSINESSTYPEINFO.h"
#include "host/StTAXREPORTRATEINFO.h"

namespace taxlink {

namespace {

using Rate = StTAXREPORTRATEINFO;
using Type = StTAXREPORTBUSINESSTYPEINFO;

constexpr uint16_t Off(std::size_t offset) { return static_cast<uint16_t>(offset); }

// Saved-return offsets of the members m8, m5 and m3 of StSaveTaxInfo.
#define SAVED(m)                                                             \
  SavedOffsets {                                                             \
    {Off(offsetof(StSaveTaxInfo, m##8)), Off(offsetof(StSaveTaxInfo, m##5)), \
     Off(offsetof(StSaveTaxInfo, m##3))},                                    \
        false, #m                                                            \
  }
#define SAVED_X20(m)                                                         \
  SavedOffsets {                                                             \
    {Off(offsetof(StSaveTaxInfo, m##8)), Off(offsetof(StSaveTaxInfo, m##5)), \
     Off(offsetof(StSaveTaxInfo, m##3))},                                    \
        true, #m                                                             \
  }
#define SAVED85(m)                                                                         \
  SavedOffsets {                                                                           \
    {Off(offsetof(StSaveTaxInfo, m##8)), Off(offsetof(StSaveTaxInfo, m##5)), 0}, false, #m \
  }
#define SAVED8(m) \
  SavedOffsets { {Off(offsetof(StSaveTaxInfo, m##8)), 0, 0}, false, #m }
// The offset of a figure and its member name.
#define RATE(field) Off(offsetof(Rate, field)), #field
#define TYPE(field) Off(offsetof(Type, field)), #field

constexpr SavedOffsets kNoSaved{};

constexpr FormElement Figure(const char* stem, uint16_t figure, const char* name,
                             SavedOffsets saved, uint8_t rates = kAllRates) {
  return FormElement{stem, rates, JournalSource::kRateFigure, figure, name, 0, 0, saved};
}

constexpr FormElement Empty(const char* stem, SavedOffsets saved, uint8_t rates = kAllRates) {
  return FormElement{stem, rates, JournalSource::kEmpty, 0, nullptr, 0, 0, saved};
}

constexpr FormElement ByType(const char* stem, uint8_t type, uint16_t figure, const char* name,
                             uint8_t slot, SavedOffsets saved) {
  return FormElement{stem, kAllRates, JournalSource::kBusinessType, figure, name, type,
                     slot, saved};
}

constexpr FormElement Unclassified(const char* stem, uint16_t figure, const char* name,
                                   uint8_t slot) {
  return FormElement{stem, kAllRates, JournalSource::kUnclassified, figure, name, 0,
                     slot, kNoSaved};
}

// Accumulator slots of the business-type groups.
constexpr uint8_t kExcl = 0;
constexpr uint8_t kTax = 1;
constexpr uint8_t kIncl = 2;

// Sales: "D020110" to "D020112".
constexpr FormElement kSales[] = {
    Figure("KAZEIURIAGEZEINUKI", RATE(taxableSalesExcl), SAVED(kazeiUriageZeinuki)),
    Figure("KAZEIURIAGEZEIGAKU", RATE(taxableSalesTax), SAVED(kazeiUriageZeigaku)),
    Figure("KAZEIURIAGEZEIKOMI", RATE(taxableSalesIncl), SAVED(kazeiUriageZeikomi)),
    Figure("MENZEIURIAGEZEINUKI", RATE(exemptSales), SAVED(menzeiUriageZeinuki)),
    Figure("HIKAZEIURIAGEYUUKAZEINUKI", RATE(securitiesSales),
           SAVED_X20(hikazeiUriageYuukaZeinuki)),
    Figure("HIKAZEIURIAGEYUUKAIGAIZEINUKI", RATE(otherNonTaxableSales),
           SAVED(hikazeiUriageYuuKaigaiZeinuki)),
    Figure("HIKAZEISHISANYUSHUTSUZEINUKI", RATE(nonTaxableAssetExports),
           SAVED(hikazeiShisanYushutsuZeinuki)),
    Figure("KAZEIURIAGEHENKANZEINUKI", RATE(salesReturnsExcl), SAVED(kazeiUriageHenkanZeinuki)),
    Figure("KAZEIURIAGEHENKANZEIGAKU", RATE(salesReturnsTax), SAVED(kazeiUriageHenkanZeigaku)),
    Figure("KAZEIURIAGEHENKANZEIKOMI", RATE(salesReturnsIncl), SAVED(kazeiUriageHenkanZeikomi)),
    Figure("MENZEIURIAGEHENKANZEINUKI", RATE(exemptSalesReturns), SAVED(menzeiUriageHenkanZeinuki)),
    Figure("HIKAZEIURIAGEHENKANZEINUKI", RATE(nonTaxableSalesReturns),
           SAVED(hikazeiUriageHenkanZeinuki)),
    Empty("HIKAZEISHISANHENKANZEINUKI", kNoSaved),
};

// Purchases: "D020120" to "D020122".
constexpr FormElement kPurchases[] = {
    Figure("SHIIREKAZEIZEINUKI", RATE(purchTaxableExcl), SAVED(shiireKazeiZeinuki)),
    Figure("SHIIREKAZEIZEIGAKU", RATE(purchTaxableTax), SAVED(shiireKazeiZeigaku)),
    Figure("SHIIREKAZEIZEIKOMI", RATE(purchTaxableIncl), SAVED(shiireKazeiZeikomi)),
    Figure("SHIIREHIKAZEIZEINUKI", RATE(purchNonTaxableExcl), SAVED(shiireHikazeiZeinuki)),
    Figure("SHIIREHIKAZEIZEIGAKU", RATE(purchNonTaxableTax), SAVED(shiireHikazeiZeigaku)),
    Figure("SHIIREHIKAZEIZEIKOMI", RATE(purchNonTaxableIncl), SAVED(shiireHikazeiZeikomi)),
    Figure("SHIIREKYOTUUZEINUKI", RATE(purchCommonExcl), SAVED(shiireKyotuuZeinuki)),
    Figure("SHIIREKYOTUUZEIGAKU", RATE(purchCommonTax), SAVED(shiireKyotuuZeigaku)),
    Figure("SHIIREKYOTUUZEIKOMI", RATE(purchCommonIncl), SAVED(shiireKyotuuZeikomi)),
    Empty("TOKUTEISHIIREKAZEIZEINUKI", SAVED8(tokuteiShiireKazeiZeinuki), kRate8),
    Empty("TOKUTEISHIIREHIKAZEIZEINUKI", SAVED8(tokuteiShiireHikazeiZeinuki), kRate8),
    Empty("TOKUTEISHIIREKYOTUUZEINUKI", SAVED8(tokuteiShiireKyotuuZeinuki), kRate8),
    Figure("YUNYUSHIIREKAZEIZEIGAKU", RATE(importTaxableTax), SAVED(yunyuShiireKazeiZeigaku)),
    Figure("YUNYUSHIIREHIKAZEIZEIGAKU", RATE(importNonTaxableTax),
           SAVED(yunyuShiireHikazeiZeigaku)),
    Figure("YUNYUSHIIREKYOTUUZEIGAKU", RATE(importCommonTax), SAVED(yunyuShiireKyotuuZeigaku)),
    Figure("YUNYUSHIIRETIHO", RATE(importLocalTax), SAVED85(yunyuShiireTiho), kRate8 | kRate5),
    Figure("SHIIREHENKANKAZEIZEINUKI", RATE(purchReturnTaxableExcl),
           SAVED(shiireHenkanKazeiZeinuki)),
    Figure("SHIIREHENKANKAZEIZEIGAKU", RATE(purchReturnTaxableTax),
           SAVED(shiireHenkanKazeiZeigaku)),
    Figure("SHIIREHENKANKAZEIZEIKOMI", RATE(purchReturnTaxableIncl),
           SAVED(shiireHenkanKazeiZeikomi)),
    Figure("SHIIREHENKANHIKAZEIZEINUKI", RATE(purchReturnNonTaxableExcl),
           SAVED(shiireHenkanHikazeiZeinuki)),
    Figure("SHIIREHENKANHIKAZEIZEIGAKU", RATE(purchReturnNonTaxableTax),
           SAVED(shiireHenkanHikazeiZeigaku)),
    Figure("SHIIREHENKANHIKAZEIZEIKOMI", RATE(purchReturnNonTaxableIncl),
           SAVED(shiireHenkanHikazeiZeikomi)),
    Figure("SHIIREHENKANKYOTUUZEINUKI", RATE(purchReturnCommonExcl),
           SAVED(shiireHenkanKyotuuZeinuki)),
    Figure("SHIIREHENKANKYOTUUZEIGAKU", RATE(purchReturnCommonTax),
           SAVED(shiireHenkanKyotuuZeigaku)),
    Figure("SHIIREHENKANKYOTUUZEIKOMI", RATE(purchReturnCommonIncl),
           SAVED(shiireHenkanKyotuuZeikomi)),
    Empty("TOKUTEISHIIREHENKANKAZEIZEINUKI", SAVED8(tokuteiShiireHenkanKazeiZeinuki), kRate8),
    Empty("TOKUTEISHIIREHENKANHIKAZEIZEINUKI", SAVED8(tokuteiShiireHenkanHikazeiZeinuki), kRate8),
    Empty("TOKUTEISHIIREHENKANKYOTUUZEINUKI", SAVED8(tokuteiShiireHenkanKyotuuZeinuki), kRate8),
    Figure("YUNYUHENKANKAZEIZEIGAKU", RATE(importRefundTaxableTax), SAVED(yunyuHenkanKazeiZeigaku)),
    Figure("YUNYUHENKANHIKAZEIZEIGAKU", RATE(importRefundNonTaxableTax),
           SAVED(yunyuHenkanHikazeiZeigaku)),
    Figure("YUNYUHENKANKYOTUUZEIGAKU", RATE(importRefundCommonTax),
           SAVED(yunyuHenkanKyotuuZeigaku)),
    Figure("YUNYUHENKANTIHO", RATE(importRefundLocalTax), SAVED85(yunyuHenkanTiho),
           kRate8 | kRate5),
};

// Bad debts: "D020130" to "D020132", and the second copy "D020230" to
// "D020232".
constexpr FormElement kBadDebts[] = {
    Figure("KASHIDAOREZEINUKI", RATE(badDebtExcl), SAVED(kashidaoreZeinuki)),
    Figure("KASHIDAOREZEIGAKU", RATE(badDebtTax), SAVED(kashidaoreZeigaku)),
    Figure("KASHIDAOREZEIKOMI", RATE(badDebtIncl), SAVED(kashidaoreZeikomi)),
    Figure("KASHIDAOREKAISHUZEINUKI", RATE(badDebtRecoveredExcl), SAVED(kashidaoreKaishuZeinuki)),
    Figure("KASHIDAOREKAISHUZEIGAKU", RATE(badDebtRecoveredTax), SAVED(kashidaoreKaishuZeigaku)),
    Figure("KASHIDAOREKAISHUZEIKOMI", RATE(badDebtRecoveredIncl), SAVED(kashidaoreKaishuZeikomi)),
};

// Adjustments: "D02200" to "D02202" (saved-return values only).
constexpr FormElement kAdjustments[] = {
    Empty("GIMUMENJOKAZEI", SAVED(gimumenjoKazei)),
    Empty("GIMUMENJOHIKAZEI", SAVED(gimumenjoHikazei)),
    Empty("GIMUMENJOKYOTUU", SAVED(gimumenjoKyotuu)),
    Empty("KAZEIURIAGEWARIAIHENDO", SAVED(kazeiUriageWariaiHendo)),
    Empty("KAZEIGYOMUYOTENYO", SAVED(kazeiGyomuyoTenyo)),
};

// Taxable sales by business type: "D020210" to "D020212".
#define SALES_OF_TYPE(t)                                               \
  ByType("KAZEIURIAGE" #t "SHUZEINUKI", t, TYPE(salesExcl), kExcl,     \
         SAVED(kazeiUriage##t##ShuZeinuki)),                           \
      ByType("KAZEIURIAGE" #t "SHUZEIGAKU", t, TYPE(salesTax), kTax,   \
             SAVED(kazeiUriage##t##ShuZeigaku)),                       \
      ByType("KAZEIURIAGE" #t "SHUZEIKOMI", t, TYPE(salesIncl), kIncl, \
             SAVED(kazeiUriage##t##ShuZeikomi))

constexpr FormElement kSalesByType[] = {
    SALES_OF_TYPE(1),
    SALES_OF_TYPE(2),
    SALES_OF_TYPE(3),
    SALES_OF_TYPE(4),
    SALES_OF_TYPE(5),
    SALES_OF_TYPE(6),
    Unclassified("KAZEIURIAGEZEROZEINUKI", RATE(taxableSalesExcl), kExcl),
    Unclassified("KAZEIURIAGEZEROZEIGAKU", RATE(taxableSalesTax), kTax),
    Unclassified("KAZEIURIAGEZEROZEIKOMI", RATE(taxableSalesIncl), kIncl),
    Figure("MENZEIURIAGEZEINUKI", RATE(exemptSales), SAVED(menzeiUriageZeinuki)),
};

// Sales returns by business type: "D020220" to "D020222".
#define RETURNS_OF_TYPE(t)                                               \
  ByType("KAZEIHENKAN" #t "SHUZEINUKI", t, TYPE(returnsExcl), kExcl,     \
         SAVED(kazeiHenkan##t##ShuZeinuki)),                             \
      ByType("KAZEIHENKAN" #t "SHUZEIGAKU", t, TYPE(returnsTax), kTax,   \
             SAVED(kazeiHenkan##t##ShuZeigaku)),                         \
      ByType("KAZEIHENKAN" #t "SHUZEIKOMI", t, TYPE(returnsIncl), kIncl, \
             SAVED(kazeiHenkan##t##ShuZeikomi))

constexpr FormElement kReturnsByType[] = {
    RETURNS_OF_TYPE(1),
    RETURNS_OF_TYPE(2),
    RETURNS_OF_TYPE(3),
    RETURNS_OF_TYPE(4),
    RETURNS_OF_TYPE(5),
    RETURNS_OF_TYPE(6),
    Unclassified("KAZEIHENKANZEROZEINUKI", RATE(salesReturnsExcl), kExcl),
    Unclassified("KAZEIHENKANZEROZEIGAKU", RATE(salesReturnsTax), kTax),
    Unclassified("KAZEIHENKANZEROZEIKOMI", RATE(salesReturnsIncl), kIncl),
    Figure("MENZEIURIAGEHENKANZEINUKI", RATE(exemptSalesReturns), SAVED(menzeiUriageHenkanZeinuki)),
};

#undef SALES_OF_TYPE
#undef RETURNS_OF_TYPE
#undef SAVED
#undef SAVED_X20
#undef SAVED85
#undef SAVED8
#undef RATE
#undef TYPE

constexpr FormTopic kTopics[] = {
    {"D02011", SavedFlag::kStandardOnly, false, kSales},
    {"D02012", SavedFlag::kStandardOnly, false, kPurchases},
    {"D02013", SavedFlag::kStandardOnly, false, kBadDebts},
    {"D0220", SavedFlag::kStandardOnly, false, kAdjustments},
    {"D02021", SavedFlag::kNotStandard, true, kSalesByType},
    {"D02022", SavedFlag::kNotStandard, true, kReturnsByType},
    {"D02023", SavedFlag::kNotStandard, false, kBadDebts},
};

}  // namespace

std::span<const FormTopic> FormTopics() { return kTopics; }

std::string FormCode(const FormTopic& topic, int rateIndex) {
  return std::string(topic.codeStem) + static_cast<char>('0' + rateIndex);
}

std::string ElementName(const FormElement& element, int rateIndex) {
  std::string name;
  AssignElementName(&name, element, rateIndex);
  return name;
}

void AssignElementName(std::string* name, const FormElement& element, int rateIndex) {
  static constexpr char kRateDigits[kRateGroups] = {'8', '5', '3'};
  name->assign(element.stem);
  name->push_back(kRateDigits[rateIndex]);
}

}  // namespace taxlink
