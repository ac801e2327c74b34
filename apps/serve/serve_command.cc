// quillet serve: the component as an HTTP service that many clients share.
#include "apps/serve/serve_command.h"

#include <csignal>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/cli/options.h"
#include "apps/cli/tool_error.h"
#include "apps/serve/listen_address.h"
#include "apps/serve/roles.h"
#include "apps/serve/service.h"
#include "apps/serve/stop_signals.h"
#include "apps/serve/tls.h"
#include "quillet/limits.h"

namespace quillet::serve {
namespace {

struct ServeOptions {
  cli::SessionOptions session;
  std::string listen = "127.0.0.1:8080";
  int threads = 8;
  std::optional<std::string> token_file;
  std::vector<std::string> allowed_hosts;
  std::string tls_cert;
  std::string tls_key;
  bool behind_tls_proxy = false;
  ServiceConfig::LogFormat log_format = ServiceConfig::LogFormat::kText;
  std::size_t max_body = 1024 * 1024;
  int read_timeout = 10;
  int write_timeout = 10;
  std::size_t max_connections = 256;
  std::size_t max_client_connections = 64;
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
  if (options.token_file) config.tokens = ReadTokenFile(*options.token_file);
  config.tls_cert = options.tls_cert;
  config.tls_key = options.tls_key;
  config.behind_tls_proxy = options.behind_tls_proxy;
  config.log_format = options.log_format;
  config.allowed_hosts = options.allowed_hosts;
  config.max_body = options.max_body;
  config.read_timeout = options.read_timeout;
  config.write_timeout = options.write_timeout;
  config.max_connections = options.max_connections;
  config.max_client_connections = options.max_client_connections;
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

// What the start-up line says of tokens; never a token itself.
std::string TokenNotice(const ServiceConfig& config) {
  if (config.tokens.empty()) return "changes need no token: loopback only";
  std::string notice = std::to_string(config.tokens.size()) + " bearer token(s)";
  if (!IsLoopback(config.host)) notice += "; reads need a reader's";
  return notice;
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
  log(std::string("quillet serve: listening on ") + SchemeOf(service.config()) + "://" +
      FormatListenAddress(service.config().host, port) + " (" +
      std::to_string(service.config().threads) + " workers; " + TokenNotice(service.config()) +
      ")");
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
                      "bearer tokens, one a line: 'ROLE TOKEN' (reader, issuer, admin) or a "
                      "token alone (admin); without one, only loopback addresses are served");
  command->add_option("--allow-host", options->allowed_hosts,
                      "a host name requests may use besides IP addresses, localhost and the "
                      "listen host (repeatable): the name of a proxy in front, say");
  command->add_option("--tls-cert", options->tls_cert, "serve HTTPS with this PEM certificate");
  command->add_option("--tls-key", options->tls_key, "the PEM private key of --tls-cert");
  command->add_flag("--behind-tls-proxy", options->behind_tls_proxy,
                    "a proxy in front ends TLS: take tokens over plain HTTP beyond loopback");
  command->add_option("--log-format", options->log_format, "access log lines: text or json")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, ServiceConfig::LogFormat>{
              {"text", ServiceConfig::LogFormat::kText}, {"json", ServiceConfig::LogFormat::kJson}},
          CLI::ignore_case))
      ->capture_default_str();
  command->add_option("--max-body", options->max_body, "the largest request body, e.g. 64KB, 1MB")
      ->transform(CLI::AsSizeValue(false))
      ->capture_default_str();
  command
      ->add_option("--read-timeout", options->read_timeout,
                   "seconds to read a request, head and body")
      ->check(CLI::Range(1, 3600))
      ->capture_default_str();
  command->add_option("--write-timeout", options->write_timeout, "seconds to write an answer")
      ->check(CLI::Range(1, 3600))
      ->capture_default_str();
  command
      ->add_option("--max-connections", options->max_connections,
                   "connections open at once; more are answered 503")
      ->check(CLI::Range(1, 4096))
      ->capture_default_str();
  command
      ->add_option("--max-client-connections", options->max_client_connections,
                   "connections open at once from one client address")
      ->check(CLI::Range(1, 4096))
      ->capture_default_str();
  command->footer(
      "Resources under /v1 (GET /v1/openapi.json describes them), /healthz, /readyz and\n"
      "/metrics (Prometheus text); one log line per request on stderr (--log-format json:\n"
      "one JSON object). Token file lines: 'reader TOKEN', 'issuer TOKEN', 'admin TOKEN'.\n"
      "SIGINT or SIGTERM stops it: requests in flight finish, new connections are refused.\n"
      "\n"
      "Examples:\n"
      "  quillet serve --db sqlite:quillet.db --listen 127.0.0.1:8080\n"
      "  quillet serve --db postgresql:dbname=erp --listen 0.0.0.0:8443 --token-file "
      "/etc/quillet/tokens --tls-cert /etc/quillet/cert.pem --tls-key /etc/quillet/key.pem");
  return {command,
          [options] { return cli::RunReported("serve", [&] { return RunServe(*options); }); }};
}

}  // namespace quillet::serve
