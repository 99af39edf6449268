#ifndef TAXLINK_HOST_CLFILEMGR_H_
#define TAXLINK_HOST_CLFILEMGR_H_

// The host's folder layout.
class ClFileMgr {
 public:
  class Impl {
   public:
    virtual ~Impl() = default;
    virtual const char* GetAppFolderPath(int folderType) = 0;
  };

  static ClFileMgr* Inst();

  // Windows path (Shift_JIS) of one of the host's application folders, ending
  // in a backslash, or an empty text. Type 0: default output folder; type 1:
  // the folder of the program's remembered-path file. The text stays valid
  // until the next call.
  const char* GetAppFolderPath(int folderType);

 private:
  ClFileMgr() = default;
};

#endif  // TAXLINK_HOST_CLFILEMGR_H_
