#include "apps/serve/router.h"

#include <optional>

#include "apps/serve/problem.h"
#include "core/text_check.h"
#include "quillet/error.h"

namespace quillet::serve {
namespace {

bool IsParameter(std::string_view segment) {
  return segment.size() > 2 && segment.front() == '{' && segment.back() == '}';
}

// The parameters of `path` under `pattern`, or nullopt when it does not fit.
std::optional<std::map<std::string, std::string, std::less<>>> Fit(std::string_view pattern,
                                                                   std::string_view path) {
  const std::vector<std::string_view> expected = PathSegments(pattern);
  const std::vector<std::string_view> given = PathSegments(path);
  if (expected.size() != given.size()) return std::nullopt;
  std::map<std::string, std::string, std::less<>> parameters;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (IsParameter(expected[i])) {
      if (given[i].empty()) return std::nullopt;
      parameters.emplace(expected[i].substr(1, expected[i].size() - 2), given[i]);
    } else if (expected[i] != given[i]) {
      return std::nullopt;
    }
  }
  return parameters;
}

}  // namespace

const std::string& Exchange::Parameter(std::string_view name) const {
  static const std::string kNone;
  const auto found = parameters.find(name);
  return found == parameters.end() ? kNone : found->second;
}

void Router::Add(Route route) { routes_.push_back(std::move(route)); }

RouteMatch Router::Find(std::string_view method, std::string_view path) const {
  const std::string_view wanted = method == "HEAD" ? "GET" : method;
  RouteMatch match;
  for (const Route& route : routes_) {
    auto parameters = Fit(route.path, path);
    if (!parameters) continue;
    if (route.method == wanted) {
      match.route = &route;
      match.parameters = *std::move(parameters);
      match.allowed.clear();
      return match;
    }
    match.allowed.push_back(route.method);
  }
  return match;
}

void RequireReadableParameters(const RouteMatch& match) {
  for (const auto& [name, value] : match.parameters) {
    if (const std::optional<std::string> problem = TextProblem(value)) {
      throw Problem(400, "the path's " + name + " " + *problem, name, errc::kInvalidText);
    }
  }
}

std::vector<std::string_view> PathSegments(std::string_view path) {
  std::vector<std::string_view> segments;
  if (path.starts_with('/')) path.remove_prefix(1);
  while (true) {
    const std::size_t slash = path.find('/');
    segments.push_back(path.substr(0, slash));
    if (slash == std::string_view::npos) return segments;
    path.remove_prefix(slash + 1);
  }
}

}  // namespace quillet::serve
