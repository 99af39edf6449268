#ifndef TAXLINK_REPORT_FORMTOPICS_H_
#define TAXLINK_REPORT_FORMTOPICS_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace taxlink {

// The form groups of the DATA section as data: one table per topic, each
// written once per rate (8, 5, 3 %) by the journal-mode and the saved-return
// writers alike.

// Rate indexes of the groups, in file order.
constexpr int kRateGroups = 3;  // 0: 8 %, 1: 5 %, 2: 3 %

// Which rates have an element (bit per rate index).
constexpr uint8_t kRate8 = 1 << 0;
constexpr uint8_t kRate5 = 1 << 1;
constexpr uint8_t kRate3 = 1 << 2;
constexpr uint8_t kAllRates = kRate8 | kRate5 | kRate3;

// Where an element's value comes from in journal-aggregation mode.
enum class JournalSource : uint8_t {
  kEmpty,         // always written empty
  kRateFigure,    // the figure at `figure` of the group's rate row
  kBusinessType,  // the figure at `figure` of the record of `businessType`,
                  // also added into accumulator `slot`
  kUnclassified,  // the rate row's figure at `figure` minus accumulator `slot`
};

// Saved-return offsets of an element, per rate index; 0 means the element
// is written empty in saved-return mode.
struct SavedOffsets {
  uint16_t at[kRateGroups] = {0, 0, 0};
  bool times20 = false;          // the saved amount is multiplied by 20
  const char* member = nullptr;  // the StSaveTaxInfo member without its rate digit
};

struct FormElement {
  const char* stem;  // element name without the rate digit
  uint8_t rates;
  JournalSource journal;
  uint16_t figure;         // byte offset in StTAXREPORTRATEINFO or
                           // StTAXREPORTBUSINESSTYPEINFO
  const char* figureName;  // the member at that offset
  uint8_t businessType;    // 1..6 for kBusinessType
  uint8_t slot;            // accumulator: 0 excluding tax, 1 tax, 2 including
  SavedOffsets saved;

  bool HasRate(int rateIndex) const { return (rates >> rateIndex) & 1; }
};

// Which filing classes carry saved values in a group.
enum class SavedFlag : uint8_t {
  kStandardOnly,  // values only under standard taxation (filing class 2)
  kNotStandard,   // values only when the filing class is not 2
};

struct FormTopic {
  const char* codeStem;  // form code without its rate digit ("D02011")
  SavedFlag savedFlag;
  bool businessTypeGroup;  // resets the accumulators when it opens
  std::span<const FormElement> elements;
};

// The seven topics in file order.
std::span<const FormTopic> FormTopics();

// "D02011" + rate index digit.
std::string FormCode(const FormTopic& topic, int rateIndex);
// Stem + "8", "5" or "3".
std::string ElementName(const FormElement& element, int rateIndex);
// ElementName into name, reusing its room (a group's elements are written
// with one string, not one allocation each).
void AssignElementName(std::string* name, const FormElement& element, int rateIndex);

}  // namespace taxlink

#endif  // TAXLINK_REPORT_FORMTOPICS_H_
