// RecordSet: the client-side table and its XML persistence format.
#include <libxml/tree.h>

#include <set>
#include <string>
#include <utility>

#include "core/ascii_case.h"
#include "core/xml_writer.h"
#include "quillet/error.h"
#include "quillet/recordset.h"
#include "quillet/xml_document.h"

namespace quillet {
namespace {

constexpr char kNoCurrentRecordText[] =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.";

[[noreturn]] void ThrowItemNotFound(const std::string& what) {
  throw Error(errc::kItemNotFound,
              "Item cannot be found in the collection corresponding to the requested name or "
              "ordinal: " +
                  what);
}

// ---------------------------------------------------------------------------
// Saving

constexpr std::size_t kShortTextLimit = 255;

bool IsXmlName(const std::string& name) {
  return xmlValidateNCName(reinterpret_cast<const xmlChar*>(name.c_str()), 0) == 0;
}

// The attribute name of each column: its own name when that is a usable XML
// name not taken yet, else "c" and its zero-based position (the original
// name then travels in rs:name).
std::vector<std::string> AttributeNames(const std::vector<Column>& columns) {
  std::vector<std::string> names;
  std::set<std::string> used;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    std::string name = columns[i].name;
    if (!IsXmlName(name) || used.contains(name)) {
      name = "c" + std::to_string(i);
      for (int n = 1; used.contains(name); ++n)
        name = "c" + std::to_string(i) + "_" + std::to_string(n);
    }
    used.insert(name);
    names.push_back(std::move(name));
  }
  return names;
}

std::size_t CharacterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

// The value as the persistence format writes it; nullopt for a null field.
std::optional<std::string> FieldText(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return std::nullopt;
  return value.ToText();  // booleans give "True" / "False"
}

void WriteDatatype(XmlWriter& out, FieldType type, std::size_t longest_text) {
  out.Raw("\t\t\t").Open("s:datatype");
  switch (type) {
    case FieldType::kText:
      out.Attribute("dt:type", "string");
      if (longest_text <= kShortTextLimit) {
        out.Attribute("dt:maxLength", std::to_string(kShortTextLimit));
      } else {
        out.Attribute("dt:maxLength", "1073741823").Attribute("rs:long", "true");
      }
      break;
    case FieldType::kInteger:
      out.Attribute("dt:type", "int").Attribute("dt:maxLength", "4");
      out.Attribute("rs:precision", "10").Attribute("rs:fixedlength", "true");
      break;
    case FieldType::kDouble:
      out.Attribute("dt:type", "float").Attribute("dt:maxLength", "8");
      out.Attribute("rs:precision", "15").Attribute("rs:fixedlength", "true");
      break;
    case FieldType::kBoolean:
      out.Attribute("dt:type", "boolean").Attribute("dt:maxLength", "2");
      out.Attribute("rs:fixedlength", "true");
      break;
  }
  out.EndOpen(true).Raw("\n");
}

void WriteSchema(XmlWriter& out, const std::vector<Column>& columns,
                 const std::vector<std::string>& attribute_names,
                 const std::vector<std::vector<std::optional<std::string>>>& texts) {
  out.Raw("<s:Schema id='RowsetSchema'>\n");
  out.Raw("\t<s:ElementType name='row' content='eltOnly' rs:updatable='true'>\n");
  for (std::size_t i = 0; i < columns.size(); ++i) {
    std::size_t longest = 0;
    for (const auto& row : texts) {
      if (row[i]) longest = std::max(longest, CharacterCount(*row[i]));
    }
    out.Raw("\t\t").Open("s:AttributeType").Attribute("name", attribute_names[i]);
    if (attribute_names[i] != columns[i].name) out.Attribute("rs:name", columns[i].name);
    out.Attribute("rs:number", std::to_string(i + 1));
    out.Attribute("rs:nullable", "true").Attribute("rs:writeunknown", "true");
    out.EndOpen().Raw("\n");
    WriteDatatype(out, columns[i].type, longest);
    out.Raw("\t\t").Close("s:AttributeType").Raw("\n");
  }
  out.Raw("\t\t<s:extends type='rs:rowbase'/>\n");
  out.Raw("\t</s:ElementType>\n");
  out.Raw("</s:Schema>\n");
}

// ---------------------------------------------------------------------------
// Loading

FieldType TypeOfDatatype(const std::string& dt) {
  static const std::set<std::string> kIntegers = {"int", "i1",  "i2",  "i4", "i8",
                                                  "ui1", "ui2", "ui4", "ui8"};
  static const std::set<std::string> kDoubles = {"float", "r4", "r8", "number"};
  if (kIntegers.contains(dt)) return FieldType::kInteger;
  if (kDoubles.contains(dt)) return FieldType::kDouble;
  if (dt == "boolean") return FieldType::kBoolean;
  return FieldType::kText;
}

// The field as its column's type reads it; a text the type cannot read stays
// a text rather than losing the row.
Variant TypedValue(const std::string& text, FieldType type) {
  try {
    switch (type) {
      case FieldType::kText:
        return Variant(text);
      case FieldType::kInteger: {
        const double number = Variant(text).ToDouble();
        if (number == RoundHalfEven(number) && number >= INT32_MIN && number <= INT32_MAX) {
          return Variant(static_cast<int32_t>(number));
        }
        return Variant(number);
      }
      case FieldType::kDouble:
        return Variant(Variant(text).ToDouble());
      case FieldType::kBoolean:
        return Variant(Variant(text).ToBool());
    }
  } catch (const Error&) {
  }
  return Variant(text);
}

struct LoadedColumn {
  Column column;
  std::string attribute;  // the attribute that carries it in each row
};

std::vector<LoadedColumn> ColumnsOfSchema(const XmlDocument& doc) {
  std::vector<LoadedColumn> columns;
  for (const XmlNode& type : doc.selectNodes("//s:ElementType/s:AttributeType")) {
    const std::optional<std::string> attribute = type.getAttribute("name");
    if (!attribute) throw Error(errc::kXmlInvalid, "A column of the record set has no name");
    const std::optional<XmlNode> original = type.selectSingleNode("@rs:name");
    const std::optional<XmlNode> datatype = type.selectSingleNode("s:datatype/@dt:type | @dt:type");
    columns.push_back({Column{original ? original->text() : *attribute,
                              datatype ? TypeOfDatatype(datatype->text()) : FieldType::kText},
                       *attribute});
  }
  return columns;
}

// Without a schema: every attribute name of the rows, in order of first
// appearance, as a text column.
std::vector<LoadedColumn> ColumnsOfRows(const std::vector<XmlNode>& rows) {
  std::vector<LoadedColumn> columns;
  std::set<std::string> seen;
  for (const XmlNode& row : rows) {
    for (std::size_t i = 0; i < row.attributeCount(); ++i) {
      std::string name = row.attributeAt(i)->nodeName();
      if (seen.insert(name).second) columns.push_back({Column{name, FieldType::kText}, name});
    }
  }
  return columns;
}

}  // namespace

RecordSet::RecordSet(std::vector<Column> columns, std::vector<std::vector<Variant>> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {
  for (const auto& row : rows_) {
    if (row.size() != columns_.size()) {
      throw Error(errc::kInvalidArgument, "A row of the record set has " +
                                              std::to_string(row.size()) + " fields for " +
                                              std::to_string(columns_.size()) + " columns");
    }
  }
}

std::optional<std::size_t> RecordSet::FindColumn(std::string_view name) const {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (service::EqualsIgnoringAsciiCase(columns_[i].name, name)) return i;
  }
  return std::nullopt;
}

void RecordSet::MoveNext() {
  if (Eof()) throw Error(errc::kNoCurrentRecord, kNoCurrentRecordText);
  ++position_;
}

const Variant& RecordSet::Field(std::string_view name) const {
  const std::optional<std::size_t> index = FindColumn(name);
  if (!index) ThrowItemNotFound("'" + std::string(name) + "'");
  return Field(*index);
}

const Variant& RecordSet::Field(std::size_t index) const {
  if (index >= columns_.size()) ThrowItemNotFound(std::to_string(index));
  if (Bof() || Eof()) throw Error(errc::kNoCurrentRecord, kNoCurrentRecordText);
  return rows_[static_cast<std::size_t>(position_)][index];
}

std::shared_ptr<RecordSet> RecordSet::Clone() const {
  auto copy = std::make_shared<RecordSet>(*this);
  copy->position_ = 0;
  return copy;
}

std::string RecordSet::SaveXml() const {
  std::vector<std::vector<std::optional<std::string>>> texts;
  texts.reserve(rows_.size());
  for (const auto& row : rows_) {
    auto& row_texts = texts.emplace_back();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      row_texts.push_back(FieldText(row[i]));
    }
  }
  const std::vector<std::string> attribute_names = AttributeNames(columns_);

  XmlWriter out;
  out.Raw("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n");
  out.Raw("\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n");
  out.Raw("\txmlns:rs='urn:schemas-microsoft-com:rowset'\n");
  out.Raw("\txmlns:z='#RowsetSchema'>\n");
  WriteSchema(out, columns_, attribute_names, texts);
  out.Raw("<rs:data>\n");
  for (const auto& row : texts) {
    out.Raw("\t").Open("z:row");
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (row[i]) out.Attribute(attribute_names[i], *row[i]);
    }
    out.EndOpen(true).Raw("\n");
  }
  out.Raw("</rs:data>\n");
  out.Raw("</xml>");
  return out.text();
}

void RecordSet::Save(XmlDocument& into) const {
  if (!into.loadXML(SaveXml())) {
    throw Error(errc::kXmlInvalid, "The record set cannot be saved as XML: " + into.parseError());
  }
}

RecordSet RecordSet::LoadXml(std::string_view xml) {
  XmlDocument doc;
  if (!doc.loadXML(xml)) {
    throw Error(errc::kXmlInvalid,
                "The record set text is not well-formed XML: " + doc.parseError());
  }
  const std::optional<XmlNode> data = doc.selectSingleNode("//rs:data");
  if (!data) throw Error(errc::kXmlInvalid, "The text holds no record set (no rs:data element)");
  const std::vector<XmlNode> row_nodes = data->selectNodes("z:row | rs:insert/z:row");

  std::vector<LoadedColumn> loaded = ColumnsOfSchema(doc);
  if (loaded.empty()) loaded = ColumnsOfRows(row_nodes);

  std::vector<Column> columns;
  for (const LoadedColumn& c : loaded) columns.push_back(c.column);
  std::vector<std::vector<Variant>> rows;
  rows.reserve(row_nodes.size());
  for (const XmlNode& node : row_nodes) {
    auto& row = rows.emplace_back();
    for (const LoadedColumn& c : loaded) {
      const std::optional<std::string> text = node.getAttribute(c.attribute);
      row.push_back(text ? TypedValue(*text, c.column.type) : Variant::Null());
    }
  }
  return RecordSet(std::move(columns), std::move(rows));
}

}  // namespace quillet
