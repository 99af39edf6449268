#ifndef TAXLINK_TESTS_HOSTS_FAULTTABLE_H_
#define TAXLINK_TESTS_HOSTS_FAULTTABLE_H_

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/hosts/FaultPoint.h"

namespace hosts {

// The code "fail" stands for.
constexpr int32_t kFaultFail = -1;

// The faults to inject. Entries come from the variable MVHOST_FAULTS and
// from the file $MVHOST_HOME/faults, separated by commas, semicolons or
// line breaks ("#" starts a comment in the file):
//   ClSetShohizei::Get=7        the call returns 7 without doing anything
//   ClAccConnect::Initiate=fail the call returns -1
//   new ClRuleShiwake=fail      creating the object yields null
// The variable wins over the file for the same name. Both are read again
// when the variable or MVHOST_HOME changes; Reload rereads the file. Each
// new set of entries is said once on standard error. A setting with an
// entry that is not NAME=CODE, or a name no host call has, is refused as a
// whole, with a message that names the entries: none of its faults is
// injected (a misspelt fault would otherwise pass for a run that met it).
class FaultTable {
 public:
  // The process's table.
  static FaultTable& Instance();

  // The code the call is to return instead of working, or nothing. Every
  // call of the host passes here first, also when no fault is set.
  std::optional<int32_t> Find(FaultPoint point);
  void Reload();

  // Calls observer with each host call's point as the call starts (before
  // its fault is looked up); an empty function stops it.
  void Observe(std::function<void(FaultPoint)> observer) { observer_ = std::move(observer); }

  // Whether the last setting read was refused (its message was said).
  bool refused() const { return refused_; }

  // Parses entry text into names and codes. False when an entry is not
  // NAME=CODE (CODE an integer or "fail") or names no host call; problems
  // then says which (the good entries are still in entries).
  static bool Parse(std::string_view text, std::map<std::string, int32_t>* entries,
                    std::vector<std::string>* problems);
  // The line said for the faults injected ("" for none).
  static std::string Announcement(const std::map<std::string, int32_t>& entries);
  // The line said for a refused setting: its source and its problems.
  static std::string Refusal(const std::string& source, const std::vector<std::string>& problems);

 private:
  FaultTable() = default;
  void Refresh(bool force);

  bool loaded_ = false;
  std::string env_;
  std::string home_;
  std::string announced_;
  bool refused_ = false;
  std::array<std::optional<int32_t>, kFaultPointCount> codes_{};
  std::function<void(FaultPoint)> observer_;
};

}  // namespace hosts

#endif  // TAXLINK_TESTS_HOSTS_FAULTTABLE_H_
