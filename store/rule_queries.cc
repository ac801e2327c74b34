#include "store/rule_queries.h"

#include <atomic>
#include <string>

namespace quillet::store::generation {
namespace {

std::atomic<uint64_t> sent_statements{0};
std::atomic<uint64_t> opened_writers{0};

std::shared_ptr<RecordSet> Query(Connection& db, const Sql& sql, const Params& params) {
  sent_statements.fetch_add(1, std::memory_order_relaxed);
  return db.Query(sql, params);
}

}  // namespace

bool HeaderExists(Connection& db, const std::string& owner_code, const std::string& owner_type) {
  static constexpr Sql kSql{"select 1 from SNrulemain where cinvcode=:1 and cinvtype=:2 limit 1"};
  return Query(db, kSql, {owner_code, owner_type})->RecordCount() > 0;
}

std::shared_ptr<RecordSet> OwnerFacts(Connection& db, const std::string& item_code) {
  // Ancestors are matched as starts of the class code; the caller cuts the
  // code by the coding rule and keeps only those.
  static constexpr Sql kSql{
      "select 1 as kind, cinvcode as code, null as grade from SNrulemain"
      " where cinvcode=:1 and cinvtype=1"
      " union all select 2, b.cinvccode, b.iinvcgrade from inventory a"
      " left join inventoryclass b on a.cinvccode=b.cinvccode where a.cinvcode=:2"
      " union all select 3, CODINGRULE, null from"
      " (select CODINGRULE from GradeDef where KEYWORD='inventoryclass' limit 1) r"
      " union all select 4, h.cinvcode, null from SNrulemain h, inventory a, inventoryclass b"
      " where a.cinvcode=:3 and a.cinvccode=b.cinvccode and h.cinvtype=0"
      " and substr(b.cinvccode,1,length(h.cinvcode))=h.cinvcode"
      " union all select 5, cinvcode, null from SNrulemain where cinvcode='all' and cinvtype=2"};
  return Query(db, kSql, {item_code, item_code, item_code});
}

namespace {

// The candidate owners of an item and the facts read with them; the policy
// rows come last, so that a database without the policy table can be asked
// without them. The rows come in no order: on SQLite an `order by` over the
// branches costs a sort per branch, three times the read's other work.
//
// The dialects differ where the read matches the starts of a code (a class
// header's code against the item's class, a graded value's mapping against
// the department or class code). PostgreSQL probes the index once for each
// start up to kLongestGradedSeed characters, counted by a recursive query.
// SQLite would build a temporary table for that count and for every query
// named twice (with a page cache allocated and freed on each call), so there
// it reads the index between the code's first character and the code, which
// holds every start of it in SQLite's binary order, and names the owners
// without keeping them. PostgreSQL's order follows the database's collation,
// where that range is not sure to hold every start.
constexpr std::string_view kPostgresqlHead =
    "with recursive cut(n) as (select 1 union all select n+1 from cut where n<64), owners as (";
constexpr std::string_view kSqliteHead = "with owners as not materialized (";

constexpr std::string_view kOwners =
    "select cinvcode, cinvtype, cnumber, rulename from SNrulemain where cinvcode=:1 and cinvtype=1"
    " union all select h.cinvcode, h.cinvtype, h.cnumber, h.rulename"
    " from SNrulemain h, inventory a, inventoryclass b"
    " where a.cinvcode=:2 and a.cinvccode=b.cinvccode and h.cinvtype=0";
constexpr std::string_view kSqliteClassRange =
    " and h.cinvcode between substr(b.cinvccode,1,1) and b.cinvccode";

constexpr std::string_view kFacts =
    " and substr(b.cinvccode,1,length(h.cinvcode))=h.cinvcode"
    " union all select cinvcode, cinvtype, cnumber, rulename from SNrulemain"
    " where cinvcode='all' and cinvtype=2)"
    " select 6 as kind, s.crulename, s.cinvcode, s.cinvtype, s.igrade, s.cdatasrctype,"
    " s.cdatasrcformat, s.iformatlength, s.cpatchsign, s.creplacesign, s.isteplength"
    " from SNrule s join owners o on s.cinvcode=o.cinvcode and s.cinvtype=o.cinvtype"
    " union all select 7, rulename, cinvcode, cinvtype, null, null, cnumber, null, null, null, null"
    " from owners"
    " union all select 2, null, b.cinvccode, null, null, null, cast(b.iinvcgrade as text),"
    " null, null, null, null from inventory a left join inventoryclass b"
    " on a.cinvccode=b.cinvccode where a.cinvcode=:3"
    " union all select 3, null, null, null, null, null, r.CODINGRULE, null, null, null, null from"
    " (select CODINGRULE from GradeDef where KEYWORD='inventoryclass' limit 1) r"
    " union all select 8, null, cDepCode, null, iDepGrade, null, null, null, null, null, null"
    " from department where cDepCode=:4"
    " union all select 9, null, null, null, null, null, r.CODINGRULE, null, null, null, null from"
    " (select CODINGRULE from GradeDef where KEYWORD='department' limit 1) r"
    " union all select 11, null, m.cdatasrccode, null, null, null, m.cseedcode, null, m.ccode,"
    " null, null from SNContrapose m"
    " where m.cdatasrccode='3' and m.cseedcode=:5 or m.cdatasrccode='4' and m.cseedcode=:6"
    " or m.cdatasrccode='5' and m.cseedcode=:7 or m.cdatasrccode='6' and m.cseedcode=:8"
    " or m.cdatasrccode='8' and m.cseedcode=:9"
    " union all select 11, null, m.cdatasrccode, null, null, null, m.cseedcode, null, m.ccode,"
    " null, null";

// The graded mappings: the department's (the department given three times
// on SQLite, twice on PostgreSQL), then the item's class's.
constexpr std::string_view kPostgresqlGradedMappings =
    " from cut, SNContrapose m where cut.n<=length(cast(:10 as text))"
    " and m.cdatasrccode='2' and m.cseedcode=substr(cast(:11 as text),1,cut.n)"
    " union all select 11, null, m.cdatasrccode, null, null, null, m.cseedcode, null, m.ccode,"
    " null, null from inventory a, inventoryclass b, cut, SNContrapose m"
    " where a.cinvcode=:12 and a.cinvccode=b.cinvccode and cut.n<=length(b.cinvccode)"
    " and m.cdatasrccode='7' and m.cseedcode=substr(b.cinvccode,1,cut.n)";
constexpr std::string_view kSqliteGradedMappings =
    " from SNContrapose m where m.cdatasrccode='2' and m.cseedcode between substr(:10,1,1) and :11"
    " and length(m.cseedcode)<=64 and substr(:12,1,length(m.cseedcode))=m.cseedcode"
    " union all select 11, null, m.cdatasrccode, null, null, null, m.cseedcode, null, m.ccode,"
    " null, null from inventory a, inventoryclass b, SNContrapose m"
    " where a.cinvcode=:13 and a.cinvccode=b.cinvccode and m.cdatasrccode='7'"
    " and m.cseedcode between substr(b.cinvccode,1,1) and b.cinvccode"
    " and length(m.cseedcode)<=64 and substr(b.cinvccode,1,length(m.cseedcode))=m.cseedcode";

constexpr std::string_view kPolicyFactsSql =
    " union all select 10, p.crestart, p.cinvcode, p.cinvtype, p.iend, p.bjournal, p.ccheck,"
    " p.iwarn, null, null, p.bunique from SNrulepolicy p"
    " join owners o on p.cinvcode=o.cinvcode and p.cinvtype=o.cinvtype";

std::string FactsText(Dialect dialect, bool with_policies) {
  const bool sqlite = dialect == Dialect::kSqlite;
  std::string text(sqlite ? kSqliteHead : kPostgresqlHead);
  text += kOwners;
  if (sqlite) text += kSqliteClassRange;
  text += kFacts;
  text += sqlite ? kSqliteGradedMappings : kPostgresqlGradedMappings;
  if (with_policies) text += kPolicyFactsSql;
  return text;
}

}  // namespace

std::shared_ptr<RecordSet> IssueFacts(Connection& db, const IssueFactsAsked& asked) {
  static const std::string sqlite_with = FactsText(Dialect::kSqlite, true);
  static const std::string sqlite_without = FactsText(Dialect::kSqlite, false);
  static const std::string postgresql_with = FactsText(Dialect::kPostgresql, true);
  static const std::string postgresql_without = FactsText(Dialect::kPostgresql, false);
  const Sql sql = asked.with_policies ? Sql{sqlite_with, postgresql_with}
                                      : Sql{sqlite_without, postgresql_without};
  Params params{asked.item_code, asked.item_code, asked.item_code, asked.department};
  for (std::size_t i = 0; i < 4; ++i) {
    params.push_back(i < asked.source_values.size() ? asked.source_values[i] : std::nullopt);
  }
  params.insert(params.end(), {asked.item_code, asked.department, asked.department});
  if (db.dialect() == Dialect::kSqlite) params.push_back(asked.department);
  params.push_back(asked.item_code);
  return Query(db, sql, params);
}

std::shared_ptr<RecordSet> ItemClass(Connection& db, const std::string& item_code) {
  static constexpr Sql kSql{
      "select b.cinvccode,b.iinvcgrade from inventory a left join inventoryclass b"
      " on a.cinvccode=b.cinvccode where a.cinvcode=:1"};
  return Query(db, kSql, {item_code});
}

std::shared_ptr<RecordSet> CodingRule(Connection& db, const std::string& keyword) {
  static constexpr Sql kSql{"select CODINGRULE from GradeDef where KEYWORD=:1 limit 1"};
  return Query(db, kSql, {keyword});
}

std::shared_ptr<RecordSet> DepartmentGrade(Connection& db, const std::string& department_code) {
  static constexpr Sql kSql{"select iDepGrade from department where cDepCode=:1"};
  return Query(db, kSql, {department_code});
}

std::shared_ptr<RecordSet> OwnerSegments(Connection& db, const std::string& owner_code,
                                         const std::string& owner_type) {
  static constexpr Sql kSql{
      "select * from SNrule where cinvcode=:1 and cinvtype=:2 order by igrade"};
  return Query(db, kSql, {owner_code, owner_type});
}

std::shared_ptr<RecordSet> HeaderNumber(Connection& db, const std::string& owner_code,
                                        const std::string& owner_type) {
  static constexpr Sql kSql{"select cnumber from SNrulemain where cinvcode=:1 and cinvtype=:2"};
  return Query(db, kSql, {owner_code, owner_type});
}

WritePool::Lease OpenWriter(const Connection& service) {
  opened_writers.fetch_add(1, std::memory_order_relaxed);
  return OpenWriteConnection(service);
}

bool ReadsBestOnWriter(const Connection& service) { return service.dialect() == Dialect::kSqlite; }

void BeginWrite(Connection& writer) {
  sent_statements.fetch_add(1, std::memory_order_relaxed);
  writer.Begin();
}

void CommitWrite(Connection& writer) {
  sent_statements.fetch_add(1, std::memory_order_relaxed);
  writer.Commit();
}

std::shared_ptr<RecordSet> LockedHeaderNumber(Connection& writer, const std::string& owner_code,
                                              const std::string& owner_type) {
  static constexpr Sql kSql{
      "select cnumber from SNrulemain where cinvcode=:1 and cinvtype=:2",
      "select cnumber from SNrulemain where cinvcode=:1 and cinvtype=:2 for update"};
  return Query(writer, kSql, {owner_code, owner_type});
}

std::optional<int32_t> AdvanceNumber(Connection& writer, const std::string& owner_code,
                                     const std::string& owner_type, int32_t step) {
  // Only a number written the way this statement writes it is advanced here;
  // every other text keeps the conversion rules of the locked read.
  static constexpr Sql kSql{
      "update SNrulemain set cnumber=cast(cast(cnumber as integer)+:1 as text)"
      " where cinvcode=:2 and cinvtype=:3 and length(cnumber)<=11"
      " and cnumber=cast(cast(cnumber as integer) as text)"
      " and cast(cnumber as integer)+:4 between -2147483648 and 2147483647"
      " returning cnumber",
      "update SNrulemain set cnumber=cast(cast(cnumber as bigint)+cast(:1 as bigint) as text)"
      " where cinvcode=:2 and cinvtype=:3 and case when cnumber ~ '^-?[0-9]{1,10}$'"
      " then cast(cnumber as bigint)+cast(:4 as bigint) between -2147483648 and 2147483647"
      " else false end returning cnumber"};
  const std::string step_text = std::to_string(step);
  const auto advanced = Query(writer, kSql, {step_text, owner_code, owner_type, step_text});
  if (advanced->RecordCount() == 0) return std::nullopt;
  return static_cast<int32_t>(std::stoll(advanced->Field(0).ToText()) - step);
}

bool ReplaceNumber(Connection& writer, const std::string& owner_code, const std::string& owner_type,
                   const std::string& expected, const std::string& next) {
  static constexpr Sql kSql{
      "update SNrulemain set cnumber=:1 where cinvcode=:2 and cinvtype=:3 and cnumber=:4"};
  sent_statements.fetch_add(1, std::memory_order_relaxed);
  return writer.Execute(kSql, {next, owner_code, owner_type, expected}) > 0;
}

void SetNumber(Connection& writer, const std::string& owner_code, const std::string& owner_type,
               const std::string& number) {
  static constexpr Sql kSql{"update SNrulemain set cnumber=:1 where cinvcode=:2 and cinvtype=:3"};
  sent_statements.fetch_add(1, std::memory_order_relaxed);
  writer.Execute(kSql, {number, owner_code, owner_type});
}

std::shared_ptr<RecordSet> MappedCode(Connection& db, const std::string& source_code,
                                      const std::string& seed) {
  static constexpr Sql kSql{
      "select ccode from SNContrapose where cdatasrccode=:1 and cseedcode=:2 limit 1"};
  return Query(db, kSql, {source_code, seed});
}

std::shared_ptr<RecordSet> MappedCodes(
    Connection& db, const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string text = "select cdatasrccode, cseedcode, ccode from SNContrapose where ";
  Params params;
  for (const auto& [source_code, seed] : pairs) {
    if (!params.empty()) text += " or ";
    text += "(cdatasrccode=:" + std::to_string(params.size() + 1) +
            " and cseedcode=:" + std::to_string(params.size() + 2) + ")";
    params.push_back(source_code);
    params.push_back(seed);
  }
  return Query(db, Sql{text}, params);
}

uint64_t SentStatements() { return sent_statements.load(std::memory_order_relaxed); }

uint64_t OpenedWriters() { return opened_writers.load(std::memory_order_relaxed); }

}  // namespace quillet::store::generation
