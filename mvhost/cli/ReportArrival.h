#ifndef TAXLINK_MVHOST_CLI_REPORTARRIVAL_H_
#define TAXLINK_MVHOST_CLI_REPORTARRIVAL_H_

#include <string>

namespace mvhost {

// Tells when a file is renamed into place under a given name, the way the
// program puts its finished report there (written whole and flushed under a
// temporary name first): a batch starts on the sheet then, while the
// program still records and ends. One serves a worker's clients one after
// another: closing it waits for the kernel's grace period (milliseconds),
// which the worker's exit pays instead of each client.
class ReportArrival {
 public:
  ReportArrival() = default;
  ~ReportArrival();
  ReportArrival(const ReportArrival&) = delete;
  ReportArrival& operator=(const ReportArrival&) = delete;

  // Watches for `path` (POSIX) to be renamed into place, forgetting what
  // came before; false when its folder cannot be watched.
  bool Watch(const std::string& path);

  // Readable when something was renamed into the folder.
  int fd() const { return fd_; }

  // Reads what came without waiting; true once the file has arrived since
  // Watch.
  bool Arrived();

 private:
  // Reads what came; with `forget`, only to drop it.
  void Read(bool forget);

  int fd_ = -1;
  int watch_ = -1;
  std::string folder_;
  std::string name_;
  bool arrived_ = false;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_REPORTARRIVAL_H_
