#include "numbering/setup_lookups.h"

#include "core/field_text.h"
#include "core/number_text.h"
#include "generation/policy_lookup.h"
#include "mapping/setup_data.h"
#include "mapping/source_locales.h"
#include "numbering/catalog.h"
#include "numbering/history.h"
#include "numbering/line_document.h"

namespace quillet::numbering {
namespace {

std::string Text(const RecordSet& rows, std::string_view column) {
  return FieldTextOrEmpty(rows.Field(column));
}

}  // namespace

std::vector<Item> SerialItems(Session& session, const std::string& class_code) {
  const std::optional<std::string> name = ClassName(session, class_code);
  if (!name) RaiseNotFound("there is no inventory class " + class_code, errc::kUnknownOwner);
  int32_t level = 0;
  for (const InventoryClass& row : ClassesOf(session)) {
    if (row.code == class_code) level = row.level;
  }
  const auto rows = setup::SerialItemsOfClass(session.db(), class_code);
  std::vector<Item> items;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    items.push_back({Text(*rows, "cinvcode"), Text(*rows, "cinvname"), class_code, level, true});
  }
  return items;
}

std::vector<FreeItemCaption> FreeItemCaptions(Session& session) {
  const auto rows = setup::FreeItemCaptions(session.db(), session.options().locale);
  std::vector<FreeItemCaption> captions;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    const std::optional<int32_t> type = service::ParseNumber<int32_t>(Text(*rows, "cid"));
    if (type) captions.push_back({static_cast<DataSource>(*type), Text(*rows, "citemname")});
  }
  return captions;
}

std::vector<std::string> DescribedLocales(Session& session) {
  return mapping::DataSourceLocales(session.reader());
}

std::vector<JournalEntry> Journal(Session& session, const JournalQuery& query) {
  const std::optional<std::string> since = SinceTime(query.since);
  std::vector<generation::JournalEntry> stored;
  try {
    stored = generation::ReadJournal(session.reader(), query.owner, since);
  } catch (const Error& error) {
    if (!generation::IsMissingTable(error)) throw;
    RaiseNotFound("the database " + session.connection_string() +
                  " has no journal yet: create its tables again");
  }
  std::vector<JournalEntry> entries;
  entries.reserve(stored.size());
  for (generation::JournalEntry& entry : stored) {
    const std::optional<int16_t> kind = service::ParseNumber<int16_t>(entry.owner_type);
    entries.push_back({std::move(entry.serial),
                       RuleOwner::FromNumber(std::move(entry.owner_code), kind.value_or(-1)),
                       std::move(entry.item), entry.number, std::move(entry.document_date),
                       std::move(entry.issued), std::move(entry.user)});
  }
  return entries;
}

}  // namespace quillet::numbering
