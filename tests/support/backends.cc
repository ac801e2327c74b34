#include "tests/support/backends.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

#include "quillet/login.h"
#include "quillet/numbering.h"
#include "store/schema.h"

namespace quillet::testing {
namespace {

constexpr const char* kPostgresVariable = "QUILLET_TEST_POSTGRES";

std::string PostgresConninfo() {
  const char* conninfo = std::getenv(kPostgresVariable);
  return conninfo ? conninfo : "";
}

// A name no other test of any process on this machine uses at the same time.
std::string UniqueName(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "%08x", random());
  return prefix + std::to_string(::getpid()) + "_" + std::to_string(++counter) + "_" + suffix;
}

// Each test gets a schema of its own, chosen by the session's search path;
// through a pooler, whose server sessions carry no client's settings, a
// database of its own.
void DropPostgresSpace(const std::string& name, bool database) {
  store::Connection admin;
  admin.Open("postgresql:" + PostgresConninfo());
  admin.Execute(store::Sql{database ? "DROP DATABASE IF EXISTS " + name + " WITH (FORCE)"
                                    : "DROP SCHEMA IF EXISTS " + name + " CASCADE"});
}

}  // namespace

std::string PostgresAdminString() {
  return PostgresConninfo().empty() ? "" : "postgresql:" + PostgresConninfo();
}

std::string TempPath(const std::string& stem) {
  static std::atomic<unsigned> counter{0};
  return (std::filesystem::temp_directory_path() /
          (stem + std::to_string(::getpid()) + "_" + std::to_string(++counter)))
      .string();
}

void RemoveSqliteFiles(const std::string& path) {
  std::error_code ignored;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
    std::filesystem::remove(path + suffix, ignored);
  }
}

std::unique_ptr<clsQuillet> BoundObject(const std::string& connection_string) {
  auto object = std::make_unique<clsQuillet>();
  std::shared_ptr<Login> login =
      std::make_shared<ConfiguredLogin>(connection_string, std::set<std::string>{});
  object->init(login);
  return object;
}

std::vector<std::string> Backends() {
  std::vector<std::string> backends{"sqlite"};
  if (!PostgresConninfo().empty()) {
    backends.push_back("postgresql");
  } else if (std::getenv("CI") != nullptr) {
    std::fprintf(stderr,
                 "CI is set but %s is not: the PostgreSQL tests cannot run. Run the tests "
                 "through scripts/test.sh, which starts a server and sets it.\n",
                 kPostgresVariable);
    std::abort();
  }
  return backends;
}

TestDatabase::TestDatabase(const std::string& backend, bool with_demo) : backend_(backend) {
  if (backend_ == "sqlite") {
    cleanup_ =
        (std::filesystem::temp_directory_path() / (UniqueName("quillet_test_") + ".db")).string();
    connection_string_ = "sqlite:" + cleanup_;
  } else if (backend_ == "postgresql") {
    cleanup_ = UniqueName("quillet_test_");
    store::Connection admin;
    admin.Open("postgresql:" + PostgresConninfo());
    own_database_ = admin.ThroughPooler();
    if (own_database_) {
      admin.Execute(store::Sql{"CREATE DATABASE " + cleanup_});
      connection_string_ = "postgresql:" + PostgresConninfo() + " dbname=" + cleanup_;
    } else {
      admin.Execute(store::Sql{"CREATE SCHEMA " + cleanup_});
      connection_string_ =
          "postgresql:" + PostgresConninfo() + " options='-c search_path=" + cleanup_ + "'";
    }
  } else {
    throw std::invalid_argument("unknown test backend " + backend_);
  }
  try {
    db_ = std::make_unique<store::Connection>();
    db_->Open(connection_string_);
    store::CreateSchema(*db_);
    if (with_demo) Numbering::LoadDemoCompany(connection_string_, Numbering::DemoContent::kRows);
  } catch (...) {
    db_.reset();
    if (backend_ == "sqlite") RemoveSqliteFiles(cleanup_);
    if (backend_ == "postgresql") DropPostgresSpace(cleanup_, own_database_);
    throw;
  }
}

TestDatabase::~TestDatabase() {
  db_.reset();
  try {
    if (backend_ == "sqlite") RemoveSqliteFiles(cleanup_);
    if (backend_ == "postgresql") DropPostgresSpace(cleanup_, own_database_);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "could not drop test schema %s: %s\n", cleanup_.c_str(), failure.what());
  }
}

}  // namespace quillet::testing
