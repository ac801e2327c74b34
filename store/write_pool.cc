#include "store/write_pool.h"

#include <unistd.h>

#include <cstdlib>
#include <utility>

#include "quillet/error.h"
#include "store/connection_counters.h"

namespace quillet::store {
namespace {

// Leases the current thread holds: a thread that asks for a second one while
// holding one is not made to wait for itself.
thread_local int held_leases = 0;

std::size_t BoundFromEnvironment() {
  const char* text = std::getenv(WritePool::kBoundVariable);
  if (text == nullptr || *text == '\0') return WritePool::kDefaultBound;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  return *end == '\0' && value >= 1 ? static_cast<std::size_t>(value) : WritePool::kDefaultBound;
}

}  // namespace

WritePool::WritePool(std::size_t bound) : bound_(bound < 1 ? 1 : bound), owner_(::getpid()) {}

WritePool::~WritePool() {
  std::lock_guard<std::mutex> lock(mutex_);
  ForgetInheritedLocked();
}

WritePool& WritePool::Shared() {
  static WritePool pool(BoundFromEnvironment());
  return pool;
}

void WritePool::ForgetInheritedLocked() {
  if (owner_ == ::getpid()) return;
  // The parent's sessions share their sockets and files with this process:
  // closing them here would end them for the parent too.
  for (Idle& idle : idle_) static_cast<void>(idle.connection.release());
  idle_.clear();
  usage_.clear();
  owner_ = ::getpid();
}

WritePool::Lease WritePool::Acquire(const std::string& connection_string) {
  std::unique_ptr<Connection> connection;
  bool others_waiting = false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    ForgetInheritedLocked();
    Usage& usage = usage_[connection_string];
    if (held_leases == 0) {
      const uint64_t ticket = usage.next_ticket++;
      if (usage.serving != ticket || usage.lent >= bound_) CountWriteWait();
      returned_.wait(lock, [&] { return usage.serving == ticket && usage.lent < bound_; });
      ++usage.serving;
      others_waiting = usage.serving != usage.next_ticket;
    }
    ++usage.lent;
    CountWriteLent();
    if (usage.lent > usage.most) usage.most = usage.lent;
    for (auto idle = idle_.begin(); idle != idle_.end(); ++idle) {
      if (idle->key == connection_string) {
        connection = std::move(idle->connection);
        idle_.erase(idle);
        break;
      }
    }
  }
  // The next in line may find a connection free as well.
  if (others_waiting) returned_.notify_all();
  if (!connection) {
    try {
      connection = std::make_unique<Connection>();
      connection->Open(connection_string, Create::kNever);
    } catch (...) {
      GiveBack(connection_string, nullptr);
      throw;
    }
  }
  ++held_leases;
  return Lease(this, connection_string, std::move(connection));
}

void WritePool::GiveBack(const std::string& key, std::unique_ptr<Connection> connection) {
  if (connection && connection->InTransaction()) {
    try {
      connection->Rollback();
    } catch (...) {
      connection.reset();  // its state is unknown: it is not lent again
    }
  }
  std::unique_ptr<Connection> surplus;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ForgetInheritedLocked();
    auto usage = usage_.find(key);
    if (usage != usage_.end() && usage->second.lent > 0) {
      --usage->second.lent;
      CountWriteReturned();
    }
    if (connection && connection->IsOpen()) {
      idle_.push_front({key, std::move(connection)});
      if (idle_.size() > bound_) {
        surplus = std::move(idle_.back().connection);
        idle_.pop_back();
      }
    }
  }
  returned_.notify_all();
  // Closed outside the lock: ending a session may wait for the server.
}

std::size_t WritePool::Lent(const std::string& connection_string) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto usage = usage_.find(connection_string);
  return usage == usage_.end() ? 0 : usage->second.lent;
}

std::size_t WritePool::MostLent(const std::string& connection_string) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto usage = usage_.find(connection_string);
  return usage == usage_.end() ? 0 : usage->second.most;
}

void WritePool::Clear() {
  std::list<Idle> closing;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ForgetInheritedLocked();
    closing.swap(idle_);
  }
}

WritePool::Lease::Lease(Lease&& other) noexcept
    : pool_(std::exchange(other.pool_, nullptr)),
      key_(std::move(other.key_)),
      connection_(std::move(other.connection_)) {}

WritePool::Lease& WritePool::Lease::operator=(Lease&& other) noexcept {
  if (this != &other) {
    reset();
    pool_ = std::exchange(other.pool_, nullptr);
    key_ = std::move(other.key_);
    connection_ = std::move(other.connection_);
  }
  return *this;
}

void WritePool::Lease::reset() {
  if (pool_ == nullptr) return;
  WritePool* pool = std::exchange(pool_, nullptr);
  --held_leases;
  pool->GiveBack(key_, std::move(connection_));
}

WritePool::Lease OpenWriteConnection(const Connection& service) {
  if (!service.IsOpen()) {
    throw Error(errc::kConnectionClosed,
                "The connection cannot be used to perform this operation. It is either closed or "
                "invalid in this context.");
  }
  return WritePool::Shared().Acquire(service.ConnectionString());
}

}  // namespace quillet::store
