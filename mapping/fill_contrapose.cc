#include "mapping/fill_contrapose.h"

#include <vector>

#include "core/mod_language.h"
#include "core/text_functions.h"
#include "mapping/prefix_key.h"
#include "store/mapping_contrapose.h"
#include "store/mapping_identifier.h"
#include "store/write_pool.h"

namespace quillet::mapping {
namespace {

store::mapping::Archive ArchiveOf(const XmlDocument& source) {
  const XmlNode root = RootOf(source);
  store::mapping::Archive archive;
  archive.source_code = RequiredAttribute(root, "cdatasrccode");
  archive.content_type = RequiredAttribute(root, "iContentType");
  archive.table = RequiredAttribute(root, "cContent");
  archive.value_column = RequiredAttribute(root, "cArchFieldName");
  store::PlainIdentifier(archive.table, "archive table");
  store::PlainIdentifier(archive.value_column, "archive value column");
  return archive;
}

std::vector<store::mapping::GeneratedMapping> MappingsFor(RecordSet& values,
                                                          const std::string& width,
                                                          const std::string& pad_sign) {
  std::vector<store::mapping::GeneratedMapping> mappings;
  mappings.reserve(values.RecordCount());
  for (values.MoveFirst(); !values.Eof(); values.MoveNext()) {
    std::string seed = modLanguage::GetStrValue(values.Field(0));
    std::string code = PatchValue(seed, width, pad_sign);
    mappings.push_back({std::move(seed), std::move(code)});
  }
  return mappings;
}

}  // namespace

void FillContrapose(store::Connection& db, const XmlDocument& source, int32_t width,
                    const std::string& pad_sign) {
  const store::mapping::Archive archive = ArchiveOf(source);
  const std::string width_text = std::to_string(width);
  auto writer = store::OpenWriteConnection(db);
  // Two fills of one archive at the same moment may both find a value
  // missing; the unique key on archive table and value keeps its first row,
  // and the other fill's insert of it does nothing.
  store::Connection::Transaction transaction(*writer);
  const auto values = store::mapping::UnmappedArchiveValues(*writer, archive);
  const auto mappings = MappingsFor(*values, width_text, pad_sign);
  store::mapping::InsertGeneratedMappings(*writer, archive, width_text, mappings);
  transaction.Commit();
}

}  // namespace quillet::mapping
