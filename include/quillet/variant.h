// Variant: the tagged value that crosses the component's interface.
#ifndef QUILLET_VARIANT_H_
#define QUILLET_VARIANT_H_

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "quillet/export.h"

namespace quillet {

class RecordSet;
class XmlDocument;
class Login;

// A value that is empty, null, a text, a 16- or 32-bit integer, a double, a
// boolean, or a shared reference to a record set, a document or a login
// object. Copying a variant copies object references, not the objects.
//
// The conversions follow the host language's runtime: numbers are rounded
// half to even, out-of-range values raise Error(errc::kOverflow), unreadable
// texts raise Error(errc::kTypeMismatch), null raises
// Error(errc::kInvalidUseOfNull). Thread safety: a Variant is a value; distinct
// objects may be used on distinct threads.
class QUILLET_EXPORT Variant {
 public:
  enum class Type {
    kEmpty,
    kNull,
    kText,
    kInt16,
    kInt32,
    kDouble,
    kBool,
    kRecordSet,
    kDocument,
    kLogin
  };

  struct NullTag {};

  Variant() = default;  // empty
  Variant(NullTag) : value_(NullTag{}) {}
  Variant(std::string text) : value_(std::move(text)) {}
  Variant(const char* text) : value_(std::string(text)) {}
  Variant(int16_t n) : value_(n) {}
  Variant(int32_t n) : value_(n) {}
  Variant(double d) : value_(d) {}
  Variant(bool b) : value_(b) {}
  Variant(std::shared_ptr<RecordSet> rs) : value_(std::move(rs)) {}
  Variant(std::shared_ptr<XmlDocument> doc) : value_(std::move(doc)) {}
  Variant(std::shared_ptr<Login> login) : value_(std::move(login)) {}

  static Variant Null() { return Variant(NullTag{}); }

  Type type() const { return static_cast<Type>(value_.index()); }
  bool IsEmpty() const { return type() == Type::kEmpty; }
  bool IsNull() const { return type() == Type::kNull; }
  bool IsNumber() const;  // int16, int32 or double
  bool IsObject() const;  // record set, document or login (a null reference included)

  // Conversions (see the class comment for their failures).
  // ToText: empty gives "", booleans "True"/"False", doubles their shortest
  // decimal form; a document gives its whole XML text; other objects fail.
  std::string ToText() const;
  int16_t ToInt16() const;
  int32_t ToInt32() const;
  double ToDouble() const;
  // ToBool: numbers are true when non-zero; the texts "True"/"False" (any case)
  // and numeric texts are read; empty is false.
  bool ToBool() const;

  // Direct access; the caller checks type() first.
  const std::string& text() const { return std::get<std::string>(value_); }
  std::shared_ptr<RecordSet> record_set() const;  // null unless a record set
  std::shared_ptr<XmlDocument> document() const;  // null unless a document
  std::shared_ptr<Login> login() const;           // null unless a login object

  friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

 private:
  std::variant<std::monostate, NullTag, std::string, int16_t, int32_t, double, bool,
               std::shared_ptr<RecordSet>, std::shared_ptr<XmlDocument>, std::shared_ptr<Login>>
      value_;

  friend bool operator==(NullTag, NullTag) { return true; }
};

// Banker's rounding of a double to a whole number, as every conversion of the
// component does it ("2.5" gives 2, "3.5" gives 4).
QUILLET_EXPORT double RoundHalfEven(double value);

}  // namespace quillet

#endif  // QUILLET_VARIANT_H_
