#include "mapping/mapping_list.h"

#include <optional>

#include "core/field_text.h"
#include "core/mod_language.h"
#include "mapping/fill_contrapose.h"
#include "mapping/prefix_key.h"
#include "mapping/source_format.h"
#include "quillet/error.h"
#include "store/mapping_contrapose.h"
#include "store/mapping_identifier.h"

namespace quillet::mapping {
namespace {

// The attributes of the prefix key document's root, in the order they are read.
struct PrefixKey {
  std::string content_type;
  std::string table;
  std::string value_column;
  std::string caption_column;
  std::string source_code;
};

PrefixKey ReadPrefixKey(const XmlNode& root) {
  PrefixKey key;
  key.content_type = RequiredAttribute(root, "iContentType");
  key.table = RequiredAttribute(root, "cContent");
  key.value_column = RequiredAttribute(root, "cArchFieldName");
  key.caption_column = RequiredAttribute(root, "cArchclsFieldName");
  key.source_code = RequiredAttribute(root, "cdatasrccode");
  store::PlainIdentifier(key.table, "archive table");
  store::PlainIdentifier(key.value_column, "archive value column");
  store::PlainIdentifier(key.caption_column, "archive caption column");
  return key;
}

// The key is the caller's text, and its names become part of statements:
// only an archive that a data source row describes for the key's code is
// read, whatever the text says.
void RequireDescribedArchive(store::Connection& db, const PrefixKey& key) {
  const store::mapping::Archive archive{key.source_code, key.content_type, key.table,
                                        key.value_column};
  if (store::mapping::DataSourceDescribes(db, archive, key.caption_column)) return;
  throw Error(errc::kUnsafeIdentifier,
              "No data source row (SNPrefabricate_lang) of code '" + key.source_code +
                  "' names the archive table '" + key.table + "' with the columns '" +
                  key.value_column + "' and '" + key.caption_column + "' and the kind '" +
                  key.content_type + "'; only the archives of the data sources are read");
}

// An archive whose mappings are all there, and how its codes are fitted.
struct FilledArchive {
  PrefixKey key;
  int32_t width;
  std::string format;
  std::string pad_sign;
};

Variant CaptionOf(const XmlNode& root) {
  auto caption = root.getAttribute("cdatasrccaption");
  return caption ? Variant(*caption) : Variant::Null();
}

// The archive of the key with its missing mappings made; nullopt, with the
// message in `unused`, when no rule uses its data source.
std::optional<FilledArchive> FillArchive(store::Connection& db, const Variant& prefix_key,
                                         std::optional<std::string>& unused) {
  const auto document = LoadDocumentFrom(prefix_key);
  const XmlNode root = RootOf(*document);
  FilledArchive filled{ReadPrefixKey(root), 0, "", ""};
  RequireDescribedArchive(db, filled.key);
  if (!GetSourceFormat(db, filled.key.source_code, filled.width, filled.format, filled.pad_sign)) {
    // No rule uses the data source: nothing to fit codes to.
    unused = modLanguage::GetResStringEx("Vell.SO.lotnumber.00057", {CaptionOf(root)});
    return std::nullopt;
  }
  FillContrapose(db, *document, filled.width, filled.pad_sign);
  return filled;
}

}  // namespace

MappingList ListMappings(store::Connection& db, const Variant& prefix_key) {
  MappingList list;
  const std::optional<FilledArchive> filled = FillArchive(db, prefix_key, list.unused);
  if (!filled) return list;
  const PrefixKey& key = filled->key;
  // A shared archive table lists only its own source's rows.
  const std::optional<std::string> only_source =
      key.content_type == "3" ? std::optional<std::string>(key.source_code) : std::nullopt;
  // The listing is this call's own: handed over whole instead of copied.
  list.rows = store::mapping::MappingsWithCaptions(db, key.table, key.value_column,
                                                   key.caption_column, only_source);
  list.width = filled->width;
  list.format = filled->format;
  return list;
}

MappingPage ListMappingPage(store::Connection& db, const Variant& prefix_key,
                            const std::string& search, int64_t offset, int64_t limit) {
  MappingPage page;
  const std::optional<FilledArchive> filled = FillArchive(db, prefix_key, page.unused);
  if (!filled) return page;
  page.width = filled->width;
  page.format = filled->format;
  const PrefixKey& key = filled->key;
  const store::mapping::MappingPageQuery query{
      key.table, key.value_column, key.caption_column, key.source_code, search, offset, limit};
  page.total = store::mapping::CountMappings(db, query);
  const auto rows = store::mapping::MappingsPage(db, query);
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    page.rows.push_back({FieldTextOrEmpty(rows->Field("cseedcode")),
                         FieldTextOrEmpty(rows->Field("cName")),
                         FieldTextOrEmpty(rows->Field("ccode")),
                         FieldTextOrEmpty(rows->Field("buserchange")) == "1"});
  }
  return page;
}

}  // namespace quillet::mapping
