// quillet serve: the component as an HTTP service that many clients share.
#include "apps/serve/serve_command.h"

#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "apps/cli/domain_options.h"
#include "apps/cli/options.h"
#include "apps/cli/tool_error.h"
#include "apps/serve/bearer_token.h"
#include "apps/serve/listen_address.h"
#include "apps/serve/service.h"
#include "apps/serve/stop_signals.h"
#include "quillet/limits.h"

namespace quillet::serve {
namespace {

struct ServeOptions {
  cli::SessionOptions session;
  std::string listen = "127.0.0.1:8080";
  int threads = 8;
  std::optional<std::string> token_file;
  std::size_t max_body = 1024 * 1024;
  int read_timeout = 10;
  int write_timeout = 10;
};

ServiceConfig ConfigOf(const ServeOptions& options) {
  const ListenAddress address = ParseListenAddress(options.listen);
  ServiceConfig config;
  config.db = options.session.db;
  config.locale = options.session.locale;
  config.allowed_tasks = {options.session.allowed_tasks.begin(),
                          options.session.allowed_tasks.end()};
  config.host = address.host;
  config.port = address.port;
  config.threads = options.threads;
  if (options.token_file) config.token = ReadTokenFile(*options.token_file);
  config.max_body = options.max_body;
  config.read_timeout = options.read_timeout;
  config.write_timeout = options.write_timeout;
  config.log = StandardErrorLog();
  return config;
}

// A SQLite file takes one writer at a time: more write connections of one
// process only sleep in SQLite's busy handler, which under load stretches the
// slowest answers from a tenth of a second to seconds. The workers wait for
// the one write connection in turn instead. QUILLET_WRITE_POOL, when set,
// still decides.
void OneWriterForSqlite(const std::string& db) {
  if (db.starts_with("sqlite:")) ::setenv(limits::kWritePoolVariable, "1", /*overwrite=*/0);
}

int RunServe(const ServeOptions& options) {
  // A peer that hangs up mid-answer is that request's failure, not the process's end.
  std::signal(SIGPIPE, SIG_IGN);
  ServiceConfig config = ConfigOf(options);
  OneWriterForSqlite(config.db);
  // A database that cannot be used is told now, before anyone connects.
  cli::OpenNumbering({config.db, config.locale, false});
  const LogSink log = config.log;
  Service service(std::move(config));
  StopSignals signals([&](const char* name) {
    log(std::string("quillet serve: ") + name + ": stopping; requests in flight finish");
    service.Stop();
  });
  const int port = service.Bind();
  log("quillet serve: listening on http://" + FormatListenAddress(service.config().host, port) +
      " (" + std::to_string(service.config().threads) + " workers; changes " +
      (service.config().token ? "need the bearer token" : "need no token: loopback only") + ")");
  service.Run();
  log("quillet serve: stopped");
  return cli::kExitOk;
}

}  // namespace

cli::Command AddServeCommand(CLI::App& tool) {
  auto options = std::make_shared<ServeOptions>();
  CLI::App* command = tool.add_subcommand(
      "serve", "answer HTTP requests: calls by name and the rules, mappings and issuing as JSON");
  cli::AddSessionOptions(*command, options->session);
  command->add_option("--listen", options->listen, "HOST:PORT to listen on (PORT 0: any free)")
      ->capture_default_str();
  command->add_option("--threads", options->threads, "worker threads, each with its own object")
      ->check(CLI::Range(1, 256))
      ->capture_default_str();
  command->add_option("--token-file", options->token_file,
                      "a file whose first line is the bearer token that changes need; without "
                      "one, only loopback addresses are served");
  command->add_option("--max-body", options->max_body, "the largest request body, e.g. 64KB, 1MB")
      ->transform(CLI::AsSizeValue(false))
      ->capture_default_str();
  command->add_option("--read-timeout", options->read_timeout, "seconds to read a request")
      ->check(CLI::Range(1, 3600))
      ->capture_default_str();
  command->add_option("--write-timeout", options->write_timeout, "seconds to write an answer")
      ->check(CLI::Range(1, 3600))
      ->capture_default_str();
  command->footer(
      "Resources under /v1 (GET /v1/openapi.json describes them), /healthz and /readyz;\n"
      "one log line per request on stderr. SIGINT or SIGTERM stops it: requests in flight\n"
      "finish, new connections are refused.\n"
      "\n"
      "Examples:\n"
      "  quillet serve --db sqlite:quillet.db --listen 127.0.0.1:8080\n"
      "  quillet serve --db postgresql:dbname=erp --listen 0.0.0.0:8080 --token-file "
      "/etc/quillet/token");
  return {command,
          [options] { return cli::RunReported("serve", [&] { return RunServe(*options); }); }};
}

}  // namespace quillet::serve
