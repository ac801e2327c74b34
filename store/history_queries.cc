#include "store/history_queries.h"

#include <memory>

namespace quillet::store::history {
namespace {

std::string TextField(const Variant& field) { return field.IsNull() ? "" : field.ToText(); }

Param OptionalText(const std::string& text) { return text.empty() ? Param() : Param(text); }

}  // namespace

bool HasHistoryTable(Connection& db) {
  static constexpr Sql kSql{
      "select 1 from sqlite_master where type='table' and name='SNrulehistory' collate nocase",
      "select 1 where to_regclass('snrulehistory') is not null"};
  const auto rows = db.Query(kSql);
  return !(rows->Bof() && rows->Eof());
}

void RecordChange(Connection& writer, const HistoryRow& row) {
  static constexpr Sql kSql{
      "insert into SNrulehistory (dchanged,cuser,cinvcode,cinvtype,ckind,cbefore,cafter)"
      " values (:1,:2,:3,cast(:4 as integer),:5,:6,:7)"};
  writer.Execute(kSql,
                 {row.changed, row.user, OptionalText(row.owner_code), OptionalText(row.owner_type),
                  row.kind, OptionalText(row.before), OptionalText(row.after)});
}

std::vector<HistoryRow> ReadHistory(Connection& db, const std::optional<std::string>& owner_code,
                                    const std::optional<std::string>& owner_type,
                                    const std::optional<std::string>& since) {
  std::string text =
      "select dchanged,cuser,cinvcode,cinvtype,ckind,cbefore,cafter from SNrulehistory";
  Params params;
  if (owner_code) {
    text += " where cinvcode=:1 and cinvtype=cast(:2 as integer)";
    params = {*owner_code, owner_type.value_or("")};
  }
  if (since) {
    text += params.empty() ? " where" : " and";
    text += " dchanged>=:" + std::to_string(params.size() + 1);
    params.push_back(*since);
  }
  const auto rows = db.Query(Sql{text + " order by dchanged"}, params);
  std::vector<HistoryRow> found;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    found.push_back({TextField(rows->Field("dchanged")), TextField(rows->Field("cuser")),
                     TextField(rows->Field("cinvcode")), TextField(rows->Field("cinvtype")),
                     TextField(rows->Field("ckind")), TextField(rows->Field("cbefore")),
                     TextField(rows->Field("cafter"))});
  }
  return found;
}

std::vector<std::pair<std::string, int32_t>> OwnerCounters(Connection& db,
                                                           const std::string& owner_code,
                                                           const std::string& owner_type) {
  static constexpr Sql kSql{
      "select ckey,inumber from SNcounter where cinvcode=:1 and cinvtype=cast(:2 as integer)"
      " order by ckey"};
  const auto rows = db.Query(kSql, {owner_code, owner_type});
  std::vector<std::pair<std::string, int32_t>> counters;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    counters.emplace_back(TextField(rows->Field("ckey")), rows->Field("inumber").ToInt32());
  }
  return counters;
}

std::optional<std::string> ArchiveCode(Connection& db, const std::string& table,
                                       const std::string& seed) {
  static constexpr Sql kSql{
      "select ccode from SNContrapose where ccontent=:1 and cseedcode=:2 limit 1"};
  const auto rows = db.Query(kSql, {table, seed});
  if (rows->Bof() && rows->Eof()) return std::nullopt;
  return TextField(rows->Field("ccode"));
}

}  // namespace quillet::store::history
