// Counts over every connection of the process: sessions opened again after
// one was lost, and the write pool's lending. Thread-safe.
#ifndef QUILLET_STORE_CONNECTION_COUNTERS_H_
#define QUILLET_STORE_CONNECTION_COUNTERS_H_

#include <cstdint>

namespace quillet::store {

struct ConnectionCounts {
  uint64_t reconnects = 0;
  uint64_t write_waits = 0;  // acquisitions that found every write connection lent
  uint64_t write_lent = 0;   // write connections lent right now
};

ConnectionCounts CurrentConnectionCounts();

// Called by Connection and WritePool as it happens.
void CountReconnect();
void CountWriteWait();
void CountWriteLent();
void CountWriteReturned();

}  // namespace quillet::store

#endif  // QUILLET_STORE_CONNECTION_COUNTERS_H_
