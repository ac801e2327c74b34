// Variants in their JSON form, both ways.
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "component/json_integer.h"
#include "quillet/dispatch.h"
#include "quillet/recordset.h"
#include "quillet/xml_document.h"

namespace quillet {
namespace {

using nlohmann::json;

json EncodeDocument(const std::shared_ptr<XmlDocument>& document) {
  if (!document) return nullptr;
  return {{"type", "document"}, {"xml", document->xml()}};
}

// Field values are null, strings or numbers: booleans cross as -1 and 0.
json EncodeField(const Variant& field) {
  switch (field.type()) {
    case Variant::Type::kText:
      return field.text();
    case Variant::Type::kInt16:
    case Variant::Type::kInt32:
      return field.ToInt32();
    case Variant::Type::kDouble:
      return field.ToDouble();
    case Variant::Type::kBool:
      return field.ToBool() ? -1 : 0;
    default:
      return nullptr;
  }
}

json EncodeRecordSet(const std::shared_ptr<RecordSet>& record_set) {
  if (!record_set) return nullptr;
  json columns = json::array();
  for (const Column& column : record_set->columns()) columns.push_back(column.name);
  json rows = json::array();
  rows.get_ref<json::array_t&>().reserve(record_set->rows().size());
  for (const std::vector<Variant>& row : record_set->rows()) {
    json encoded = json::array();
    encoded.get_ref<json::array_t&>().reserve(row.size());
    for (const Variant& field : row) encoded.push_back(EncodeField(field));
    rows.push_back(std::move(encoded));
  }
  return {{"type", "recordset"}, {"columns", std::move(columns)}, {"rows", std::move(rows)}};
}

[[noreturn]] void RaiseNotAVariant(const std::string& why) {
  throw UsageError(errc::kTypeMismatch, "not an encoded variant: " + why);
}

const json& Member(const json& object, const char* name) {
  const auto found = object.find(name);
  if (found == object.end()) RaiseNotAVariant(std::string("\"") + name + "\" is missing");
  return *found;
}

void ExpectMembers(const json& object, std::initializer_list<const char*> names) {
  for (const auto& [key, value] : object.items()) {
    bool known = false;
    for (const char* name : names) known = known || key == name;
    if (!known) RaiseNotAVariant("unexpected member \"" + key + "\"");
  }
}

std::shared_ptr<XmlDocument> LoadDocument(const std::string& text) {
  auto document = std::make_shared<XmlDocument>();
  document->loadXML(text);  // a text that does not load leaves it empty
  return document;
}

Variant DecodeField(const json& value) {
  if (value.is_null()) return Variant::Null();
  if (value.is_string()) return Variant(value.get<std::string>());
  if (const auto n = service::JsonInteger(value)) {
    if (service::FitsIn<int32_t>(*n)) return Variant(static_cast<int32_t>(*n));
    return Variant(static_cast<double>(*n));
  }
  if (value.is_number()) return Variant(value.get<double>());
  RaiseNotAVariant("record set values are null, strings or numbers, not " +
                   std::string(value.type_name()));
}

// A column holding only whole numbers is an integer column, one with other
// numbers a double column; any text (or no value at all) makes a text column.
FieldType ColumnType(const std::vector<std::vector<Variant>>& rows, std::size_t column) {
  bool integers = false;
  bool doubles = false;
  for (const std::vector<Variant>& row : rows) {
    switch (row[column].type()) {
      case Variant::Type::kText:
        return FieldType::kText;
      case Variant::Type::kInt32:
        integers = true;
        break;
      case Variant::Type::kDouble:
        doubles = true;
        break;
      default:
        break;
    }
  }
  if (doubles) return FieldType::kDouble;
  return integers ? FieldType::kInteger : FieldType::kText;
}

Variant DecodeRecordSet(const json& value) {
  ExpectMembers(value, {"type", "columns", "rows"});
  const json& names = Member(value, "columns");
  const json& rows = Member(value, "rows");
  if (!names.is_array()) RaiseNotAVariant("\"columns\" must be an array of strings");
  if (!rows.is_array()) RaiseNotAVariant("\"rows\" must be an array of arrays");
  std::vector<Column> columns;
  for (const json& name : names) {
    if (!name.is_string()) RaiseNotAVariant("\"columns\" must be an array of strings");
    columns.push_back(Column{name.get<std::string>(), FieldType::kText});
  }
  std::vector<std::vector<Variant>> decoded_rows;
  for (const json& row : rows) {
    if (!row.is_array() || row.size() != columns.size()) {
      RaiseNotAVariant("each row must be an array of " + std::to_string(columns.size()) +
                       " values");
    }
    std::vector<Variant> fields;
    for (const json& field : row) fields.push_back(DecodeField(field));
    decoded_rows.push_back(std::move(fields));
  }
  for (std::size_t i = 0; i < columns.size(); ++i) columns[i].type = ColumnType(decoded_rows, i);
  return Variant(std::make_shared<RecordSet>(std::move(columns), std::move(decoded_rows)));
}

Variant DecodeTagged(const json& value) {
  const json& type = Member(value, "type");
  if (type == "empty") {
    ExpectMembers(value, {"type"});
    return Variant();
  }
  if (type == "document") {
    ExpectMembers(value, {"type", "xml"});
    const json& xml = Member(value, "xml");
    if (!xml.is_string()) RaiseNotAVariant("\"xml\" must be a string");
    return Variant(LoadDocument(xml.get<std::string>()));
  }
  if (type == "recordset") return DecodeRecordSet(value);
  RaiseNotAVariant("unknown type " + type.dump());
}

// A whole number takes the narrowest of 16-bit, 32-bit integer and double,
// as a literal does in the host's scripting language.
Variant DecodeNumber(const json& value) {
  if (const auto n = service::JsonInteger(value)) {
    if (service::FitsIn<int16_t>(*n)) return Variant(static_cast<int16_t>(*n));
    if (service::FitsIn<int32_t>(*n)) return Variant(static_cast<int32_t>(*n));
    return Variant(static_cast<double>(*n));
  }
  return Variant(value.get<double>());
}

}  // namespace

json EncodeVariant(const Variant& value) {
  switch (value.type()) {
    case Variant::Type::kEmpty:
      return {{"type", "empty"}};
    case Variant::Type::kNull:
      return nullptr;
    case Variant::Type::kText:
      return value.text();
    case Variant::Type::kInt16:
    case Variant::Type::kInt32:
      return value.ToInt32();
    case Variant::Type::kDouble:
      return value.ToDouble();
    case Variant::Type::kBool:
      return value.ToBool();
    case Variant::Type::kRecordSet:
      return EncodeRecordSet(value.record_set());
    case Variant::Type::kDocument:
      return EncodeDocument(value.document());
    case Variant::Type::kLogin:
      if (!value.login()) return nullptr;
      return {{"type", "login"}};
  }
  return nullptr;
}

Variant DecodeVariant(const json& value) {
  switch (value.type()) {
    case json::value_t::null:
      return Variant::Null();
    case json::value_t::string:
      return Variant(value.get<std::string>());
    case json::value_t::boolean:
      return Variant(value.get<bool>());
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
    case json::value_t::number_float:
      return DecodeNumber(value);
    case json::value_t::object:
      return DecodeTagged(value);
    default:
      RaiseNotAVariant(std::string("a JSON ") + value.type_name() + " has no variant form");
  }
}

}  // namespace quillet
