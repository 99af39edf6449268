#include "host/ClFileMgr.h"

#include "host/Host.h"

ClFileMgr* ClFileMgr::Inst() {
  static ClFileMgr manager;
  return &manager;
}

const char* ClFileMgr::GetAppFolderPath(int folderType) {
  return host::Registered().FileMgr().GetAppFolderPath(folderType);
}
