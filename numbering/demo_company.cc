// A lamp maker, "Lumenwright": every name here is invented for the demo.
#include "numbering/demo_company.h"

#include <string>

#include "numbering/rule_records.h"

namespace quillet::numbering {
namespace {

constexpr const char* kChinese = "zh-CN";
constexpr const char* kEnglish = "en-US";

DemoTable CodingRules() {
  return {"GradeDef",
          {"KEYWORD", "lgrade", "CODINGRULE"},
          1,
          {{"inventoryclass", "3", "223"}, {"department", "2", "22"}}};
}

// Classes coded 2-2-3: level 1 "01", level 2 "0101", level 3 "0101001".
DemoTable InventoryClasses() {
  return {"inventoryclass",
          {"cInvCCode", "cInvCName", "iInvCGrade"},
          1,
          {{"01", "照明成品", "1"},
           {"0101", "台灯", "2"},
           {"0101001", "LED台灯", "3"},
           {"0101002", "夹灯", "3"},
           {"0102", "落地灯", "2"},
           {"0102001", "弧形落地灯", "3"},
           {"02", "配件", "1"},
           {"0201", "驱动电源", "2"},
           {"0201001", "恒流驱动", "3"},
           {"0202", "线材", "2"}}};
}

DemoTable Items() {
  return {"inventory",
          {"cInvCode", "cInvName", "cInvCCode", "bSerial"},
          1,
          {{"LW-DL-100", "星野台灯", "0101001", "1"},
           {"LW-DL-110", "星野台灯（可调光）", "0101001", "1"},
           {"LW-CL-200", "雀羽夹灯", "0101002", "1"},
           {"LW-FL-300", "鹭影弧形落地灯", "0102001", "1"},
           {"LW-FL-310", "鹭影灯座", "0102", "1"},
           {"LW-KIT-01", "入门灯具套装", "01", "1"},
           {"LW-DR-012", "12W 恒流驱动", "0201001", "1"},
           {"LW-DR-024", "24W 恒流驱动", "0201001", "1"},
           {"LW-CB-001", "电源线 2m", "0202", "0"},
           {"LW-CB-002", "开关线", "0202", "0"}}};
}

// Departments coded 2-2.
DemoTable Departments() {
  return {"department",
          {"cDepCode", "cDepName", "iDepGrade"},
          1,
          {{"01", "制造部", "1"},
           {"0101", "装配车间", "2"},
           {"0102", "包装车间", "2"},
           {"02", "采购部", "1"},
           {"0201", "元件采购组", "2"},
           {"03", "销售部", "1"}}};
}

DemoTable Warehouses() {
  return {"warehouse",
          {"cWhCode", "cWhName"},
          1,
          {{"W01", "成品仓"}, {"W02", "原料仓"}, {"W03", "退货仓"}}};
}

DemoTable WorkCenters() {
  return {"workcenter",
          {"cWcCode", "cWcName"},
          1,
          {{"WC01", "装配一线"}, {"WC02", "装配二线"}, {"WC03", "老化检测台"}}};
}

DemoTable Clerks() {
  return {"person",
          {"cPersonCode", "cPersonName", "cDepCode"},
          1,
          {{"P001", "林晓岚", "0101"}, {"P002", "周启明", "0201"}, {"P003", "夏若溪", "03"}}};
}

DemoTable Suppliers() {
  return {"vendor",
          {"cVenCode", "cVenName"},
          1,
          {{"V001", "北岸元件有限公司"}, {"V002", "柳汀线缆厂"}, {"V003", "潮声光学科技"}}};
}

// The free items' values, one shared table told apart by cid.
DemoTable FreeItemValues() {
  return {"userdefine",
          {"cid", "cValue", "cValueName"},
          2,
          {{"20", "RD", "红色"},
           {"20", "BL", "蓝色"},
           {"20", "WH", "白色"},
           {"21", "S", "小号"},
           {"21", "M", "中号"},
           {"21", "L", "大号"},
           {"28", "AL", "铝合金"},
           {"28", "ST", "钢"}}};
}

struct SourceCaption {
  const char* code;
  const char* chinese;
  const char* english;
  const char* table;
  const char* code_column;
  const char* name_column;
  const char* content_type;
};

// Free items: data source codes 20, 21, 28 ... 35 in that order.
constexpr const char* kFreeItemCodes[] = {"20", "21", "28", "29", "30",
                                          "31", "32", "33", "34", "35"};
constexpr const char* kFreeItemChinese[] = {"颜色", "尺码", "材质"};
constexpr const char* kFreeItemEnglish[] = {"Color", "Size", "Material"};

std::string FreeItemCaption(std::size_t index, const char* locale) {
  const bool chinese = std::string(locale) == kChinese;
  if (index < std::size(kFreeItemChinese)) {
    return chinese ? kFreeItemChinese[index] : kFreeItemEnglish[index];
  }
  return (chinese ? "自由项" : "Free item ") + std::to_string(index + 1);
}

std::vector<SourceCaption> ArchiveSources() {
  return {{"2", "部门", "Department", "department", "cDepCode", "cDepName", "1"},
          {"3", "工作中心", "Work center", "workcenter", "cWcCode", "cWcName", "1"},
          {"4", "仓库", "Warehouse", "warehouse", "cWhCode", "cWhName", "1"},
          {"5", "业务员", "Clerk", "person", "cPersonCode", "cPersonName", "1"},
          {"6", "供应商", "Supplier", "vendor", "cVenCode", "cVenName", "1"},
          {"7", "存货分类", "Inventory class", "inventoryclass", "cInvCCode", "cInvCName", "1"},
          {"8", "存货", "Item", "inventory", "cInvCode", "cInvName", "1"}};
}

DemoTable DataSources() {
  DemoTable table{"SNPrefabricate_lang",
                  {"cdatasrccode", "localid", "cdatasrccaption", "cContent", "iContentType",
                   "cArchFieldName", "cArchclsFieldName"},
                  2,
                  {}};
  for (const char* locale : {kChinese, kEnglish}) {
    const bool chinese = std::string(locale) == kChinese;
    for (const SourceCaption& source : ArchiveSources()) {
      table.rows.push_back({source.code, locale, chinese ? source.chinese : source.english,
                            source.table, source.content_type, source.code_column,
                            source.name_column});
    }
    for (std::size_t i = 0; i < std::size(kFreeItemCodes); ++i) {
      table.rows.push_back({kFreeItemCodes[i], locale, FreeItemCaption(i, locale), "userdefine",
                            "3", "cValue", "cValueName"});
    }
  }
  return table;
}

DemoTable FreeItemCaptions() {
  DemoTable table{"UserDef_lang", {"cid", "localeid", "citemname", "citemlang"}, 2, {}};
  for (const char* locale : {kChinese, kEnglish}) {
    for (std::size_t i = 0; i < std::size(kFreeItemCodes); ++i) {
      table.rows.push_back({kFreeItemCodes[i], locale, FreeItemCaption(i, locale), locale});
    }
  }
  return table;
}

// Owner types: 0 an inventory class, 1 an item, 2 all items.
DemoTable RuleHeaders() {
  return {"SNrulemain",
          {"cinvcode", "cinvtype", "cinvname", "rulename", "cnumber"},
          2,
          {{"all", "2", "", "General", "1"},
           {"01", "0", "照明成品", "Lighting", "1"},
           {"LW-DL-100", "1", "星野台灯", "Aster desk lamp", "1"}}};
}

// Segment data source types: 0 date, 2 department, 9 fixed text, 10 running
// number (format = start value, width = digits).
DemoTable RuleSegments() {
  return {"SNrule",
          {"cinvcode", "cinvtype", "igrade", "crulename", "cdatasrctype", "cdatasrcformat",
           "iformatlength", "cpatchsign", "creplacesign", "isteplength"},
          3,
          {{"all", "2", "1", "General", "0", "YYYYMMDD", "8", "", "", "0"},
           {"all", "2", "2", "General", "10", "1", "4", "0", "", "1"},
           {"01", "0", "1", "Lighting", "9", "LW", "2", "", "", "0"},
           {"01", "0", "2", "Lighting", "2", "1", "2", "0", "X", "0"},
           {"01", "0", "3", "Lighting", "0", "YYYYMMDD", "8", "", "", "0"},
           {"01", "0", "4", "Lighting", "10", "1", "4", "0", "", "1"},
           {"LW-DL-100", "1", "1", "Aster desk lamp", "9", "AST-", "4", "", "", "0"},
           {"LW-DL-100", "1", "2", "Aster desk lamp", "0", "YYYYMMDD", "8", "", "", "0"},
           {"LW-DL-100", "1", "3", "Aster desk lamp", "9", "-", "1", "", "", "0"},
           {"LW-DL-100", "1", "4", "Aster desk lamp", "10", "1", "4", "0", "", "1"}}};
}

}  // namespace

const std::vector<std::string>& DemoLocales() {
  static const std::vector<std::string> locales = {kChinese, kEnglish};
  return locales;
}

std::vector<DemoTable> DemoCompany() {
  return {CodingRules(),      InventoryClasses(), Items(),       Departments(),    Warehouses(),
          WorkCenters(),      Clerks(),           Suppliers(),   FreeItemValues(), DataSources(),
          FreeItemCaptions(), RuleHeaders(),      RuleSegments()};
}

std::vector<DemoRule> DemoRules() {
  return {{RuleOwner::Item("LW-DL-100"),
           "星野台灯",
           "Aster desk lamp",
           {"text=AST-", "date=YYMMDD", "text=-", "number,width=4,step=1,start=1"}},
          {RuleOwner::Class("01"),
           "照明成品",
           "Lighting",
           {"text=LW", "department=1,width=2,pad=0,fill=X", "date=-YYMM-",
            "number,width=4,step=1,start=1"}},
          {RuleOwner::All(),
           "",
           "General",
           {"text=SN-", "date=YYYYMMDD-", "number,width=5,step=1,start=1"}}};
}

maintenance::Company DemoTour() {
  maintenance::Company company{kDemoItem, DemoCompany(), {}, {}};
  for (const DemoRule& demo : DemoRules()) {
    std::vector<Segment> segments;
    for (const std::string& word : demo.segments) segments.push_back(ParseSegment(word));
    company.rules.push_back({RuleDocument(demo.owner_name, segments), demo.owner, demo.name});
  }
  company.codes.push_back(
      {{"2", "1", "department", "cDepCode"}, "2", kSalesDepartment, kSalesCode});
  return company;
}

}  // namespace quillet::numbering
