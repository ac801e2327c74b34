#include "mapping/prefix_key.h"

#include "quillet/error.h"

namespace quillet::mapping {
namespace {

std::string XmlTextOf(const Variant& source) {
  switch (source.type()) {
    case Variant::Type::kText:
      // A text has no members: reading its `xml` by name fails, as it does
      // for any caller that passes a string where a document belongs.
      throw Error::ObjectRequired();
    case Variant::Type::kDocument:
      if (!source.document()) throw Error::ObjectNotSet();
      return source.document()->xml();
    case Variant::Type::kRecordSet:
    case Variant::Type::kLogin:
      if (!source.record_set() && !source.login()) throw Error::ObjectNotSet();
      throw Error::NoSuchMember();
    default:
      throw Error::ObjectNotSet();
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
  if (!root) throw Error::ObjectNotSet();
  return *root;
}

std::string RequiredAttribute(const XmlNode& root, std::string_view name) {
  auto value = root.getAttribute(name);
  if (!value) throw Error::InvalidUseOfNull();
  return *value;
}

std::string OptionalAttribute(const XmlNode& root, std::string_view name) {
  return root.getAttribute(name).value_or(std::string());
}

}  // namespace quillet::mapping
