#include "apps/mapping_store.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "apps/nearest_word.h"
#include "apps/segment_notation.h"
#include "apps/tool_error.h"
#include "core/field_text.h"
#include "core/text_functions.h"
#include "mapping/mapping_list.h"
#include "quillet/recordset.h"
#include "quillet/xml_document.h"

namespace quillet::apps {
namespace {

// The prefix key document: the data source's SNPrefabricate_lang row as the
// attributes of one element.
Variant PrefixKey(const DataSourceRow& row) {
  auto document = std::make_shared<XmlDocument>();
  document->loadXML("<source/>");
  XmlNode root = *document->documentElement();
  root.setAttribute("cdatasrccode", row.code);
  root.setAttribute("cdatasrccaption", row.caption);
  root.setAttribute("cContent", row.table);
  root.setAttribute("iContentType", row.content_type);
  root.setAttribute("cArchFieldName", row.value_column);
  root.setAttribute("cArchclsFieldName", row.caption_column);
  return Variant(document);
}

// The mapping edit document of one code.
Variant CodeEdit(const std::string& table, const std::string& value, const std::string& code) {
  auto document = std::make_shared<XmlDocument>();
  document->loadXML("<code/>");
  XmlNode root = *document->documentElement();
  root.setAttribute("ccode", code);
  root.setAttribute("ccontent", table);
  root.setAttribute("cseedcode", value);
  return Variant(document);
}

[[noreturn]] void RaiseUnused(int type, const std::string& message) {
  throw ToolFailure("no rule uses " + SourceName(type) + " yet, so it has no mappings (" + message +
                    ")");
}

}  // namespace

int MappedSourceType(const std::string& name) {
  const std::optional<int> type = SourceType(name);
  if (type && IsMappedSource(*type)) return *type;
  std::vector<std::string> mapped;
  for (const std::string_view source_name : SourceNames()) {
    if (IsMappedSource(*SourceType(source_name))) mapped.emplace_back(source_name);
  }
  throw ToolUsage(
      (type ? SourceName(*type) + " has no mappings"
            : "unknown data source '" + name + "'" + DidYouMean(name, mapped)) +
      "; data sources with mappings: department, workcenter, warehouse, clerk, supplier, class, "
      "item, free1 ... free10");
}

DataSourceRow RequireDataSource(DomainSession& session, int type) {
  Catalog catalog(session);
  std::optional<DataSourceRow> row = catalog.DataSource(type);
  if (!row) {
    throw ToolFailure("the database describes no data source " + SourceName(type) + " for locale " +
                      session.locale() + " (table SNPrefabricate_lang)");
  }
  return *std::move(row);
}

MappingList ListMappings(DomainSession& session, int type) {
  MappingList list{RequireDataSource(session, type), 0, "", {}};
  Variant rows_value;
  std::string message;
  session.component().Getprefixrssrv(PrefixKey(list.source), list.width, rows_value, list.format,
                                     message);
  if (!message.empty()) RaiseUnused(type, message);
  const std::shared_ptr<RecordSet> rows = rows_value.record_set();
  if (!rows) throw ToolFailure("the component answered without a record set");
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    // An archive with a table of its own lists every source's rows: keep this one's.
    if (FieldTextOrEmpty(rows->Field("cdatasrccode")) != list.source.code) continue;
    list.mappings.push_back({FieldTextOrEmpty(rows->Field("cseedcode")),
                             FieldTextOrEmpty(rows->Field("cName")),
                             FieldTextOrEmpty(rows->Field("ccode")),
                             FieldTextOrEmpty(rows->Field("buserchange")) == "1"});
  }
  return list;
}

MappingPage ListMappingPage(DomainSession& session, int type, const std::string& search,
                            int64_t offset, int64_t limit) {
  MappingPage page{{RequireDataSource(session, type), 0, "", {}}, 0};
  const mapping::MappingPage read = mapping::ListMappingPage(
      session.reader().connection(), PrefixKey(page.list.source), search, offset, limit);
  if (read.unused) RaiseUnused(type, *read.unused);
  page.list.width = read.width;
  page.list.format = read.format;
  page.total = read.total;
  for (const mapping::MappingRow& row : read.rows) {
    page.list.mappings.push_back({row.value, row.caption, row.code, row.set_by_user});
  }
  return page;
}

MappingChange SetMappingCode(DomainSession& session, int type, const std::string& value,
                             const std::string& code, bool within_width) {
  const MappingList list = ListMappings(session, type);
  const auto found = std::find_if(list.mappings.begin(), list.mappings.end(),
                                  [&](const Mapping& m) { return m.value == value; });
  if (found == list.mappings.end()) {
    throw ToolFailure(SourceName(type) + " has no value " + value + " (see 'quillet mapping list " +
                      SourceName(type) + "')");
  }
  if (within_width && list.width > 0 && GetByteLen(code) > list.width) {
    throw ToolFailure("the code '" + code + "' is wider than the width " +
                      std::to_string(list.width) + " the rules give " + SourceName(type) +
                      ": serial numbers would carry it whole, longer than the segment; choose a "
                      "code of at most " +
                      std::to_string(list.width) + " characters");
  }
  MappingChange change{*found, {}};
  for (const Mapping& other : list.mappings) {
    if (!code.empty() && other.value != value && other.code == code) {
      change.same_code.push_back(other.value);
    }
  }
  std::string ignored;
  session.component().saveprefixcodesrv(CodeEdit(list.source.table, value, code), ignored);
  return change;
}

}  // namespace quillet::apps
