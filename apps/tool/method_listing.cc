#include "apps/tool/method_listing.h"

#include <algorithm>

#include "component/method_table.h"

namespace quillet::tool {
namespace {

using service::Kind;

constexpr std::size_t kWidth = 100;

std::string KindName(Kind kind) {
  switch (kind) {
    case Kind::kText:
      return "text";
    case Kind::kInt16:
      return "int16";
    case Kind::kInt32:
      return "int32";
    case Kind::kBoolean:
      return "boolean";
    case Kind::kDocument:
      return "document";
    case Kind::kLogin:
      return "login";
    case Kind::kVariant:
      return "variant";
  }
  return "variant";
}

std::string Heading(const service::Method& method) {
  std::string heading(method.name);
  if (method.result != Kind::kVariant) heading += " -> " + KindName(method.result);
  return heading;
}

std::string ParameterWords(const service::Parameter& parameter) {
  std::string words = std::string(parameter.name) + " " + KindName(parameter.kind);
  if (parameter.direction == service::Direction::kInOut) words += " in/out";
  if (parameter.optional) words += " (optional)";
  return words;
}

// The parameters joined by ", ", wrapped so that no line passes kWidth; the
// lines after the first start at `indent`.
std::string WrappedParameters(const service::Method& method, std::size_t indent) {
  std::string text;
  std::size_t column = indent;
  for (std::size_t i = 0; i < method.parameters.size(); ++i) {
    std::string piece = ParameterWords(method.parameters[i]);
    if (i + 1 < method.parameters.size()) piece += ",";
    if (i > 0 && column + 1 + piece.size() > kWidth) {
      text += "\n" + std::string(indent, ' ');
      column = indent;
    } else if (i > 0) {
      text += " ";
      ++column;
    }
    text += piece;
    column += piece.size();
  }
  return text.empty() ? "(no parameters)" : text;
}

}  // namespace

std::string MethodListing() {
  std::size_t name_width = 0;
  for (const service::Method& method : service::MethodTable()) {
    name_width = std::max(name_width, Heading(method).size());
  }
  std::string listing;
  for (const service::Method& method : service::MethodTable()) {
    std::string order = std::to_string(method.order);
    std::string heading = Heading(method);
    listing += std::string(4 - order.size(), ' ') + order + "  " + heading +
               std::string(name_width - heading.size() + 2, ' ') +
               WrappedParameters(method, 6 + name_width + 2) + "\n";
  }
  return listing;
}

std::vector<std::string> MethodNames() {
  std::vector<std::string> names;
  for (const service::Method& method : service::MethodTable()) names.emplace_back(method.name);
  return names;
}

}  // namespace quillet::tool
