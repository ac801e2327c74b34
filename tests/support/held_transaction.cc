#include "tests/support/held_transaction.h"

#include <gtest/gtest.h>

#include <chrono>
#include <exception>

namespace quillet::testing {
namespace {

constexpr auto kPoll = std::chrono::milliseconds(2);
constexpr auto kGiveUp = std::chrono::seconds(30);
constexpr auto kSqlitePause = std::chrono::milliseconds(100);

}  // namespace

HeldTransaction::HeldTransaction(const std::string& connection_string, bool begin) {
  db_.Open(connection_string);
  if (begin) transaction_ = std::make_unique<store::Connection::Transaction>(db_);
}

HeldTransaction::~HeldTransaction() {
  try {
    Commit();
  } catch (const std::exception& failure) {
    ADD_FAILURE() << "the held transaction did not commit: " << failure.what();
  }
}

int HeldTransaction::LockWaiters(const std::string& table) {
  // Sessions waiting for a lock while holding one on the table: the table's
  // writers, in this test's schema only. (pg_locks is read afresh by every
  // statement; the activity view would stay as the transaction first saw it.)
  static constexpr store::Sql kSql{
      "select count(distinct w.pid) from pg_locks w where not w.granted and exists"
      " (select 1 from pg_locks l where l.pid=w.pid and l.relation=to_regclass(:1))"};
  return db_.Query(kSql, {table})->Field(0).ToInt32();
}

void HeldTransaction::StartBeside(std::function<void()> call, const std::string& table,
                                  int waiters) {
  ++running_;
  calls_.emplace_back([this, call = std::move(call)] {
    try {
      call();
    } catch (const std::exception& failure) {
      ADD_FAILURE() << "a call beside the transaction raised: " << failure.what();
    }
    --running_;
  });
  if (db_.dialect() == store::Dialect::kSqlite) {
    std::this_thread::sleep_for(kSqlitePause);
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + kGiveUp;
  while (running_ > 0 && LockWaiters(table) < waiters) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the calls beside the transaction neither ended nor waited on " << table;
      return;
    }
    std::this_thread::sleep_for(kPoll);
  }
}

void HeldTransaction::Commit() {
  if (transaction_) {
    transaction_->Commit();
    transaction_.reset();
  }
  for (std::thread& call : calls_) call.join();
  calls_.clear();
}

}  // namespace quillet::testing
