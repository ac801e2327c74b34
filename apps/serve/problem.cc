#include "apps/serve/problem.h"

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <string_view>

#include "quillet/error.h"
#include "quillet/failure.h"
#include "quillet/json_text.h"

namespace quillet::serve {
namespace {

constexpr std::string_view kProblemType = "application/problem+json";

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
    case 422:
      return "Unprocessable Content";
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

// The status of each kind of failure of the typed interface.
Problem FromFailure(const Failure& failure) {
  switch (failure.kind()) {
    case FailureKind::kInvalidRequest:
      return Problem(400, failure.description(), "", failure.number());
    case FailureKind::kNotFound:
      return NotFound(failure.description(), failure.number());
    case FailureKind::kConflict:
      return Problem(409, failure.description(), "", failure.number());
    case FailureKind::kGuarded:
      return Problem(409, failure.description() + " (send \"force\": true to do it all the same)",
                     "force", failure.number());
    case FailureKind::kUnavailable:
      return Unavailable("the database cannot be used right now: " + failure.description(),
                         failure.number());
    case FailureKind::kDatabase:
      break;
  }
  return Problem(500, failure.description(), "", failure.number());
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

Problem Problem::With(nlohmann::json members) && {
  extensions_.update(members);
  return std::move(*this);
}

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

bool IsUnavailable(int32_t number) { return IsUnavailableNumber(number); }

Problem ProblemOf(std::exception_ptr raised) {
  try {
    std::rethrow_exception(raised);
  } catch (const Problem& problem) {
    return problem;
  } catch (const Failure& failure) {
    return FromFailure(failure);
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
  nlohmann::json body = problem.extensions();
  body.update({{"type", "about:blank"},
               {"title", Title(problem.status())},
               {"status", problem.status()},
               {"detail", problem.what()},
               {"instance", instance}});
  if (!problem.field().empty()) body["field"] = problem.field();
  if (problem.number()) body["number"] = *problem.number();
  response.status = problem.status();
  for (const auto& [name, value] : problem.headers()) response.set_header(name, value);
  response.set_content(ResponseLine(body), std::string(kProblemType));
}

}  // namespace quillet::serve
