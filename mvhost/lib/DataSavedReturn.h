#ifndef TAXLINK_MVHOST_DATASAVEDRETURN_H_
#define TAXLINK_MVHOST_DATASAVEDRETURN_H_

#include <cstdint>
#include <string>
#include <vector>

#include "mvhost/lib/DataModel.h"

namespace mvhost {

// Conversion between the saved return of the data format and the host's
// 15360-byte image (StSaveTaxInfo). Image -> model -> image is exact: amounts
// at the offsets the return screen saves are named by offset, any other
// non-zero byte is kept in `bytes`.
std::vector<uint8_t> SavedReturnImage(const SavedReturn& saved);
SavedReturn SavedReturnFromImage(const std::vector<uint8_t>& image);

// Where amounts and free bytes may be placed: inside the image and outside
// the named members. False with a message otherwise.
bool CheckSavedAmountOffset(int32_t offset, std::string* message);
bool CheckSavedBytesRange(int32_t offset, size_t length, std::string* message);

// Whether the amounts and byte runs of a saved return lie apart: no two of
// them share a byte, and no byte run covers the slot of an amount the
// return screen saves. The image holds one value per byte, so where two
// meet one of them would be lost (or come back as the other). False with
// the field ("amounts.OFFSET" or "bytes.OFFSET") of the later one and a
// message.
bool CheckSavedLayout(const SavedReturn& saved, std::string* field, std::string* message);

inline constexpr size_t kSavedReturnSize = 15360;

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATASAVEDRETURN_H_
