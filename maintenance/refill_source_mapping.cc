#include "maintenance/refill_source_mapping.h"

#include "mapping/fill_contrapose.h"
#include "quillet/error.h"
#include "quillet/xml_document.h"
#include "service/mod_language.h"
#include "store/mapping_contrapose.h"

namespace quillet::maintenance {

void RefillSourceMapping(store::Connection& db, int16_t source_type, int32_t width,
                         const std::string& pad_sign) {
  const std::string code = std::to_string(source_type);
  const auto sources = store::mapping::DataSourceOfLocale(db, code, modLanguage::LocaleId());
  XmlDocument saved;
  sources->Save(saved);
  const auto row = saved.selectSingleNode("//z:row[@cdatasrccode='" + code + "']");
  if (!row) throw Error(errc::kObjectNotSet, "Object variable or With block variable not set");
  XmlDocument prefix_key;
  prefix_key.loadXML(row->xml());
  mapping::FillContrapose(db, prefix_key, width, pad_sign);
}

}  // namespace quillet::maintenance
