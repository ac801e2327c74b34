// The wall clock as the journal and the service's log write it.
#ifndef QUILLET_CORE_UTC_TIME_H_
#define QUILLET_CORE_UTC_TIME_H_

#include <string>

namespace quillet::service {

// Now, in UTC to the millisecond: "2026-12-06T07:05:09.042Z". These sort as
// text in time order. Thread-safe.
std::string UtcTimestamp();

}  // namespace quillet::service

#endif  // QUILLET_CORE_UTC_TIME_H_
