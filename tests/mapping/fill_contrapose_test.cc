// FillContrapose: which archive values get generated mapping rows, and how.
#include "mapping/fill_contrapose.h"

#include <atomic>
#include <thread>

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

}  // namespace
}  // namespace quillet::testing
