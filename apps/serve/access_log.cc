#include "apps/serve/access_log.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>

#include "core/utc_time.h"

namespace quillet::serve {
namespace {

using Clock = std::chrono::steady_clock;

thread_local std::optional<Clock::time_point> request_start;

// A path as the log shows it: control characters (a decoded %0A) become '?',
// so that one request stays one line.
std::string Printable(std::string_view path) {
  std::string text(path);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

}  // namespace

LogSink StandardErrorLog() {
  return [](std::string_view line) {
    // One write per line: lines of several threads never interleave.
    std::string whole(line);
    whole += '\n';
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, whole.data(), whole.size());
  };
}

void MarkRequestStart() { request_start = Clock::now(); }

std::string AccessLine(std::string_view method, std::string_view path, int status) {
  double milliseconds = 0;
  if (request_start) {
    milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - *request_start).count();
    request_start.reset();
  }
  char duration[32];
  std::snprintf(duration, sizeof duration, "%.1fms", milliseconds);
  return service::UtcTimestamp() + " " + std::string(method) + " " + Printable(path) + " " +
         std::to_string(status) + " " + duration;
}

}  // namespace quillet::serve
