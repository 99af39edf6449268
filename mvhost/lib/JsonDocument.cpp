#include "mvhost/lib/JsonDocument.h"

#include <cstddef>
#include <iterator>
#include <map>
#include <vector>

#include "mvhost/lib/ImportText.h"

namespace mvhost {

namespace {

using Json = nlohmann::ordered_json;

// An iterator over the text that notes where the parser read last, so that
// the parser's callback can tell where the key it reports ends.
class NotingIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  NotingIterator(const char* at, const char** lastRead) : at_(at), lastRead_(lastRead) {}
  reference operator*() const {
    *lastRead_ = at_;
    return *at_;
  }
  NotingIterator& operator++() {
    ++at_;
    return *this;
  }
  NotingIterator operator++(int) {
    NotingIterator before = *this;
    ++at_;
    return before;
  }
  bool operator==(const NotingIterator& other) const { return at_ == other.at_; }
  bool operator!=(const NotingIterator& other) const { return at_ != other.at_; }

 private:
  const char* at_;
  const char** lastRead_;
};

// The offset of the quote that opens the string whose closing quote is at
// close (a quote after an odd run of backslashes is part of the text).
size_t OpeningQuote(const std::string& text, size_t close) {
  for (size_t at = close; at > 0;) {
    --at;
    if (text[at] != '"') continue;
    size_t backslashes = 0;
    while (backslashes < at && text[at - 1 - backslashes] == '\\') ++backslashes;
    if (backslashes % 2 == 0) return at;
  }
  return 0;
}

}  // namespace

bool ParseJsonDocument(const std::string& text, const std::string& fileName, Json* document,
                       std::string* error) {
  const char* lastRead = text.data();
  // The keys of each object being read, with the offset each began at.
  std::vector<std::map<std::string, size_t>> objects;
  std::string duplicate;
  auto callback = [&](int /*depth*/, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::object_start) {
      objects.emplace_back();
    } else if (event == Json::parse_event_t::object_end) {
      if (!objects.empty()) objects.pop_back();
    } else if (event == Json::parse_event_t::key && !objects.empty() && duplicate.empty()) {
      // The parser has just read the key's closing quote.
      const size_t at = OpeningQuote(text, static_cast<size_t>(lastRead - text.data()));
      const std::string key = parsed.get<std::string>();
      auto [first, added] = objects.back().emplace(key, at);
      if (!added) {
        duplicate = fileName + ":" + LineColumnOf(text, at) + ": duplicate key \"" + key +
                    "\" (first at " + LineColumnOf(text, first->second) + ")";
      }
    }
    return true;
  };
  try {
    *document = Json::parse(NotingIterator(text.data(), &lastRead),
                            NotingIterator(text.data() + text.size(), &lastRead), callback);
  } catch (const Json::parse_error& e) {
    // The parser's byte count is one past the offending byte; its text
    // repeats the position in its own words before ": ".
    std::string reason = e.what();
    size_t cut = reason.find(": ");
    reason = cut == std::string::npos ? "syntax error" : reason.substr(cut + 2);
    *error = fileName + ":" + LineColumnOf(text, e.byte > 0 ? e.byte - 1 : 0) +
             ": not valid JSON: " + reason;
    return false;
  } catch (const Json::out_of_range&) {
    // A number past the range of a double ("1e400"); it ended the import
    // with an uncaught exception (found by fuzzing).
    *error = fileName + ": not valid JSON (a number out of range)";
    return false;
  }
  if (!duplicate.empty()) {
    *error = duplicate;
    return false;
  }
  return true;
}

}  // namespace mvhost
