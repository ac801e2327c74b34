// The pool of write connections: reuse, its bound under more threads than
// connections, and what it does with a connection given back mid-way.
#include "store/write_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/support/backends.h"

namespace quillet::testing {
namespace {

using store::Sql;
using store::WritePool;

class WritePoolTest : public ::testing::TestWithParam<std::string> {
 protected:
  TestDatabase db_{GetParam()};
};

TEST_P(WritePoolTest, ConnectionsAreReusedAndBoundedUnderMoreThreads) {
  constexpr int kThreads = 6;
  constexpr int kRounds = 20;
  WritePool pool(2);
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

TEST_P(WritePoolTest, ConnectionGivenBackInsideATransactionIsRolledBack) {
  WritePool pool(1);
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

INSTANTIATE_TEST_SUITE_P(Backends, WritePoolTest, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
