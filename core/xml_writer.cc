// Escaping XML writer.
#include "core/xml_writer.h"

namespace quillet {

std::string EscapeAttribute(std::string_view value) {
  std::string escaped;
  escaped.reserve(value.size());
  for (const char c : value) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '\'':
        escaped += "&apos;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\t':
        escaped += "&#x9;";
        break;
      case '\n':
        escaped += "&#xA;";
        break;
      case '\r':
        escaped += "&#xD;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20) escaped += c;
        break;
    }
  }
  return escaped;
}

XmlWriter& XmlWriter::Raw(std::string_view text) {
  text_ += text;
  return *this;
}

XmlWriter& XmlWriter::Open(std::string_view name) {
  text_ += '<';
  text_ += name;
  return *this;
}

XmlWriter& XmlWriter::Attribute(std::string_view name, std::string_view value) {
  text_ += ' ';
  text_ += name;
  text_ += "='";
  text_ += EscapeAttribute(value);
  text_ += '\'';
  return *this;
}

XmlWriter& XmlWriter::EndOpen(bool empty) {
  text_ += empty ? "/>" : ">";
  return *this;
}

XmlWriter& XmlWriter::Close(std::string_view name) {
  text_ += "</";
  text_ += name;
  text_ += '>';
  return *this;
}

}  // namespace quillet
