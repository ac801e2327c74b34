#include "apps/serve/connection_stream.h"

#include <arpa/inet.h>
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

ConnectionStream::ConnectionStream(int socket, std::time_t read_timeout, std::time_t write_timeout,
                                   const std::atomic<bool>& stopping)
    : socket_(socket),
      read_timeout_(read_timeout),
      write_timeout_(write_timeout),
      stopping_(stopping),
      deadline_(Clock::now() + read_timeout_) {}

bool ConnectionStream::AwaitRequest(std::chrono::milliseconds idle) {
  if (begin_ == end_ && !WaitFor(POLLIN, Clock::now() + idle, true)) return false;
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
  return begin_ < end_ || WaitFor(POLLIN, deadline_, true);
}

bool ConnectionStream::is_writable() const {
  return WaitFor(POLLOUT, Clock::now() + write_timeout_, false);
}

ssize_t ConnectionStream::read(char* into, std::size_t size) {
  if (begin_ == end_) {
    if (!WaitFor(POLLIN, deadline_, true)) return -1;
    const ssize_t received = ::recv(socket_, buffer_.data(), buffer_.size(), 0);
    if (received <= 0) return received;
    begin_ = 0;
    end_ = static_cast<std::size_t>(received);
  }
  const std::size_t given = std::min(size, end_ - begin_);
  std::memcpy(into, buffer_.data() + begin_, given);
  begin_ += given;
  return static_cast<ssize_t>(given);
}

ssize_t ConnectionStream::write(const char* from, std::size_t size) {
  if (!is_writable()) return -1;
  return ::send(socket_, from, size, MSG_NOSIGNAL);
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
