#include "mapping/prefix_key.h"

#include "quillet/error.h"

namespace quillet::mapping {
namespace {

[[noreturn]] void RaiseObjectNotSet() {
  throw Error(errc::kObjectNotSet, "Object variable or With block variable not set");
}

std::string XmlTextOf(const Variant& source) {
  switch (source.type()) {
    case Variant::Type::kText:
      // A text has no members: reading its `xml` by name fails, as it does
      // for any caller that passes a string where a document belongs.
      throw Error(errc::kObjectRequired, "Object required");
    case Variant::Type::kDocument:
      if (!source.document()) RaiseObjectNotSet();
      return source.document()->xml();
    case Variant::Type::kRecordSet:
    case Variant::Type::kLogin:
      if (!source.record_set() && !source.login()) RaiseObjectNotSet();
      throw Error(errc::kNoSuchMember, "Object doesn't support this property or method");
    default:
      RaiseObjectNotSet();
  }
}

}  // namespace

std::shared_ptr<XmlDocument> LoadDocumentFrom(const Variant& source) {
  auto document = std::make_shared<XmlDocument>();
  document->loadXML(XmlTextOf(source));
  return document;
}

XmlNode RootOf(const XmlDocument& document) {
  auto root = document.documentElement();
  if (!root) RaiseObjectNotSet();
  return *root;
}

std::string RequiredAttribute(const XmlNode& root, std::string_view name) {
  auto value = root.getAttribute(name);
  if (!value) throw Error(errc::kInvalidUseOfNull, "Invalid use of Null");
  return *value;
}

std::string OptionalAttribute(const XmlNode& root, std::string_view name) {
  return root.getAttribute(name).value_or(std::string());
}

}  // namespace quillet::mapping
