// quillet call: one component object, init, one method called by name.
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "apps/tool/call_login.h"
#include "apps/tool/commands.h"
#include "apps/tool/method_listing.h"
#include "apps/tool/request_limit.h"
#include "core/nearest_word.h"
#include "quillet/dispatch.h"
#include "quillet/quillet.h"

namespace quillet::tool {
namespace {

struct CallOptions {
  SessionOptions session;
  std::string method;
  std::optional<std::string> args;
  std::optional<std::string> args_file;
  std::size_t max_request = 0;
};

// The arguments as JSON; an empty object when neither option was given.
// Throws UsageError for a file that cannot be read, arguments larger than
// --max-request, or a text that is not JSON.
nlohmann::json ReadArguments(const CallOptions& options) {
  std::string text = "{}";
  if (options.args) {
    if (options.args->size() > options.max_request) throw RequestTooLarge(options.max_request);
    text = *options.args;
  }
  if (options.args_file) {
    std::ifstream file(*options.args_file, std::ios::binary);
    if (!file) throw UsageError(errc::kInvalidArgument, "cannot read " + *options.args_file);
    text = ReadBoundedText(file, options.max_request);
    if (file.bad()) throw UsageError(errc::kInvalidArgument, "cannot read " + *options.args_file);
  }
  return ParseJson(text);
}

int Print(const nlohmann::json& response) {
  std::cout << ResponseLine(response) << std::endl;
  return response.at("error").is_null() ? kExitOk : kExitRaised;
}

int RunCall(const CallOptions& options) {
  clsQuillet object;
  Dispatcher dispatcher(object, StartSession(options.session));
  std::optional<PreparedCall> call;
  try {
    call.emplace(dispatcher.Prepare(options.method, ReadArguments(options)));
  } catch (const UsageError& error) {
    const std::string suggestion = error.number() == errc::kNoSuchMember
                                       ? notation::DidYouMean(options.method, MethodNames())
                                       : "";
    ReportProblem("call", "error " + std::to_string(error.number()) + ": " + error.description() +
                              suggestion + " (see 'quillet call --help')");
    return kExitUsage;
  }
  if (call->method() != "init") {
    const nlohmann::json bound = dispatcher.Call("init", nlohmann::json::object());
    const nlohmann::json& error = bound.at("error");
    if (!error.is_null()) {
      // The method never ran: its response carries init's error.
      return Print(call->NotRun(
          Error(error.at("number").get<int32_t>(), error.at("description").get<std::string>())));
    }
  }
  return Print(call->Run(object));
}

}  // namespace

Command AddCallCommand(CLI::App& tool) {
  auto options = std::make_shared<CallOptions>();
  CLI::App* command = tool.add_subcommand(
      "call", "bind one component object with init, call METHOD, print its JSON response");
  command->add_option("METHOD", options->method, "method name (any case)")->required();
  AddSessionOptions(*command, options->session);
  CLI::Option* args =
      command->add_option("--args", options->args, "the arguments as a JSON object");
  command->add_option("--args-file", options->args_file, "a file holding the arguments")
      ->excludes(args);
  AddMaxRequestOption(*command, options->max_request);
  command->footer(
      "The arguments are a JSON object of parameter names (any case); omitted ones take their\n"
      "kind's empty value. JSON forms: text a string, int16/int32 a number, boolean true or\n"
      "false, document the XML text as a string, variant any encoded variant\n"
      "(docs/json-contract.md). Prints one JSON line: result, in/out parameters, error.\n"
      "\n"
      "Methods (parameters are in unless marked in/out):\n" +
      MethodListing() +
      "\n"
      "Examples:\n"
      "  quillet call GetContrapose --args '{\"cDataType\":\"2\",\"cSeed\":\"03\"}'\n"
      "  quillet call GetmaxNumbersrv --args '{\"inumInvcode\":\"all\",\"inumInvtype\":2}'\n"
      "  quillet call getSNumber --args-file request.json --db erp.db");
  return {command, [options] { return RunCall(*options); }};
}

}  // namespace quillet::tool
