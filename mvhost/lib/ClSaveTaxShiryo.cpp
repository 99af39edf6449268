#include "host/ClSaveTaxShiryo.h"

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <new>
#include <vector>

#include "mvhost/lib/FaultInjection.h"
#include "mvhost/lib/HostCodes.h"
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
  sqlite3* db = nullptr;
  int32_t dataNo = 0;
  image.status = binding.Resolve(&db, &dataNo);
  if (image.status != 0) return image;
  mvhost::SqlStatement stmt;
  image.status = stmt.Prepare(db, "SELECT image FROM saved_return WHERE data_no = ?", "read the saved return");
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

std::map<const ClSaveTaxShiryo*, SavedImage>& Images() {
  static std::map<const ClSaveTaxShiryo*, SavedImage> images;
  return images;
}

}  // namespace

ClSaveBase::ClSaveBase() : context_(new Context) {}

ClSaveBase::~ClSaveBase() { delete context_; }

int32_t ClSaveBase::AttachSetMgr(ClSetMgr* setMgr) {
  MVHOST_FAULT_POINT("ClSaveBase::AttachSetMgr");
  if (setMgr == nullptr) return mvhost::kErrBadArgument;
  context_->setMgr = setMgr;
  return 0;
}

int32_t ClSaveBase::SetCurDataID(const char* dataId) {
  MVHOST_FAULT_POINT("ClSaveBase::SetCurDataID");
  return context_->data.Bind(dataId);
}

int32_t ClSaveBase::AttachOptLink(ClOptLink* optLink) {
  MVHOST_FAULT_POINT("ClSaveBase::AttachOptLink");
  if (optLink == nullptr) return mvhost::kErrBadArgument;
  context_->optLink = optLink;
  return 0;
}

ClSaveTaxShiryo::ClSaveTaxShiryo() = default;

ClSaveTaxShiryo::~ClSaveTaxShiryo() { Images().erase(this); }

MVHOST_DEFINE_HOST_NEW(ClSaveTaxShiryo)

int32_t ClSaveTaxShiryo::RefreshCache() {
  MVHOST_FAULT_POINT("ClSaveTaxShiryo::RefreshCache");
  SavedImage image = ReadImage(*context_);
  int32_t status = image.status;
  Images()[this] = std::move(image);
  return status < 0 ? status : 0;
}

int32_t ClSaveTaxShiryo::GetTaxSaveInfo(StSaveTaxInfo* out) {
  MVHOST_FAULT_POINT("ClSaveTaxShiryo::GetTaxSaveInfo");
  if (out == nullptr) return mvhost::kErrBadArgument;
  auto it = Images().find(this);
  if (it == Images().end()) it = Images().emplace(this, ReadImage(*context_)).first;
  const SavedImage& image = it->second;
  if (image.status != 0) return image.status;
  std::memcpy(out, image.bytes.data(), sizeof(StSaveTaxInfo));
  return 0;
}
