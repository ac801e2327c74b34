#include "apps/class_listing.h"

#include <memory>

#include "apps/nearest_word.h"
#include "apps/tool_error.h"
#include "core/field_text.h"
#include "quillet/recordset.h"

namespace quillet::apps {
namespace {

std::shared_ptr<RecordSet> RowsOf(const Variant& value) {
  std::shared_ptr<RecordSet> rows = value.record_set();
  if (!rows) throw ToolFailure("the component answered without a record set");
  rows->MoveFirst();
  return rows;
}

}  // namespace

std::vector<ClassRow> ReadClasses(DomainSession& session) {
  Variant tree;
  Variant sources;
  Variant free_names;
  std::string ignored;
  session.component().Getinitdata(tree, sources, free_names, ignored);
  std::vector<ClassRow> classes;
  for (const auto rows = RowsOf(tree); !rows->Eof(); rows->MoveNext()) {
    const Variant& level = rows->Field("iInvCGrade");
    classes.push_back({FieldTextOrEmpty(rows->Field("cInvCCode")),
                       FieldTextOrEmpty(rows->Field("cInvCName")),
                       level.IsNull() ? 0 : level.ToInt32()});
  }
  return classes;
}

std::vector<ClassRow> ClassAndBelow(const std::vector<ClassRow>& classes, const std::string& code) {
  std::vector<ClassRow> found;
  std::vector<std::string> codes;
  bool known = false;
  for (const ClassRow& row : classes) {
    codes.push_back(row.code);
    known = known || row.code == code;
    if (row.code.starts_with(code)) found.push_back(row);
  }
  if (!known) {
    throw ToolFailure("there is no inventory class " + code + DidYouMean(code, codes) +
                      " (see 'quillet classes')");
  }
  return found;
}

std::vector<ItemRow> ReadSerialItems(DomainSession& session, const std::string& class_code) {
  Variant items;
  std::string ignored;
  session.component().GetInvNodesrv(class_code, items, ignored);
  std::vector<ItemRow> rows;
  for (const auto found = RowsOf(items); !found->Eof(); found->MoveNext()) {
    rows.push_back({FieldTextOrEmpty(found->Field("cinvcode")),
                    FieldTextOrEmpty(found->Field("cinvname")), class_code});
  }
  return rows;
}

std::map<RuleOwner, std::string> ReadRuleNames(DomainSession& session) {
  Variant headers;
  std::string ignored;
  session.component().GetNumbertreesrv(headers, ignored);
  std::map<RuleOwner, std::string> names;
  for (const auto rows = RowsOf(headers); !rows->Eof(); rows->MoveNext()) {
    const RuleOwner owner = RuleOwner::FromNumber(FieldTextOrEmpty(rows->Field("cinvcode")),
                                                  rows->Field("cinvtype").ToInt16());
    names[owner] = FieldTextOrEmpty(rows->Field("rulename"));
  }
  return names;
}

}  // namespace quillet::apps
