// The connection over both backends: open/close rules, bound values, numbers
// and texts of database failures, transactions; and the pool of write
// connections.
#include "store/connection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "quillet/error.h"
#include "quillet/numbering.h"
#include "store/database_error.h"
#include "store/schema.h"
#include "store/write_pool.h"
#include "tests/support/backends.h"
#include "tests/support/raised.h"

namespace quillet::testing {
namespace {

using store::Connection;
using store::Dialect;
using store::Params;
using store::Sql;

class ConnectionTest : public ::testing::TestWithParam<std::string> {
 protected:
  bool sqlite() const { return GetParam() == "sqlite"; }
  long long Count(const std::string& sql, const Params& params = {}) {
    return db_.db().Query(Sql{sql}, params)->Field(0).ToInt32();
  }

  TestDatabase db_{GetParam()};
};

TEST_P(ConnectionTest, SecondOpenIsRejected) {
  Connection connection;
  connection.Open(db_.connection_string());
  const Error error = Raised([&] { connection.Open(db_.connection_string()); });
  EXPECT_EQ(error.number(), errc::kObjectOpen);
  EXPECT_EQ(error.description(), "Operation is not allowed when the object is open.");
  EXPECT_TRUE(connection.IsOpen());
}

TEST_P(ConnectionTest, DatabaseFailuresCarryTheDatabasesNumberAndMessage) {
  struct Case {
    std::string sql;
    int32_t sqlite_number;
    std::string sqlite_text;
    std::string sqlstate;
    std::string postgres_text;
  };
  const Case cases[] = {
      {"select * from nosuch", 1, "no such table: nosuch (SQLITE_ERROR)", "42P01",
       "relation \"nosuch\" does not exist (SQLSTATE 42P01)"},
      {"insert into SNrulemain (cinvcode, cinvtype) values ('a', 1)", 1555,
       "UNIQUE constraint failed: SNrulemain.cinvcode, SNrulemain.cinvtype "
       "(SQLITE_CONSTRAINT_PRIMARYKEY)",
       "23505",
       "duplicate key value violates unique constraint \"snrulemain_pkey\" (SQLSTATE 23505)"},
      {"insert into SNrule (igrade) values ('x')", 275,
       "CHECK constraint failed: igrade must be a whole number (SQLITE_CONSTRAINT_CHECK)", "22P02",
       "invalid input syntax for type integer: \"x\" (SQLSTATE 22P02)"},
  };
  db_.db().Execute(Sql{"insert into SNrulemain (cinvcode, cinvtype) values ('a', 1)"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    const Error error = Raised([&] { db_.db().Execute(Sql{c.sql}); });
    if (sqlite()) {
      EXPECT_EQ(error.number(), c.sqlite_number);
      EXPECT_EQ(error.description(), c.sqlite_text);
    } else {
      EXPECT_EQ(error.number(), store::SqlStateNumber(c.sqlstate));
      EXPECT_EQ(error.description(), c.postgres_text);
    }
  }
}

TEST_P(ConnectionTest, BoundTextsArriveUnchangedAndNullStaysNull) {
  const std::string texts[] = {"O'Brien", "A&B",      "<row name='x'/>", "序列号规则",
                               "",        " padded ", ":1 and :2"};
  for (const std::string& text : texts) {
    db_.db().Execute(Sql{"insert into SNContrapose (cseedcode, ccode) values (:1, :2)"},
                     Params{text, std::nullopt});
    auto rows = db_.db().Query(
        Sql{"select cseedcode, ccode from SNContrapose where cseedcode = :1"}, Params{text});
    ASSERT_EQ(rows->RecordCount(), 1u) << text;
    EXPECT_EQ(rows->Field("cseedcode"), Variant(text));
    EXPECT_TRUE(rows->Field("ccode").IsNull());
  }
}

TEST_P(ConnectionTest, TextsWithNulOrNotUtf8AreRefusedBeforeSending) {
  using namespace std::string_literals;
  const std::string faulty[] = {
      "a\0b"s,             // NUL
      "\xFF",              // a byte that starts no character
      "ab\xC3",            // a character cut short
      "\xC0\x80",          // overlong
      "\xED\xA0\x80",      // surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xE6\x97\x41",      // a lead byte without its continuation
  };
  const Sql insert{"insert into SNContrapose (cseedcode, ccode) values ('k', :1)"};
  for (const std::string& text : faulty) {
    EXPECT_EQ(Raised([&] { db_.db().Execute(insert, Params{text}); }).number(), errc::kInvalidText)
        << ::testing::PrintToString(text);
  }
  EXPECT_EQ(db_.db().Query(Sql{"select count(*) as n from SNContrapose"})->Field("n").ToInt32(), 0);
  db_.db().Execute(insert,
                   Params{"\xF0\x9F\x98\x80 \xE5\xBA\x8F"});  // four- and three-byte characters
}

TEST_P(ConnectionTest, FieldsKeepTheirColumnsKindAndSpelling) {
  db_.db().Execute(Sql{"insert into SNrule (cinvcode, cinvtype, igrade, cdatasrcformat) "
                       "values (:1, :2, :3, :4)"},
                   Params{"007", "1", "7", "0012"});
  auto rows =
      db_.db().Query(Sql{"select cinvcode, cinvtype, igrade, cdatasrcformat, "
                         "cinvcode as cName from SNrule"});
  EXPECT_EQ(rows->Field("cinvcode"), Variant("007"));
  EXPECT_EQ(rows->Field("cinvtype"), Variant(int32_t{1}));
  EXPECT_EQ(rows->Field("cdatasrcformat"), Variant("0012"));
  EXPECT_EQ(rows->columns()[1].type, FieldType::kInteger);
  EXPECT_EQ(rows->columns()[4].name, "cName");
  // select * gives the columns as the schema spells them.
  rows = db_.db().Query(Sql{"select * from SNPrefabricate_lang"});
  std::vector<std::string> names;
  for (const Column& column : rows->columns()) names.push_back(column.name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"cdatasrccode", "localid", "cdatasrccaption", "cContent",
                                      "iContentType", "cArchFieldName", "cArchclsFieldName"}));
}

TEST_P(ConnectionTest, WholeNumbersBeyond32BitsBecomeDoubles) {
  // SQLite's integer columns hold 64 bits, PostgreSQL's 32: a bigint product stands in there.
  db_.db().Execute(Sql{"insert into SNrule (igrade) values (:1)"},
                   Params{sqlite() ? "-5000000000" : "-5"});
  auto rows = db_.db().Query(
      Sql{"select igrade from SNrule", "select cast(igrade as bigint) * 1000000000 from SNrule"});
  EXPECT_EQ(rows->Field(0), Variant(-5000000000.0));
}

TEST_P(ConnectionTest, OwnerTypeWrittenWithTrailingBlankMatchesPlainDigit) {
  db_.db().Execute(Sql{"insert into SNrule (crulename, cinvcode, cinvtype, igrade) "
                       "values (:1, :2, :3, :4)"},
                   Params{"R", "I1", "1 ", "1"});
  EXPECT_EQ(Count("select count(*) from SNrule where cinvcode=:1 and cinvtype=:2", {"I1", "1"}), 1);
  EXPECT_EQ(Count("select count(*) from SNrule where cinvtype=:1", {"0"}), 0);
}

TEST_P(ConnectionTest, TransactionsCommitOrRollBack) {
  Connection& db = db_.db();
  const Sql insert{"insert into warehouse (cWhCode) values (:1)"};
  db.Begin();
  db.Execute(insert, {"rolled-back"});
  db.Rollback();
  {
    Connection::Transaction abandoned(db);
    db.Execute(insert, {"abandoned"});
  }
  {
    Connection::Transaction kept(db);
    db.Execute(insert, {"kept"});
    EXPECT_NE(Raised([&] { db.Begin(); }).number(), 0);
    kept.Commit();
  }
  auto rows = db.Query(Sql{"select cWhCode from warehouse"});
  ASSERT_EQ(rows->RecordCount(), 1u);
  EXPECT_EQ(rows->Field(0), Variant("kept"));
  db.Execute(insert, {"other"});
  EXPECT_EQ(db.Execute(Sql{"update warehouse set cWhName = :1 where cWhCode <> :2"}, {"n", "x"}), 2)
      << "Execute counts the rows it changed";
}

TEST_P(ConnectionTest, SchemaAndDemoLoadTwiceKeepOneCopy) {
  const char* tables[] = {"SNrulemain", "SNrule", "SNPrefabricate_lang", "inventory", "userdefine"};
  Numbering::LoadDemoCompany(db_.connection_string(), Numbering::DemoContent::kRows);
  std::vector<long long> once;
  for (const char* table : tables)
    once.push_back(Count(std::string("select count(*) from ") + table));
  store::CreateSchema(db_.db());
  Numbering::LoadDemoCompany(db_.connection_string(), Numbering::DemoContent::kRows);
  for (std::size_t i = 0; i < std::size(tables); ++i) {
    EXPECT_GT(once[i], 0) << tables[i];
    EXPECT_EQ(Count(std::string("select count(*) from ") + tables[i]), once[i]) << tables[i];
  }
  EXPECT_EQ(Count("select count(*) from SNPrefabricate_lang where localid=:1", {"en-US"}), 17);
}

// A database made before a column was added to a table gets the column when
// the tables are created again, its rows kept.
TEST_P(ConnectionTest, CreatingTheTablesAgainAddsTheColumnsAddedSince) {
  db_.db().Execute(Sql{"insert into SNrulepolicy (cinvcode,cinvtype,iend) values ('all',2,9)"});
  db_.db().Execute(Sql{"alter table SNrulepolicy drop column ccheck"});
  store::CreateSchema(db_.db());
  EXPECT_EQ(Count("select count(*) from SNrulepolicy where iend=9 and ccheck is null"), 1);
}

// A transaction pooler lends each transaction whichever server session is
// free: a statement name kept by one client would be missing, or taken by
// another, in the next. Reached directly, statements stay prepared.
TEST_P(ConnectionTest, NoStatementNameOutlivesATransactionThroughAPooler) {
  if (sqlite()) GTEST_SKIP() << "server-side statements are PostgreSQL's";
  const Sql read{"select count(*) from warehouse where cWhCode <> :1"};
  const Sql insert{"insert into warehouse (cWhCode) values (:1)"};
  for (const bool keep : {true, false}) {
    SCOPED_TRACE(keep ? "prepared when direct" : "unnamed everywhere");
    store::SetPreparedWhenDirect(keep);
    Connection first, second;
    first.Open(db_.connection_string());
    second.Open(db_.connection_string());
    for (int round = 0; round < 3; ++round) {
      const std::string code = std::to_string(keep) + "-" + std::to_string(round);
      Connection::Transaction change(first);
      first.Execute(insert, {code + "a"});
      EXPECT_EQ(second.Query(read, {""})->Field(0).ToInt32(), round * 2);
      second.Execute(insert, {code + "b"});
      change.Commit();
      first.Query(read, {""});
    }
    const Sql kept_names{"select count(*) from pg_prepared_statements"};
    EXPECT_EQ(first.Query(kept_names)->Field(0).ToInt32() > 0, keep && !first.ThroughPooler());
    db_.db().Execute(Sql{"delete from warehouse"});
  }
  store::SetPreparedWhenDirect(true);
}

// A server that refuses writes (a standby, a demoted primary) fails the
// statement cleanly; the next statement outside a transaction opens a new
// session, on the server that is now the primary.
TEST_P(ConnectionTest, ASessionRefusedWritesIsOpenedAgain) {
  if (sqlite()) GTEST_SKIP() << "read-only servers are PostgreSQL's";
  Connection connection;
  connection.Open(db_.connection_string());
  const Sql pid{"select pg_backend_pid()"};
  const Sql insert{"insert into warehouse (cWhCode) values (:1)"};
  const int32_t first = connection.Query(pid)->Field(0).ToInt32();
  connection.Begin();
  connection.Execute(Sql{"SET TRANSACTION READ ONLY"});
  const Error refused = Raised([&] { connection.Execute(insert, {"refused"}); });
  EXPECT_EQ(refused.number(), store::SqlStateNumber("25006")) << refused.description();
  EXPECT_TRUE(connection.InTransaction()) << "the transaction is still the caller's to end";
  connection.Rollback();
  EXPECT_TRUE(connection.Lost());
  connection.Execute(insert, {"kept"});
  if (!connection.ThroughPooler()) {
    EXPECT_NE(connection.Query(pid)->Field(0).ToInt32(), first) << "a new session";
  }
  EXPECT_EQ(Count("select count(*) from warehouse"), 1);
}

// The pool of write connections: reuse, its bound under more threads than
// connections, and what it does with a connection given back mid-way.
TEST_P(ConnectionTest, WritePoolReusesAndBoundsConnectionsUnderMoreThreads) {
  constexpr int kThreads = 6;
  constexpr int kRounds = 20;
  store::WritePool pool(2);
  const std::string& target = db_.connection_string();
  {
    auto first = pool.Acquire(target);
    first->Execute(Sql{"insert into warehouse (cWhCode) values ('first')"});
  }
  std::atomic<int> lent_at_once{0}, most_at_once{0}, sessions{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        auto writer = pool.Acquire(target);
        const int now = ++lent_at_once;
        for (int most = most_at_once;
             now > most && !most_at_once.compare_exchange_weak(most, now);) {
        }
        if (writer->SentStatements() == 0) ++sessions;
        writer->Execute(Sql{"insert into warehouse (cWhCode) values (:1)"},
                        {std::to_string(t) + "-" + std::to_string(round)});
        --lent_at_once;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_LE(most_at_once, 2);
  EXPECT_LE(pool.MostLent(target), 2u);
  EXPECT_LE(sessions, 1) << "at most one more session was opened beside the first";
  EXPECT_EQ(db_.db().Query(Sql{"select count(*) from warehouse"})->Field(0).ToInt32(),
            1 + kThreads * kRounds);
}

TEST_P(ConnectionTest, WritePoolRollsBackAConnectionGivenBackInATransaction) {
  store::WritePool pool(1);
  {
    auto writer = pool.Acquire(db_.connection_string());
    writer->Begin();
    writer->Execute(Sql{"insert into warehouse (cWhCode) values ('abandoned')"});
  }
  auto again = pool.Acquire(db_.connection_string());
  EXPECT_FALSE(again->InTransaction());
  again->Execute(Sql{"insert into warehouse (cWhCode) values ('kept')"});
  EXPECT_EQ(db_.db().Query(Sql{"select cWhCode from warehouse"})->Field(0), Variant("kept"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ConnectionTest, ::testing::ValuesIn(Backends()));

TEST(Connection, UnopenedConnectionRefusesWork) {
  Connection connection;
  for (const auto& call : std::vector<std::function<void()>>{
           [&] { connection.Query(Sql{"select 1"}); }, [&] { connection.Execute(Sql{"select 1"}); },
           [&] { store::OpenWriteConnection(connection); }}) {
    const Error error = Raised(call);
    EXPECT_EQ(error.number(), errc::kConnectionClosed);
    EXPECT_EQ(error.description(),
              "The connection cannot be used to perform this operation. It is either closed or "
              "invalid in this context.");
  }
}

TEST(Connection, FailuresToConnect) {
  struct Case {
    std::string connection_string;
    int32_t number;
  };
  const Case cases[] = {
      {"mysql:host=x", errc::kBadConnectionString},
      {"", errc::kBadConnectionString},
      {"sqlite:/nonexistent-dir/q.db", store::kSqliteCantOpen},
      {"postgresql:host=/nonexistent-dir dbname=q", store::SqlStateNumber("08006")},
  };
  for (const Case& c : cases) {
    Connection connection;
    EXPECT_EQ(Raised([&] { connection.Open(c.connection_string); }).number(), c.number)
        << c.connection_string;
    EXPECT_FALSE(connection.IsOpen());
  }
}

TEST(Connection, SqliteFilesUseWriteAheadLogging) {
  TestDatabase db("sqlite");
  EXPECT_EQ(db.db().Query(Sql{"PRAGMA journal_mode"})->Field(0), Variant("wal"));
}

TEST(Connection, SqlitePathWithBlanksAndEqualsSign) {
  const auto dir = std::filesystem::temp_directory_path() / "quillet store test dir";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "a b=c.db").string();
  {
    Connection connection;
    connection.Open("sqlite:" + path);
    connection.Execute(Sql{"create table t (x integer)"});
  }
  EXPECT_TRUE(std::filesystem::exists(path));
  std::filesystem::remove_all(dir);
}

TEST(SqlState, ReadAsBase36) {
  const std::pair<const char*, int32_t> cases[] = {
      {"42P01", 6844177}, {"08006", 373254}, {"00000", 0}, {"ZZZZZ", 60466175}};
  for (const auto& [state, number] : cases) {
    EXPECT_EQ(store::SqlStateNumber(state), number);
    EXPECT_EQ(store::SqlStateText(number), state);
  }
  EXPECT_EQ(store::SqlStateNumber("42-01"), -1);
  EXPECT_EQ(store::SqlStateNumber("420001"), -1);
}

}  // namespace
}  // namespace quillet::testing
