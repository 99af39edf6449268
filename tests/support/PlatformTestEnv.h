#ifndef TAXLINK_TESTS_SUPPORT_PLATFORMTESTENV_H_
#define TAXLINK_TESTS_SUPPORT_PLATFORMTESTENV_H_

#include <optional>
#include <string>

namespace taxlink_test {

// Sets (or with nullopt removes) an environment variable for the life of
// the object.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// A fresh folder under /tmp, removed with everything in it at the end.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::string& Path() const { return path_; }  // POSIX, no trailing slash
  // Creates a file (and its folders) below the folder; returns its path.
  std::string WriteFile(const std::string& relativePath, const std::string& content) const;

 private:
  std::string path_;
};

// Changes the process's working directory for the life of the object.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::string& posixPath);
  ~ScopedCwd();
  ScopedCwd(const ScopedCwd&) = delete;
  ScopedCwd& operator=(const ScopedCwd&) = delete;

 private:
  std::string previous_;
};

}  // namespace taxlink_test

#endif  // TAXLINK_TESTS_SUPPORT_PLATFORMTESTENV_H_
