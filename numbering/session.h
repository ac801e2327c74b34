// What a Numbering object holds: its connection to the database, the
// language objects of its locale, and the options it was opened with; and
// the one place where what the engine raises becomes a Failure.
#ifndef QUILLET_NUMBERING_SESSION_H_
#define QUILLET_NUMBERING_SESSION_H_

#include <exception>
#include <string>

#include "core/mod_language.h"
#include "generation/reader.h"
#include "quillet/failure.h"
#include "quillet/numbering.h"
#include "store/connection.h"

namespace quillet::numbering {

class Session {
 public:
  // Opens the database and checks that Quillet can work with it: a SQLite
  // file that exists, the tables every operation reads, and data sources
  // described in the locale when any are described. Raises Failure.
  Session(const std::string& connection_string, const Numbering::Options& options);

  store::Connection& db() { return reader_.connection(); }
  generation::Reader& reader() { return reader_; }
  const Numbering::Options& options() const { return options_; }
  const std::string& connection_string() const { return connection_string_; }
  const modLanguage::Language& language() const { return language_; }

 private:
  std::string connection_string_;
  Numbering::Options options_;
  modLanguage::Language language_;
  generation::Reader reader_;
};

// The Failure that stands for the exception `raised`: a Failure as it is; a
// database's error as kUnavailable or kDatabase with its SQLSTATE or SQLite
// code; a segment word the notation refuses, a width out of range or a text
// that is not UTF-8 as kInvalidRequest; a rule name shared by owners as
// kConflict; any other Error of the engine as kDatabase (the stored data is
// not what it can use). Anything else is rethrown unchanged.
Failure FailureOf(std::exception_ptr raised);

// Runs `action` in the session's language; what it raises, as FailureOf.
template <typename Action>
auto Within(Session& session, Action&& action) -> decltype(action()) {
  const modLanguage::LanguageScope language(session.language());
  try {
    return action();
  } catch (...) {
    throw FailureOf(std::current_exception());
  }
}

// Raises Failure kNotFound when `connection_string` names a SQLite file that
// does not exist: a reader is never meant to create one, and a mistyped path
// would answer with empty tables.
void RequireSqliteFile(const std::string& connection_string);

// A failure of the request itself (kInvalidRequest, errc::kBadRequest).
[[noreturn]] void RaiseBadRequest(const std::string& message);
// Something the request names that is not there (kNotFound).
[[noreturn]] void RaiseNotFound(const std::string& message, int32_t number = errc::kNotFound);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_SESSION_H_
