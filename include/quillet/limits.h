// Bounds on what the component and its tools accept, so that no input can
// make them build texts or read requests of unbounded size.
#ifndef QUILLET_LIMITS_H_
#define QUILLET_LIMITS_H_

#include <cstddef>
#include <cstdint>

namespace quillet::limits {

// The largest width of a rule segment (iformatlength): the bytes a segment's
// text is fitted to, or the digits of the running number. A rule with a
// wider segment is refused when it is saved (errc::kWidthOutOfRange).
inline constexpr int32_t kMaxSegmentWidth = 255;

// The smallest width of the running number's segment: with no digits every
// serial number of a rule would be the same.
inline constexpr int32_t kMinRunningNumberWidth = 1;

// The default bound on one request of the tool: one line of `quillet rpc`,
// the arguments of `quillet call`. A larger request is refused
// (errc::kRequestTooLarge) without being read into memory whole.
inline constexpr std::size_t kDefaultMaxRequestBytes = std::size_t{16} << 20;

// The environment variable that sets another bound, in bytes.
inline constexpr const char* kMaxRequestVariable = "QUILLET_MAX_REQUEST";

// The environment variable that bounds the write connections a process
// keeps to one database for issuing with saving and for changes: a whole
// number from 1 up (else 8), read when the first write connection is asked
// for.
inline constexpr const char* kWritePoolVariable = "QUILLET_WRITE_POOL";

// The deepest nesting of arrays and objects in a JSON text that ParseJson
// (quillet/dispatch.h) takes; the deepest form a request needs is 5 levels.
// A deeper text is refused before it is parsed (errc::kInvalidArgument).
inline constexpr std::size_t kMaxJsonDepth = 64;

}  // namespace quillet::limits

#endif  // QUILLET_LIMITS_H_
