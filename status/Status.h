#ifndef TAXLINK_STATUS_STATUS_H_
#define TAXLINK_STATUS_STATUS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace taxlink {

// The result of an operation: ok, or a code with a message and the place it
// came from (the host call, or the step of the program, that failed). An ok
// status holds nothing and costs a null pointer, so it can be returned on
// every journal line.
class Status {
 public:
  enum class Code : uint8_t {
    kOk = 0,
    kEndOfData,   // a host walk reached its end (not a failure of the walk)
    kHostError,   // a host call failed; hostCode() is the host's code
    kNotCreated,  // a host object could not be created (the program's -1001)
    kMissing,     // something the host should provide is not there
    kAbandoned,   // the user gave up after a failure
    kIOError,     // a file could not be created or written
  };

  // The program's own code for a host object that could not be created.
  static constexpr int32_t kNotCreatedCode = -1001;

  Status() noexcept = default;
  Status(const Status& other);
  Status& operator=(const Status& other);
  Status(Status&&) noexcept = default;
  Status& operator=(Status&&) noexcept = default;
  ~Status() = default;

  static Status OK() { return Status(); }
  // hostCode: the host's end-of-data code, handed on as it came.
  static Status EndOfData(int32_t hostCode, const char* where) {
    return Status(Code::kEndOfData, hostCode, {}, where);
  }
  static Status HostError(int32_t hostCode, const char* where) {
    return Status(Code::kHostError, hostCode, {}, where);
  }
  static Status NotCreated(const char* where) {
    return Status(Code::kNotCreated, kNotCreatedCode, {}, where);
  }
  static Status Missing(std::string_view message, const char* where) {
    return Status(Code::kMissing, 0, message, where);
  }
  static Status Abandoned(std::string_view message, const char* where) {
    return Status(Code::kAbandoned, 0, message, where);
  }
  static Status IOError(std::string_view message, const char* where) {
    return Status(Code::kIOError, 0, message, where);
  }

  bool ok() const { return rep_ == nullptr; }
  bool IsEndOfData() const { return code() == Code::kEndOfData; }
  Code code() const { return rep_ == nullptr ? Code::kOk : rep_->code; }
  // The code the host's message manager is given for this status: the
  // host's own code (the end of data included), -1001 for an object that
  // was not created, else 0.
  int32_t hostCode() const { return rep_ == nullptr ? 0 : rep_->hostCode; }
  std::string_view message() const;
  // The host call or program step the status came from ("" when ok).
  const char* where() const { return rep_ == nullptr ? "" : rep_->where; }
  // "ok", or e.g. "host error -5 in ClRuleShiwake::MoveNext".
  std::string ToString() const;

 private:
  struct Rep {
    Code code;
    int32_t hostCode;
    std::string message;
    const char* where;  // a string literal: the name of a call or a step
  };

  Status(Code code, int32_t hostCode, std::string_view message, const char* where);

  std::unique_ptr<Rep> rep_;
};

}  // namespace taxlink

#endif  // TAXLINK_STATUS_STATUS_H_
