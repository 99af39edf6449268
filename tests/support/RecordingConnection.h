#ifndef TAXLINK_TESTS_SUPPORT_RECORDINGCONNECTION_H_
#define TAXLINK_TESTS_SUPPORT_RECORDINGCONNECTION_H_

#include <sqlite3.h>

#include <string>

#include "tests/support/HostFixture.h"

namespace taxlink::testing {

// A second connection to a fixture's store, as another run's, that records
// the text of every statement it runs; what the host keeps per connection
// is forgotten when it closes.
class RecordingConnection {
 public:
  explicit RecordingConnection(const HostFixture& host);
  ~RecordingConnection();
  RecordingConnection(const RecordingConnection&) = delete;
  RecordingConnection& operator=(const RecordingConnection&) = delete;

  sqlite3* db() const { return db_; }
  // Whether a statement run so far held `text`.
  bool Ran(const char* text) const { return statements_.find(text) != std::string::npos; }

 private:
  sqlite3* db_ = nullptr;
  std::string statements_;
};

}  // namespace taxlink::testing

#endif  // TAXLINK_TESTS_SUPPORT_RECORDINGCONNECTION_H_
