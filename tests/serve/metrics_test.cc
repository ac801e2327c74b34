// GET /metrics read back as a Prometheus scraper reads it: every line in the
// text format, the counts of the requests that were made, the histogram
// whole; database errors counted by code; and the access log as JSON.
#include "apps/serve/metrics.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "apps/serve/service.h"
#include "tests/serve/http_client.h"
#include "tests/support/backends.h"

namespace quillet::testing {
namespace {

// Each sample of a scrape, "name{labels}" -> value; fails the test on a line
// that is neither a sample nor a HELP or TYPE comment.
std::map<std::string, double> ParseScrape(const std::string& text) {
  static const std::regex kSample(
      R"re(([a-z_]+)(\{([a-z_]+="([^"\\]|\\.)*",?)*\})? (-?[0-9.e+-]+|\+Inf|NaN))re");
  static const std::regex kComment(R"re(# (HELP|TYPE) [a-z_]+ .+)re");
  std::map<std::string, double> samples;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_match(line, kComment)) continue;
    std::smatch match;
    EXPECT_TRUE(std::regex_match(line, match, kSample)) << "not the text format: " << line;
    if (match.empty()) continue;
    const std::size_t blank = line.rfind(' ');
    samples[line.substr(0, blank)] = std::stod(line.substr(blank + 1));
  }
  return samples;
}

double Sample(const std::map<std::string, double>& samples, const std::string& series) {
  const auto found = samples.find(series);
  return found == samples.end() ? -1 : found->second;
}

TEST(ServeMetrics, AScrapeCountsWhatWasAsked) {
  TestDatabase db("sqlite", /*with_demo=*/true);
  serve::ServiceConfig config;
  config.db = db.connection_string();
  config.locale = "en-US";
  config.port = 0;
  config.threads = 2;
  config.log_format = serve::ServiceConfig::LogFormat::kJson;
  std::vector<std::string> log;
  std::mutex log_mutex;
  config.log = [&](std::string_view line) {
    std::lock_guard<std::mutex> lock(log_mutex);
    log.emplace_back(line);
  };
  serve::Service service(config);
  const int port = service.Bind();
  std::thread running([&] { service.Run(); });
  const std::string batch = R"({"date":"2024-05-06","save":true,"count":3})";
  EXPECT_EQ(Send(port, "POST", "/v1/items/LW-DR-012/serials", batch).status, 200);
  EXPECT_EQ(Send(port, "POST", "/v1/items/LW-DL-100/serials", batch).status, 200);
  EXPECT_EQ(Send(port, "POST", "/v1/items/LW-DL-100/serials", R"({"count":2})").status, 200);
  EXPECT_EQ(Send(port, "GET", "/v1/rules/class:01").status, 200);
  EXPECT_EQ(Send(port, "GET", "/v1/rules/class:99").status, 404);
  EXPECT_EQ(Send(port, "GET", "/no/such/thing").status, 404);
  // Counted before its answer went out: the scrape right after sees every request.
  const Answer scrape = Send(port, "GET", "/metrics");
  service.Stop();
  running.join();

  ASSERT_EQ(scrape.status, 200);
  EXPECT_TRUE(scrape.content_type.starts_with("text/plain; version=0.0.4")) << scrape.content_type;
  const std::map<std::string, double> samples = ParseScrape(scrape.body);
  const std::string issue = R"(method="POST",route="/v1/items/{item}/serials")";
  const std::string rule = R"(method="GET",route="/v1/rules/{owner}")";
  const std::vector<std::pair<std::string, double>> expected = {
      {"quillet_http_requests_total{" + issue + R"(,status="200"})", 3},
      {"quillet_http_requests_total{" + rule + R"(,status="200"})", 1},
      {"quillet_http_requests_total{" + rule + R"(,status="404"})", 1},
      {R"(quillet_http_requests_total{method="GET",route="other",status="404"})", 1},
      {"quillet_http_request_duration_seconds_count{" + issue + "}", 3},
      {"quillet_http_request_duration_seconds_bucket{" + issue + R"(,le="+Inf"})", 3},
      {"quillet_http_request_duration_seconds_count{" + rule + "}", 2},
      // Saved only: the batch without saving uses nothing up.
      {R"(quillet_serial_numbers_issued_total{owner="all"})", 3},
      {R"(quillet_serial_numbers_issued_total{owner="item:LW-DL-100"})", 3},
      {"quillet_write_pool_in_use", 0},
  };
  for (const auto& [series, value] : expected) {
    EXPECT_EQ(Sample(samples, series), value) << series << "\n" << scrape.body;
  }
  for (const char* series : {"quillet_write_pool_size", "quillet_write_pool_waits_total",
                             "quillet_database_reconnects_total"}) {
    EXPECT_GE(Sample(samples, series), series == std::string("quillet_write_pool_size") ? 1 : 0)
        << series;
  }
  // Buckets count up to the whole.
  double before = 0;
  for (const double bound : serve::Metrics::kBuckets) {
    std::ostringstream le;
    le << bound;
    const double bucket = Sample(samples, "quillet_http_request_duration_seconds_bucket{" + issue +
                                              ",le=\"" + le.str() + "\"}");
    EXPECT_GE(bucket, before) << le.str();
    before = bucket;
  }
  EXPECT_LE(before, 3);

  // One JSON object per request, the route its template.
  ASSERT_GE(log.size(), 7u);
  int issues = 0;
  for (const std::string& line : log) {
    const nlohmann::json entry = nlohmann::json::parse(line, nullptr, false);
    ASSERT_TRUE(entry.is_object()) << line;
    for (const char* key : {"time", "method", "path", "route", "status", "ms"}) {
      EXPECT_TRUE(entry.contains(key)) << key << " in " << line;
    }
    if (entry.value("route", "") == "/v1/items/{item}/serials") ++issues;
  }
  EXPECT_EQ(issues, 3);
}

TEST(ServeMetrics, DatabaseErrorsAreCountedByCode) {
  serve::Metrics metrics;
  const Error database(-1, "failed");
  const std::vector<std::exception_ptr> raised = {
      std::make_exception_ptr(Failure(FailureKind::kDatabase, database, "40001", 0)),
      std::make_exception_ptr(Failure(FailureKind::kDatabase, database, "40001", 0)),
      std::make_exception_ptr(Failure(FailureKind::kUnavailable, database, "", 5)),
      std::make_exception_ptr(Failure(FailureKind::kUnavailable, 1, "no server")),
      std::make_exception_ptr(Failure(FailureKind::kNotFound, 1, "no rule")),
      std::make_exception_ptr(std::runtime_error("not the database's")),
  };
  for (const std::exception_ptr& failure : raised) metrics.CountFailure(failure);
  const std::map<std::string, double> samples = ParseScrape(metrics.Exposition({}));
  const std::vector<std::pair<std::string, double>> expected = {
      {R"(quillet_database_errors_total{sqlstate="40001"})", 2},
      {R"(quillet_database_errors_total{sqlstate="sqlite:5"})", 1},
      {R"(quillet_database_errors_total{sqlstate="unreachable"})", 1},
  };
  for (const auto& [series, value] : expected) EXPECT_EQ(Sample(samples, series), value) << series;
  int counted = 0;
  for (const auto& [series, value] : samples) {
    if (series.starts_with("quillet_database_errors_total")) ++counted;
  }
  EXPECT_EQ(counted, 3);
}

}  // namespace
}  // namespace quillet::testing
