// quillet rpc: one component object, called by name once per line of stdin.
#include <iostream>
#include <memory>
#include <string>

#include "apps/commands.h"
#include "quillet/dispatch.h"
#include "quillet/quillet.h"

namespace quillet::apps {
namespace {

int RunRpc(const SessionOptions& options) {
  clsQuillet object;
  Dispatcher dispatcher(object, StartSession(options));
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Flushed per line: the caller waits for each answer before the next request.
    std::cout << ResponseLine(dispatcher.HandleRequestLine(line)) << std::endl;
  }
  return kExitOk;
}

}  // namespace

Command AddRpcCommand(CLI::App& tool) {
  auto options = std::make_shared<SessionOptions>();
  CLI::App* command = tool.add_subcommand(
      "rpc", "answer JSON requests {\"method\": NAME, \"args\": {...}}, one per line of stdin");
  AddSessionOptions(*command, *options);
  command->footer(
      "One component object for the whole session; call init first. Each line of stdin is a\n"
      "request, each answer one line of JSON on stdout, in order; a malformed request gets an\n"
      "answer whose error says why. See 'quillet call --help' for the methods.\n"
      "\n"
      "Example:\n"
      "  printf '%s\\n' '{\"method\":\"init\"}' \\\n"
      "      '{\"method\":\"GetContrapose\",\"args\":{\"cDataType\":\"2\",\"cSeed\":\"03\"}}' |\n"
      "    quillet rpc --db erp.db");
  return {command, [options] { return RunRpc(*options); }};
}

}  // namespace quillet::apps
