// Write connections kept open and shared by every object of the process,
// per connection string, so that a change does not pay for a new session.
#ifndef QUILLET_STORE_WRITE_POOL_H_
#define QUILLET_STORE_WRITE_POOL_H_

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "quillet/limits.h"
#include "store/connection.h"

namespace quillet::store {

// A bounded pool of write connections. A connection is opened on first use
// (a SQLite file is never created by it), lent to one caller at a time, and
// kept for the next one when given back; at most `bound` connections of one
// connection string are lent at once (more callers wait), and at most
// `bound` idle ones are kept over all strings (the least recently used go).
// Callers that wait are served first come, first served.
// A thread that already holds a lease is lent another without waiting, so
// nested writes cannot wait for themselves.
// A lent connection reconnects by itself after its session was lost (see
// Connection); one given back inside a transaction is rolled back, and
// closed when that fails. A process started by fork() drops the connections
// it inherited without closing them, as they belong to its parent.
// Thread safety: every member may be called from any thread.
class WritePool {
 public:
  // The default bound, and the environment variable that overrides it with
  // a whole number from 1 up.
  static constexpr std::size_t kDefaultBound = 8;
  static constexpr const char* kBoundVariable = limits::kWritePoolVariable;

  explicit WritePool(std::size_t bound);
  ~WritePool();
  WritePool(const WritePool&) = delete;
  WritePool& operator=(const WritePool&) = delete;

  // The process's pool, its bound read from QUILLET_WRITE_POOL on first use.
  static WritePool& Shared();

  // A lent connection, given back when destroyed or reset, on the thread
  // that acquired it.
  class Lease {
   public:
    Lease() = default;
    Lease(Lease&& other) noexcept;
    Lease& operator=(Lease&& other) noexcept;
    ~Lease() { reset(); }

    Connection& operator*() const { return *connection_; }
    Connection* operator->() const { return connection_.get(); }
    explicit operator bool() const { return connection_ != nullptr; }
    void reset();

   private:
    friend class WritePool;
    Lease(WritePool* pool, std::string key, std::unique_ptr<Connection> connection)
        : pool_(pool), key_(std::move(key)), connection_(std::move(connection)) {}

    WritePool* pool_ = nullptr;
    std::string key_;
    std::unique_ptr<Connection> connection_;
  };

  // Lends a connection of `connection_string`, waiting while `bound` of them
  // are lent. Raises the database's error when a new one cannot be opened.
  Lease Acquire(const std::string& connection_string);

  std::size_t bound() const { return bound_; }
  // Connections of the string lent right now, and the most lent at once so far.
  std::size_t Lent(const std::string& connection_string) const;
  std::size_t MostLent(const std::string& connection_string) const;
  // Closes every idle connection.
  void Clear();

 private:
  struct Idle {
    std::string key;
    std::unique_ptr<Connection> connection;
  };
  struct Usage {
    std::size_t lent = 0;
    std::size_t most = 0;
    // Waiters are served in the order they came: each takes a ticket, and
    // the one holding `serving` goes next once a connection is free.
    uint64_t next_ticket = 0;
    uint64_t serving = 0;
  };

  void GiveBack(const std::string& key, std::unique_ptr<Connection> connection);
  // After fork(): forgets what the parent had, without closing it.
  void ForgetInheritedLocked();

  const std::size_t bound_;
  mutable std::mutex mutex_;
  std::condition_variable returned_;
  std::map<std::string, Usage> usage_;
  std::list<Idle> idle_;  // most recently given back first
  pid_t owner_;
};

// Lends a write connection of the service connection's string from the
// shared pool. Raises errc::kConnectionClosed when `service` is not open.
WritePool::Lease OpenWriteConnection(const Connection& service);

}  // namespace quillet::store

#endif  // QUILLET_STORE_WRITE_POOL_H_
