#include "store/rule_queries.h"

#include <atomic>

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

std::unique_ptr<Connection> OpenWriter(const Connection& service) {
  opened_writers.fetch_add(1, std::memory_order_relaxed);
  return OpenWriteConnection(service);
}

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

uint64_t SentStatements() { return sent_statements.load(std::memory_order_relaxed); }

uint64_t OpenedWriters() { return opened_writers.load(std::memory_order_relaxed); }

}  // namespace quillet::store::generation
