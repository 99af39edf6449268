#ifndef TAXLINK_MVHOST_CHECKPART_H_
#define TAXLINK_MVHOST_CHECKPART_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mvhost/lib/CheckFinding.h"

namespace mvhost {

// What the bookkeeping check found in the lines of one chunk of a stored
// data set over a range of months, kept so that a later check reads the
// chunks that changed and takes this for the others. Places are counted
// from the chunk's first line (1 is its first line); the check adds the
// lines of the chunks before it. The rules across lines keep their part:
// the chunk's journals at its edges and the unbalanced ones between them,
// its accounts without a refund line, its purchases of fixed assets.
struct CheckPart {
  // A journal's lines within the chunk, in the months.
  struct Journal {
    int32_t journal = 0;
    int64_t debit = 0;
    int64_t credit = 0;
    bool tooLarge = false;
    int64_t place = 0;  // its first line in the chunk
  };
  // An account of taxable purchases whose class feeds no refund line.
  struct Unfed {
    int32_t account = 0;  // the check's number for it
    int64_t place = 0;    // its first line in the chunk
    int32_t journal = 0;
    int64_t lines = 0;
    int64_t amount = 0;
  };
  // A purchase on a fixed-asset account.
  struct Purchase {
    int64_t place = 0;
    int32_t journal = 0;
    int32_t account = 0;
    int32_t date = 0;
    int64_t amount = 0;
    int64_t tax = 0;
    bool taxable = true;
  };

  int64_t chunk = 0;
  int64_t changes = 0;  // the chunk's count of changes when it was read
  int64_t lines = 0;    // every line of the chunk, in the months or not
  uint64_t sum = 0;     // the wrapping sum of its present sides' amounts and taxes
  // Every value of its lines in the months is below 2^40 in magnitude, so
  // that its sums added to others' give what one sum over all lines gives.
  bool modest = true;
  // Its journal numbers never decrease.
  bool ordered = true;
  std::array<int64_t, kCheckRuleCount> counts{};  // of the rules of a line alone
  // The first journal (which may go on from the chunk before) and the last
  // (which may go on in the next chunk) when it is not the first.
  std::vector<Journal> journals;
  // The unbalanced journals between them: how many, and the first of them
  // while the check had found few before.
  int64_t unbalancedCount = 0;
  std::vector<Journal> unbalanced;
  std::vector<Unfed> unfed;  // in the order of their first lines
  std::vector<Purchase> purchases;
  // The findings of the rules of a line alone with their texts, in line
  // order, when they are kept (`texts`): the parts of the chunks that hold
  // the first findings a check lists keep them.
  struct Finding {
    CheckRule rule = CheckRule::kTaxMismatch;
    int32_t journal = 0;
    int64_t place = 0;
    std::string what;
    std::string todo;
  };
  bool texts = false;
  std::vector<Finding> findings;

  int64_t LineFindings() const;
};

// The parts of every chunk of a data set over a range, in chunk order, and
// their stored form (false when the bytes are not one whole).
std::string EncodeCheckParts(const std::vector<CheckPart>& parts);
bool DecodeCheckParts(const std::string& bytes, std::vector<CheckPart>* parts);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CHECKPART_H_
