#ifndef TAXLINK_MVHOST_FAULTINJECTION_H_
#define TAXLINK_MVHOST_FAULTINJECTION_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace mvhost {

// Makes named host calls fail on purpose. Entries come from the variable
// MVHOST_FAULTS and from the file $MVHOST_HOME/faults, separated by commas,
// semicolons or line breaks ("#" starts a comment in the file):
//   ClSetShohizei::Get=7        the call returns 7 without doing anything
//   ClAccConnect::Initiate=fail the call returns -1
//   new ClRuleShiwake=fail      creating the object yields null
// The variable wins over the file for the same name. Both are read again
// when the variable or MVHOST_HOME changes; Reload rereads the file.
class FaultInjection {
 public:
  // The code the call is to return instead of working, or nothing.
  static std::optional<int32_t> Find(std::string_view call);
  // True when creating an object of the class must fail ("new NAME").
  static bool CreationFails(std::string_view className);
  static void Reload();

  // Parses entry text into names and codes; false when an entry is malformed
  // (the well-formed ones are still taken).
  static bool Parse(std::string_view text, std::map<std::string, int32_t>* entries);
};

}  // namespace mvhost

// Returns the injected code from the calling host operation when one is set.
#define MVHOST_FAULT_POINT(call)                                       \
  do {                                                                 \
    if (auto fault_ = ::mvhost::FaultInjection::Find(call)) return *fault_; \
  } while (0)

#endif  // TAXLINK_MVHOST_FAULTINJECTION_H_
