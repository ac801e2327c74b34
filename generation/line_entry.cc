// One serial number for a document line, from the document's head and body
// as the host's record sets persist them.
#include "generation/line_entry.h"

#include <array>
#include <optional>

#include "core/runtime_errors.h"
#include "core/value_document.h"
#include "generation/single_issue.h"

namespace quillet::generation {
namespace {

enum class Source { kHead, kBody };

// Where a value-document row takes its value from; `column` is read only for
// the standard voucher types when `standard_only` is set.
struct RowSource {
  const char* row;
  Source source;
  const char* column;
  bool standard_only;
};

constexpr std::array<RowSource, 17> kRowSources = {{
    {"vchdate", Source::kHead, "ddate", true},
    {"prdbatchnum", Source::kBody, "cmolotcode", true},
    {"department", Source::kHead, "cdepcode", true},
    {"workcenter", Source::kBody, "cmworkcentercode", true},
    {"whname", Source::kHead, "cwhcode", true},
    {"businessclerk", Source::kHead, "cpersoncode", true},
    {"supplier", Source::kHead, "cvencode", true},
    {"cfree1", Source::kBody, "cfree1", false},
    {"cfree2", Source::kBody, "cfree2", false},
    {"cfree3", Source::kBody, "cfree3", false},
    {"cfree4", Source::kBody, "cfree4", false},
    {"cfree5", Source::kBody, "cfree5", false},
    {"cfree6", Source::kBody, "cfree6", false},
    {"cfree7", Source::kBody, "cfree7", false},
    {"cfree8", Source::kBody, "cfree8", false},
    {"cfree9", Source::kBody, "cfree9", false},
    {"cfree10", Source::kBody, "cfree10", false},
}};

bool IsStandardVoucherType(const std::string& type) {
  return type == "24" || type == "0411" || type == "0301";
}

// The attribute of a record-set row; the empty text for no row, an empty
// name or a missing attribute (a null field has no attribute).
std::string GetRowAttr(const std::optional<XmlNode>& row, const std::string& name) {
  if (!row || name.empty()) return {};
  return row->getAttribute(name).value_or("");
}

std::optional<XmlNode> FirstRecord(const std::shared_ptr<XmlDocument>& document) {
  if (!document) throw Error::ObjectNotSet();
  return document->selectSingleNode("//z:row");
}

// Sets the `value` attribute of the value document's row `name` as text, so
// that no value is ever read as markup.
void SetRowValue(const XmlDocument& values, const std::string& name, const std::string& value) {
  const std::optional<XmlNode> row = values.selectSingleNode("//data/row[@name='" + name + "']");
  if (!row) throw Error::ObjectNotSet();
  std::optional<XmlNode> attribute = row->getNamedItem("value");
  if (!attribute) throw Error::ObjectNotSet();
  attribute->setText(value);
}

// The value document whose rows take their values from `column_of`, asked
// for the column of each row (the empty name for a row not read).
template <typename ColumnOf>
std::shared_ptr<XmlDocument> BuildLineDocument(const std::string& item_code,
                                               const std::string& voucher_type,
                                               const ColumnOf& column_of) {
  const bool standard = IsStandardVoucherType(voucher_type);
  auto values = std::make_shared<XmlDocument>();
  values->loadXML(StandardRowSetText());
  AddItemCodeRow(*values, item_code);
  for (const RowSource& source : kRowSources) {
    const std::string column = !source.standard_only || standard ? source.column : "";
    SetRowValue(*values, source.row, column_of(source.source, column));
  }
  return values;
}

}  // namespace

std::shared_ptr<XmlDocument> LineValueDocument(const std::string& item_code,
                                               const std::shared_ptr<XmlDocument>& head,
                                               const std::shared_ptr<XmlDocument>& body,
                                               const std::string& voucher_type) {
  // The rows are looked for once the value document is made: an empty head
  // or body reference fails after it, as it always has.
  std::optional<XmlNode> body_row;
  std::optional<XmlNode> head_row;
  bool rows_read = false;
  return BuildLineDocument(item_code, voucher_type, [&](Source source, const std::string& column) {
    if (!rows_read) {
      body_row = FirstRecord(body);
      head_row = FirstRecord(head);
      rows_read = true;
    }
    return GetRowAttr(source == Source::kHead ? head_row : body_row, column);
  });
}

std::shared_ptr<XmlDocument> LineValueDocument(const std::string& item_code,
                                               const std::map<std::string, std::string>& head,
                                               const std::map<std::string, std::string>& body,
                                               const std::string& voucher_type) {
  return BuildLineDocument(item_code, voucher_type, [&](Source source, const std::string& column) {
    const std::map<std::string, std::string>& row = source == Source::kHead ? head : body;
    const auto found = column.empty() ? row.end() : row.find(column);
    return found == row.end() ? std::string() : found->second;
  });
}

Issued<std::string> IssueLineNumber(store::Connection& db, const std::string& item_code,
                                    const std::shared_ptr<XmlDocument>& head,
                                    const std::shared_ptr<XmlDocument>& body,
                                    const std::string& voucher_type, bool save,
                                    const UserNameSource& user) {
  return IssueNumber(db, LineValueDocument(item_code, head, body, voucher_type), save, user);
}

}  // namespace quillet::generation
