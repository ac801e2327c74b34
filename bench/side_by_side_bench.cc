// Quillet beside the floor of the same database: the bare statements that do
// the same work, over the same kind of connection, in the same run.
//
// Every case reports counters that scripts/bench.sh turns into one table:
//   per_call_ms      mean wall time of one call (one number); the fills are
//                    timed by the benchmark itself (real time)
//   calls_per_second calls of all clients together per wall second
//   statements       statements per call on the issue path (where counted)
//   rss_growth_mb    resident memory growth of a `quillet rpc` session
// Client cases run every client (a thread with its own object or
// connection) for kClientSeconds and count what they finished.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "quillet/quillet.h"
#include "store/connection.h"
#include "store/rule_queries.h"
#include "store/write_pool.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

using Clock = std::chrono::steady_clock;

constexpr double kClientSeconds = 2.0;
constexpr int kRules = 8;
constexpr int kBatchSize = 1000;
constexpr int kArchiveValues = 100000;
constexpr int kMemoryCalls = 200000;
constexpr int kMemoryBaselineCalls = 1000;

void Insert(store::Connection& db, const char* sql, const store::Params& params) {
  db.Execute(store::Sql{sql}, params);
}

// Item B1 of class AABBCCC (coding rule 223) takes the rule of its
// grandparent class AA; items E1..E8 have rules of their own. Every rule is
// "SN" date department running-number "-X", the department cut to level 1
// and mapped. A counter table holds the floor's rows 1..8.
void AddRules(store::Connection& db) {
  Insert(db, "insert into GradeDef (KEYWORD,lgrade,CODINGRULE) values (:1,:2,:3)",
         {"inventoryclass", "3", "223"});
  Insert(db, "insert into GradeDef (KEYWORD,lgrade,CODINGRULE) values (:1,:2,:3)",
         {"department", "2", "22"});
  Insert(db, "insert into inventoryclass (cinvccode,iinvcgrade) values (:1,:2)", {"AABBCCC", "3"});
  Insert(db, "insert into department (cdepcode,idepgrade) values (:1,:2)", {"0102", "2"});
  Insert(db, "insert into SNContrapose (cdatasrccode,cseedcode,ccode) values (:1,:2,:3)",
         {"2", "01", "D"});
  const auto rule = [&](const std::string& owner, const std::string& type) {
    Insert(db, "insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values (:1,:2,:3,:4)",
           {owner, type, "bench" + owner, "1"});
    const char* segment =
        "insert into SNrule (crulename,cinvcode,cinvtype,igrade,cdatasrctype,cdatasrcformat,"
        "iformatlength,cpatchsign,creplacesign,isteplength) values (:1,:2,:3,:4,:5,:6,:7,'0',"
        "null,:8)";
    const std::string name = "bench" + owner;
    Insert(db, segment, {name, owner, type, "1", "9", "SN", "0", std::nullopt});
    Insert(db, segment, {name, owner, type, "2", "0", "YYMMDD", "0", std::nullopt});
    Insert(db, segment, {name, owner, type, "3", "2", "1", "2", std::nullopt});
    Insert(db, segment, {name, owner, type, "4", "10", std::nullopt, "9", "1"});
    Insert(db, segment, {name, owner, type, "5", "9", "-X", "0", std::nullopt});
  };
  Insert(db, "insert into inventory (cinvcode,cinvccode,bSerial) values (:1,:2,'1')",
         {"B1", "AABBCCC"});
  rule("AA", "0");
  for (int i = 1; i <= kRules; ++i) {
    const std::string item = "E" + std::to_string(i);
    Insert(db, "insert into inventory (cinvcode,cinvccode,bSerial) values (:1,:2,'1')",
           {item, "AABBCCC"});
    rule(item, "1");
  }
  db.Execute(store::Sql{"create table counter (id integer primary key, n bigint not null)"});
  for (int i = 1; i <= kRules; ++i) {
    Insert(db, "insert into counter (id,n) values (:1,0)", {std::to_string(i)});
  }
}

// One database per backend for the whole run, made on first use.
testing::TestDatabase& RuleDatabase(const std::string& backend) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<testing::TestDatabase>> databases;
  std::lock_guard<std::mutex> lock(mutex);
  auto& database = databases[backend];
  if (!database) {
    database = std::make_unique<testing::TestDatabase>(backend);
    AddRules(database->db());
  }
  return *database;
}

std::string ValueXml(const std::string& item, int count) {
  return "<data count='" + std::to_string(count) + "'><row name='cinvcode' value='" + item +
         "' itype='' bHave='true'/><row name='vchdate' value='2024-05-06T00:00:00' itype='0' "
         "bHave='true'/><row name='department' value='0102' itype='2' bHave='true'/></data>";
}

std::shared_ptr<XmlDocument> ValueDocument(const std::string& item, int count = 1) {
  auto values = std::make_shared<XmlDocument>();
  values->loadXML(ValueXml(item, count));
  return values;
}

// Runs `clients` threads, each calling its own `make()`'s call until the
// time is up; sets the counters from the calls finished.
template <typename MakeClient>
void RunClients(benchmark::State& state, int clients, MakeClient make) {
  for (auto _ : state) {
    std::vector<uint64_t> done(clients, 0);
    std::atomic<int> ready{0};
    std::atomic<bool> failed{false};
    std::chrono::duration<double> elapsed{};
    {
      std::vector<std::thread> threads;
      std::atomic<bool> go{false};
      for (int i = 0; i < clients; ++i) {
        threads.emplace_back([&, i] {
          auto call = make(i);
          ++ready;
          while (!go) std::this_thread::yield();
          const auto end = Clock::now() + std::chrono::duration<double>(kClientSeconds);
          while (Clock::now() < end) {
            if (!call()) {
              failed = true;
              return;
            }
            ++done[i];
          }
        });
      }
      while (ready < clients) std::this_thread::yield();
      const auto start = Clock::now();
      go = true;
      for (std::thread& thread : threads) thread.join();
      elapsed = Clock::now() - start;
    }
    if (failed) {
      state.SkipWithError("a call failed");
      return;
    }
    uint64_t total = 0;
    for (uint64_t n : done) total += n;
    state.SetIterationTime(elapsed.count());
    state.counters["calls_per_second"] = static_cast<double>(total) / elapsed.count();
    state.counters["per_call_ms"] = elapsed.count() * 1000.0 * clients / static_cast<double>(total);
  }
}

// getSNumber with saving; clients on one rule (B1) or on eight (E1..E8).
void IssueClients(benchmark::State& state, std::string backend, bool eight_rules) {
  testing::TestDatabase& database = RuleDatabase(backend);
  // Kept writers of another case may have been opened the other way.
  store::WritePool::Shared().Clear();
  const uint64_t statements = store::generation::SentStatements();
  std::atomic<uint64_t> calls{0};
  RunClients(state, static_cast<int>(state.range(0)), [&](int i) {
    const std::string item = eight_rules ? "E" + std::to_string(i % kRules + 1) : "B1";
    return [object = std::shared_ptr<clsQuillet>(database.NewObject()),
            values = ValueDocument(item), &calls]() mutable {
      std::string code, error;
      ++calls;
      return !object->getSNumber(code, values, error, true).empty();
    };
  });
  if (state.range(0) == 1) {
    state.counters["statements"] =
        static_cast<double>(store::generation::SentStatements() - statements) /
        static_cast<double>(calls.load());
  }
}

// As IssueClients, every statement sent unnamed as through a pooler, on the
// same direct server: what keeping statements prepared saves.
void UnnamedIssueClients(benchmark::State& state, std::string backend, bool eight_rules) {
  store::SetPreparedWhenDirect(false);
  IssueClients(state, backend, eight_rules);
  store::SetPreparedWhenDirect(true);
  store::WritePool::Shared().Clear();
}

// The floor: the bare read-and-advance of a counter row on a kept connection.
void CounterClients(benchmark::State& state, std::string backend, bool eight_rows) {
  testing::TestDatabase& database = RuleDatabase(backend);
  RunClients(state, static_cast<int>(state.range(0)), [&](int i) {
    auto db = std::make_shared<store::Connection>();
    db->Open(database.connection_string());
    const std::string row = std::to_string(eight_rows ? i % kRules + 1 : 1);
    return [db, row] {
      if (db->dialect() == store::Dialect::kPostgresql) {
        return db->Query(store::Sql{"update counter set n=n+1 where id=:1 returning n"}, {row})
                   ->RecordCount() == 1;
      }
      db->Begin();
      db->Execute(store::Sql{"update counter set n=n+1 where id=:1"}, {row});
      const bool read =
          db->Query(store::Sql{"select n from counter where id=:1"}, {row})->RecordCount() == 1;
      db->Commit();
      return read;
    };
  });
}

// The usual pattern of a host program on PostgreSQL: the counter row read
// under a row lock, advanced and committed, in four statements.
void LockedCounterClients(benchmark::State& state, std::string backend) {
  testing::TestDatabase& database = RuleDatabase(backend);
  RunClients(state, static_cast<int>(state.range(0)), [&](int) {
    auto db = std::make_shared<store::Connection>();
    db->Open(database.connection_string());
    return [db] {
      db->Begin();
      const bool read =
          db->Query(store::Sql{"select n from counter where id=1 for update"})->RecordCount() == 1;
      db->Execute(store::Sql{"update counter set n=n+1 where id=1"});
      db->Commit();
      return read;
    };
  });
}

// getSNbatch of 1,000 with saving, one client: per_call_ms is per number.
void Batch(benchmark::State& state, std::string backend) {
  testing::TestDatabase& database = RuleDatabase(backend);
  auto object = database.NewObject();
  auto values = ValueDocument("E1", kBatchSize);
  uint64_t numbers = 0;
  uint64_t batches = 0;
  const uint64_t statements = store::generation::SentStatements();
  const auto start = Clock::now();
  for (auto _ : state) {
    ++batches;
    std::string code, error;
    if (object->getSNbatch(code, values, error, true)->selectNodes("/SN/R").size() != kBatchSize) {
      state.SkipWithError("the batch failed");
      return;
    }
    numbers += kBatchSize;
  }
  const std::chrono::duration<double> elapsed = Clock::now() - start;
  state.counters["per_call_ms"] = elapsed.count() * 1000.0 / static_cast<double>(numbers);
  state.counters["statements"] =
      static_cast<double>(store::generation::SentStatements() - statements) /
      static_cast<double>(batches);
}

// A `quillet rpc` process talking over pipes.
class RpcSession {
 public:
  explicit RpcSession(const std::string& connection_string) {
    const char* binary = std::getenv("QUILLET_BINARY");
    if (binary == nullptr) throw std::runtime_error("QUILLET_BINARY names no quillet binary");
    int to_child[2], from_child[2];
    if (pipe(to_child) != 0 || pipe(from_child) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(to_child[0], 0);
      dup2(from_child[1], 1);
      close(to_child[1]);
      close(from_child[0]);
      execl(binary, binary, "rpc", "--db", connection_string.c_str(), nullptr);
      _exit(127);
    }
    close(to_child[0]);
    close(from_child[1]);
    in_ = fdopen(to_child[1], "w");
    out_ = fdopen(from_child[0], "r");
    Call(R"({"method":"init"})");
  }
  ~RpcSession() {
    fclose(in_);
    fclose(out_);
    waitpid(pid_, nullptr, 0);
  }

  // Sends one request line; returns the response line.
  std::string Call(const std::string& request) {
    std::fputs(request.c_str(), in_);
    std::fputc('\n', in_);
    std::fflush(in_);
    std::string line;
    for (int c; (c = std::fgetc(out_)) != EOF && c != '\n';) line += static_cast<char>(c);
    return line;
  }

  // Resident memory of the session, in kB.
  long ResidentKb() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  FILE* in_ = nullptr;
  FILE* out_ = nullptr;
};

std::string IssueRequest(const std::string& item) {
  return R"({"method":"getSNumber","args":{"DomValue":")" + ValueXml(item, 1) +
         R"(","bSave":true}})";
}

bool Issued(const std::string& response) {
  return response.find(R"("result":"SN)") != std::string::npos;
}

// getSNumber with saving through `quillet rpc`, one client.
void RpcIssue(benchmark::State& state, std::string backend) {
  testing::TestDatabase& database = RuleDatabase(backend);
  RunClients(state, 1, [&](int) {
    auto session = std::make_shared<RpcSession>(database.connection_string());
    return [session, request = IssueRequest("E1")] { return Issued(session->Call(request)); };
  });
}

// Memory of one rpc session over kMemoryCalls issues without saving (the
// same parsing, dispatch and evaluation, without waiting for the disk).
void RpcMemory(benchmark::State& state, std::string backend) {
  testing::TestDatabase& database = RuleDatabase(backend);
  for (auto _ : state) {
    RpcSession session(database.connection_string());
    std::string request = IssueRequest("E2");
    request.replace(request.find(R"("bSave":true)"), 12, R"("bSave":false)");
    long baseline = 0;
    for (int i = 1; i <= kMemoryCalls; ++i) {
      if (!Issued(session.Call(request))) {
        state.SkipWithError("an rpc call failed");
        return;
      }
      if (i == kMemoryBaselineCalls) baseline = session.ResidentKb();
    }
    state.counters["rss_growth_mb"] = static_cast<double>(session.ResidentKb() - baseline) / 1024;
  }
}

// The department archive of kArchiveValues codes, with its data source.
testing::TestDatabase& ArchiveDatabase(const std::string& backend) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<testing::TestDatabase>> databases;
  std::lock_guard<std::mutex> lock(mutex);
  auto& database = databases[backend];
  if (database) return *database;
  database = std::make_unique<testing::TestDatabase>(backend);
  store::Connection& db = database->db();
  db.Execute(store::Sql{"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < "
                        "CAST(:1 AS INTEGER))"
                        " INSERT INTO department (cDepCode,cDepName,iDepGrade)"
                        " SELECT 'D' || (100000+i), 'Department ' || i, 1 FROM n"},
             {std::to_string(kArchiveValues - 1)});
  db.Execute(
      store::Sql{"insert into SNPrefabricate_lang (cdatasrccode,localid,cdatasrccaption,cContent,"
                 "iContentType,cArchFieldName,cArchclsFieldName)"
                 " values ('2','zh-CN','Department','department','1','cDepCode','cDepName')"});
  Insert(db, "insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values ('all',2,'F','1')",
         {});
  Insert(db,
         "insert into SNrule (crulename,cinvcode,cinvtype,igrade,cdatasrctype,iformatlength,"
         "cpatchsign) values ('F','all',2,1,2,6,'0')",
         {});
  return *database;
}

constexpr const char* kDepartmentKey =
    "<r cdatasrccode='2' iContentType='1' cContent='department' cArchFieldName='cDepCode' "
    "cArchclsFieldName='cDepName'/>";

void ClearMappings(benchmark::State& state, store::Connection& db) {
  state.PauseTiming();
  db.Execute(store::Sql{"delete from SNContrapose"});
  state.ResumeTiming();
}

// Getprefixrssrv: the fill of every value and the listing that follows.
void FillAndList(benchmark::State& state, std::string backend) {
  testing::TestDatabase& database = ArchiveDatabase(backend);
  auto object = database.NewObject();
  for (auto _ : state) {
    ClearMappings(state, database.db());
    int32_t width = 0;
    Variant listing;
    std::string format, error;
    auto key = std::make_shared<XmlDocument>();
    key->loadXML(kDepartmentKey);
    object->Getprefixrssrv(Variant(key), width, listing, format, error);
    if (!listing.record_set() || listing.record_set()->RecordCount() != kArchiveValues) {
      state.SkipWithError("the listing is incomplete");
      return;
    }
  }
}

// The same fill and listing through `quillet rpc`: the listing as a host
// program receives it, encoded and read back over the pipe.
void RpcFillAndList(benchmark::State& state, std::string backend) {
  testing::TestDatabase& database = ArchiveDatabase(backend);
  RpcSession session(database.connection_string());
  const std::string request =
      R"({"method":"Getprefixrssrv","args":{"DomPrefixkey":{"type":"document","xml":")" +
      std::string(kDepartmentKey) + R"("},"maxlength":0,"RsPrefix":null,"datasrcformat":""}})";
  for (auto _ : state) {
    ClearMappings(state, database.db());
    const std::string response = session.Call(request);
    // Every row of the listing starts with its own '[' after the rows' one.
    const auto rows = std::count(response.begin(), response.end(), '[');
    if (response.find(R"("error":null)") == std::string::npos || rows < kArchiveValues + 1) {
      state.SkipWithError("the listing is incomplete");
      return;
    }
  }
}

// The floor: one INSERT ... SELECT of the same rows, then the same listing.
void FillAndListFloor(benchmark::State& state, std::string backend) {
  testing::TestDatabase& database = ArchiveDatabase(backend);
  store::Connection db;
  db.Open(database.connection_string());
  for (auto _ : state) {
    ClearMappings(state, database.db());
    db.Begin();
    db.Execute(store::Sql{
        "insert into SNContrapose (cContent,cseedcode,ccode,isize,iContentType,cdatasrccode,"
        "buserchange) select 'department',cDepCode,substr(cDepCode,2,6),'6','1','2','0'"
        " from department where cDepCode not in"
        " (select cseedcode from SNContrapose where cContent='department')"});
    db.Commit();
    const auto listing = db.Query(
        store::Sql{"Select a.*,b.cDepName as cName from SNContrapose as a Left Join department as b"
                   " ON a.cseedcode=b.cDepCode order by a.cseedcode"});
    if (listing->RecordCount() != kArchiveValues) {
      state.SkipWithError("the listing is incomplete");
      return;
    }
  }
}

const bool kRegistered = [] {
  for (const std::string& backend : testing::Backends()) {
    const auto clients = [](benchmark::internal::Benchmark* b) {
      b->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Iterations(1)->UseManualTime()->Unit(
          benchmark::kMillisecond);
    };
    clients(benchmark::RegisterBenchmark(("issue/one_rule/" + backend).c_str(), IssueClients,
                                         backend, false));
    clients(benchmark::RegisterBenchmark(("issue/eight_rules/" + backend).c_str(), IssueClients,
                                         backend, true));
    if (backend == "postgresql") {
      // One client and eight: the table compares those with the prepared runs.
      for (const bool eight_rules : {false, true}) {
        benchmark::RegisterBenchmark(eight_rules ? "issue/eight_rules/postgresql_unnamed"
                                                 : "issue/one_rule/postgresql_unnamed",
                                     UnnamedIssueClients, backend, eight_rules)
            ->Arg(eight_rules ? 8 : 1)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
      }
    }
    clients(benchmark::RegisterBenchmark(("floor/one_row/" + backend).c_str(), CounterClients,
                                         backend, false));
    clients(benchmark::RegisterBenchmark(("floor/eight_rows/" + backend).c_str(), CounterClients,
                                         backend, true));
    if (backend == "postgresql") {
      benchmark::RegisterBenchmark("floor/locked_row/postgresql", LockedCounterClients, backend)
          ->Arg(1)
          ->Iterations(1)
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark(("batch_1000/" + backend).c_str(), Batch, backend)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark(("rpc_issue/" + backend).c_str(), RpcIssue, backend)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("fill_list_100k/" + backend).c_str(), FillAndList, backend)
        ->Iterations(3)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("rpc_fill_list_100k/" + backend).c_str(), RpcFillAndList, backend)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark(("floor_fill_list_100k/" + backend).c_str(), FillAndListFloor,
                                 backend)
        ->Iterations(3)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("rpc_memory_200k/sqlite", RpcMemory, std::string("sqlite"))
      ->Iterations(1)
      ->Unit(benchmark::kSecond);
  return true;
}();

}  // namespace
}  // namespace quillet
