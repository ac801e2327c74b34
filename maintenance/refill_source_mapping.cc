#include "maintenance/refill_source_mapping.h"

#include "core/mod_language.h"
#include "mapping/fill_contrapose.h"
#include "quillet/error.h"
#include "quillet/xml_document.h"
#include "store/mapping_contrapose.h"

namespace quillet::maintenance {
namespace {

// Loads the text of a row selected out of a saved record set. The text of a
// node does not always repeat the namespace declarations of its ancestors;
// then the rowset prefix is declared on the row itself so that it loads alone.
void LoadRow(XmlDocument& into, const XmlNode& row) {
  const std::string text = row.xml();
  static constexpr std::string_view kRowTag = "<z:row";
  if (into.loadXML(text) || !text.starts_with(kRowTag)) return;
  std::string declared = text;
  declared.insert(kRowTag.size(), " xmlns:z=\"#RowsetSchema\"");
  into.loadXML(declared);
}

}  // namespace

void RefillSourceMapping(store::Connection& db, int16_t source_type, int32_t width,
                         const std::string& pad_sign) {
  const std::string code = std::to_string(source_type);
  const auto sources = store::mapping::DataSourceOfLocale(db, code, modLanguage::LocaleId());
  XmlDocument saved;
  sources->Save(saved);
  const auto row = saved.selectSingleNode("//z:row[@cdatasrccode='" + code + "']");
  if (!row) throw Error::ObjectNotSet();
  XmlDocument prefix_key;
  LoadRow(prefix_key, *row);
  mapping::FillContrapose(db, prefix_key, width, pad_sign);
}

}  // namespace quillet::maintenance
