#include "host/ClSaveTaxShiryo.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostObjects.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/RuleContext.h"
#include "mvhost/lib/SqlStatement.h"

namespace {

// The saved return images read by RefreshCache, per reader.
struct SavedImage {
  bool read = false;
  int32_t status = 0;
  std::vector<unsigned char> bytes;
};

SavedImage ReadImage(const mvhost::RuleBinding& binding) {
  SavedImage image;
  image.read = true;
  mvhost::ReadScope scope;
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  image.status = binding.Resolve(&db, &dataNo, &scope);
  if (image.status != 0) return image;
  mvhost::SqlStatement stmt;
  image.status =
      stmt.Prepare(db, "SELECT image FROM saved_return WHERE data_no = ?", "read the saved return");
  if (image.status != 0) return image;
  stmt.BindInt(1, dataNo);
  int32_t step = stmt.Step();
  if (step < 0) {
    image.status = step;
  } else if (step == 0) {
    image.status = mvhost::kNoticeNothingSaved;
  } else {
    std::string blob = stmt.Blob(0);
    image.bytes.assign(blob.begin(), blob.end());
    image.status = image.bytes.size() == sizeof(StSaveTaxInfo) ? 0 : mvhost::kErrBadImage;
  }
  return image;
}

// The saved return on the store, read by RefreshCache or the first
// GetTaxSaveInfo.
class SavedReturnReader : public mvhost::BoundObject<ClSaveTaxShiryo::Impl> {
 public:
  int32_t RefreshCache() override {
    image_ = ReadImage(context_);
    return image_.status < 0 ? image_.status : 0;
  }

  int32_t GetTaxSaveInfo(StSaveTaxInfo* out) override {
    if (out == nullptr) return mvhost::kErrBadArgument;
    if (!image_.read) image_ = ReadImage(context_);
    if (image_.status != 0) return image_.status;
    std::memcpy(out, image_.bytes.data(), sizeof(StSaveTaxInfo));
    return 0;
  }

 private:
  SavedImage image_;
};

}  // namespace

ClSaveTaxShiryo::Impl* mvhost::NewSaveTaxShiryo() { return new (std::nothrow) SavedReturnReader; }
