#include "mvhost/lib/JsonReader.h"

#include <cmath>
#include <limits>

#include "mvhost/lib/DataValues.h"

namespace mvhost {

namespace {

// A short rendering of a value for messages.
std::string Shown(const JsonReader::Json& value) {
  std::string text = value.dump(-1, ' ', false, JsonReader::Json::error_handler_t::replace);
  if (text.size() > 40) text = text.substr(0, 37) + "...";
  return text;
}

// A whole number that 64 bits cannot hold: the parser gives it as a
// floating-point value, but it is no fraction.
bool IsWholeBeyond64Bits(const JsonReader::Json& value) {
  if (!value.is_number_float()) return false;
  const double v = value.get<double>();
  return std::isfinite(v) && std::floor(v) == v && std::fabs(v) >= 9.2e18;
}

}  // namespace

bool JsonReader::Fail(const std::string& path, const std::string& message) {
  if (error_.empty()) error_ = fileName_ + ": " + (path.empty() ? "(top)" : path) + ": " + message;
  return false;
}

bool JsonReader::FailWith(const std::string& message) {
  if (error_.empty()) error_ = message;
  return false;
}

std::string JsonReader::Join(const std::string& path, const std::string& key) {
  return path.empty() ? key : path + "." + key;
}

std::string JsonReader::Index(const std::string& path, size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

bool JsonReader::Object(const Json& value, const std::string& path,
                        std::initializer_list<const char*> allowed) {
  if (!value.is_object()) return Fail(path, "not an object");
  for (auto it = value.begin(); it != value.end(); ++it) {
    bool known = false;
    for (const char* name : allowed) known = known || it.key() == name;
    if (!known) return Fail(Join(path, it.key()), "unknown field");
  }
  return true;
}

bool JsonReader::Array(const Json& object, const char* key, const std::string& path, bool required,
                       bool* present) {
  *present = false;
  auto it = object.find(key);
  if (it == object.end()) return required ? Fail(Join(path, key), "missing") : true;
  if (!it->is_array()) return Fail(Join(path, key), "not an array");
  *present = true;
  return true;
}

bool JsonReader::Int(const Json& object, const char* key, const std::string& path, int64_t min,
                     int64_t max, bool required, int32_t* out) {
  auto it = object.find(key);
  std::string where = Join(path, key);
  if (it == object.end()) return required ? Fail(where, "missing") : true;
  const std::string range = "out of range " + std::to_string(min) + ".." + std::to_string(max);
  if (IsWholeBeyond64Bits(*it)) return Fail(where, range + ": " + Shown(*it));
  if (!it->is_number_integer()) return Fail(where, "not an integer: " + Shown(*it));
  int64_t value = 0;
  if (it->is_number_unsigned()) {
    uint64_t u = it->get<uint64_t>();
    if (u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      return Fail(where, range + ": " + Shown(*it));
    }
    value = static_cast<int64_t>(u);
  } else {
    value = it->get<int64_t>();
  }
  if (value < min || value > max) return Fail(where, range + ": " + std::to_string(value));
  *out = static_cast<int32_t>(value);
  return true;
}

bool JsonReader::Bool(const Json& object, const char* key, const std::string& path, bool* out) {
  auto it = object.find(key);
  if (it == object.end()) return true;
  if (!it->is_boolean()) return Fail(Join(path, key), "not true or false: " + Shown(*it));
  *out = it->get<bool>();
  return true;
}

bool JsonReader::Text(const Json& object, const char* key, const std::string& path, bool required,
                      bool nonEmpty, std::string* out) {
  auto it = object.find(key);
  std::string where = Join(path, key);
  if (it == object.end()) return required ? Fail(where, "missing") : true;
  if (!it->is_string()) return Fail(where, "not a text: " + Shown(*it));
  std::string value = it->get<std::string>();
  if (nonEmpty && value.empty()) return Fail(where, "empty");
  *out = value;
  return true;
}

bool JsonReader::Date(const Json& object, const char* key, const std::string& path, bool required,
                      int32_t* out) {
  auto it = object.find(key);
  std::string where = Join(path, key);
  if (it == object.end()) return required ? Fail(where, "missing") : true;
  int32_t date = 0;
  if (!it->is_string() || !ParseDateText(it->get<std::string>(), &date)) {
    return Fail(where, "not a date (YYYY-MM-DD): " + Shown(*it));
  }
  *out = date;
  return true;
}

bool JsonReader::DateOrNull(const Json& object, const char* key, const std::string& path,
                            int32_t* out) {
  auto it = object.find(key);
  if (it != object.end() && it->is_null()) {
    *out = 0;
    return true;
  }
  return Date(object, key, path, false, out);
}

bool JsonReader::Amount(const Json& value, const std::string& path, int64_t* out) {
  int64_t raw = 0;
  // Amounts run from -922337203685477.5807 to 922337203685477.5807 yen (64
  // bits of ten-thousandths, the same range either way).
  const std::string tooLarge = "amount too large: " + Shown(value);
  const std::string tooSmall = "amount too small: " + Shown(value);
  if (IsWholeBeyond64Bits(value)) return Fail(path, value.get<double>() > 0 ? tooLarge : tooSmall);
  if (value.is_number_integer() && !value.is_number_unsigned()) {
    const int64_t yen = value.get<int64_t>();
    if (!YenToRaw(yen, &raw)) return Fail(path, yen > 0 ? tooLarge : tooSmall);
  } else if (value.is_number_unsigned()) {
    uint64_t yen = value.get<uint64_t>();
    if (yen > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ||
        !YenToRaw(static_cast<int64_t>(yen), &raw)) {
      return Fail(path, tooLarge);
    }
  } else if (value.is_string()) {
    AmountTextProblem problem = AmountTextProblem::kNone;
    if (!ParseAmountText(value.get<std::string>(), &raw, &problem)) {
      if (problem == AmountTextProblem::kTooLarge) return Fail(path, tooLarge);
      if (problem == AmountTextProblem::kTooSmall) return Fail(path, tooSmall);
      return Fail(path, "amount not an integer or a decimal text with up to 4 fraction digits: " +
                            Shown(value));
    }
  } else {
    return Fail(path, "amount not an integer (write fractions of a yen as text): " + Shown(value));
  }
  *out = raw;
  return true;
}

bool JsonReader::AmountField(const Json& object, const char* key, const std::string& path,
                             bool required, int64_t* out) {
  auto it = object.find(key);
  if (it == object.end()) return required ? Fail(Join(path, key), "missing") : true;
  return Amount(*it, Join(path, key), out);
}

bool JsonReader::ClassCode(const Json& value, const std::string& path, uint32_t* out) {
  if (value.is_number_unsigned() && value.get<uint64_t>() <= 0xFFFFFFFFULL) {
    *out = static_cast<uint32_t>(value.get<uint64_t>());
    return true;
  }
  if (value.is_string() && ParseClassCodeText(value.get<std::string>(), out)) return true;
  return Fail(path, "not an account class code: " + Shown(value));
}

}  // namespace mvhost
