// The databases the suite runs against, written once for every backend.
#ifndef QUILLET_TESTS_SUPPORT_BACKENDS_H_
#define QUILLET_TESTS_SUPPORT_BACKENDS_H_

#include <memory>
#include <string>
#include <vector>

#include "quillet/quillet.h"
#include "store/connection.h"

namespace quillet::testing {

// "sqlite" always; "postgresql" when QUILLET_TEST_POSTGRES holds a libpq
// conninfo. With CI set, a missing QUILLET_TEST_POSTGRES is a failure, never
// a silent skip.
std::vector<std::string> Backends();

// The PostgreSQL database of QUILLET_TEST_POSTGRES, in which the tests make
// their schemas (or databases), as a connection string; empty without one.
std::string PostgresAdminString();

// A path in the temporary folder that no other test of any process uses at
// the same time: `stem`, then the process id and a counter.
std::string TempPath(const std::string& stem);

// Removes a SQLite file with its side files; missing ones are no error.
void RemoveSqliteFiles(const std::string& path);

// A new clsQuillet bound (init) to `connection_string` with a ConfiguredLogin.
std::unique_ptr<clsQuillet> BoundObject(const std::string& connection_string);

// A fresh, empty database for one test (a temporary SQLite file, or a new
// PostgreSQL schema; through a connection pooler a new PostgreSQL database),
// dropped again on destruction. The schema is created;
// the demo data only when asked.
class TestDatabase {
 public:
  explicit TestDatabase(const std::string& backend, bool with_demo = false);
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  const std::string& connection_string() const { return connection_string_; }
  // A connection of the test's own, for arranging rows and checking results.
  store::Connection& db() { return *db_; }
  // A new clsQuillet bound to this database.
  std::unique_ptr<clsQuillet> NewObject() const { return BoundObject(connection_string_); }

 private:
  std::string backend_;
  std::string connection_string_;
  std::string cleanup_;  // file path, schema or database name
  bool own_database_ = false;
  std::unique_ptr<store::Connection> db_;
};

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_SUPPORT_BACKENDS_H_
