// Statements on the mapping rows (SNContrapose), the data sources
// (SNPrefabricate_lang) and the archive tables they name.
#ifndef QUILLET_STORE_MAPPING_CONTRAPOSE_H_
#define QUILLET_STORE_MAPPING_CONTRAPOSE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quillet/recordset.h"
#include "store/connection.h"

// Every operation runs on the connection passed, binds its values as
// parameters and raises the database's error (see Connection). Operations
// that put an archive's table or column name into their text first raise
// errc::kUnsafeIdentifier for a name that is not a plain identifier, before
// anything is sent. Thread safety: that of the connection.
namespace quillet::store::mapping {

// Every column of the data source rows of one code and locale.
std::shared_ptr<RecordSet> DataSourceOfLocale(Connection& db, const std::string& source_code,
                                              const std::string& locale_id);

// crulename, cdatasrcformat, iformatlength and cpatchsign of one segment of
// the data source type, of whatever rule the database returns first.
std::shared_ptr<RecordSet> FirstSegmentOfType(Connection& db, const std::string& source_type);

// An archive as a data source row describes it.
struct Archive {
  std::string source_code;   // cdatasrccode
  std::string content_type;  // iContentType: "3" is a table shared by several sources (cid)
  std::string table;         // cContent
  std::string value_column;  // cArchFieldName
};

// Whether a data source row, of any locale, describes the archive for its
// data source code: the same table, value column and kind, and the caption
// column when one is given. Names are compared exactly.
bool DataSourceDescribes(Connection& db, const Archive& archive,
                         const std::optional<std::string>& caption_column);

// The archive's values (one column) that have no mapping row for the archive
// table yet: of a shared table ("3") only the rows of the source, of the
// items ("8") only serial-managed ones.
std::shared_ptr<RecordSet> UnmappedArchiveValues(Connection& db, const Archive& archive);

struct GeneratedMapping {
  std::string seed;  // cseedcode: the archive value
  std::string code;  // ccode
};

// Inserts generated mapping rows (buserchange '0') of the archive, `width` as
// isize, in bulk; a value that has a mapping row for the archive table
// already, stored meanwhile by another writer, keeps that row (see
// Connection::InsertNewRows). Runs in the caller's transaction, if any.
void InsertGeneratedMappings(Connection& db, const Archive& archive, const std::string& width,
                             const std::vector<GeneratedMapping>& rows);

// Every mapping column (a.*) followed by cName, the caption column of the
// archive row with the same value (null when there is none), ordered by
// cseedcode; only the rows of `source_code` when it is given.
std::shared_ptr<RecordSet> MappingsWithCaptions(Connection& db, const std::string& table,
                                                const std::string& value_column,
                                                const std::string& caption_column,
                                                const std::optional<std::string>& source_code);

// One page of a data source's mapping rows, as MappingsWithCaptions lists
// them for `source_code`.
struct MappingPageQuery {
  std::string table;           // the archive table
  std::string value_column;    // its value column
  std::string caption_column;  // its caption column
  std::string source_code;     // only the rows of this data source
  std::string search;          // rows whose value, caption or code holds it; "" for all
  int64_t offset = 0;          // rows skipped
  int64_t limit = 100;         // rows at most
};

// cseedcode, cName, ccode and buserchange of the page's rows, ordered by
// cseedcode. The search folds ASCII letters to lower case and takes '%' and
// '_' as themselves.
std::shared_ptr<RecordSet> MappingsPage(Connection& db, const MappingPageQuery& query);

// How many rows the page's search finds, without offset and limit.
int64_t CountMappings(Connection& db, const MappingPageQuery& query);

// Sets a user's code on the mapping row of an archive table and value and
// marks it as changed by the user; no row changes when there is none.
void SetUserCode(Connection& db, const std::string& code, const std::string& table,
                 const std::string& seed);

// Deletes every mapping row of an archive table, user-changed rows included.
void DeleteMappingsOfArchive(Connection& db, const std::string& table);

// Makes `code` the user's code of the archive value `seed` (buserchange 1),
// replacing any mapping row of the data source and value.
void PutUserCode(Connection& db, const Archive& archive, const std::string& width,
                 const std::string& seed, const std::string& code);

}  // namespace quillet::store::mapping

#endif  // QUILLET_STORE_MAPPING_CONTRAPOSE_H_
