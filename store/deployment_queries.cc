#include "store/deployment_queries.h"

namespace quillet::store::deployment {

std::shared_ptr<RecordSet> TableNames(Connection& db) {
  static constexpr Sql kSql{
      "select name from sqlite_master where type = 'table'",
      "select tablename as name from pg_tables where schemaname = any (current_schemas(false))"};
  return db.Query(kSql);
}

std::shared_ptr<RecordSet> IndexNames(Connection& db) {
  static constexpr Sql kSql{
      "select name from sqlite_master where type = 'index'",
      "select indexname as name from pg_indexes where schemaname = any (current_schemas(false))"};
  return db.Query(kSql);
}

std::shared_ptr<RecordSet> SharedRuleNames(Connection& db) {
  static constexpr Sql kSql{
      "select rulename, count(*) as owners from SNrulemain"
      " where rulename is not null and rulename <> ''"
      " group by rulename having count(*) > 1 order by rulename"};
  return db.Query(kSql);
}

std::shared_ptr<RecordSet> RuleSources(Connection& db) {
  static constexpr Sql kSql{
      "select distinct m.rulename, m.cinvcode, m.cinvtype, r.cdatasrctype"
      " from SNrulemain m join SNrule r on r.cinvcode = m.cinvcode and r.cinvtype = m.cinvtype"
      " order by m.cinvtype, m.cinvcode, r.cdatasrctype"};
  return db.Query(kSql);
}

std::shared_ptr<RecordSet> DescribedSources(Connection& db) {
  static constexpr Sql kSql{
      "select distinct localid, cdatasrccode from SNPrefabricate_lang"
      " where localid is not null order by localid, cdatasrccode"};
  return db.Query(kSql);
}

std::shared_ptr<RecordSet> ServerSettings(Connection& db) {
  static constexpr Sql kSql{"select 1",
                            "select current_setting('synchronous_commit') as synchronous_commit,"
                            " current_setting('synchronous_standby_names') as standby_names,"
                            " current_setting('TimeZone') as time_zone,"
                            " case when pg_is_in_recovery() then 1 else 0 end as in_recovery"};
  return db.Query(kSql);
}

std::shared_ptr<RecordSet> Standbys(Connection& db) {
  static constexpr Sql kSql{"select 1 where 0 = 1",
                            "select coalesce(application_name, '') as application_name,"
                            " coalesce(sync_state, '') as sync_state"
                            " from pg_stat_replication order by application_name"};
  return db.Query(kSql);
}

}  // namespace quillet::store::deployment
