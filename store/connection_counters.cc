#include "store/connection_counters.h"

#include <atomic>

namespace quillet::store {
namespace {

std::atomic<uint64_t> reconnects{0};
std::atomic<uint64_t> write_waits{0};
std::atomic<uint64_t> write_lent{0};

}  // namespace

ConnectionCounts CurrentConnectionCounts() {
  return {reconnects.load(std::memory_order_relaxed), write_waits.load(std::memory_order_relaxed),
          write_lent.load(std::memory_order_relaxed)};
}

void CountReconnect() { reconnects.fetch_add(1, std::memory_order_relaxed); }
void CountWriteWait() { write_waits.fetch_add(1, std::memory_order_relaxed); }
void CountWriteLent() { write_lent.fetch_add(1, std::memory_order_relaxed); }
void CountWriteReturned() { write_lent.fetch_sub(1, std::memory_order_relaxed); }

}  // namespace quillet::store
