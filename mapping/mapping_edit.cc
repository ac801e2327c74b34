#include "mapping/mapping_edit.h"

#include "mapping/prefix_key.h"
#include "store/mapping_contrapose.h"
#include "store/write_pool.h"

namespace quillet::mapping {

void SetUserCode(store::Connection& db, const Variant& edit) {
  const auto document = LoadDocumentFrom(edit);
  const XmlNode root = RootOf(*document);
  const std::string code = OptionalAttribute(root, "ccode");
  const std::string table = OptionalAttribute(root, "ccontent");
  const std::string seed = OptionalAttribute(root, "cseedcode");
  auto writer = store::OpenWriteConnection(db);
  store::mapping::SetUserCode(*writer, code, table, seed);
}

void ResetArchive(store::Connection& db, const std::string& archive) {
  auto writer = store::OpenWriteConnection(db);
  store::mapping::DeleteMappingsOfArchive(*writer, archive);
}

}  // namespace quillet::mapping
