// POST /v1/call/{method}: one call by name on the worker's component object,
// answered as `quillet call` answers it.
#include <httplib.h>

#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"
#include "core/ascii_case.h"
#include "quillet/dispatch.h"
#include "quillet/error.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

bool IsInit(const std::string& method) { return service::EqualsIgnoringAsciiCase(method, "init"); }

json CallByName(Worker& worker, const std::string& method, const json& args) {
  // init binds an object once: like `quillet call init`, it gets a fresh one.
  if (IsInit(method)) {
    clsQuillet fresh;
    Dispatcher dispatcher(fresh, worker.login());
    return dispatcher.Call(method, args);
  }
  return worker.Calls().Call(method, args);
}

void Call(Exchange& exchange) {
  const json body = BodyObject(exchange.request.body, {"args"});
  const json args = body.value("args", json::object());
  json response;
  try {
    response = CallByName(exchange.worker, exchange.Parameter("method"), args);
  } catch (const UsageError& usage) {
    if (usage.number() == errc::kNoSuchMember) throw NotFound(usage.description(), usage.number());
    throw Problem(400, usage.description(), "args", usage.number());
  }
  WriteJson(exchange.response, response);
  // A method that met a lost database leaves the worker to bind afresh.
  const json& error = response.at("error");
  if (!error.is_null() && IsUnavailable(error.at("number").get<int32_t>())) exchange.worker.Reset();
}

}  // namespace

void AddCallRoutes(Router& router) {
  router.Add({"POST", "/v1/call/{method}", Access::kWrite, Call});
}

}  // namespace quillet::serve
