#include "apps/serve/access_log.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
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

double RequestMilliseconds() {
  if (!request_start) return 0;
  return std::chrono::duration<double, std::milli>(Clock::now() - *request_start).count();
}

double TakeRequestMilliseconds() {
  const double milliseconds = RequestMilliseconds();
  request_start.reset();
  return milliseconds;
}

std::string AccessLine(std::string_view method, std::string_view path, int status) {
  return AccessLine(method, path, status, TakeRequestMilliseconds());
}

std::string JsonAccessLine(std::string_view method, std::string_view path, std::string_view route,
                           int status, double milliseconds) {
  const double rounded = std::round(milliseconds * 10) / 10;
  return nlohmann::json{{"time", service::UtcTimestamp()},
                        {"method", method},
                        {"path", Printable(path)},
                        {"route", route},
                        {"status", status},
                        {"ms", rounded}}
      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string AccessLine(std::string_view method, std::string_view path, int status,
                       double milliseconds) {
  char duration[32];
  std::snprintf(duration, sizeof duration, "%.1fms", milliseconds);
  return service::UtcTimestamp() + " " + std::string(method) + " " + Printable(path) + " " +
         std::to_string(status) + " " + duration;
}

}  // namespace quillet::serve
