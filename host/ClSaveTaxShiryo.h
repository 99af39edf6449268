#ifndef TAXLINK_HOST_CLSAVETAXSHIRYO_H_
#define TAXLINK_HOST_CLSAVETAXSHIRYO_H_

#include <cstdint>

#include "host/HostObject.h"
#include "host/StSaveTaxInfo.h"

class ClSetMgr;
class ClOptLink;

// Base of the host's saved-data readers.
class ClSaveBase {
 public:
  // What a host implements behind every saved-data reader.
  class Impl : public host::HostObject {
   public:
    virtual int32_t AttachSetMgr(ClSetMgr* setMgr) = 0;
    virtual int32_t SetCurDataID(const char* dataId) = 0;
    virtual int32_t AttachOptLink(ClOptLink* optLink) = 0;
  };

  virtual ~ClSaveBase();
  ClSaveBase(const ClSaveBase&) = delete;
  ClSaveBase& operator=(const ClSaveBase&) = delete;

  int32_t AttachSetMgr(ClSetMgr* setMgr) { return impl_->AttachSetMgr(setMgr); }
  int32_t SetCurDataID(const char* dataId) { return impl_->SetCurDataID(dataId); }
  int32_t AttachOptLink(ClOptLink* optLink) { return impl_->AttachOptLink(optLink); }

 protected:
  // Takes ownership of impl (never null).
  explicit ClSaveBase(Impl* impl) : impl_(impl) {}
  Impl* impl_;
};

// Reader of the consumption-tax return the user saved in the host.
class ClSaveTaxShiryo : public ClSaveBase {
 public:
  class Impl : public ClSaveBase::Impl {
   public:
    virtual int32_t RefreshCache() = 0;
    virtual int32_t GetTaxSaveInfo(StSaveTaxInfo* out) = 0;
  };

  ClSaveTaxShiryo();
  ~ClSaveTaxShiryo() override = default;

  // Creation through new (std::nothrow) yields null when the host cannot
  // create the object.
  HOST_OBJECT_ALLOCATION;

  int32_t RefreshCache() { return impl()->RefreshCache(); }
  // Copies the saved return into out (a 15360-byte area); non-zero when
  // nothing can be read.
  int32_t GetTaxSaveInfo(StSaveTaxInfo* out) { return impl()->GetTaxSaveInfo(out); }

 private:
  Impl* impl() { return static_cast<Impl*>(impl_); }
};

#endif  // TAXLINK_HOST_CLSAVETAXSHIRYO_H_
