// What a serial number typed or scanned back is: whether its check
// characters are right, which rules' patterns it fits, and whether the
// journal of such a rule holds it.
#ifndef QUILLET_VERIFICATION_H_
#define QUILLET_VERIFICATION_H_

#include <optional>
#include <string>
#include <vector>

#include "quillet/numbering_policy.h"
#include "quillet/owner.h"

namespace quillet {

// The parts of a serial number as one rule's pattern reads them.
struct SerialFit {
  RuleOwner owner{};
  std::string rule{};    // the rule's name
  std::string prefix{};  // the text before the running number (all of it without one)
  // The text of the date segment and its pattern ("2405", "YYMM"), when the
  // rule has one.
  std::string date_part{};
  std::string date_pattern{};
  std::string running_number{};  // its digits as written; "" without one
  int32_t digits = 0;            // the running number's width
  std::string suffix{};          // the text after it, before the check characters
  // The rule's check method and whether the serial's check characters are
  // right by it; none for a rule without check characters.
  std::optional<CheckMethod> check{};
  bool check_right = true;
  // Whether the rule records what it issues, and, when it does, the record
  // of this serial number (none: it was never issued).
  bool journaled = false;
  struct Issue {
    std::string issued{};  // UTC, "YYYY-MM-DDTHH:MM:SS.mmmZ"
    std::string item{};
    std::string document_date{};
    std::string user{};
  };
  std::optional<Issue> issue{};

  // Right check characters, and issued when the rule keeps a journal.
  bool Good() const { return check_right && (!journaled || issue.has_value()); }
};

struct SerialVerdict {
  std::string serial_number{};
  std::vector<SerialFit> fits{};  // every rule whose pattern it fits, in the order of Rules()
  // Whether some rule's pattern fits it and is Good() for it.
  bool Good() const {
    for (const SerialFit& fit : fits) {
      if (fit.Good()) return true;
    }
    return false;
  }
};

}  // namespace quillet

#endif  // QUILLET_VERIFICATION_H_
