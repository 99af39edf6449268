#ifndef TAXLINK_MVHOST_JSONREADER_H_
#define TAXLINK_MVHOST_JSONREADER_H_

#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

namespace mvhost {

// Typed reads of JSON fields that name the file, the path and the field in
// their refusals ("FILE: journals[3].date: not a date (YYYY-MM-DD): ...").
// Each read leaves its output untouched when the field is absent and not
// required; every failure records the first message and returns false.
class JsonReader {
 public:
  using Json = nlohmann::ordered_json;

  explicit JsonReader(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& fileName() const { return fileName_; }
  const std::string& error() const { return error_; }

  bool Fail(const std::string& path, const std::string& message);
  // Records a message that already names its place.
  bool FailWith(const std::string& message);

  static std::string Join(const std::string& path, const std::string& key);
  static std::string Index(const std::string& path, size_t index);

  // `value` must be an object whose keys are all in `allowed`.
  bool Object(const Json& value, const std::string& path,
              std::initializer_list<const char*> allowed);
  // `value[key]` must be an array (an absent optional key yields `present` false).
  bool Array(const Json& object, const char* key, const std::string& path, bool required,
             bool* present);

  bool Int(const Json& object, const char* key, const std::string& path, int64_t min, int64_t max,
           bool required, int32_t* out);
  bool Bool(const Json& object, const char* key, const std::string& path, bool* out);
  // A text; `nonEmpty` refuses "".
  bool Text(const Json& object, const char* key, const std::string& path, bool required,
            bool nonEmpty, std::string* out);
  bool Date(const Json& object, const char* key, const std::string& path, bool required,
            int32_t* out);
  // A date or null (0).
  bool DateOrNull(const Json& object, const char* key, const std::string& path, int32_t* out);
  // Whole yen (a JSON integer) or a decimal string, as a raw amount.
  bool Amount(const Json& value, const std::string& path, int64_t* out);
  bool AmountField(const Json& object, const char* key, const std::string& path, bool required,
                   int64_t* out);
  // "0x40884400" or a JSON integer.
  bool ClassCode(const Json& value, const std::string& path, uint32_t* out);

 private:
  std::string fileName_;
  std::string error_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JSONREADER_H_
