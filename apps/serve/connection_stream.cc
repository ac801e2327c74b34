#include "apps/serve/connection_stream.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace quillet::serve {
namespace {

// How often a wait looks whether the service is stopping.
constexpr std::chrono::milliseconds kSlice{100};

}  // namespace

ConnectionStream::ConnectionStream(int socket, SSL_CTX* tls, std::time_t read_timeout,
                                   std::time_t write_timeout, const std::atomic<bool>& stopping)
    : socket_(socket),
      read_timeout_(read_timeout),
      write_timeout_(write_timeout),
      stopping_(stopping),
      deadline_(Clock::now() + read_timeout_) {
  if (tls == nullptr) return;
  // A TLS call must never block: a client that stops sending in the middle
  // of a record would hold the thread past every time limit.
  ::fcntl(socket_, F_SETFL, ::fcntl(socket_, F_GETFL) | O_NONBLOCK);
  tls_ = SSL_new(tls);
  if (tls_ != nullptr) SSL_set_fd(tls_, socket_);
}

ConnectionStream::~ConnectionStream() {
  if (tls_ == nullptr) return;
  SSL_shutdown(tls_);  // the close notify, sent if it can be at once
  SSL_free(tls_);
}

bool ConnectionStream::Handshake() {
  if (tls_ == nullptr) return socket_ >= 0 && !stopping_;
  for (;;) {
    const int result = SSL_accept(tls_);
    if (result == 1) return true;
    if (!AwaitTls(result, deadline_, true)) return false;
  }
}

bool ConnectionStream::AwaitTls(int result, Clock::time_point until, bool give_up_on_stop) const {
  switch (SSL_get_error(tls_, result)) {
    case SSL_ERROR_WANT_READ:
      return WaitFor(POLLIN, until, give_up_on_stop);
    case SSL_ERROR_WANT_WRITE:
      return WaitFor(POLLOUT, until, give_up_on_stop);
    default:
      return false;
  }
}

bool ConnectionStream::Pending() const { return tls_ != nullptr && SSL_pending(tls_) > 0; }

bool ConnectionStream::AwaitRequest(std::chrono::milliseconds idle) {
  if (begin_ == end_ && !Pending() && !WaitFor(POLLIN, Clock::now() + idle, true)) return false;
  deadline_ = Clock::now() + read_timeout_;
  return true;
}

bool ConnectionStream::WaitFor(short events, Clock::time_point until, bool give_up_on_stop) const {
  while (!(give_up_on_stop && stopping_)) {
    const auto left = until - Clock::now();
    if (left <= Clock::duration::zero()) return false;
    const auto slice = std::min(
        std::chrono::duration_cast<std::chrono::milliseconds>(left) + std::chrono::milliseconds(1),
        kSlice);
    pollfd watched{socket_, events, 0};
    const int ready = ::poll(&watched, 1, static_cast<int>(slice.count()));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
  return false;
}

bool ConnectionStream::is_readable() const {
  return begin_ < end_ || Pending() || WaitFor(POLLIN, deadline_, true);
}

bool ConnectionStream::is_writable() const {
  return WaitFor(POLLOUT, Clock::now() + write_timeout_, false);
}

ssize_t ConnectionStream::Receive() {
  for (;;) {
    if (!Pending() && !WaitFor(POLLIN, deadline_, true)) return -1;
    ssize_t received = 0;
    if (tls_ == nullptr) {
      received = ::recv(socket_, buffer_.data(), buffer_.size(), 0);
    } else {
      const int result = SSL_read(tls_, buffer_.data(), static_cast<int>(buffer_.size()));
      if (result <= 0) {
        if (SSL_get_error(tls_, result) == SSL_ERROR_ZERO_RETURN) return 0;
        if (!AwaitTls(result, deadline_, true)) return -1;
        continue;
      }
      received = result;
    }
    if (received <= 0) return received;
    begin_ = 0;
    end_ = static_cast<std::size_t>(received);
    return received;
  }
}

ssize_t ConnectionStream::read(char* into, std::size_t size) {
  if (begin_ == end_) {
    const ssize_t received = Receive();
    if (received <= 0) return received;
  }
  const std::size_t given = std::min(size, end_ - begin_);
  std::memcpy(into, buffer_.data() + begin_, given);
  begin_ += given;
  return static_cast<ssize_t>(given);
}

ssize_t ConnectionStream::write(const char* from, std::size_t size) {
  if (tls_ == nullptr) {
    if (!is_writable()) return -1;
    return ::send(socket_, from, size, MSG_NOSIGNAL);
  }
  const auto until = Clock::now() + write_timeout_;
  for (;;) {
    const int result = SSL_write(tls_, from, static_cast<int>(size));
    if (result > 0) return result;
    if (!AwaitTls(result, until, false)) return -1;
  }
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  SocketAddress(socket_, true, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  SocketAddress(socket_, false, ip, port);
}

void SocketAddress(int socket, bool peer, std::string& ip, int& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  auto* raw = reinterpret_cast<sockaddr*>(&address);
  if ((peer ? ::getpeername(socket, raw, &length) : ::getsockname(socket, raw, &length)) != 0) {
    return;
  }
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
    ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    port = ntohs(v4->sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
    ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    port = ntohs(v6->sin6_port);
  }
  ip = text;
}

}  // namespace quillet::serve
