#include "apps/serve/http_listener.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include "apps/serve/connection_stream.h"
#include "apps/serve/cross_site.h"
#include "apps/serve/problem.h"

namespace quillet::serve {
namespace {

constexpr int kAcceptSliceMs = 100;  // how often the accept loop looks for a stop
constexpr int kBacklog = 128;

int ListeningSocket(const addrinfo& candidate) {
  const int socket =
      ::socket(candidate.ai_family, candidate.ai_socktype | SOCK_CLOEXEC, candidate.ai_protocol);
  if (socket < 0) return -1;
  // Without SO_REUSEPORT, a second instance on a port in use fails to bind
  // instead of sharing the port unnoticed.
  const int yes = 1;
  ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (::bind(socket, candidate.ai_addr, candidate.ai_addrlen) == 0 &&
      ::listen(socket, kBacklog) == 0) {
    return socket;
  }
  ::close(socket);
  return -1;
}

// The whole answer to a connection over a bound, as it goes on the wire.
std::string RefusalAnswer() {
  httplib::Response response;
  WriteProblem(Problem(503, "too many connections are open: try again shortly", "", std::nullopt,
                       {{"Retry-After", "1"}}),
               "", response);
  AddSecurityHeaders(response);
  std::string answer = "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\n";
  for (const auto& [name, value] : response.headers) answer += name + ": " + value + "\r\n";
  answer += "Content-Length: " + std::to_string(response.body.size()) + "\r\n\r\n";
  return answer + response.body;
}

// Over TLS the refusal is the closed connection: a handshake would cost the
// accept loop the time the bound is there to save.
void Refuse(int socket, bool plain) {
  static const std::string answer = RefusalAnswer();
  // Never waits: a client that takes nothing loses the answer, not the loop its
  // time.
  if (plain) ::send(socket, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  ::shutdown(socket, SHUT_RDWR);
  ::close(socket);
}

}  // namespace

bool ConnectionCount::Admit(const std::string& address) {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::size_t& from_client = by_client_[address];
  if (open_ >= limits_.connections || from_client >= limits_.connections_per_client) {
    if (from_client == 0) by_client_.erase(address);
    return false;
  }
  ++open_;
  ++from_client;
  return true;
}

void ConnectionCount::Release(const std::string& address) {
  const std::lock_guard<std::mutex> lock(mutex_);
  --open_;
  if (--by_client_[address] == 0) by_client_.erase(address);
}

HttpListener::HttpListener(ConnectionLimits limits, std::unique_ptr<TlsContext> tls)
    : limits_(limits), tls_(std::move(tls)) {
  // What the answers' Keep-Alive header tells the client.
  set_keep_alive_timeout(
      std::chrono::duration_cast<std::chrono::seconds>(limits_.keep_alive).count());
  set_keep_alive_max_count(limits_.requests_per_connection);
}

HttpListener::~HttpListener() {
  Stop();
  if (listener_ >= 0) ::close(listener_);
}

int HttpListener::Open(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
  for (const addrinfo* candidate = found; candidate != nullptr && listener_ < 0;
       candidate = candidate->ai_next) {
    listener_ = ListeningSocket(*candidate);
  }
  ::freeaddrinfo(found);
  if (listener_ < 0) return -1;
  std::string ip;
  int bound = -1;
  SocketAddress(listener_, false, ip, bound);
  return bound;
}

void HttpListener::Serve() {
  // A client gone while its answer is written must not end the process: a
  // TLS session writes with write(2), which raises SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  serving_ = true;
  while (!stopping_ && listener_ >= 0) {
    pollfd watched{listener_, POLLIN, 0};
    if (::poll(&watched, 1, kAcceptSliceMs) > 0) {
      const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (socket >= 0) Accept(socket);
    }
    JoinFinished();
  }
  // No connection is taken from now on.
  if (listener_ >= 0) ::close(listener_);
  listener_ = -1;
  std::map<std::thread::id, std::thread> threads;
  {
    const std::lock_guard<std::mutex> lock(threads_mutex_);
    threads.swap(threads_);
  }
  for (auto& [id, thread] : threads) thread.join();
  serving_ = false;
}

void HttpListener::Accept(int socket) {
  std::string address;
  int port = 0;
  SocketAddress(socket, true, address, port);
  if (!count_.Admit(address)) {
    Refuse(socket, tls_ == nullptr);
    return;
  }
  // An answer goes out as headers, then body: without this the body waits
  // for the client's delayed ACK.
  const int yes = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  const std::lock_guard<std::mutex> lock(threads_mutex_);
  std::thread thread([this, socket, address] {
    Answer(socket);
    count_.Release(address);
    const std::lock_guard<std::mutex> finished(threads_mutex_);
    finished_.push_back(std::this_thread::get_id());
  });
  threads_.emplace(thread.get_id(), std::move(thread));
}

void HttpListener::Answer(int socket) {
  {
    ConnectionStream stream(socket, tls_ ? tls_->get() : nullptr, limits_.read_timeout,
                            limits_.write_timeout, stopping_);
    if (stream.Handshake()) Converse(stream);
  }
  ::shutdown(socket, SHUT_RDWR);
  ::close(socket);
}

void HttpListener::Converse(ConnectionStream& stream) {
  for (std::size_t served = 0; served < limits_.requests_per_connection; ++served) {
    if (stopping_ || !stream.AwaitRequest(limits_.keep_alive)) break;
    const bool last = served + 1 == limits_.requests_per_connection || stopping_;
    bool closed = false;
    if (!process_request(stream, last, closed, nullptr) || closed) break;
  }
}

void HttpListener::JoinFinished() {
  std::vector<std::thread> done;
  {
    const std::lock_guard<std::mutex> lock(threads_mutex_);
    for (const std::thread::id id : finished_) {
      const auto found = threads_.find(id);
      if (found == threads_.end()) continue;
      done.push_back(std::move(found->second));
      threads_.erase(found);
    }
    finished_.clear();
  }
  for (std::thread& thread : done) thread.join();
}

}  // namespace quillet::serve
