// saveprefixcodesrv and Resetprefixsrv: a user's code, and an archive reset.
#include "mapping/methods.h"
#include "mapping/prefix_key.h"
#include "store/mapping_contrapose.h"
#include "store/write_pool.h"

namespace quillet::mapping {

void saveprefixcodesrv(store::Connection& db, const Variant& Domprefixcode) {
  const auto document = LoadDocumentFrom(Domprefixcode);
  const XmlNode root = RootOf(*document);
  const std::string code = OptionalAttribute(root, "ccode");
  const std::string table = OptionalAttribute(root, "ccontent");
  const std::string seed = OptionalAttribute(root, "cseedcode");
  auto writer = store::OpenWriteConnection(db);
  store::mapping::SetUserCode(*writer, code, table, seed);
}

void Resetprefixsrv(store::Connection& db, const std::string& strcontent) {
  auto writer = store::OpenWriteConnection(db);
  store::mapping::DeleteMappingsOfArchive(*writer, strcontent);
}

}  // namespace quillet::mapping
