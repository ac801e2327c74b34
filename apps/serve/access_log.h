// The service's log: one line per request (time, method, path, status,
// milliseconds; never a body, a query or a header), and its notices.
#ifndef QUILLET_SERVE_ACCESS_LOG_H_
#define QUILLET_SERVE_ACCESS_LOG_H_

#include <functional>
#include <string>
#include <string_view>

namespace quillet::serve {

using LogSink = std::function<void(std::string_view)>;

// Writes each line to standard error whole, even from several threads.
LogSink StandardErrorLog();

// Marks the start of the request the calling thread handles now.
void MarkRequestStart();

// "2024-05-06T10:00:00.123Z GET /v1/rules 200 1.4ms": the milliseconds since
// the calling thread's MarkRequestStart, 0 when the request was refused
// before it was read. Clears the mark.
std::string AccessLine(std::string_view method, std::string_view path, int status);

// The milliseconds since the calling thread's MarkRequestStart, 0 when the
// request was refused before it was read.
double RequestMilliseconds();
// The same, clearing the mark.
double TakeRequestMilliseconds();

// AccessLine of a request that took `milliseconds`.
std::string AccessLine(std::string_view method, std::string_view path, int status,
                       double milliseconds);

// The same as one JSON object on one line: time, method, path, route (the
// path template; "" for none), status, ms.
std::string JsonAccessLine(std::string_view method, std::string_view path, std::string_view route,
                           int status, double milliseconds);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_ACCESS_LOG_H_
