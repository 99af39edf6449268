#ifndef TAXLINK_APP_FRONTENDMODULE_H_
#define TAXLINK_APP_FRONTENDMODULE_H_

#include <memory>
#include <string>

#include "platform/dialog/UserInterface.h"

namespace taxlink {

// An interactive front end built as a module (platform/dialog/FrontEndModule.h)
// that lies beside the program's own executable: loaded only when that front
// end is chosen, so that a scripted run, or one without a front end, loads
// neither Qt nor curses. The module stays loaded until the process ends.
class FrontEndModule {
 public:
  // name as TAXLINK_UI spells it; fileName in the program's folder.
  FrontEndModule(std::string name, std::string fileName);
  FrontEndModule(const FrontEndModule&) = delete;
  FrontEndModule& operator=(const FrontEndModule&) = delete;

  // The front end (a UiFactory's answer): null, with one line on standard
  // error, when the module cannot be loaded or the front end cannot start.
  std::unique_ptr<platform::UserInterface> Make();
  // Lets a loaded front end give back what it holds; nothing otherwise.
  void Release();

  // The file the module is loaded from: beside /proc/self/exe.
  std::string Path() const;

 private:
  bool Load();

  std::string name_;
  std::string fileName_;
  bool tried_ = false;
  void* handle_ = nullptr;
  platform::UserInterface* (*make_)() = nullptr;
  void (*release_)() = nullptr;
};

}  // namespace taxlink

#endif  // TAXLINK_APP_FRONTENDMODULE_H_
