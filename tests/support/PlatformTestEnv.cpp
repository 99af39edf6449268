#include "tests/support/PlatformTestEnv.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace taxlink_test {

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
  if (const char* old = std::getenv(name_.c_str())) previous_ = old;
  if (value) {
    setenv(name_.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

ScopedEnv::~ScopedEnv() {
  if (previous_) {
    setenv(name_.c_str(), previous_->c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

ScopedTempDir::ScopedTempDir() {
  char pattern[] = "/tmp/taxlink-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string ScopedTempDir::WriteFile(const std::string& relativePath,
                                     const std::string& content) const {
  std::filesystem::path full = std::filesystem::path(path_) / relativePath;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary);
  out << content;
  return full.string();
}

ScopedCwd::ScopedCwd(const std::string& posixPath) {
  previous_ = std::filesystem::current_path().string();
  std::filesystem::current_path(posixPath);
}

ScopedCwd::~ScopedCwd() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

}  // namespace taxlink_test
