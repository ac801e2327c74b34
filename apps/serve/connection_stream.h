// One client connection as the HTTP layer reads and writes it, with a time
// limit on each request as a whole: a client that sends its request a byte
// at a time is cut off once the request's reading time is up, however
// steadily the bytes come. Over TLS, the session is the stream's own.
#ifndef QUILLET_SERVE_CONNECTION_STREAM_H_
#define QUILLET_SERVE_CONNECTION_STREAM_H_

#include <httplib.h>
#include <openssl/ssl.h>

#include <array>
#include <atomic>
#include <chrono>
#include <ctime>
#include <string>

namespace quillet::serve {

class ConnectionStream : public httplib::Stream {
 public:
  using Clock = std::chrono::steady_clock;

  // Reads and writes `socket`, which stays the caller's to close; through a
  // TLS session of `tls` when not null. Reading gives up once `stopping` is
  // set; writing does not, so that an answer in progress is finished.
  ConnectionStream(int socket, SSL_CTX* tls, std::time_t read_timeout, std::time_t write_timeout,
                   const std::atomic<bool>& stopping);
  ~ConnectionStream() override;
  ConnectionStream(const ConnectionStream&) = delete;
  ConnectionStream& operator=(const ConnectionStream&) = delete;

  // Over TLS, the handshake, within the read timeout; true when it
  // succeeded, and always true for plain HTTP.
  bool Handshake();

  // Waits up to `idle` for the first byte of the next request; true when it
  // came. The request then has `read_timeout` from now to arrive whole.
  bool AwaitRequest(std::chrono::milliseconds idle);

  bool is_readable() const override;
  bool is_writable() const override;
  // -1 once the request's reading time is up, on a stop, or a failure; 0
  // when the client closed its side.
  ssize_t read(char* into, std::size_t size) override;
  // -1 when the client takes nothing for `write_timeout`.
  ssize_t write(const char* from, std::size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return socket_; }

 private:
  // Whether the socket is ready for `events` before `until`.
  bool WaitFor(short events, Clock::time_point until, bool give_up_on_stop) const;
  // Bytes the TLS session has decrypted and not yet handed out.
  bool Pending() const;
  // Fills the buffer from the socket or the TLS session; as read().
  ssize_t Receive();
  // Waits for what a TLS call that returned `result` asks for; false when it
  // failed for good or the time is up.
  bool AwaitTls(int result, Clock::time_point until, bool give_up_on_stop) const;

  int socket_;
  SSL* tls_ = nullptr;
  std::chrono::seconds read_timeout_;
  std::chrono::seconds write_timeout_;
  const std::atomic<bool>& stopping_;
  Clock::time_point deadline_;
  std::array<char, 4096> buffer_{};
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
};

// The address and port of a socket's peer (`peer`) or its own end. Pure.
void SocketAddress(int socket, bool peer, std::string& ip, int& port);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_CONNECTION_STREAM_H_
