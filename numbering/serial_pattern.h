// Reading a serial number back by a rule: the pattern its segments write,
// and the parts of a serial number that fits it.
#ifndef QUILLET_NUMBERING_SERIAL_PATTERN_H_
#define QUILLET_NUMBERING_SERIAL_PATTERN_H_

#include <optional>
#include <string>

#include "quillet/rule.h"
#include "quillet/verification.h"

namespace quillet::numbering {

// The parts of `serial` when the rule could have written it, check
// characters aside (their rightness is in the fit); nullopt when it could
// not. Fixed text must match exactly (letters in either case), a date
// pattern's fields are digits, the running number has exactly its digits,
// and a value of the line takes its width in characters (a mapped code, as
// it is not padded, one to width). The journal fields are left empty. Pure.
std::optional<SerialFit> FitSerial(const Rule& rule, const std::string& serial);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_SERIAL_PATTERN_H_
