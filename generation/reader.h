// Reader: a connection of the caller's own for read-only look-ups, beside
// the connection a bound component object keeps for its methods.
#ifndef QUILLET_GENERATION_READER_H_
#define QUILLET_GENERATION_READER_H_

#include <memory>
#include <string>

namespace quillet::store {
class Connection;
}

namespace quillet::generation {

// Thread safety: one thread at a time.
class Reader {
 public:
  // Opens `connection_string` ("sqlite:PATH" or "postgresql:CONNINFO"); a
  // missing SQLite file is created empty. Raises Error: errc::kBadConnectionString
  // for an unknown scheme, or the database's error when it cannot connect.
  explicit Reader(const std::string& connection_string);
  ~Reader();
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // The connection, for the engine's functions that read through one.
  store::Connection& connection() { return *connection_; }

 private:
  std::unique_ptr<store::Connection> connection_;
};

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_READER_H_
