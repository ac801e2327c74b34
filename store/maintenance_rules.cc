#include "store/maintenance_rules.h"

namespace quillet::store::maintenance {
namespace {

// The host database reads an empty text as 0 in a whole-number column; SQLite
// (with the schema's checks) and PostgreSQL reject it, so it is bound as 0.
// Any other text goes as it stands and the database converts or rejects it.
Param WholeNumber(const std::string& text) { return text.empty() ? std::string("0") : text; }

}  // namespace

std::shared_ptr<RecordSet> HeadersNamed(Connection& db, const std::string& rule_name) {
  static constexpr Sql kSql{"select * from SNrulemain where rulename=:1"};
  return db.Query(kSql, {rule_name});
}

std::shared_ptr<RecordSet> OwnerHeaderForUpdate(Connection& db, const RuleOwner& owner) {
  // SQLite's write transactions are exclusive already.
  static constexpr Sql kSql{
      "select rulename,cnumber from SNrulemain where cinvcode=:1 and cinvtype=:2",
      "select rulename,cnumber from SNrulemain where cinvcode=:1 and cinvtype=:2 for update"};
  return db.Query(kSql, {owner.code, owner.KindText()});
}

void DeleteOwnerHeader(Connection& db, const RuleOwner& owner) {
  static constexpr Sql kSql{"delete from SNrulemain where cinvcode=:1 and cinvtype=:2"};
  db.Execute(kSql, {owner.code, owner.KindText()});
}

void RenameHeader(Connection& db, const RuleOwner& owner, const std::string& owner_name,
                  const std::string& rule_name) {
  static constexpr Sql kSql{
      "update SNrulemain set cinvname=:1,rulename=:2 where cinvcode=:3 and cinvtype=:4"};
  db.Execute(kSql, {owner_name, rule_name, owner.code, owner.KindText()});
}

void InsertHeader(Connection& db, const RuleOwner& owner, const std::string& owner_name,
                  const std::string& rule_name, const std::string& running_number) {
  static constexpr Sql kSql{
      "insert into SNrulemain (cinvcode,cinvname,cinvtype,rulename,cnumber)"
      " values (:1,:2,:3,:4,:5)"};
  db.Execute(kSql, {owner.code, owner_name, owner.KindText(), rule_name, running_number});
}

void DeleteOwnerSegments(Connection& db, const RuleOwner& owner) {
  static constexpr Sql kSql{"delete from SNrule where cinvcode=:1 and cinvtype=:2"};
  db.Execute(kSql, {owner.code, owner.KindText()});
}

void InsertSegment(Connection& db, const std::string& rule_name, const RuleOwner& owner,
                   const Segment& segment) {
  static constexpr Sql kSql{
      "insert into SNrule (crulename,igrade,cdatasrctype,cdatasrcformat,iformatlength,"
      "cpatchsign,creplacesign,cinvcode,cinvtype,isteplength)"
      " values (:1,:2,:3,:4,:5,:6,:7,:8,:9,:10)"};
  db.Execute(kSql, {rule_name, WholeNumber(segment.grade), WholeNumber(segment.source_type),
                    segment.format, WholeNumber(segment.width), segment.pad_sign, segment.fill_sign,
                    owner.code, owner.KindText() + " ", WholeNumber(segment.step)});
}

void ShareSourceSettings(Connection& db, const Segment& segment) {
  static constexpr Sql kSql{
      "update SNrule set cdatasrcformat=:1,iformatlength=:2,cpatchsign=:3"
      " where cdatasrctype=:4"};
  db.Execute(kSql, {segment.format, WholeNumber(segment.width), segment.pad_sign,
                    WholeNumber(segment.source_type)});
}

void DeleteGeneratedMappings(Connection& db, const std::string& source_type) {
  static constexpr Sql kSql{"delete from SNContrapose where cdatasrccode=:1 and buserchange=0"};
  db.Execute(kSql, {source_type});
}

void SetRunningNumber(Connection& db, const RuleOwner& owner, const std::string& running_number) {
  static constexpr Sql kSql{"update SNrulemain set cnumber=:1 where cinvcode=:2 and cinvtype=:3"};
  db.Execute(kSql, {running_number, owner.code, owner.KindText()});
}

void DeleteSegmentsNamed(Connection& db, const std::string& rule_name) {
  static constexpr Sql kSql{"delete from SNrule where crulename=:1"};
  db.Execute(kSql, {rule_name});
}

std::shared_ptr<RecordSet> OwnerRuleWithSegments(Connection& db, const RuleOwner& owner) {
  static constexpr Sql kSql{
      "select * from SNrulemain a left join SNrule b on a.rulename=b.crulename"
      " where a.cinvtype=:1 and a.cinvcode=:2 order by b.igrade"};
  return db.Query(kSql, {owner.KindText(), owner.code});
}

std::shared_ptr<RecordSet> OwnerRunningNumber(Connection& db, const RuleOwner& owner) {
  static constexpr Sql kSql{"select cnumber from SNrulemain where cinvcode=:1 and cinvtype=:2"};
  return db.Query(kSql, {owner.code, owner.KindText()});
}

std::shared_ptr<RecordSet> OwnerRuleName(Connection& db, const RuleOwner& owner) {
  static constexpr Sql kSql{"select rulename from SNrulemain where cinvcode=:1 and cinvtype=:2"};
  return db.Query(kSql, {owner.code, owner.KindText()});
}

}  // namespace quillet::store::maintenance
