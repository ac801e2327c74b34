// Variant conversions, following the host language's runtime rules.
#include "quillet/variant.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "core/ascii_case.h"
#include "quillet/error.h"
#include "quillet/xml_document.h"

namespace quillet {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether an out-of-range decimal text is too small rather than too large:
// its exponent is negative, or its whole part is zero.
bool IsUnderflow(std::string_view number) {
  const std::size_t exponent = number.find_first_of("eE");
  if (exponent != std::string_view::npos && exponent + 1 < number.size() &&
      number[exponent + 1] == '-') {
    return true;
  }
  const std::string_view whole = number.substr(0, number.find_first_of(".eE"));
  return whole.find_first_not_of('0') == std::string_view::npos &&
         exponent == std::string_view::npos;
}

// A decimal number with an optional sign, "." as separator and an optional
// exponent, surrounded by optional blanks; nothing else.
double ParseNumber(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Leaves out what from_chars would also accept: "inf", "nan", hex digits.
  if (text.empty() || !(IsDigit(text.front()) || text.front() == '.')) throw Error::TypeMismatch();
  double value = 0;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range && end == text.data() + text.size()) {
    if (IsUnderflow(text)) return 0;
    throw Error::Overflow();
  }
  if (ec != std::errc() || end != text.data() + text.size()) throw Error::TypeMismatch();
  return negative ? -value : value;
}

std::string DoubleText(double value) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) throw Error::Overflow();
  std::string text(buffer, end);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

template <typename Int>
Int ToWhole(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<Int>::max()))) {
    throw Error::Overflow();
  }
  return static_cast<Int>(rounded);
}

}  // namespace

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double floor = std::floor(value);
  const double fraction = value - floor;  // exact for doubles
  if (fraction < 0.5) return floor;
  if (fraction > 0.5) return floor + 1;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

bool Variant::IsNumber() const {
  const Type t = type();
  return t == Type::kInt16 || t == Type::kInt32 || t == Type::kDouble;
}

bool Variant::IsObject() const {
  const Type t = type();
  return t == Type::kRecordSet || t == Type::kDocument || t == Type::kLogin;
}

std::shared_ptr<RecordSet> Variant::record_set() const {
  const auto* held = std::get_if<std::shared_ptr<RecordSet>>(&value_);
  return held != nullptr ? *held : nullptr;
}

std::shared_ptr<XmlDocument> Variant::document() const {
  const auto* held = std::get_if<std::shared_ptr<XmlDocument>>(&value_);
  return held != nullptr ? *held : nullptr;
}

std::shared_ptr<Login> Variant::login() const {
  const auto* held = std::get_if<std::shared_ptr<Login>>(&value_);
  return held != nullptr ? *held : nullptr;
}

std::string Variant::ToText() const {
  switch (type()) {
    case Type::kEmpty:
      return {};
    case Type::kNull:
      throw Error::InvalidUseOfNull();
    case Type::kText:
      return text();
    case Type::kInt16:
      return std::to_string(std::get<int16_t>(value_));
    case Type::kInt32:
      return std::to_string(std::get<int32_t>(value_));
    case Type::kDouble:
      return DoubleText(std::get<double>(value_));
    case Type::kBool:
      return std::get<bool>(value_) ? "True" : "False";
    case Type::kDocument:
      if (document() == nullptr) throw Error::ObjectNotSet();
      return document()->xml();
    case Type::kRecordSet:
      if (record_set() == nullptr) throw Error::ObjectNotSet();
      throw Error::TypeMismatch();
    case Type::kLogin:
      if (login() == nullptr) throw Error::ObjectNotSet();
      throw Error::TypeMismatch();
  }
  throw Error::TypeMismatch();
}

double Variant::ToDouble() const {
  switch (type()) {
    case Type::kEmpty:
      return 0;
    case Type::kNull:
      throw Error::InvalidUseOfNull();
    case Type::kText:
      return ParseNumber(text());
    case Type::kInt16:
      return std::get<int16_t>(value_);
    case Type::kInt32:
      return std::get<int32_t>(value_);
    case Type::kDouble:
      return std::get<double>(value_);
    case Type::kBool:
      return std::get<bool>(value_) ? -1 : 0;
    case Type::kRecordSet:
    case Type::kDocument:
    case Type::kLogin:
      break;
  }
  // An object converts through its default member, which these do not have.
  if (record_set() == nullptr && document() == nullptr && login() == nullptr)
    throw Error::ObjectNotSet();
  throw Error::TypeMismatch();
}

int16_t Variant::ToInt16() const {
  switch (type()) {
    case Type::kInt16:
      return std::get<int16_t>(value_);
    case Type::kInt32:
      return ToWhole<int16_t>(std::get<int32_t>(value_));
    default:
      return ToWhole<int16_t>(ToDouble());
  }
}

int32_t Variant::ToInt32() const {
  switch (type()) {
    case Type::kInt16:
      return std::get<int16_t>(value_);
    case Type::kInt32:
      return std::get<int32_t>(value_);
    default:
      return ToWhole<int32_t>(ToDouble());
  }
}

bool Variant::ToBool() const {
  if (type() == Type::kBool) return std::get<bool>(value_);
  if (type() == Type::kText) {
    const std::string_view trimmed = TrimBlanks(text());
    if (service::EqualsIgnoringAsciiCase(trimmed, "True")) return true;
    if (service::EqualsIgnoringAsciiCase(trimmed, "False")) return false;
  }
  return ToDouble() != 0;
}

}  // namespace quillet
