#ifndef TAXLINK_HOST_CLSYSENVMGR_H_
#define TAXLINK_HOST_CLSYSENVMGR_H_

// The host environment manager: only its enumeration of the host's editions
// (application types) is used.
class ClSysEnvMgr {
 public:
  enum AppType : int {
    kAppTypeStd = 0,
    kAppTypeAlto = 3,
    kAppTypeSerena = 4,
  };
};

#endif  // TAXLINK_HOST_CLSYSENVMGR_H_
