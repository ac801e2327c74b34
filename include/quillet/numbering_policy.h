// Numbering policies: what a rule may ask of its running number besides the
// plain count the header keeps. Every policy is off unless a rule sets it.
#ifndef QUILLET_NUMBERING_POLICY_H_
#define QUILLET_NUMBERING_POLICY_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "quillet/export.h"

namespace quillet {

// When the running number starts again from the rule's start number:
// never (the header's own number), per year, month or day of the document
// date, or per distinct text before and after the running number.
enum class Restart { kNever, kYear, kMonth, kDay, kPrefix };

// How the check characters appended to each serial number are computed:
// mod10 and luhn append one digit, mod97 two (see core/check_character.h).
enum class CheckMethod { kMod10, kLuhn, kMod97 };

struct NumberingPolicy {
  Restart restart = Restart::kNever;
  std::optional<int32_t> end{};        // the last running number that may be issued
  std::optional<int32_t> warn{};       // from this running number on, issues carry a warning
  bool journal = false;                // issues with saving are recorded
  bool unique = false;                 // a serial number the journal holds is not issued again
  std::optional<CheckMethod> check{};  // check characters appended to every serial number

  // Whether every policy is off: the rule numbers as one without policies.
  bool IsDefault() const {
    return restart == Restart::kNever && !end && !warn && !journal && !unique && !check;
  }
  // Refusing repeats needs the record of what was issued.
  bool Journals() const { return journal || unique; }

  friend bool operator==(const NumberingPolicy&, const NumberingPolicy&) = default;
};

// "never", "year", "month", "day", "prefix". Pure.
QUILLET_EXPORT std::string_view RestartWord(Restart restart);

// The restart of a word, in any case; nullopt for another word. Pure.
QUILLET_EXPORT std::optional<Restart> RestartOf(std::string_view word);

// The words a restart may be written as, for messages: "never, year, month,
// day, prefix".
QUILLET_EXPORT std::string_view RestartWords();

// "mod10", "luhn", "mod97". Pure.
QUILLET_EXPORT std::string_view CheckMethodWord(CheckMethod method);

// The method of a word, in any case; nullopt for another word. Pure.
QUILLET_EXPORT std::optional<CheckMethod> CheckMethodOf(std::string_view word);

// The words a method may be written as, for messages: "mod10, luhn, mod97".
QUILLET_EXPORT std::string_view CheckMethodWords();

// "yes" / "no" in any case; nullopt for another word. Pure.
QUILLET_EXPORT std::optional<bool> YesNoOf(std::string_view word);

}  // namespace quillet

#endif  // QUILLET_NUMBERING_POLICY_H_
