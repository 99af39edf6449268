#include "app/FrontEndModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace taxlink {

namespace {

// The folder of the running executable (never argv, which the host sets).
std::string ExecutableFolder() {
  std::string path(4096, '\0');
  ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<size_t>(length) >= path.size()) return ".";
  path.resize(static_cast<size_t>(length));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

FrontEndModule::FrontEndModule(std::string name, std::string fileName)
    : name_(std::move(name)), fileName_(std::move(fileName)) {}

std::string FrontEndModule::Path() const {
  std::string folder = ExecutableFolder();
  return folder + (folder.back() == '/' ? "" : "/") + fileName_;
}

bool FrontEndModule::Load() {
  if (tried_) return make_ != nullptr;
  tried_ = true;
  // Every symbol is bound now, so that a module that does not fit this
  // program fails here with the reason instead of in the middle of a dialog.
  handle_ = ::dlopen(Path().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ != nullptr) {
    make_ =
        reinterpret_cast<platform::UserInterface* (*)()>(::dlsym(handle_, "TaxLinkFrontEndMake"));
    release_ = reinterpret_cast<void (*)()>(::dlsym(handle_, "TaxLinkFrontEndRelease"));
  }
  if (make_ == nullptr || release_ == nullptr) {
    const char* why = ::dlerror();
    std::fprintf(stderr, "taxlink: the %s front end cannot be loaded: %s\n", name_.c_str(),
                 why != nullptr ? why : "no reason given");
    make_ = nullptr;
    release_ = nullptr;
    return false;
  }
  return true;
}

std::unique_ptr<platform::UserInterface> FrontEndModule::Make() {
  if (!Load()) return nullptr;
  return std::unique_ptr<platform::UserInterface>(make_());
}

void FrontEndModule::Release() {
  if (release_ != nullptr) release_();
}

}  // namespace taxlink
