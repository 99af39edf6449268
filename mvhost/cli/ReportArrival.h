#ifndef TAXLINK_MVHOST_CLI_REPORTARRIVAL_H_
#define TAXLINK_MVHOST_CLI_REPORTARRIVAL_H_

#include <string>

namespace mvhost {

// Tells when a file is renamed into place under a given name, the way the
// program puts its finished report there (written whole and flushed under a
// temporary name first): a batch starts on the sheet then, while the
// program still records and ends.
class ReportArrival {
 public:
  ReportArrival() = default;
  ~ReportArrival();
  ReportArrival(const ReportArrival&) = delete;
  ReportArrival& operator=(const ReportArrival&) = delete;

  // Watches for `path` (POSIX) to be renamed into place; false, with fd()
  // -1, when the folder cannot be watched.
  bool Watch(const std::string& path);

  // Readable when something was renamed into the folder.
  int fd() const { return fd_; }

  // Reads what came without waiting; true once the file has arrived since
  // Watch.
  bool Arrived();

 private:
  int fd_ = -1;
  std::string name_;
  bool arrived_ = false;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_REPORTARRIVAL_H_
