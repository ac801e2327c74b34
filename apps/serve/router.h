// The service's routes: a method and a path template such as
// "/v1/rules/{owner}/number" leading to a handler, and whether the request
// changes data. The OpenAPI document describes exactly these.
#ifndef QUILLET_SERVE_ROUTER_H_
#define QUILLET_SERVE_ROUTER_H_

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "apps/serve/service_config.h"

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace quillet::serve {

class Worker;

// Whether a route changes data, and so needs an admin's bearer token. A
// route that changes data only on request (issuing with saving) is kRead
// and asks for an issuer's token itself. Reads need a reader's token once
// the service listens beyond loopback; probes never need one.
enum class Access { kRead, kWrite, kProbe };

// One request as a handler sees it.
struct Exchange {
  const httplib::Request& request;
  httplib::Response& response;
  std::map<std::string, std::string, std::less<>> parameters;  // path parameters by name
  Worker& worker;
  const ServiceConfig& config;

  // The path parameter `name` (decoded); "" when the route has none.
  const std::string& Parameter(std::string_view name) const;
};

using Handler = std::function<void(Exchange&)>;

struct Route {
  std::string method;  // GET, POST, PUT or DELETE
  std::string path;    // segments, "{name}" matching one non-empty segment
  Access access;
  Handler handler;
};

struct RouteMatch {
  const Route* route = nullptr;
  std::map<std::string, std::string, std::less<>> parameters;
  std::vector<std::string> allowed;  // without a route: the methods the path has
};

class Router {
 public:
  void Add(Route route);
  const std::vector<Route>& routes() const { return routes_; }

  // The route of `method` (HEAD finds GET routes) and `path`. Without one,
  // `allowed` lists the methods other routes of the path take; empty when no
  // route has the path.
  RouteMatch Find(std::string_view method, std::string_view path) const;

 private:
  std::vector<Route> routes_;
};

// Raises a 400 Problem naming the first path parameter of `match` that holds
// a NUL character or bytes that are not UTF-8 (errc::kInvalidText): such a
// text reaches no resource.
void RequireReadableParameters(const RouteMatch& match);

// Path parts between slashes: "/v1/rules/all" -> {"v1", "rules", "all"}. Pure.
std::vector<std::string_view> PathSegments(std::string_view path);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_ROUTER_H_
