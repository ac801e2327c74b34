#include "numbering/mappings.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "core/nearest_word.h"
#include "core/segment_notation.h"
#include "core/text_functions.h"
#include "mapping/mapping_edit.h"
#include "mapping/mapping_list.h"
#include "numbering/catalog.h"
#include "quillet/xml_document.h"

namespace quillet::numbering {
namespace {

// The prefix key document: the data source's row as the attributes of one
// element.
Variant PrefixKey(const DataSourceInfo& source) {
  auto document = std::make_shared<XmlDocument>();
  document->loadXML("<source/>");
  XmlNode root = *document->documentElement();
  root.setAttribute("cdatasrccode", std::to_string(static_cast<int>(source.source)));
  root.setAttribute("cdatasrccaption", source.caption);
  root.setAttribute("cContent", source.table);
  root.setAttribute("iContentType", source.content_type);
  root.setAttribute("cArchFieldName", source.value_column);
  root.setAttribute("cArchclsFieldName", source.caption_column);
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

void RequireMappedSource(DataSource source) {
  if (notation::IsMappedSource(static_cast<int>(source))) return;
  RaiseBadRequest(DataSourceName(source) +
                  " has no mappings; data sources with mappings: department, workcenter, "
                  "warehouse, clerk, supplier, class, item, free1 ... free10");
}

// The data source's row, for a source with mappings.
DataSourceInfo MappedSource(Session& session, DataSource source) {
  RequireMappedSource(source);
  return RequireDataSource(session, source);
}

[[noreturn]] void RaiseUnused(DataSource source, const std::string& message) {
  RaiseNotFound("no rule uses " + DataSourceName(source) + " yet, so it has no mappings (" +
                message + ")");
}

}  // namespace

MappingPage Mappings(Session& session, DataSource source, const MappingQuery& query) {
  if (query.offset < 0 || (query.limit && *query.limit < 0)) {
    RaiseBadRequest("offset and limit must not be below 0");
  }
  MappingPage page{MappedSource(session, source), 0, "", 0, {}};
  const mapping::MappingPage read =
      mapping::ListMappingPage(session.db(), PrefixKey(page.source), query.search, query.offset,
                               query.limit.value_or(std::numeric_limits<int64_t>::max()));
  if (read.unused) RaiseUnused(source, *read.unused);
  page.width = read.width;
  page.format = read.format;
  page.total = read.total;
  for (const mapping::MappingRow& row : read.rows) {
    page.mappings.push_back({row.value, row.caption, row.code, row.set_by_user});
  }
  return page;
}

MappingChange SetMappingCode(Session& session, const SetMappingCodeRequest& request) {
  const MappingPage all = Mappings(session, request.source, {});
  const auto found = std::find_if(all.mappings.begin(), all.mappings.end(),
                                  [&](const Mapping& m) { return m.value == request.value; });
  if (found == all.mappings.end()) {
    RaiseNotFound(DataSourceName(request.source) + " has no value " + request.value);
  }
  if (request.within_width && all.width > 0 && GetByteLen(request.code) > all.width) {
    throw Failure(FailureKind::kConflict, errc::kCodeTooWide,
                  "the code '" + request.code + "' is wider than the width " +
                      std::to_string(all.width) + " the rules give " +
                      DataSourceName(request.source) +
                      ": serial numbers would carry it whole, longer than the segment; choose a "
                      "code of at most " +
                      std::to_string(all.width) + " characters");
  }
  MappingChange change{*found, {}};
  for (const Mapping& other : all.mappings) {
    if (!request.code.empty() && other.value != request.value && other.code == request.code) {
      change.same_code.push_back(other.value);
    }
  }
  mapping::SetUserCode(session.db(), CodeEdit(all.source.table, request.value, request.code),
                       session.options().user);
  return change;
}

std::string ResetMappings(Session& session, DataSource source) {
  const DataSourceInfo info = MappedSource(session, source);
  mapping::ResetArchive(session.db(), info.table, session.options().user);
  return info.table;
}

}  // namespace quillet::numbering
