#include "store/schema_tables.h"

#include "core/ascii_case.h"

namespace quillet::store {
namespace {

constexpr ColumnKind kText = ColumnKind::kText;
constexpr ColumnKind kInt = ColumnKind::kInteger;

std::vector<TableDef> MakeTables() {
  return {
      // Rule headers: one per owner, carrying the owner's running number.
      {"SNrulemain",
       {{"cinvcode", kText, true},
        {"cinvtype", kInt, true},
        {"cinvname", kText},
        {"rulename", kText},
        {"cnumber", kText}},
       {"cinvcode", "cinvtype"}},
      // Rule segments, one per grade.
      {"SNrule",
       {{"crulename", kText},
        {"cinvcode", kText},
        {"cinvtype", kInt},
        {"igrade", kInt},
        {"cdatasrctype", kInt},
        {"cdatasrcformat", kText},
        {"iformatlength", kInt},
        {"cpatchsign", kText},
        {"creplacesign", kText},
        {"isteplength", kInt}},
       {}},
      // Numbering policies of a rule, per owner; an owner without a row has
      // none. Only the issuing paths of rules with policies read it.
      {"SNrulepolicy",
       {{"cinvcode", kText, true},
        {"cinvtype", kInt, true},
        {"crestart", kText},
        {"iend", kInt},
        {"iwarn", kInt},
        {"bjournal", kInt, true, "0"},
        {"bunique", kInt, true, "0"},
        {"ccheck", kText}},
       {"cinvcode", "cinvtype"}},
      // The running numbers of rules that restart them: one per owner and
      // period or prefix, each the number its next issue uses.
      {"SNcounter",
       {{"cinvcode", kText, true},
        {"cinvtype", kInt, true},
        {"ckey", kText, true},
        {"inumber", kInt, true}},
       {"cinvcode", "cinvtype", "ckey"}},
      // The serial numbers issued with saving by rules that keep a journal.
      // cunique repeats the serial number of a rule that refuses repeats, so
      // that its unique key stops two of them committed at once.
      {"SNjournal",
       {{"cserial", kText, true},
        {"cinvcode", kText, true},
        {"cinvtype", kInt, true},
        {"citem", kText},
        {"inumber", kInt},
        {"ddate", kText},
        {"dissued", kText, true},
        {"cuser", kText},
        {"cunique", kText}},
       {}},
      // Serial numbers of the journal marked void: once each, never deleted.
      {"SNjournalvoid",
       {{"cserial", kText, true},
        {"cinvcode", kText, true},
        {"cinvtype", kInt, true},
        {"inumber", kInt},
        {"dvoided", kText, true},
        {"cuser", kText},
        {"creason", kText, true}},
       {"cserial"}},
      // Every change of a rule, a running number or a user's mapping code:
      // when (UTC), who, whose rule, what kind, and the rule before and after
      // as a rule file writes it.
      {"SNrulehistory",
       {{"dchanged", kText, true},
        {"cuser", kText},
        {"cinvcode", kText},
        {"cinvtype", kInt},
        {"ckind", kText, true},
        {"cbefore", kText},
        {"cafter", kText}},
       {}},
      // Value-to-code mappings of the archive values.
      {"SNContrapose",
       {{"cdatasrccode", kText},
        {"cseedcode", kText},
        {"ccode", kText},
        {"cContent", kText},
        {"isize", kText},
        {"iContentType", kText},
        {"buserchange", kInt, false, "0"}},
       {}},
      // The predefined data sources, per language.
      {"SNPrefabricate_lang",
       {{"cdatasrccode", kText},
        {"localid", kText},
        {"cdatasrccaption", kText},
        {"cContent", kText},
        {"iContentType", kText},
        {"cArchFieldName", kText},
        {"cArchclsFieldName", kText}},
       {}},
      // Host tables.
      {"inventory",
       {{"cInvCode", kText, true},
        {"cInvName", kText},
        {"cInvCCode", kText},
        {"bSerial", kText, false, "'0'"}},
       {"cInvCode"}},
      {"inventoryclass",
       {{"cInvCCode", kText, true}, {"cInvCName", kText}, {"iInvCGrade", kInt}},
       {"cInvCCode"}},
      {"GradeDef", {{"KEYWORD", kText, true}, {"lgrade", kInt}, {"CODINGRULE", kText}}, {}},
      {"department",
       {{"cDepCode", kText, true}, {"cDepName", kText}, {"iDepGrade", kInt}},
       {"cDepCode"}},
      {"UserDef_lang",
       {{"cid", kInt}, {"citemname", kText}, {"citemlang", kText}, {"localeid", kText}},
       {}},
      // Host archives that rules map from.
      {"warehouse", {{"cWhCode", kText, true}, {"cWhName", kText}}, {"cWhCode"}},
      {"workcenter", {{"cWcCode", kText, true}, {"cWcName", kText}}, {"cWcCode"}},
      {"person",
       {{"cPersonCode", kText, true}, {"cPersonName", kText}, {"cDepCode", kText}},
       {"cPersonCode"}},
      {"vendor", {{"cVenCode", kText, true}, {"cVenName", kText}}, {"cVenCode"}},
      // The values of the free items, all in one table told apart by cid.
      {"userdefine",
       {{"cid", kInt, true}, {"cValue", kText, true}, {"cValueName", kText}},
       {"cid", "cValue"}},
  };
}

std::vector<IndexDef> MakeIndexes() {
  return {
      // A rule name belongs to one owner.
      {"ux_snrulemain_rulename", "SNrulemain", {"rulename"}, true},
      {"ix_snrule_owner", "SNrule", {"cinvcode", "cinvtype", "igrade"}},
      {"ix_snrule_rulename", "SNrule", {"crulename"}},
      {"ix_snrule_datasrctype", "SNrule", {"cdatasrctype"}},
      {"ix_sncontrapose_source", "SNContrapose", {"cdatasrccode", "cseedcode"}},
      // One mapping row per archive table and value, however many fills run at once.
      {"ux_sncontrapose_content", "SNContrapose", {"cContent", "cseedcode"}, true},
      {"ix_inventory_class", "inventory", {"cInvCCode"}},
      {"ix_snprefabricate_lang_source", "SNPrefabricate_lang", {"cdatasrccode", "localid"}},
      {"ix_snjournal_serial", "SNjournal", {"cserial"}},
      {"ix_snjournal_issued", "SNjournal", {"dissued"}},
      {"ux_snjournal_unique", "SNjournal", {"cunique"}, true},
      {"ix_snrulehistory_owner", "SNrulehistory", {"cinvcode", "cinvtype", "dchanged"}},
  };
}

std::vector<std::string_view> MakeReplacedIndexes() {
  return {"ix_snrulemain_rulename", "ix_sncontrapose_content"};
}

}  // namespace

const std::vector<TableDef>& Tables() {
  static const std::vector<TableDef> tables = MakeTables();
  return tables;
}

const std::vector<IndexDef>& Indexes() {
  static const std::vector<IndexDef> indexes = MakeIndexes();
  return indexes;
}

const std::vector<std::string_view>& ReplacedIndexes() {
  static const std::vector<std::string_view> replaced = MakeReplacedIndexes();
  return replaced;
}

std::string_view DefinedColumnSpelling(std::string_view name) {
  for (const TableDef& table : Tables()) {
    for (const ColumnDef& column : table.columns) {
      if (service::EqualsIgnoringAsciiCase(column.name, name)) return column.name;
    }
  }
  return name;
}

}  // namespace quillet::store
