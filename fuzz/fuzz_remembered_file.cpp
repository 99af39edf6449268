// The remembered-path file: whatever it holds, reading it is without fault;
// a record that a save accepts reads back unchanged, and the record another
// user had keeps reading the same.
//
// Input: FILE \0 USER \0 PATH \0 NUMBERS (method, start and end month from
// the first eight bytes).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "conditions/RememberedPathFile.h"
#include "fuzz/FuzzSupport.h"

namespace {

constexpr char kFileName[] = "TaxLinkAlto.env";

bool Same(const taxlink::RememberedRecord& a, const taxlink::RememberedRecord& b) {
  return a.method == b.method && a.startMonth == b.startMonth && a.endMonth == b.endMonth &&
         a.path == b.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> parts = fuzz::SplitAtNul(fuzz::AsText(data, size), 4);
  fuzz::WriteWorkFile(kFileName, parts[0]);
  taxlink::RememberedPathFile file("C:\\", kFileName);

  // Another user's record: the key of the file's first line.
  std::string other = parts[0].substr(0, parts[0].find(':') + 1);
  taxlink::RememberedRecord otherBefore;
  bool otherFound = !other.empty() && file.Read(other, &otherBefore);

  std::string key;
  if (!taxlink::RememberedPathFile::FormatKey(parts[1], 3, 1, &key)) return 0;
  taxlink::RememberedRecord before;
  file.Read(key, &before);

  taxlink::RememberedRecord record;
  char numbers[8] = {};
  std::memcpy(numbers, parts[3].data(), parts[3].size() < 8 ? parts[3].size() : 8);
  std::memcpy(&record.method, numbers, 4);
  std::memcpy(&record.startMonth, numbers + 4, 2);
  std::memcpy(&record.endMonth, numbers + 6, 2);
  record.path = parts[2];
  if (!file.Save(key, record)) return 0;

  taxlink::RememberedRecord after;
  if (!file.Read(key, &after) || !Same(after, record)) {
    fuzz::Broken("a saved record reads back as another: " + after.path);
  }
  taxlink::RememberedRecord otherAfter;
  if (otherFound && other != key &&
      (!file.Read(other, &otherAfter) || !Same(otherAfter, otherBefore))) {
    fuzz::Broken("saving one record changed the record of " + other);
  }
  return 0;
}
