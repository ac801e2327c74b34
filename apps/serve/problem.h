// How the service fails: an application/problem+json answer with a status
// that fits, a reason in words, the field of the request it concerns and the
// error number of the layer that raised, when there is one.
#ifndef QUILLET_SERVE_PROBLEM_H_
#define QUILLET_SERVE_PROBLEM_H_

#include <cstdint>
#include <exception>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace httplib {
struct Response;
}

namespace quillet::serve {

class Problem : public std::runtime_error {
 public:
  using Headers = std::vector<std::pair<std::string, std::string>>;

  // `detail` says what went wrong in words; `field` names the part of the
  // request at fault ("" for none): a body member ("segments"), a path
  // parameter ("owner"), a query parameter ("limit") or a header.
  Problem(int status, const std::string& detail, std::string field = "",
          std::optional<int32_t> number = std::nullopt, Headers headers = {});

  // The problem with extension members: each of `members` (a JSON object)
  // is written beside the standard ones.
  Problem With(nlohmann::json members) &&;

  int status() const { return status_; }
  const std::string& field() const { return field_; }
  std::optional<int32_t> number() const { return number_; }
  const Headers& headers() const { return headers_; }
  const nlohmann::json& extensions() const { return extensions_; }

 private:
  int status_;
  std::string field_;
  std::optional<int32_t> number_;
  Headers headers_;
  nlohmann::json extensions_ = nlohmann::json::object();
};

// 400: the request's `field` is malformed or missing.
Problem BadInput(const std::string& field, const std::string& detail);
// 404: the item, class, rule, data source or value does not exist.
Problem NotFound(const std::string& detail, std::optional<int32_t> number = std::nullopt);
// 409: the data as it stands does not allow the change (a rule name taken).
Problem Conflict(const std::string& detail);
// 503: the database cannot be used right now; asks the client to retry.
Problem Unavailable(const std::string& detail, std::optional<int32_t> number);

// The problem a failure stands for:
//   Problem                                 itself
//   quillet::Failure                        by its kind: invalid request 400,
//                                           not found 404, conflict and
//                                           guarded 409 (guarded naming
//                                           "force"), unavailable 503,
//                                           database 500; with its number
//   quillet::Error                          503 when the database cannot be
//                                           reached, else 500; with its number
//   anything else                           500
Problem ProblemOf(std::exception_ptr failure);

// Whether an error number says that the database cannot be reached or used
// right now (closed or unreachable connection, a file that cannot be opened,
// PostgreSQL's connection and operator-intervention classes).
bool IsUnavailable(int32_t number);

// Answers `problem` on `response`: its status, the headers the status calls
// for, and {"type", "title", "status", "detail", "instance", "field",
// "number"} ("field" and "number" only when set). `instance` is the request's
// path.
void WriteProblem(const Problem& problem, const std::string& instance, httplib::Response& response);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_PROBLEM_H_
