#ifndef TAXLINK_HOST_CLLINKMGR_H_
#define TAXLINK_HOST_CLLINKMGR_H_

class ClOptLink;

// The host's link manager: hands out the link options of rule objects.
class ClLinkMgr {
 public:
  class Impl {
   public:
    virtual ~Impl() = default;
    virtual ClOptLink* GetOptLink() = 0;
  };

  static ClLinkMgr* Inst();
  ClOptLink* GetOptLink();

 private:
  ClLinkMgr() = default;
};

#endif  // TAXLINK_HOST_CLLINKMGR_H_
