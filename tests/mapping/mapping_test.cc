// Mapping rows and the setup screen: FillContrapose (which archive values get
// generated mapping rows, and how), the setup screen's methods Getprefixrssrv,
// saveprefixcodesrv and Resetprefixsrv, and its queries (record sets handed
// back as copies, grade lookups).
#include <atomic>
#include <thread>

#include "mapping/fill_contrapose.h"
#include "store/schema.h"
#include "tests/maintenance/fixture.h"
#include "tests/support/raised.h"

namespace quillet::testing {
namespace {

class FillContraposeTest : public DatabaseTest {
 protected:
  void Fill(const std::string& source, const std::string& content_type, const std::string& table,
            const std::string& column, int32_t width) {
    FillOn(db(), source, content_type, table, column, width);
  }

  static void FillOn(store::Connection& connection, const std::string& source,
                     const std::string& content_type, const std::string& table,
                     const std::string& column, int32_t width) {
    const auto key = ElementDocument("r", {{"cdatasrccode", source},
                                           {"iContentType", content_type},
                                           {"cContent", table},
                                           {"cArchFieldName", column}});
    mapping::FillContrapose(connection, *key, width, "0");
  }
};

TEST_P(FillContraposeTest, MissingValuesGetFittedCodes) {
  for (const char* code : {"D1", "D2", "LONGVALUE1"}) AddDepartment(code);
  AddMapping("2", "department", "D2", "MINE", "1");
  Fill("2", "1", "department", "cDepCode", 4);
  EXPECT_EQ(Mappings("department"), (Table{{"D1", "00D1", "4", "0"},
                                           {"D2", "MINE", "9", "1"},
                                           {"LONGVALUE1", "LUE1", "4", "0"}}));
  EXPECT_EQ(Rows("select distinct cdatasrccode,iContentType from SNContrapose where isize='4'"),
            (Table{{"2", "1"}}));
  Fill("2", "1", "department", "cDepCode", 6);  // nothing missing any more
  EXPECT_EQ(Rows("select count(*) from SNContrapose"), (Table{{"3"}}));
}

TEST_P(FillContraposeTest, SharedTableMatchesExistingRowsByTableOnly) {
  for (const auto& [cid, value] : std::vector<std::pair<std::string, std::string>>{
           {"20", "V1"}, {"20", "V2"}, {"21", "V1"}, {"21", "V3"}}) {
    Exec("insert into userdefine (cid,cValue,cValueName) values (:1,:2,'n')", {cid, value});
  }
  Fill("20", "3", "userdefine", "cValue", 2);
  Fill("21", "3", "userdefine", "cValue", 2);
  EXPECT_EQ(Rows("select cdatasrccode,cseedcode from SNContrapose order by cseedcode"),
            (Table{{"20", "V1"}, {"20", "V2"}, {"21", "V3"}}));
}

TEST_P(FillContraposeTest, ItemsOnlyWhenSerialManaged) {
  Exec(
      "insert into inventory (cInvCode,cInvName,cInvCCode,bSerial) values"
      " ('I1','a','C1','1'),('I2','b','C1','0'),('I3','c','C2','1')");
  Fill("8", "1", "inventory", "cInvCode", 2);
  EXPECT_EQ(Rows("select cseedcode from SNContrapose order by cseedcode"), (Table{{"I1"}, {"I3"}}));
}

TEST_P(FillContraposeTest, ManyValuesAcrossStatementBoundaries) {
  constexpr int kValues = 2345;
  store::Connection::Transaction transaction(db());
  for (int i = 0; i < kValues; ++i) AddDepartment("D" + std::to_string(100000 + i));
  transaction.Commit();
  Fill("2", "1", "department", "cDepCode", 3);
  EXPECT_EQ(Rows("select count(*),count(distinct cseedcode) from SNContrapose"),
            (Table{{std::to_string(kValues), std::to_string(kValues)}}));
  EXPECT_EQ(Rows("select ccode from SNContrapose where cseedcode='D102344'"), (Table{{"344"}}));
}

TEST_P(FillContraposeTest, UnsafeNamesRejectedBeforeAnyStatement) {
  AddDepartment("D1");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"department; delete from department", "cDepCode"},
      {"department", "cDepCode) or (1=1"},
      {"1department", "cDepCode"},
      {"department", ""},
      {"部门", "cDepCode"},
      {"dep-art", "cDepCode"}};
  for (const auto& [table, column] : cases) {
    EXPECT_EQ(Raised([&] { Fill("2", "1", table, column, 4); }).number(), errc::kUnsafeIdentifier)
        << table << " / " << column;
  }
  EXPECT_TRUE(Rows("select * from SNContrapose").empty());
  EXPECT_EQ(Rows("select cDepCode from department"), (Table{{"D1"}}));
}

TEST_P(FillContraposeTest, ConcurrentFillsOfOneArchiveStoreEachValueOnce) {
  constexpr int kValues = 400;
  constexpr int kFills = 4;
  store::Connection::Transaction transaction(db());
  for (int i = 0; i < kValues; ++i) AddDepartment("D" + std::to_string(1000 + i));
  transaction.Commit();
  for (int round = 0; round < 3; ++round) {
    Exec("delete from SNContrapose");
    std::atomic<int> ready{0};
    std::vector<std::string> failures(kFills);
    std::vector<std::thread> fills;
    for (int i = 0; i < kFills; ++i) {
      fills.emplace_back([&, i] {
        store::Connection own;
        own.Open(connection_string());
        ++ready;
        while (ready < kFills) std::this_thread::yield();
        try {
          FillOn(own, "2", "1", "department", "cDepCode", 4);
        } catch (const Error& e) {
          failures[i] = e.description();
        }
      });
    }
    for (std::thread& fill : fills) fill.join();
    EXPECT_EQ(failures, std::vector<std::string>(kFills));
    ASSERT_EQ(Rows("select count(*),count(distinct cseedcode) from SNContrapose"),
              (Table{{std::to_string(kValues), std::to_string(kValues)}}))
        << "round " << round;
  }
}

TEST_P(FillContraposeTest, SchemaUpgradeKeepsOneRowPerArchiveValue) {
  Exec("drop index ux_sncontrapose_content");  // a database of an earlier version
  AddMapping("2", "department", "D1", "0D1", "0");
  AddMapping("2", "department", "D1", "MINE", "1");
  AddMapping("2", "department", "D1", "0D1", "0");
  AddMapping("2", "department", "D2", "0D2", "0");
  AddMapping("2", "department", "D2", "0D2", "0");
  AddMapping("20", "userdefine", "D1", "0D1", "0");
  store::CreateSchema(db());
  EXPECT_EQ(Mappings("department"), (Table{{"D1", "MINE", "9", "1"}, {"D2", "0D2", "9", "0"}}));
  EXPECT_EQ(Mappings("userdefine"), (Table{{"D1", "0D1", "9", "0"}}));
  EXPECT_THROW(AddMapping("2", "department", "D2", "0D2", "0"), Error);
}

INSTANTIATE_TEST_SUITE_P(Backends, FillContraposeTest, ::testing::ValuesIn(Backends()));

std::shared_ptr<XmlDocument> PrefixKey(const std::string& source, const std::string& content_type,
                                       const std::string& table, const std::string& value_column,
                                       const std::string& caption_column) {
  return ElementDocument("z", {{"cdatasrccode", source},
                               {"iContentType", content_type},
                               {"cContent", table},
                               {"cArchFieldName", value_column},
                               {"cArchclsFieldName", caption_column},
                               {"cdatasrccaption", "Caption " + source}});
}

Variant DepartmentKey() {
  return Variant(PrefixKey("2", "1", "department", "cDepCode", "cDepName"));
}

class PrefixMethods : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    AddSource("2", "department", "cDepCode", "cDepName");
  }

  struct Listing {
    std::string err = "-";
    int32_t width = -1;
    Variant rows = Variant("untouched");
    std::string format = "untouched";
  };

  Listing List(const Variant& key) {
    Listing listing;
    object().Getprefixrssrv(key, listing.width, listing.rows, listing.format, listing.err);
    return listing;
  }

  // cseedcode, ccode, cName of a listing.
  static Table Codes(const Variant& rows) {
    return Texts(*rows.record_set(), {"cseedcode", "ccode", "cName"});
  }

  void SaveCode(const std::string& code, const std::string& table, const std::string& seed) {
    std::string err = "-";
    object().saveprefixcodesrv(
        Variant(ElementDocument("c", {{"ccode", code}, {"ccontent", table}, {"cseedcode", seed}})),
        err);
    EXPECT_EQ(err, "-");
  }
};

TEST_P(PrefixMethods, SourceWithoutSegmentReportsCaption) {
  AddDepartment("D1");
  const Listing listing = List(DepartmentKey());
  EXPECT_NE(listing.err.find("Caption 2"), std::string::npos) << listing.err;
  EXPECT_EQ(listing.rows, Variant("untouched"));
  EXPECT_EQ(listing.width, -1);
  EXPECT_EQ(listing.format, "untouched");
  EXPECT_TRUE(Rows("select * from SNContrapose").empty());
}

TEST_P(PrefixMethods, ListingAfterFillWithCaptionsAndSettings) {
  AddDepartment("D1", "Sales");
  AddDepartment("D2", "Works");
  Save({{"1", "2", "1", "5", "*"}}, "I001", 1, "R1");
  Exec("delete from SNContrapose");
  AddMapping("6", "vendor", "V9", "V9", "0");  // another source's row

  const Listing listing = List(DepartmentKey());
  EXPECT_EQ(listing.err, "-");
  EXPECT_EQ(listing.width, 5);
  EXPECT_EQ(listing.format, "1");
  // Not a shared table: every source's rows are listed.
  EXPECT_EQ(Codes(listing.rows),
            (Table{{"D1", "***D1", "Sales"}, {"D2", "***D2", "Works"}, {"V9", "V9", "<null>"}}));
}

TEST_P(PrefixMethods, SharedTableListsOnlyItsSource) {
  Exec("insert into userdefine (cid,cValue,cValueName) values (20,'A','Red'),(21,'B','Big')");
  AddSource("20", "userdefine", "cValue", "cValueName", "3");
  AddSource("21", "userdefine", "cValue", "cValueName", "3");
  Save({{"1", "20", "", "2"}, {"2", "21", "", "2"}}, "I001", 1, "R1");
  List(Variant(PrefixKey("20", "3", "userdefine", "cValue", "cValueName")));
  const Variant key(PrefixKey("21", "3", "userdefine", "cValue", "cValueName"));
  EXPECT_EQ(Codes(List(key).rows), (Table{{"B", "0B", "Big"}}));
}

TEST_P(PrefixMethods, UserCodeSurvivesUntilReset) {
  AddDepartment("D1");
  Save({{"1", "2", "1", "3"}}, "I001", 1, "R1");
  SaveCode("X1", "department", "D1");
  SaveCode("Y", "department", "missing");  // no such row: nothing happens
  EXPECT_EQ(Mappings("department"), (Table{{"D1", "X1", "3", "1"}}));
  Save({{"1", "2", "1", "3"}}, "I001", 1, "R1");
  EXPECT_EQ(Mappings("department"), (Table{{"D1", "X1", "3", "1"}}));

  std::string err = "-";
  object().Resetprefixsrv("department", err);
  EXPECT_TRUE(Mappings("department").empty());
  List(DepartmentKey());
  EXPECT_EQ(Mappings("department"), (Table{{"D1", "0D1", "3", "0"}}));
}

TEST_P(PrefixMethods, HostileArchiveValuesAndCodesRoundTrip) {
  const std::vector<std::string> texts = {"O'Brien", "A&B", "<b>", "研发部", "'); --"};
  for (const std::string& text : texts) AddDepartment(text, text + " name");
  Save({{"1", "2", "", "20"}}, "I001", 1, "R1");
  for (const std::string& text : texts) SaveCode(text + "'&<", "department", text);
  const Table listing = Codes(List(DepartmentKey()).rows);
  ASSERT_EQ(listing.size(), texts.size());
  for (const auto& row : listing) {
    EXPECT_EQ(row[1], row[0] + "'&<");
    EXPECT_EQ(row[2], row[0] + " name");
  }
}

// Keys that are no document object, lack an attribute, or name an archive
// that no data source row describes.
TEST_P(PrefixMethods, UnusableKeysRaiseBeforeAnyStatement) {
  AddDepartment("D1");
  Save({{"1", "2", "1", "3"}}, "I001", 1, "R1");
  Exec("delete from SNContrapose");
  struct Case {
    Variant key;
    int32_t error;
  };
  for (const Case& c :
       {Case{Variant(), errc::kObjectNotSet}, Case{Variant(int32_t{3}), errc::kObjectNotSet},
        Case{Variant(std::shared_ptr<XmlDocument>()), errc::kObjectNotSet},
        Case{Variant(std::make_shared<RecordSet>()), errc::kNoSuchMember},
        Case{Variant("not xml"), errc::kObjectRequired},
        Case{Variant(DepartmentKey().document()->xml()), errc::kObjectRequired},
        Case{Variant(ElementDocument("z", {{"cContent", "department"}})), errc::kInvalidUseOfNull},
        Case{Variant(PrefixKey("2", "1", "department", "cDepCode", "cDepName from department --")),
             errc::kUnsafeIdentifier},
        Case{Variant(PrefixKey("2", "1", "SNrulemain", "rulename", "cnumber")),
             errc::kUnsafeIdentifier},
        Case{Variant(PrefixKey("2", "1", "department", "cDepName", "cDepCode")),
             errc::kUnsafeIdentifier},
        Case{Variant(PrefixKey("2", "3", "department", "cDepCode", "cDepName")),
             errc::kUnsafeIdentifier}}) {
    EXPECT_EQ(Raised([&] { List(c.key); }).number(), c.error)
        << "key type " << static_cast<int>(c.key.type());
  }
  EXPECT_TRUE(Rows("select * from SNContrapose").empty());
  std::string err;
  const Variant text("<c ccode='X' ccontent='department' cseedcode='D1'/>");
  EXPECT_EQ(Raised([&] { object().saveprefixcodesrv(text, err); }).number(), errc::kObjectRequired);
}

INSTANTIATE_TEST_SUITE_P(Backends, PrefixMethods, ::testing::ValuesIn(Backends()));

// The setup screen's queries: record sets handed back as copies, grade lookups.
class SetupQueries : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    Exec(
        "insert into inventoryclass (cInvCCode,cInvCName,iInvCGrade) values"
        " ('02','b',1),('01','a',1),('0101','a1',2)");
    Exec(
        "insert into inventory (cInvCode,cInvName,cInvCCode,bSerial) values"
        " ('I3','c','01','1'),('I1','a','01','1'),('I2','b','01','0'),('I4','d','0101','1')");
    AddSource("2", "department", "cDepCode", "cDepName");
    Exec(
        "insert into SNPrefabricate_lang (cdatasrccode,localid,cContent) values"
        " ('2','zh-CN','department')");
    Exec(
        "insert into UserDef_lang (cid,citemname,citemlang,localeid) values"
        " (20,'Colour','en','en-US'),(22,'Other','en','en-US'),(21,'颜色','zh','zh-CN')");
    Exec(
        "insert into GradeDef (KEYWORD,lgrade,CODINGRULE) values"
        " ('inventoryclass',3,'223'),('department',2,NULL)");
  }
};

TEST_P(SetupQueries, InitDataOfTheUserLocale) {
  Variant tree, sources, free_items;
  std::string err = "-";
  object().Getinitdata(tree, sources, free_items, err);
  EXPECT_EQ(Texts(*tree.record_set(), {"cInvCCode"}), (Table{{"01"}, {"0101"}, {"02"}}));
  EXPECT_EQ(Texts(*sources.record_set(), {"cdatasrccaption"}), (Table{{"Source"}}));
  EXPECT_EQ(Texts(*free_items.record_set(), {"citemname"}), (Table{{"Colour"}}));
  EXPECT_EQ(err, "-");
}

TEST_P(SetupQueries, SerialItemsOfExactlyOneClass) {
  Variant items;
  std::string err;
  object().GetInvNodesrv("01", items, err);
  EXPECT_EQ(Texts(*items.record_set()), (Table{{"I1", "a", "01"}, {"I3", "c", "01"}}));
  object().GetInvNodesrv("02", items, err);
  EXPECT_EQ(items.record_set()->RecordCount(), 0u);
}

TEST_P(SetupQueries, RecordSetsAreIndependentCopies) {
  Exec(
      "insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values ('a',1,'A',''),"
      "('b',1,'B','')");
  Variant first, second;
  std::string err;
  object().GetNumbertreesrv(first, err);
  first.record_set()->MoveNext();
  object().GetNumbertreesrv(second, err);
  ASSERT_NE(first.record_set(), second.record_set());
  EXPECT_FALSE(second.record_set()->Bof());
  EXPECT_EQ(Texts(*first.record_set()).size(), 2u);
  EXPECT_EQ(Texts(*first.record_set()), Texts(*second.record_set()));
}

TEST_P(SetupQueries, GradesOfAnArchive) {
  int16_t grades = -1;
  std::string rule = "untouched";
  std::string err;
  object().GetmaxGrade(grades, "inventoryclass", err);
  object().GetGradeRulesrv(rule, "inventoryclass", err);
  EXPECT_EQ(grades, 3);
  EXPECT_EQ(rule, "223");
  object().GetGradeRulesrv(rule, "department", err);
  EXPECT_EQ(rule, "");

  grades = -1;
  rule = "untouched";
  EXPECT_THROW(object().GetmaxGrade(grades, "unknown", err), Error);
  EXPECT_THROW(object().GetGradeRulesrv(rule, "unknown", err), Error);
  EXPECT_EQ(grades, -1);
  EXPECT_EQ(rule, "untouched");
}

INSTANTIATE_TEST_SUITE_P(Backends, SetupQueries, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
