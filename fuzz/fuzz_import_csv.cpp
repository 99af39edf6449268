// The data-set import of journal lines from CSV: whatever the CSV file
// holds, beside a fixed data set, it is read and checked without fault, and
// a data set that is taken exports, imports again and exports to the same
// text (with its lines inline).

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "fuzz/ImportRoundTrip.h"

namespace {

constexpr char kDataSet[] = R"({
  "format": "mvhost-data-1",
  "data_set": {"data_no": 7, "data_id": "T7", "company_name": "Test Trading",
               "period_start": "2014-04-01", "period_end": "2015-03-31",
               "interim_closing": true, "entity_kind": 1},
  "tax_settings": {"filing_class": 2},
  "tax_rates": [8, 5],
  "account_classes": [{"code": "0x40884400", "name": "Purchases", "total": true},
                      {"code": "0x60880000", "name": "Sales", "total": true},
                      {"code": "0x01100000", "name": "Cash"}],
  "accounts": [{"code": "111", "name": "Cash", "class": "0x01100000"},
               {"code": "511", "name": "Sales", "class": "0x60880000", "balance_side": "credit"},
               {"code": "611", "name": "Purchases", "class": "0x40884400"}],
  "departments": [{"code": 1, "name": "Head office"}],
  "journals_csv": "journals.csv"
})";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteWorkFile("journals.csv", fuzz::AsText(data, size));
  fuzz::CheckImportRoundTrip(kDataSet, fuzz::WorkFolder());
  return 0;
}
