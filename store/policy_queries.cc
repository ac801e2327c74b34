#include "store/policy_queries.h"

#include <algorithm>

#include "core/runtime_errors.h"
#include "store/database_error.h"

namespace quillet::store::policy {
namespace {

Param OptionalNumber(const std::optional<int32_t>& number) {
  return number ? Param(std::to_string(*number)) : Param();
}

std::optional<int32_t> NumberField(const Variant& field) {
  if (field.IsNull()) return std::nullopt;
  return field.ToInt32();
}

std::string TextField(const Variant& field) { return field.IsNull() ? "" : field.ToText(); }

NumberingPolicy StoredPolicy(const RecordSet& row) {
  NumberingPolicy policy;
  const std::string restart = TextField(row.Field("crestart"));
  if (!restart.empty()) {
    const std::optional<Restart> known = RestartOf(restart);
    if (!known) throw Error::TypeMismatch();
    policy.restart = *known;
  }
  policy.end = NumberField(row.Field("iend"));
  policy.warn = NumberField(row.Field("iwarn"));
  policy.journal = row.Field("bjournal").ToInt32() != 0;
  policy.unique = row.Field("bunique").ToInt32() != 0;
  const std::string check = TextField(row.Field("ccheck"));
  if (!check.empty()) {
    policy.check = CheckMethodOf(check);
    if (!policy.check) throw Error::TypeMismatch();
  }
  return policy;
}

JournalEntry EntryOfRow(const RecordSet& row) {
  JournalEntry entry;
  entry.serial = TextField(row.Field("cserial"));
  entry.owner_code = TextField(row.Field("cinvcode"));
  entry.owner_type = TextField(row.Field("cinvtype"));
  entry.item = TextField(row.Field("citem"));
  entry.number = NumberField(row.Field("inumber"));
  entry.document_date = TextField(row.Field("ddate"));
  entry.issued = TextField(row.Field("dissued"));
  entry.user = TextField(row.Field("cuser"));
  return entry;
}

std::vector<JournalEntry> Entries(const std::shared_ptr<RecordSet>& rows) {
  std::vector<JournalEntry> entries;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) entries.push_back(EntryOfRow(*rows));
  return entries;
}

constexpr const char* kJournalColumns =
    "select cserial,cinvcode,cinvtype,citem,inumber,ddate,dissued,cuser from SNjournal";

}  // namespace

std::optional<NumberingPolicy> OwnerPolicy(Connection& db, const std::string& owner_code,
                                           const std::string& owner_type) {
  static constexpr Sql kSql{
      "select crestart,iend,iwarn,bjournal,bunique,ccheck from SNrulepolicy"
      " where cinvcode=:1 and cinvtype=:2"};
  std::shared_ptr<RecordSet> rows;
  try {
    rows = db.Query(kSql, {owner_code, owner_type});
  } catch (const Error& error) {
    if (IsMissingTable(error) && !db.InTransaction()) return std::nullopt;
    throw;
  }
  if (rows->Bof() && rows->Eof()) return std::nullopt;
  return PolicyOfRow(*rows);
}

std::optional<NumberingPolicy> PolicyOfRow(const RecordSet& row) {
  NumberingPolicy policy = StoredPolicy(row);
  if (policy.IsDefault()) return std::nullopt;
  return policy;
}

bool HasPolicyTables(Connection& db) {
  static constexpr Sql kSql{
      "select 1 from sqlite_master where type='table' and name='SNrulepolicy' collate nocase",
      "select 1 where to_regclass('snrulepolicy') is not null"};
  const auto rows = db.Query(kSql);
  return !(rows->Bof() && rows->Eof());
}

void SavePolicy(Connection& db, const std::string& owner_code, const std::string& owner_type,
                const NumberingPolicy& policy) {
  static constexpr Sql kDelete{"delete from SNrulepolicy where cinvcode=:1 and cinvtype=:2"};
  static constexpr Sql kInsert{
      "insert into SNrulepolicy (cinvcode,cinvtype,crestart,iend,iwarn,bjournal,bunique,ccheck)"
      " values (:1,:2,:3,:4,:5,:6,:7,:8)"};
  db.Execute(kDelete, {owner_code, owner_type});
  if (policy.IsDefault()) return;
  db.Execute(
      kInsert,
      {owner_code, owner_type, std::string(RestartWord(policy.restart)), OptionalNumber(policy.end),
       OptionalNumber(policy.warn), policy.journal ? "1" : "0", policy.unique ? "1" : "0",
       policy.check ? Param(std::string(CheckMethodWord(*policy.check))) : Param()});
}

void DeletePolicy(Connection& db, const std::string& owner_code, const std::string& owner_type) {
  static constexpr Sql kPolicy{"delete from SNrulepolicy where cinvcode=:1 and cinvtype=:2"};
  static constexpr Sql kCounters{"delete from SNcounter where cinvcode=:1 and cinvtype=:2"};
  db.Execute(kPolicy, {owner_code, owner_type});
  db.Execute(kCounters, {owner_code, owner_type});
}

std::optional<int32_t> CounterNumber(Connection& db, const std::string& owner_code,
                                     const std::string& owner_type, const std::string& key) {
  static constexpr Sql kSql{
      "select inumber from SNcounter where cinvcode=:1 and cinvtype=:2 and ckey=:3"};
  const auto rows = db.Query(kSql, {owner_code, owner_type, key});
  if (rows->Bof() && rows->Eof()) return std::nullopt;
  return rows->Field("inumber").ToInt32();
}

int32_t AdvanceCounter(Connection& writer, const std::string& owner_code,
                       const std::string& owner_type, const std::string& key, int32_t start,
                       int32_t amount) {
  // A new counter is stored already advanced past the numbers this call
  // takes; an existing one is advanced only while it stays within 32 bits.
  static constexpr Sql kSql{
      "insert into SNcounter (cinvcode,cinvtype,ckey,inumber)"
      " values (:1,cast(:2 as integer),:3,cast(:4 as integer))"
      " on conflict (cinvcode,cinvtype,ckey) do update"
      " set inumber=cast(SNcounter.inumber+cast(:5 as bigint) as integer)"
      " where SNcounter.inumber+cast(:6 as bigint) between -2147483648 and 2147483647"
      " returning inumber"};
  const int32_t first_next = generation::CheckedAdd(start, amount);
  const std::string amount_text = std::to_string(amount);
  const auto rows = writer.Query(
      kSql, {owner_code, owner_type, key, std::to_string(first_next), amount_text, amount_text});
  if (rows->Bof() && rows->Eof()) throw Error::Overflow();
  return static_cast<int32_t>(static_cast<int64_t>(rows->Field("inumber").ToInt32()) - amount);
}

void SetCounter(Connection& writer, const std::string& owner_code, const std::string& owner_type,
                const std::string& key, int32_t number) {
  static constexpr Sql kSql{
      "insert into SNcounter (cinvcode,cinvtype,ckey,inumber)"
      " values (:1,cast(:2 as integer),:3,cast(:4 as integer))"
      " on conflict (cinvcode,cinvtype,ckey) do update set inumber=excluded.inumber"};
  writer.Execute(kSql, {owner_code, owner_type, key, std::to_string(number)});
}

void RecordIssues(Connection& writer, const std::vector<JournalEntry>& entries, bool unique) {
  std::vector<Params> rows;
  rows.reserve(entries.size());
  for (const JournalEntry& entry : entries) {
    rows.push_back({entry.serial, entry.owner_code, entry.owner_type, entry.item,
                    OptionalNumber(entry.number), entry.document_date, entry.issued, entry.user,
                    unique ? Param(entry.serial) : Param()});
  }
  writer.InsertRows("SNjournal",
                    {"cserial", "cinvcode", "cinvtype", "citem", "inumber", "ddate", "dissued",
                     "cuser", "cunique"},
                    rows);
}

std::vector<JournalEntry> IssuedBefore(Connection& db, const std::vector<std::string>& serials) {
  // In slices, so that a large batch stays within the databases' limits on
  // parameters per statement.
  constexpr std::size_t kSlice = 200;
  std::vector<JournalEntry> found;
  for (std::size_t from = 0; from < serials.size(); from += kSlice) {
    const std::size_t to = std::min(serials.size(), from + kSlice);
    std::string text = std::string(kJournalColumns) + " where cserial in (";
    Params params;
    for (std::size_t i = from; i < to; ++i) {
      text += (i > from ? ",:" : ":") + std::to_string(params.size() + 1);
      params.push_back(serials[i]);
    }
    text += ") order by dissued";
    for (JournalEntry& entry : Entries(db.Query(Sql{text}, params))) {
      const bool known = std::any_of(found.begin(), found.end(), [&](const JournalEntry& seen) {
        return seen.serial == entry.serial;
      });
      if (!known) found.push_back(std::move(entry));
    }
  }
  return found;
}

std::vector<JournalEntry> ReadJournal(Connection& db, const std::optional<std::string>& owner_code,
                                      const std::optional<std::string>& owner_type,
                                      const std::optional<std::string>& since) {
  static constexpr const char* kOrder = " order by dissued,cinvtype,cinvcode,inumber,cserial";
  std::string text = kJournalColumns;
  Params params;
  if (owner_code) {
    text += " where cinvcode=:1 and cinvtype=:2";
    params = {*owner_code, owner_type};
  }
  if (since) {
    text += (params.empty() ? " where" : " and");
    text += " dissued>=:" + std::to_string(params.size() + 1);
    params.push_back(*since);
  }
  return Entries(db.Query(Sql{text + kOrder}, params));
}

}  // namespace quillet::store::policy
