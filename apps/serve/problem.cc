#include "apps/serve/problem.h"

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <string_view>

#include "apps/owner_notation.h"
#include "apps/segment_notation.h"
#include "apps/tool_error.h"
#include "quillet/dispatch.h"
#include "quillet/error.h"

namespace quillet::apps::serve {
namespace {

constexpr std::string_view kProblemType = "application/problem+json";

// A PostgreSQL SQLSTATE as the component numbers it: base 36, most
// significant character first.
constexpr int32_t SqlState(std::string_view state) {
  int32_t number = 0;
  for (const char c : state) number = number * 36 + (c <= '9' ? c - '0' : c - 'A' + 10);
  return number;
}

// SQLite's result codes carry their primary code in the low byte.
constexpr int32_t kSqliteCantOpen = 14;
constexpr int32_t kSqliteCodeLimit = 0x10000;

std::string_view Title(int status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 409:
      return "Conflict";
    case 413:
      return "Content Too Large";
    case 414:
      return "URI Too Long";
    case 503:
      return "Service Unavailable";
    default:
      return status >= 500 ? "Internal Server Error" : "Error";
  }
}

Problem FromError(const Error& error) {
  if (IsUnavailable(error.number())) {
    return Unavailable("the database cannot be used right now: " + error.description(),
                       error.number());
  }
  return Problem(500, error.description(), "", error.number());
}

}  // namespace

Problem::Problem(int status, const std::string& detail, std::string field,
                 std::optional<int32_t> number, Headers headers)
    : std::runtime_error(detail),
      status_(status),
      field_(std::move(field)),
      number_(number),
      headers_(std::move(headers)) {}

Problem BadInput(const std::string& field, const std::string& detail) {
  return Problem(400, detail, field);
}

Problem NotFound(const std::string& detail, std::optional<int32_t> number) {
  return Problem(404, detail, "", number);
}

Problem Conflict(const std::string& detail) { return Problem(409, detail); }

Problem Unavailable(const std::string& detail, std::optional<int32_t> number) {
  return Problem(503, detail, "", number, {{"Retry-After", "5"}});
}

bool IsUnavailable(int32_t number) {
  if (number == errc::kConnectionClosed || number == errc::kBadConnectionString) return true;
  if (number >= 0 && number < kSqliteCodeLimit) return (number & 0xFF) == kSqliteCantOpen;
  const bool connection_class = number >= SqlState("08000") && number <= SqlState("08ZZZ");
  const bool operator_intervention = number >= SqlState("57P01") && number <= SqlState("57P03");
  return connection_class || operator_intervention;
}

Problem ProblemOf(std::exception_ptr raised) {
  try {
    std::rethrow_exception(raised);
  } catch (const Problem& problem) {
    return problem;
  } catch (const ToolUsage& usage) {
    return Problem(400, usage.what(), "", usage.number());
  } catch (const NotationError& bad) {
    return Problem(400, bad.what(), "", bad.number());
  } catch (const OwnerNotationError& bad) {
    return Problem(400, bad.what());
  } catch (const UsageError& usage) {
    return Problem(400, usage.description(), "", usage.number());
  } catch (const ToolFailure& failure) {
    return Problem(409, failure.what(), "", failure.number());
  } catch (const Error& error) {
    return FromError(error);
  } catch (const std::exception& unexpected) {
    return Problem(500, std::string("unexpected failure: ") + unexpected.what());
  } catch (...) {
    return Problem(500, "unexpected failure");
  }
}

void WriteProblem(const Problem& problem, const std::string& instance,
                  httplib::Response& response) {
  nlohmann::json body = {{"type", "about:blank"},
                         {"title", Title(problem.status())},
                         {"status", problem.status()},
                         {"detail", problem.what()},
                         {"instance", instance}};
  if (!problem.field().empty()) body["field"] = problem.field();
  if (problem.number()) body["number"] = *problem.number();
  response.status = problem.status();
  for (const auto& [name, value] : problem.headers()) response.set_header(name, value);
  response.set_content(ResponseLine(body), std::string(kProblemType));
}

}  // namespace quillet::apps::serve
