#include "mapping/mapping_edit.h"

#include <nlohmann/json.hpp>
#include <optional>

#include "core/utc_time.h"
#include "mapping/prefix_key.h"
#include "store/history_queries.h"
#include "store/mapping_contrapose.h"
#include "store/write_pool.h"

namespace quillet::mapping {
namespace {

// A mapping as the rule history shows it: its archive, value and code.
std::string CodeEntry(const std::string& table, const std::string& seed,
                      const std::optional<std::string>& code) {
  nlohmann::ordered_json entry;
  entry["archive"] = table;
  if (!seed.empty()) entry["value"] = seed;
  if (code) entry["code"] = *code;
  return entry.dump();
}

void Record(store::Connection& writer, const char* kind, const std::string& before,
            const std::string& after, const std::string& user) {
  store::history::RecordChange(writer,
                               {service::UtcTimestamp(), user, "", "", kind, before, after});
}

}  // namespace

void SetUserCode(store::Connection& db, const Variant& edit, const std::string& user) {
  const auto document = LoadDocumentFrom(edit);
  const XmlNode root = RootOf(*document);
  const std::string code = OptionalAttribute(root, "ccode");
  const std::string table = OptionalAttribute(root, "ccontent");
  const std::string seed = OptionalAttribute(root, "cseedcode");
  auto writer = store::OpenWriteConnection(db);
  store::Connection::Transaction transaction(*writer);
  const std::optional<std::string> before = store::history::ArchiveCode(*writer, table, seed);
  store::mapping::SetUserCode(*writer, code, table, seed);
  // A value without a mapping row was left alone: nothing changed.
  if (before && store::history::HasHistoryTable(*writer)) {
    Record(*writer, "code", CodeEntry(table, seed, before), CodeEntry(table, seed, code), user);
  }
  transaction.Commit();
}

void ResetArchive(store::Connection& db, const std::string& archive, const std::string& user) {
  auto writer = store::OpenWriteConnection(db);
  store::Connection::Transaction transaction(*writer);
  store::mapping::DeleteMappingsOfArchive(*writer, archive);
  if (store::history::HasHistoryTable(*writer)) {
    Record(*writer, "reset", CodeEntry(archive, "", std::nullopt), "", user);
  }
  transaction.Commit();
}

}  // namespace quillet::mapping
