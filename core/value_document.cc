#include "core/value_document.h"

#include <string_view>

#include "quillet/error.h"

namespace quillet {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kItemCodeRow = "<row name='cinvcode' value='' itype='' bHave='true'/>";

std::string RowText(const StandardRow& row) {
  // The warehouse row has always been written with two blanks before itype.
  const std::string_view gap = std::string_view(row.name) == "whname" ? "  " : " ";
  return "<row name='" + std::string(row.name) + "' value=''" + std::string(gap) + "itype='" +
         row.itype + "' bHave='true'/>";
}

std::string BuildStandardRowSetText() {
  std::string text = "<data>" + std::string(kLineEnd);
  for (const StandardRow& row : StandardRows()) text += RowText(row) + std::string(kLineEnd);
  return text + "</data>";
}

// The document's text with an empty item-code row as the root's last child.
std::string TextWithItemCodeRow(const XmlDocument& doc) {
  const std::optional<XmlNode> root = doc.documentElement();
  if (!root) throw Error::ObjectNotSet();
  std::string text = doc.xml();
  const auto closing_tag = text.rfind("</");
  if (closing_tag != std::string::npos) {
    text.insert(closing_tag, std::string(kItemCodeRow) + std::string(kLineEnd));
  } else {
    // A root written as an empty-element tag: "<data/>".
    const auto empty_end = text.rfind("/>");
    text.replace(empty_end, 2, ">" + std::string(kItemCodeRow) + "</" + root->nodeName() + ">");
  }
  return text;
}

}  // namespace

const std::array<StandardRow, 17>& StandardRows() {
  static constexpr std::array<StandardRow, 17> kRows = {{
      {"vchdate", "0"},
      {"prdbatchnum", "1"},
      {"department", "2"},
      {"workcenter", "3"},
      {"whname", "4"},
      {"businessclerk", "5"},
      {"supplier", "6"},
      {"cfree1", "20"},
      {"cfree2", "21"},
      {"cfree3", "28"},
      {"cfree4", "29"},
      {"cfree5", "30"},
      {"cfree6", "31"},
      {"cfree7", "32"},
      {"cfree8", "33"},
      {"cfree9", "34"},
      {"cfree10", "35"},
  }};
  return kRows;
}

const std::string& StandardRowSetText() {
  static const std::string text = BuildStandardRowSetText();
  return text;
}

void AddItemCodeRow(XmlDocument& doc, const std::string& item_code) {
  doc.loadXML(TextWithItemCodeRow(doc));
  const std::optional<XmlNode> row = doc.selectSingleNode("(//row[@name='cinvcode'])[last()]");
  if (!row) throw Error::ObjectNotSet();
  row->getNamedItem("value")->setText(item_code);
}

void AppendItemCodeRow(XmlDocument& doc, const std::string& item_code) {
  std::optional<XmlNode> root = doc.documentElement();
  if (!root) throw Error::ObjectNotSet();
  XmlNode row = root->appendElement("row");
  row.setAttribute("name", "cinvcode");
  row.setAttribute("value", item_code);
  row.setAttribute("itype", "");
  row.setAttribute("bHave", "true");
}

std::optional<std::string> ItemCode(const XmlDocument& doc) {
  const std::optional<XmlNode> row = doc.firstElementWhere("row", "name", "cinvcode");
  if (!row) return std::nullopt;
  return row->getAttribute("value");
}

std::optional<XmlNode> RowOfType(const XmlDocument& doc, int type) {
  return doc.firstElementWhere("row", "itype", std::to_string(type));
}

}  // namespace quillet
