// The service's own accept loop in front of cpp-httplib's request handling:
// a thread per connection, up to a bound in all and per client address, each
// request read within its time limit however slowly its bytes come. A
// connection over a bound is answered 503 and closed at once, so slow or
// greedy clients wait alone while others are answered. Over HTTPS each
// connection's thread makes its own TLS session, the handshake within the
// read time limit.
#ifndef QUILLET_SERVE_HTTP_LISTENER_H_
#define QUILLET_SERVE_HTTP_LISTENER_H_

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "apps/serve/connection_stream.h"
#include "apps/serve/tls.h"

namespace quillet::serve {

struct ConnectionLimits {
  std::time_t read_timeout = 10;               // seconds to read one request, head and body
  std::time_t write_timeout = 10;              // seconds a client may take nothing of an answer
  std::chrono::milliseconds keep_alive{2000};  // a connection's wait for its next request
  std::size_t requests_per_connection = 100;
  std::size_t connections = 256;            // open at once, in all
  std::size_t connections_per_client = 64;  // open at once, from one address
};

// Counts the open connections per client address against the bounds.
// Thread-safe.
class ConnectionCount {
 public:
  explicit ConnectionCount(const ConnectionLimits& limits) : limits_(limits) {}
  // Counts a connection from `address`; false (and nothing counted) when it
  // would pass a bound.
  bool Admit(const std::string& address);
  void Release(const std::string& address);

 private:
  const ConnectionLimits& limits_;
  std::mutex mutex_;
  std::size_t open_ = 0;                          // guarded by mutex_
  std::map<std::string, std::size_t> by_client_;  // guarded by mutex_
};

class HttpListener : public httplib::Server {
 public:
  // HTTPS when `tls` is not null, else plain HTTP.
  HttpListener(ConnectionLimits limits, std::unique_ptr<TlsContext> tls);
  ~HttpListener() override;
  HttpListener(const HttpListener&) = delete;
  HttpListener& operator=(const HttpListener&) = delete;

  // Opens the listening socket on `host` and `port` (0: any free port).
  // Returns the port, or -1 when it cannot.
  int Open(const std::string& host, int port);
  // Accepts connections until Stop; returns once every connection has
  // ended. Requests being answered are finished; connections waiting for a
  // request are closed.
  void Serve();
  // Stops accepting. Thread-safe.
  void Stop() { stopping_ = true; }
  bool serving() const { return serving_; }

 private:
  void Accept(int socket);
  // Answers the connection's requests and closes it; runs on the
  // connection's own thread.
  void Answer(int socket);
  void Converse(ConnectionStream& stream);
  void JoinFinished();

  ConnectionLimits limits_;
  std::unique_ptr<TlsContext> tls_;
  ConnectionCount count_{limits_};
  std::atomic<bool> stopping_{false};
  std::atomic<bool> serving_{false};
  int listener_ = -1;
  std::mutex threads_mutex_;
  std::map<std::thread::id, std::thread> threads_;  // guarded by threads_mutex_
  std::vector<std::thread::id> finished_;           // guarded by threads_mutex_
};

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_HTTP_LISTENER_H_
