// Two writers meeting: a transaction of the test's own holds rows while calls
// on other threads try to write them, and ends only once those calls wait for
// it (or finished without waiting, which is what a missing lock looks like).
#ifndef QUILLET_TESTS_SUPPORT_HELD_TRANSACTION_H_
#define QUILLET_TESTS_SUPPORT_HELD_TRANSACTION_H_

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "store/connection.h"

namespace quillet::testing {

class HeldTransaction {
 public:
  // Opens a connection of its own to `connection_string` and begins, unless
  // `begin` is false: then it only watches the calls it starts wait on locks
  // that someone else holds.
  explicit HeldTransaction(const std::string& connection_string, bool begin = true);
  // Commits (when Commit has not run) and joins every call.
  ~HeldTransaction();
  HeldTransaction(const HeldTransaction&) = delete;
  HeldTransaction& operator=(const HeldTransaction&) = delete;

  // The connection inside the transaction, for the statements that take the
  // rows.
  store::Connection& db() { return db_; }

  // Runs `call` on a thread of its own, then returns once `waiters` callers
  // wait for a lock while holding one on `table`, or every call started so
  // far has ended. PostgreSQL reports the waits; SQLite, whose writers
  // exclude each other, is given a short pause instead.
  void StartBeside(std::function<void()> call, const std::string& table, int waiters = 1);

  // Commits, then waits for every call to end.
  void Commit();

 private:
  int LockWaiters(const std::string& table);

  store::Connection db_;
  std::unique_ptr<store::Connection::Transaction> transaction_;
  std::vector<std::thread> calls_;
  std::atomic<int> running_{0};
};

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_SUPPORT_HELD_TRANSACTION_H_
