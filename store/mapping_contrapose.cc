#include "store/mapping_contrapose.h"

#include "store/mapping_identifier.h"

namespace quillet::store::mapping {

std::shared_ptr<RecordSet> DataSourceOfLocale(Connection& db, const std::string& source_code,
                                              const std::string& locale_id) {
  static constexpr Sql kSql{
      "select * from SNPrefabricate_lang where cdatasrccode=:1 and localid=:2"};
  return db.Query(kSql, {source_code, locale_id});
}

std::shared_ptr<RecordSet> FirstSegmentOfType(Connection& db, const std::string& source_type) {
  static constexpr Sql kSql{
      "Select crulename,cdatasrcformat,iformatlength,cpatchsign from SNrule"
      " Where cdatasrctype=:1 limit 1"};
  return db.Query(kSql, {source_type});
}

bool DataSourceDescribes(Connection& db, const Archive& archive,
                         const std::optional<std::string>& caption_column) {
  std::string text =
      "select 1 from SNPrefabricate_lang where cdatasrccode=:1 and cContent=:2"
      " and cArchFieldName=:3 and iContentType=:4";
  Params params{archive.source_code, archive.table, archive.value_column, archive.content_type};
  if (caption_column) {
    text += " and cArchclsFieldName=:5";
    params.push_back(*caption_column);
  }
  return db.Query(Sql{text + " limit 1"}, params)->RecordCount() > 0;
}

std::shared_ptr<RecordSet> UnmappedArchiveValues(Connection& db, const Archive& archive) {
  const std::string& table = PlainIdentifier(archive.table, "archive table");
  const std::string& column = PlainIdentifier(archive.value_column, "archive value column");
  // Existing rows are matched on the archive table only, not on the source.
  std::string text = "select " + column + " from " + table + " where " + column +
                     " not in (select cseedcode from SNContrapose Where cContent=:1)";
  Params params{archive.table};
  if (archive.content_type == "3") {
    text += " and cid=:2";
    params.push_back(archive.source_code);
  } else if (archive.source_code == "8") {
    text += " and bSerial='1'";
  }
  return db.Query(Sql{text}, params);
}

void InsertGeneratedMappings(Connection& db, const Archive& archive, const std::string& width,
                             const std::vector<GeneratedMapping>& rows) {
  std::vector<Params> values;
  values.reserve(rows.size());
  for (const GeneratedMapping& row : rows) {
    values.push_back(
        {archive.table, row.seed, row.code, width, archive.content_type, archive.source_code, "0"});
  }
  db.InsertNewRows(
      "SNContrapose",
      {"cContent", "cseedcode", "ccode", "isize", "iContentType", "cdatasrccode", "buserchange"},
      {"cContent", "cseedcode"}, values);
}

std::shared_ptr<RecordSet> MappingsWithCaptions(Connection& db, const std::string& table,
                                                const std::string& value_column,
                                                const std::string& caption_column,
                                                const std::optional<std::string>& source_code) {
  std::string text = "Select a.*,b." + PlainIdentifier(caption_column, "archive caption column") +
                     " as cName from SNContrapose as a Left Join " +
                     PlainIdentifier(table, "archive table") + " as b ON a.cseedcode=b." +
                     PlainIdentifier(value_column, "archive value column");
  Params params;
  if (source_code) {
    text += " where a.cdatasrccode=:1";
    params.push_back(*source_code);
  }
  text += " order by a.cseedcode";
  return db.Query(Sql{text}, params);
}

void SetUserCode(Connection& db, const std::string& code, const std::string& table,
                 const std::string& seed) {
  static constexpr Sql kSql{
      "update SNContrapose set ccode=:1 ,buserchange='1' where ccontent=:2 and cseedcode=:3"};
  db.Execute(kSql, {code, table, seed});
}

void PutUserCode(Connection& db, const Archive& archive, const std::string& width,
                 const std::string& seed, const std::string& code) {
  static constexpr Sql kDelete{"delete from SNContrapose where cdatasrccode=:1 and cseedcode=:2"};
  static constexpr Sql kInsert{
      "insert into SNContrapose (cContent,cseedcode,ccode,isize,iContentType,cdatasrccode,"
      "buserchange) values (:1,:2,:3,:4,:5,:6,'1')"};
  db.Execute(kDelete, {archive.source_code, seed});
  db.Execute(kInsert,
             {archive.table, seed, code, width, archive.content_type, archive.source_code});
}

void DeleteMappingsOfArchive(Connection& db, const std::string& table) {
  static constexpr Sql kSql{"delete from SNContrapose where ccontent=:1"};
  db.Execute(kSql, {table});
}

}  // namespace quillet::store::mapping
