#include "store/void_queries.h"

#include <memory>

namespace quillet::store::voided {
namespace {

constexpr const char* kColumns =
    "select cserial,cinvcode,cinvtype,inumber,dvoided,cuser,creason from SNjournalvoid";

std::string TextField(const Variant& field) { return field.IsNull() ? "" : field.ToText(); }

std::vector<VoidRow> Rows(const std::shared_ptr<RecordSet>& rows) {
  std::vector<VoidRow> found;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    const Variant& number = rows->Field("inumber");
    found.push_back({TextField(rows->Field("cserial")), TextField(rows->Field("cinvcode")),
                     TextField(rows->Field("cinvtype")),
                     number.IsNull() ? std::nullopt : std::optional<int32_t>(number.ToInt32()),
                     TextField(rows->Field("dvoided")), TextField(rows->Field("cuser")),
                     TextField(rows->Field("creason"))});
  }
  return found;
}

}  // namespace

bool MarkVoid(Connection& writer, const VoidRow& row) {
  static constexpr Sql kSql{
      "insert into SNjournalvoid (cserial,cinvcode,cinvtype,inumber,dvoided,cuser,creason)"
      " values (:1,:2,cast(:3 as integer),cast(:4 as integer),:5,:6,:7)"
      " on conflict (cserial) do nothing returning cserial"};
  const Param number = row.number ? Param(std::to_string(*row.number)) : Param();
  const auto inserted = writer.Query(
      kSql, {row.serial, row.owner_code, row.owner_type, number, row.voided, row.user, row.reason});
  return !(inserted->Bof() && inserted->Eof());
}

std::optional<VoidRow> VoidOf(Connection& db, const std::string& serial) {
  const std::vector<VoidRow> rows =
      Rows(db.Query(Sql{std::string(kColumns) + " where cserial=:1"}, {serial}));
  if (rows.empty()) return std::nullopt;
  return rows.front();
}

std::vector<VoidRow> OwnerVoids(Connection& db, const std::string& owner_code,
                                const std::string& owner_type) {
  return Rows(db.Query(Sql{std::string(kColumns) +
                           " where cinvcode=:1 and cinvtype=cast(:2 as integer) order by dvoided"},
                       {owner_code, owner_type}));
}

}  // namespace quillet::store::voided
