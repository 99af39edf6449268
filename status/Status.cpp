#include "status/Status.h"

namespace taxlink {

Status::Status(Code code, int32_t hostCode, std::string_view message, const char* where)
    : rep_(std::make_unique<Rep>(
          Rep{code, hostCode, std::string(message), where != nullptr ? where : ""})) {}

Status::Status(const Status& other)
    : rep_(other.rep_ == nullptr ? nullptr : std::make_unique<Rep>(*other.rep_)) {}

Status& Status::operator=(const Status& other) {
  if (this != &other) {
    rep_ = other.rep_ == nullptr ? nullptr : std::make_unique<Rep>(*other.rep_);
  }
  return *this;
}

std::string_view Status::message() const {
  return rep_ == nullptr ? std::string_view() : std::string_view(rep_->message);
}

std::string Status::ToString() const {
  if (rep_ == nullptr) return "ok";
  std::string text;
  switch (rep_->code) {
    case Code::kOk:
      return "ok";
    case Code::kEndOfData:
      text = "end of data";
      break;
    case Code::kHostError:
      text = "host error " + std::to_string(rep_->hostCode);
      break;
    case Code::kNotCreated:
      text = "host object not created (" + std::to_string(rep_->hostCode) + ")";
      break;
    case Code::kMissing:
      text = "missing";
      break;
    case Code::kAbandoned:
      text = "abandoned";
      break;
    case Code::kIOError:
      text = "file error";
      break;
  }
  if (!rep_->message.empty()) text += ": " + rep_->message;
  if (rep_->where[0] != '\0') text += std::string(" in ") + rep_->where;
  return text;
}

}  // namespace taxlink
