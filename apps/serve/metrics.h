// The service's counters, written in the Prometheus text format for
// GET /metrics: requests by route and status, their latency, serial numbers
// issued by owner, database errors by code, and the process's connections.
#ifndef QUILLET_SERVE_METRICS_H_
#define QUILLET_SERVE_METRICS_H_

#include <array>
#include <cstdint>
#include <exception>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "quillet/numbering.h"

namespace quillet::serve {

// Thread safety: every member may be called from any thread.
class Metrics {
 public:
  // The upper bounds, in seconds, of the latency histogram's buckets.
  static constexpr std::array<double, 11> kBuckets = {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05,
                                                      0.1,   0.25,   0.5,   1.0,  2.5};

  // One answered request: its method, its route's path template ("" for a
  // request no route took: counted as "other"), its status and duration.
  void CountRequest(const std::string& method, const std::string& route, int status,
                    double seconds);
  // Serial numbers issued with saving under an owner's rule.
  void CountIssued(const std::string& owner, uint64_t serials);
  // A request that failed with `raised`: a database's error is counted by
  // its SQLSTATE ("sqlite:N" for SQLite's code, "unreachable" without one).
  void CountFailure(std::exception_ptr raised);

  // Everything counted, and `connections`, as the text format's lines.
  std::string Exposition(const ConnectionCounters& connections) const;

 private:
  struct Latency {
    std::array<uint64_t, kBuckets.size()> buckets{};  // each bucket's own count
    uint64_t count = 0;
    double sum = 0;
  };

  mutable std::mutex mutex_;
  std::map<std::pair<std::string, std::string>, std::map<int, uint64_t>> requests_;
  std::map<std::pair<std::string, std::string>, Latency> latency_;
  std::map<std::string, uint64_t> issued_;
  std::map<std::string, uint64_t> database_errors_;
};

// A label value as the text format writes it: backslash, double quote and
// line feed escaped. Pure.
std::string LabelValue(std::string_view text);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_METRICS_H_
