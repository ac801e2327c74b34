#include "mapping/source_locales.h"

#include "store/setup_queries.h"

namespace quillet::mapping {

std::vector<std::string> DataSourceLocales(generation::Reader& reader) {
  const auto rows = store::setup::DataSourceLocales(reader.connection());
  std::vector<std::string> locales;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    locales.push_back(rows->Field("localid").ToText());
  }
  return locales;
}

}  // namespace quillet::mapping
