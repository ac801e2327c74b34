// Clients that send their requests a byte a second hold a connection each
// and nothing more: others are answered meanwhile, connections past the
// bound of one address are refused at once, and each slow request is cut
// off once its reading time is up. Bounded: every wait below has an end.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "apps/serve/http_listener.h"
#include "tests/support/backends.h"
#include "tests/support/serve_process.h"

namespace quillet::testing {
namespace {

using Clock = std::chrono::steady_clock;

// A connection to `port` from the loopback address `from`; -1 when refused.
int ConnectFrom(const char* from, int port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  ::inet_pton(AF_INET, from, &local.sin_addr);
  sockaddr_in remote{};
  remote.sin_family = AF_INET;
  remote.sin_port = htons(static_cast<uint16_t>(port));
  ::inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
  if (::bind(socket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
      ::connect(socket, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
    ::close(socket);
    return -1;
  }
  return socket;
}

// What the service sent on `socket` until it closed it, or until `until`;
// `closed` tells which.
std::string Received(int socket, Clock::time_point until, bool& closed) {
  std::string text;
  closed = false;
  while (Clock::now() < until) {
    pollfd watched{socket, POLLIN, 0};
    if (::poll(&watched, 1, 50) <= 0) continue;
    char buffer[512];
    const ssize_t got = ::recv(socket, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got <= 0) {
      closed = true;
      break;
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

TEST(ServeSlowClients, OthersAreAnsweredWhileFiftyTrickle) {
  constexpr int kSlow = 50;
  constexpr int kPerClient = 30;
  TestDatabase db("sqlite", /*with_demo=*/true);
  const ServeProcess serve(db.connection_string(),
                           {"--threads", "2", "--read-timeout", "2", "--max-client-connections",
                            std::to_string(kPerClient)});
  // Past the bound of one address: refused at once.
  std::vector<int> slow;
  int refused = 0;
  for (int i = 0; i < kSlow; ++i) slow.push_back(ConnectFrom("127.0.0.2", serve.port()));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  for (int& socket : slow) {
    bool closed = false;
    if (socket < 0 || !Received(socket, Clock::now() + std::chrono::milliseconds(20), closed)
                           .starts_with("HTTP/1.1 503")) {
      continue;
    }
    ++refused;
    ::close(socket);
    socket = -1;
  }
  // A byte a second from each of the others, for three seconds.
  const std::string request = "GET /v1/rules HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  std::thread trickle([&] {
    for (std::size_t at = 0; at < 3; ++at) {
      for (const int socket : slow) {
        if (socket >= 0) ::send(socket, &request[at], 1, MSG_NOSIGNAL | MSG_DONTWAIT);
      }
      std::this_thread::sleep_for(std::chrono::seconds(1));
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  httplib::Client client("127.0.0.1", serve.port());
  client.set_connection_timeout(5, 0);
  client.set_read_timeout(5, 0);
  const httplib::Result answer = client.Get("/v1/rules/all/number");
  trickle.join();
  ASSERT_TRUE(answer) << "no answer while slow clients were connected";
  EXPECT_EQ(answer->status, 200);

  // The others: cut off once the request's two seconds are up, though a
  // byte came every second.
  int cut_off = 0;
  const auto until = Clock::now() + std::chrono::seconds(5);
  for (const int socket : slow) {
    if (socket < 0) continue;
    bool closed = false;
    Received(socket, until, closed);
    if (closed) ++cut_off;
    ::close(socket);
  }
  EXPECT_EQ(refused, kSlow - kPerClient);
  EXPECT_EQ(cut_off, kPerClient);
}

TEST(ServeSlowClients, ConnectionCountHoldsItsBounds) {
  const serve::ConnectionLimits limits{.connections = 3, .connections_per_client = 2};
  serve::ConnectionCount count(limits);
  const std::vector<std::pair<std::string, bool>> steps = {
      {"a", true}, {"a", true}, {"a", false}, {"b", true}, {"c", false}, {"b", false},
  };
  for (const auto& [address, admitted] : steps) {
    EXPECT_EQ(count.Admit(address), admitted) << address;
  }
  count.Release("a");
  EXPECT_TRUE(count.Admit("c"));
  EXPECT_FALSE(count.Admit("a"));
}

}  // namespace
}  // namespace quillet::testing
