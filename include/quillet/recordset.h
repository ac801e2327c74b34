// RecordSet: a disconnected, client-side, static table of rows.
#ifndef QUILLET_RECORDSET_H_
#define QUILLET_RECORDSET_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/export.h"
#include "quillet/variant.h"

namespace quillet {

class XmlDocument;

// The kind of a column, used when the record set is saved as XML.
enum class FieldType { kText, kInteger, kDouble, kBoolean };

struct Column {
  std::string name;
  FieldType type = FieldType::kText;
};

// A copy of a query result held in memory: named columns (found by name
// without regard to case, or by position), rows of Variants (null kept), and a
// cursor that starts on the first row. Nothing stays connected to the database.
//
// Errors: reading a field while Bof() or Eof() raises errc::kNoCurrentRecord;
// an unknown column name or position raises errc::kItemNotFound; MoveNext at
// the end raises errc::kNoCurrentRecord.
// Thread safety: none; a record set belongs to one thread at a time.
class QUILLET_EXPORT RecordSet {
 public:
  RecordSet() = default;
  RecordSet(std::vector<Column> columns, std::vector<std::vector<Variant>> rows);

  const std::vector<Column>& columns() const { return columns_; }
  const std::vector<std::vector<Variant>>& rows() const { return rows_; }
  std::size_t RecordCount() const { return rows_.size(); }

  // Position of the first column named `name` (case-insensitive), if any.
  std::optional<std::size_t> FindColumn(std::string_view name) const;

  bool Bof() const { return rows_.empty() || position_ < 0; }
  bool Eof() const { return rows_.empty() || position_ >= static_cast<long>(rows_.size()); }
  void MoveFirst() { position_ = 0; }
  void MoveNext();

  // Field values of the current row.
  const Variant& Field(std::string_view name) const;
  const Variant& Field(std::size_t index) const;

  // An independent copy, positioned on its first row: changes to either do
  // not reach the other.
  std::shared_ptr<RecordSet> Clone() const;

  // The record set in the XML persistence format of the host's data access
  // layer: a root `xml` element declaring the namespaces s, dt, rs and z, an
  // `s:Schema` describing the columns, and `rs:data` holding one `z:row` per
  // row with one attribute per non-null field.
  std::string SaveXml() const;
  void Save(XmlDocument& into) const;

  // Reads the persistence format back: columns from the schema when present,
  // else from the attributes of the rows in order of first appearance; absent
  // attributes become null. Raises errc::kXmlInvalid on a text that is not
  // well-formed or holds no rowset.
  static RecordSet LoadXml(std::string_view xml);

 private:
  std::vector<Column> columns_;
  std::vector<std::vector<Variant>> rows_;
  long position_ = 0;
};

}  // namespace quillet

#endif  // QUILLET_RECORDSET_H_
