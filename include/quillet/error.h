// Errors raised by the component: a number and a description, as the host's
// callers expect them from any layer (database, documents, runtime, login).
#ifndef QUILLET_ERROR_H_
#define QUILLET_ERROR_H_

#include <cstdint>
#include <stdexcept>
#include <string>

#include "quillet/export.h"

namespace quillet {

// Error numbers of the component's own layers. A database failure carries the
// database's own number instead (see store/database_error.h): SQLite's extended
// result code, or PostgreSQL's SQLSTATE read as a base-36 number.
namespace errc {
// Runtime conversions.
inline constexpr int32_t kInvalidArgument = 5;  // "Invalid procedure call or argument"
inline constexpr int32_t kOverflow = 6;         // "Overflow"
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kTypeMismatch = 13;  // "Type mismatch"
inline constexpr int32_t kObjectNotSet = 91;  // "Object variable or With block variable not set"
inline constexpr int32_t kInvalidUseOfNull = 94;  // "Invalid use of Null"
inline constexpr int32_t kObjectRequired = 424;   // "Object required"
inline constexpr int32_t kNoSuchMember = 438;  // "Object doesn't support this property or method"
// Data access layer.
inline constexpr int32_t kNoCurrentRecord = 3021;
inline constexpr int32_t kItemNotFound = 3265;  // no column of that name or position
inline constexpr int32_t kObjectOpen = 3705;    // connection already open
inline constexpr int32_t kConnectionClosed = 3709;
inline constexpr int32_t kBadConnectionString = 3706;
// Documents.
inline constexpr int32_t kXPathInvalid = 1101;
inline constexpr int32_t kXmlInvalid = 1102;
// Component.
inline constexpr int32_t kNotImplemented = 1001;
inline constexpr int32_t kUnsafeIdentifier =
    1201;  // a table or column name that is not a plain identifier
inline constexpr int32_t kSharedRuleName = 1204;  // a rule name carried by more than one owner
// A segment width outside the bounds of quillet/limits.h.
inline constexpr int32_t kWidthOutOfRange = 1205;
// A request larger than the bound of quillet/limits.h.
inline constexpr int32_t kRequestTooLarge = 1206;
// A text holding a NUL character or bytes that are not UTF-8.
inline constexpr int32_t kInvalidText = 1207;
// Numbering policies of a rule refusing an issue.
inline constexpr int32_t kPastEnd = 1208;       // a running number past the rule's end
inline constexpr int32_t kIssuedBefore = 1209;  // a serial number the journal already holds
inline constexpr int32_t kNoRestartKey = 1210;  // no document date for a restart per period
// A text that a barcode's symbology cannot encode (the description says why).
inline constexpr int32_t kNotEncodable = 1211;
// Requests of the typed API (quillet/numbering.h) that cannot be carried out.
inline constexpr int32_t kBadOwner = 1220;      // a word that names no owner
inline constexpr int32_t kBadRequest = 1221;    // a malformed date, value name, segment or number
inline constexpr int32_t kUnknownOwner = 1222;  // no such item or inventory class
inline constexpr int32_t kNoOwnRule = 1223;     // the owner has no rule of its own
inline constexpr int32_t kGuarded = 1224;       // a change that repeats numbers, without force
inline constexpr int32_t kNotFound = 1225;      // no such data source, mapping value or archive
inline constexpr int32_t kWouldWrap = 1226;     // a running number past its segment's digits
inline constexpr int32_t kOtherCompany = 1227;  // a database holding another company's data
inline constexpr int32_t kCodeTooWide = 1228;   // a mapped code wider than its segments
inline constexpr int32_t kVoidedBefore = 1240;  // a serial number voided already
inline constexpr int32_t kBadRuleFile = 1241;   // a rule file that cannot be imported
}  // namespace errc

// The one exception type that crosses the component's boundary. Every public
// method of clsQuillet that is documented to raise throws only Error.
class QUILLET_EXPORT Error : public std::runtime_error {
 public:
  Error(int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number) {}

  // The errors the host's callers know by number and words from its runtime
  // and data layer; every layer raises them through these.
  static Error InvalidArgument() {
    return {errc::kInvalidArgument, "Invalid procedure call or argument"};
  }
  static Error Overflow() { return {errc::kOverflow, "Overflow"}; }
  static Error TypeMismatch() { return {errc::kTypeMismatch, "Type mismatch"}; }
  static Error ObjectNotSet() {
    return {errc::kObjectNotSet, "Object variable or With block variable not set"};
  }
  static Error InvalidUseOfNull() { return {errc::kInvalidUseOfNull, "Invalid use of Null"}; }
  static Error ObjectRequired() { return {errc::kObjectRequired, "Object required"}; }
  static Error NoSuchMember() {
    return {errc::kNoSuchMember, "Object doesn't support this property or method"};
  }
  static Error ObjectOpen() {
    return {errc::kObjectOpen, "Operation is not allowed when the object is open."};
  }
  static Error ObjectClosed() {
    return {errc::kConnectionClosed, "Operation is not allowed when the object is closed."};
  }

  int32_t number() const noexcept { return number_; }
  std::string description() const { return what(); }

 private:
  int32_t number_;
};

}  // namespace quillet

#endif  // QUILLET_ERROR_H_
