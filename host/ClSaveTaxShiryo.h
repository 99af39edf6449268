#ifndef TAXLINK_HOST_CLSAVETAXSHIRYO_H_
#define TAXLINK_HOST_CLSAVETAXSHIRYO_H_

#include <cstddef>
#include <cstdint>
#include <new>

#include "host/StSaveTaxInfo.h"

class ClSetMgr;
class ClOptLink;

// Base of the host's saved-data readers.
class ClSaveBase {
 public:
  virtual ~ClSaveBase();
  ClSaveBase(const ClSaveBase&) = delete;
  ClSaveBase& operator=(const ClSaveBase&) = delete;

  int32_t AttachSetMgr(ClSetMgr* setMgr);
  int32_t SetCurDataID(const char* dataId);
  int32_t AttachOptLink(ClOptLink* optLink);

  struct Context;

 protected:
  ClSaveBase();
  Context* context_;
};

// Reader of the consumption-tax return the user saved in the host.
class ClSaveTaxShiryo : public ClSaveBase {
 public:
  ClSaveTaxShiryo();
  ~ClSaveTaxShiryo() override;

  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  int32_t RefreshCache();
  // Copies the saved return into out (a 15360-byte area); non-zero when
  // nothing can be read.
  int32_t GetTaxSaveInfo(StSaveTaxInfo* out);
};

#endif  // TAXLINK_HOST_CLSAVETAXSHIRYO_H_
