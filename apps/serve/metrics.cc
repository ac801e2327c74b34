#include "apps/serve/metrics.h"

#include <charconv>

namespace quillet::serve {
namespace {

// The shortest text that reads back as `value`.
std::string Number(double value) {
  char text[40];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end.ptr);
}

void Header(std::string& out, const char* name, const char* type, const char* help) {
  out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
}

// A metric of one value, without labels.
void Single(std::string& out, const char* name, const char* type, const char* help,
            uint64_t value) {
  Header(out, name, type, help);
  out += std::string(name) + " " + std::to_string(value) + "\n";
}

std::string RouteLabels(const std::pair<std::string, std::string>& route) {
  return "method=\"" + LabelValue(route.first) + "\",route=\"" + LabelValue(route.second) + "\"";
}

}  // namespace

std::string LabelValue(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\' || c == '"') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\n') {
      escaped += "\\n";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

void Metrics::CountRequest(const std::string& method, const std::string& route, int status,
                           double seconds) {
  const std::pair<std::string, std::string> key{method, route.empty() ? "other" : route};
  std::lock_guard<std::mutex> lock(mutex_);
  ++requests_[key][status];
  Latency& latency = latency_[key];
  for (std::size_t i = 0; i < kBuckets.size(); ++i) {
    if (seconds <= kBuckets[i]) {
      ++latency.buckets[i];
      break;
    }
  }
  ++latency.count;
  latency.sum += seconds;
}

void Metrics::CountIssued(const std::string& owner, uint64_t serials) {
  std::lock_guard<std::mutex> lock(mutex_);
  issued_[owner] += serials;
}

void Metrics::CountFailure(std::exception_ptr raised) {
  std::string code;
  try {
    std::rethrow_exception(raised);
  } catch (const Failure& failure) {
    if (failure.kind() != FailureKind::kDatabase && failure.kind() != FailureKind::kUnavailable) {
      return;
    }
    code = !failure.sqlstate().empty()  ? failure.sqlstate()
           : failure.sqlite_code() != 0 ? "sqlite:" + std::to_string(failure.sqlite_code())
                                        : "unreachable";
  } catch (...) {
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  ++database_errors_[code];
}

std::string Metrics::Exposition(const ConnectionCounters& connections) const {
  std::string out;
  std::lock_guard<std::mutex> lock(mutex_);
  Header(out, "quillet_http_requests_total", "counter", "Requests answered, by route and status.");
  for (const auto& [route, statuses] : requests_) {
    for (const auto& [status, count] : statuses) {
      out += "quillet_http_requests_total{" + RouteLabels(route) + ",status=\"" +
             std::to_string(status) + "\"} " + std::to_string(count) + "\n";
    }
  }
  Header(out, "quillet_http_request_duration_seconds", "histogram",
         "Time from reading a request to its answer, by route.");
  for (const auto& [route, latency] : latency_) {
    const std::string labels = RouteLabels(route);
    uint64_t cumulative = 0;
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
      cumulative += latency.buckets[i];
      out += "quillet_http_request_duration_seconds_bucket{" + labels + ",le=\"" +
             Number(kBuckets[i]) + "\"} " + std::to_string(cumulative) + "\n";
    }
    out += "quillet_http_request_duration_seconds_bucket{" + labels + ",le=\"+Inf\"} " +
           std::to_string(latency.count) + "\n";
    out +=
        "quillet_http_request_duration_seconds_sum{" + labels + "} " + Number(latency.sum) + "\n";
    out += "quillet_http_request_duration_seconds_count{" + labels + "} " +
           std::to_string(latency.count) + "\n";
  }
  Header(out, "quillet_serial_numbers_issued_total", "counter",
         "Serial numbers issued with saving, by the owner of the rule.");
  for (const auto& [owner, count] : issued_) {
    out += "quillet_serial_numbers_issued_total{owner=\"" + LabelValue(owner) + "\"} " +
           std::to_string(count) + "\n";
  }
  Header(out, "quillet_database_errors_total", "counter",
         "Requests failed by a database error, by SQLSTATE.");
  for (const auto& [code, count] : database_errors_) {
    out += "quillet_database_errors_total{sqlstate=\"" + LabelValue(code) + "\"} " +
           std::to_string(count) + "\n";
  }
  Single(out, "quillet_write_pool_size", "gauge",
         "Write connections lent at most at once, per database.", connections.write_pool_size);
  Single(out, "quillet_write_pool_in_use", "gauge", "Write connections lent right now.",
         connections.write_pool_in_use);
  Single(out, "quillet_write_pool_waits_total", "counter",
         "Writes that waited for a write connection.", connections.write_pool_waits);
  Single(out, "quillet_database_reconnects_total", "counter",
         "Database sessions opened again after one was lost.", connections.reconnects);
  return out;
}

}  // namespace quillet::serve
