// Dispatch by name: calls a method of a clsQuillet object by its name with
// JSON arguments and answers JSON, as a late-bound caller of the object would.
// The command-line tool and the network service both go through this layer;
// docs/json-contract.md describes the JSON forms.
#ifndef QUILLET_DISPATCH_H_
#define QUILLET_DISPATCH_H_

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "quillet/error.h"
#include "quillet/export.h"
#include "quillet/json_text.h"
#include "quillet/login.h"
#include "quillet/quillet.h"
#include "quillet/variant.h"

namespace quillet {

// A request that cannot be made; raised before anything is called. Numbers:
// errc::kNoSuchMember for an unknown method, errc::kInvalidArgument for an
// unknown or repeated parameter and a malformed request or JSON text,
// errc::kTypeMismatch for an argument of the wrong JSON type,
// errc::kOverflow for a number outside its parameter's range,
// errc::kInvalidText for a text (a string or a member name, at any depth)
// that holds a NUL character or is not UTF-8.
class QUILLET_EXPORT UsageError : public Error {
 public:
  using Error::Error;
};

// The JSON form of a variant: {"type":"empty"}, null, a string, a number,
// true/false, {"type":"recordset","columns":[...],"rows":[[...]]} (field
// values null, strings or numbers; booleans as -1/0),
// {"type":"document","xml":"..."}, and {"type":"login"} for a login object.
// An empty object reference is null. Never throws.
QUILLET_EXPORT nlohmann::json EncodeVariant(const Variant& value);

// The variant of a JSON form (the forms of EncodeVariant except login). A
// whole number becomes a 16-bit integer when it fits, else a 32-bit integer
// when it fits, else a double; record set fields take 32-bit integers or
// doubles. A document text that does not load gives an empty document.
// Throws UsageError for any other JSON.
QUILLET_EXPORT Variant DecodeVariant(const nlohmann::json& value);

// A call whose method is resolved and whose arguments are decoded and
// checked, ready to run once.
class QUILLET_EXPORT PreparedCall {
 public:
  struct State;

  explicit PreparedCall(std::unique_ptr<State> state);
  PreparedCall(PreparedCall&&) noexcept;
  PreparedCall& operator=(PreparedCall&&) noexcept;
  ~PreparedCall();

  // The method's name as the public interface spells it.
  std::string_view method() const;

  // Runs the method on `object` and returns its response:
  //   {"result": ..., "out": {...}, "error": null}
  //   {"result": null, "out": {...}, "error": {"number": N, "description": T}}
  // "out" holds every in/out parameter after the call, also when the method
  // raised. An issuing method (getLineSNum, getSNumber, getSNbatch,
  // getSNrule) whose rule's warning number was reached adds
  // "warnings": [text, ...] (see clsQuillet::LastIssueNotes); one that
  // answered empty (the empty text, an empty document, a serial list with an
  // empty entry) adds "reason": the sentence of ExplainEmptyIssue
  // (quillet/diagnosis.h). Never throws for the method's failures.
  nlohmann::json Run(clsQuillet& object);

  // The response of this call when it could not run because `error` was
  // raised before it: the in/out parameters as decoded, and the error.
  nlohmann::json NotRun(const Error& error) const;

 private:
  std::unique_ptr<State> state_;
};

// Calls the methods of one clsQuillet object by name. Used on the object's
// thread only.
class QUILLET_EXPORT Dispatcher {
 public:
  // `default_login` is what init receives when its `ologin` is omitted.
  Dispatcher(clsQuillet& object, std::shared_ptr<Login> default_login);

  // Resolves `method` and decodes `args` (a JSON object, or null for no
  // arguments); both names are matched without regard to case, and omitted
  // parameters take the empty value of their kind. Throws UsageError; calls
  // nothing.
  PreparedCall Prepare(std::string_view method, const nlohmann::json& args) const;

  // Prepare, then run on the object. Throws UsageError as Prepare does.
  nlohmann::json Call(std::string_view method, const nlohmann::json& args);

  // One request line, {"method": NAME, "args": {...}}, and its response. A
  // malformed request gets a response whose error tells why (see
  // UsageErrorResponse); nothing is called then. Never throws UsageError.
  nlohmann::json HandleRequestLine(std::string_view line);

 private:
  clsQuillet& object_;
  std::shared_ptr<Login> default_login_;
};

// The response to a request that could not be made:
// {"result": null, "out": {}, "error": {"number": N, "description": T}}.
QUILLET_EXPORT nlohmann::json UsageErrorResponse(const UsageError& error);

}  // namespace quillet

#endif  // QUILLET_DISPATCH_H_
