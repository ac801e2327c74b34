#include "store/setup_queries.h"

namespace quillet::store::setup {

std::shared_ptr<RecordSet> InventoryClasses(Connection& db) {
  static constexpr Sql kSql{"select * from inventoryclass Order by cInvCCode ASC"};
  return db.Query(kSql);
}

std::shared_ptr<RecordSet> DataSourcesOfLocale(Connection& db, const std::string& locale_id) {
  static constexpr Sql kSql{"select * from SNPrefabricate_lang where localid=:1"};
  return db.Query(kSql, {locale_id});
}

std::shared_ptr<RecordSet> FreeItemCaptions(Connection& db, const std::string& locale_id) {
  // The ten data source codes of the free items.
  static constexpr Sql kSql{
      "select cid,citemname,citemlang from UserDef_lang"
      " where cid in(20,21,28,29,30,31,32,33,34,35) and localeid=:1"};
  return db.Query(kSql, {locale_id});
}

std::shared_ptr<RecordSet> SerialItemsOfClass(Connection& db, const std::string& class_code) {
  static constexpr Sql kSql{
      "select cinvcode,cinvname,cinvccode from inventory"
      " where cInvCCode=:1 and bSerial='1'  Order by cInvCode ASC"};
  return db.Query(kSql, {class_code});
}

std::shared_ptr<RecordSet> DataSourceLocales(Connection& db) {
  static constexpr Sql kSql{
      "select distinct localid from SNPrefabricate_lang where localid is not null order by "
      "localid"};
  return db.Query(kSql);
}

std::shared_ptr<RecordSet> AllRuleHeaders(Connection& db) {
  static constexpr Sql kSql{"select * from SNrulemain"};
  return db.Query(kSql);
}

std::shared_ptr<RecordSet> GradeCountOf(Connection& db, const std::string& keyword) {
  static constexpr Sql kSql{"select lgrade from GradeDef where KEYWORD=:1"};
  return db.Query(kSql, {keyword});
}

std::shared_ptr<RecordSet> CodingRuleOf(Connection& db, const std::string& keyword) {
  static constexpr Sql kSql{"select codingrule from GradeDef where KEYWORD=:1"};
  return db.Query(kSql, {keyword});
}

}  // namespace quillet::store::setup
