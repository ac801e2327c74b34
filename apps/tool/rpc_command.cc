// quillet rpc: one component object, called by name once per line of stdin.
#include <iostream>
#include <memory>
#include <string>

#include "apps/tool/call_login.h"
#include "apps/tool/commands.h"
#include "apps/tool/request_limit.h"
#include "quillet/dispatch.h"
#include "quillet/quillet.h"

namespace quillet::tool {
namespace {

struct RpcOptions {
  SessionOptions session;
  std::size_t max_request = 0;
};

int RunRpc(const RpcOptions& options) {
  clsQuillet object;
  Dispatcher dispatcher(object, StartSession(options.session));
  std::string line;
  for (LineRead read;
       (read = ReadBoundedLine(std::cin, options.max_request, line)) != LineRead::kEnd;) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const nlohmann::json response = read == LineRead::kTooLong
                                        ? UsageErrorResponse(RequestTooLarge(options.max_request))
                                        : dispatcher.HandleRequestLine(line);
    // Flushed per line: the caller waits for each answer before the next request.
    std::cout << ResponseLine(response) << std::endl;
  }
  return kExitOk;
}

}  // namespace

Command AddRpcCommand(CLI::App& tool) {
  auto options = std::make_shared<RpcOptions>();
  CLI::App* command = tool.add_subcommand(
      "rpc", "answer JSON requests {\"method\": NAME, \"args\": {...}}, one per line of stdin");
  AddSessionOptions(*command, options->session);
  AddMaxRequestOption(*command, options->max_request);
  command->footer(
      "One component object for the whole session; call init first. Each line of stdin is a\n"
      "request, each answer one line of JSON on stdout, in order; a malformed request gets an\n"
      "answer whose error says why; so does a line longer than --max-request bytes, which\n"
      "is skipped unread. See 'quillet call --help' for the methods.\n"
      "\n"
      "Example:\n"
      "  printf '%s\\n' '{\"method\":\"init\"}' \\\n"
      "      '{\"method\":\"GetContrapose\",\"args\":{\"cDataType\":\"2\",\"cSeed\":\"03\"}}' |\n"
      "    quillet rpc --db erp.db");
  return {command, [options] { return RunRpc(*options); }};
}

}  // namespace quillet::tool
