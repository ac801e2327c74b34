#include "store/mapping_contrapose.h"

#include "core/ascii_case.h"
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

namespace {

// The search as a LIKE pattern: lower case, its wildcards escaped.
std::string ContainsPattern(const std::string& search) {
  std::string pattern = "%";
  for (const char c : search) {
    if (c == '%' || c == '_' || c == '\\') pattern += '\\';
    pattern += service::AsciiLower(c);
  }
  return pattern + "%";
}

// The from and where clauses of a page's rows, with their values in `params`.
std::string PageRows(const MappingPageQuery& query, Params& params) {
  const std::string& caption = PlainIdentifier(query.caption_column, "archive caption column");
  std::string text = " from SNContrapose as a left join " +
                     PlainIdentifier(query.table, "archive table") + " as b on a.cseedcode=b." +
                     PlainIdentifier(query.value_column, "archive value column") +
                     " where a.cdatasrccode=:1";
  params.push_back(query.source_code);
  if (!query.search.empty()) {
    text += " and (lower(a.cseedcode) like :2 escape '\\' or lower(b." + caption +
            ") like :3 escape '\\' or lower(a.ccode) like :4 escape '\\')";
    const std::string pattern = ContainsPattern(query.search);
    params.insert(params.end(), {pattern, pattern, pattern});
  }
  return text;
}

}  // namespace

std::shared_ptr<RecordSet> MappingsPage(Connection& db, const MappingPageQuery& query) {
  Params params;
  const std::string rows = PageRows(query, params);
  const std::string caption = PlainIdentifier(query.caption_column, "archive caption column");
  const std::string next = std::to_string(params.size() + 1);
  params.push_back(std::to_string(query.limit));
  params.push_back(std::to_string(query.offset));
  const std::string text =
      "select a.cseedcode, b." + caption + " as cName, a.ccode, a.buserchange" + rows +
      " order by a.cseedcode limit :" + next + " offset :" + std::to_string(params.size());
  return db.Query(Sql{text}, params);
}

int64_t CountMappings(Connection& db, const MappingPageQuery& query) {
  Params params;
  const std::string text = "select count(*) as n" + PageRows(query, params);
  const auto rows = db.Query(Sql{text}, params);
  return static_cast<int64_t>(rows->Field("n").ToDouble());
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
