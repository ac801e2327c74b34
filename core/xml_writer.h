// A small writer of XML text that escapes every value it is given.
#ifndef QUILLET_CORE_XML_WRITER_H_
#define QUILLET_CORE_XML_WRITER_H_

#include <string>
#include <string_view>

namespace quillet {

// `value` escaped for an apostrophe-quoted attribute: & < > ' " become
// entities; tab, line feed and carriage return become character references so
// that they survive attribute normalization; other control characters, which
// XML 1.0 cannot carry, are left out.
std::string EscapeAttribute(std::string_view value);

// Builds XML text piece by piece. Names and layout (`Raw`) are trusted text
// of the caller; attribute values always go through EscapeAttribute.
// Thread safety: none; one writer per thread.
class XmlWriter {
 public:
  // Appends `text` unchanged: fixed markup, indentation, line breaks.
  XmlWriter& Raw(std::string_view text);
  // Appends "<name".
  XmlWriter& Open(std::string_view name);
  // Appends " name='escaped value'" to the element being opened.
  XmlWriter& Attribute(std::string_view name, std::string_view value);
  // Ends the element being opened: ">" or "/>" when `empty`.
  XmlWriter& EndOpen(bool empty = false);
  // Appends "</name>".
  XmlWriter& Close(std::string_view name);

  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace quillet

#endif  // QUILLET_CORE_XML_WRITER_H_
