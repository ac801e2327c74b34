// FillContrapose: which archive values get generated mapping rows, and how.
#include "mapping/fill_contrapose.h"

#include "tests/maintenance/fixture.h"

namespace quillet::testing {
namespace {

class FillContraposeTest : public DatabaseTest {
 protected:
  void Fill(const std::string& source, const std::string& content_type, const std::string& table,
            const std::string& column, int32_t width) {
    const auto key = ElementDocument("r", {{"cdatasrccode", source},
                                           {"iContentType", content_type},
                                           {"cContent", table},
                                           {"cArchFieldName", column}});
    mapping::FillContrapose(db(), *key, width, "0");
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
    SCOPED_TRACE(table + " / " + column);
    try {
      Fill("2", "1", table, column, 4);
      ADD_FAILURE() << "no error raised";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), errc::kUnsafeIdentifier);
    }
  }
  EXPECT_TRUE(Rows("select * from SNContrapose").empty());
  EXPECT_EQ(Rows("select cDepCode from department"), (Table{{"D1"}}));
}

INSTANTIATE_TEST_SUITE_P(Backends, FillContraposeTest, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
