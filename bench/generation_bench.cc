// Serial number generation: one rule evaluation, one issue with saving and
// one batch of 1,000 numbers, on SQLite and, when QUILLET_TEST_POSTGRES is
// set, PostgreSQL; with the statements and write connections each call makes.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "quillet/quillet.h"
#include "store/connection.h"
#include "store/rule_queries.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

constexpr int kBatchSize = 1000;

void Insert(store::Connection& db, const char* sql, const store::Params& params) {
  db.Execute(store::Sql{sql}, params);
}

// Item B1 of class AABBCCC (coding rule 223) takes the rule of its
// grandparent class AA: "SN" date department running-number "-X", the
// department cut to level 1 and mapped.
std::unique_ptr<testing::TestDatabase> RuleDatabase(const std::string& backend) {
  auto database = std::make_unique<testing::TestDatabase>(backend);
  store::Connection& db = database->db();
  Insert(db, "insert into GradeDef (KEYWORD,lgrade,CODINGRULE) values (:1,:2,:3)",
         {"inventoryclass", "3", "223"});
  Insert(db, "insert into GradeDef (KEYWORD,lgrade,CODINGRULE) values (:1,:2,:3)",
         {"department", "2", "22"});
  Insert(db, "insert into inventoryclass (cinvccode,iinvcgrade) values (:1,:2)", {"AABBCCC", "3"});
  Insert(db, "insert into inventory (cinvcode,cinvccode,bSerial) values (:1,:2,'1')",
         {"B1", "AABBCCC"});
  Insert(db, "insert into department (cdepcode,idepgrade) values (:1,:2)", {"0102", "2"});
  Insert(db, "insert into SNContrapose (cdatasrccode,cseedcode,ccode) values (:1,:2,:3)",
         {"2", "01", "D"});
  Insert(db, "insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values (:1,:2,:3,:4)",
         {"AA", "0", "bench", "1"});
  const char* segment =
      "insert into SNrule (crulename,cinvcode,cinvtype,igrade,cdatasrctype,cdatasrcformat,"
      "iformatlength,cpatchsign,creplacesign,isteplength) values "
      "('bench','AA',0,:1,:2,:3,:4,'0',null,:5)";
  Insert(db, segment, {"1", "9", "SN", "0", std::nullopt});
  Insert(db, segment, {"2", "0", "YYMMDD", "0", std::nullopt});
  Insert(db, segment, {"3", "2", "1", "2", std::nullopt});
  Insert(db, segment, {"4", "10", std::nullopt, "9", "1"});
  Insert(db, segment, {"5", "9", "-X", "0", std::nullopt});
  return database;
}

std::shared_ptr<XmlDocument> ValueDocument() {
  auto values = std::make_shared<XmlDocument>();
  values->loadXML("<data count='" + std::to_string(kBatchSize) +
                  "'><row name='cinvcode' value='B1' itype='' bHave='true'/>"
                  "<row name='vchdate' value='2024-05-06T00:00:00' itype='0' bHave='true'/>"
                  "<row name='department' value='0102' itype='2' bHave='true'/></data>");
  return values;
}

enum class Method { kRule, kNumber, kBatch };

// Runs one method per iteration; fails the benchmark on an empty answer.
void Issue(benchmark::State& state, const std::string& backend, Method method) {
  auto database = RuleDatabase(backend);
  auto object = database->NewObject();
  auto values = ValueDocument();
  const uint64_t statements = store::generation::SentStatements();
  const uint64_t writers = store::generation::OpenedWriters();
  for (auto _ : state) {
    std::string code, error;
    bool answered = false;
    switch (method) {
      case Method::kRule:
        answered = !object->getSNrule(code, values, error)->xml().empty();
        break;
      case Method::kNumber:
        answered = !object->getSNumber(code, values, error, true).empty();
        break;
      case Method::kBatch:
        answered = object->getSNbatch(code, values, error, true)->selectNodes("/SN/R").size() ==
                   kBatchSize;
        break;
    }
    if (!answered) {
      state.SkipWithError("the method failed");
      break;
    }
  }
  const auto per_call = [&](uint64_t total) {
    return benchmark::Counter(static_cast<double>(total), benchmark::Counter::kAvgIterations);
  };
  state.counters["statements"] = per_call(store::generation::SentStatements() - statements);
  state.counters["writers"] = per_call(store::generation::OpenedWriters() - writers);
  if (method == Method::kBatch) state.SetItemsProcessed(state.iterations() * kBatchSize);
}

const bool kRegistered = [] {
  for (const std::string& backend : testing::Backends()) {
    benchmark::RegisterBenchmark(("getSNrule/" + backend).c_str(), Issue, backend, Method::kRule)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("getSNumber_save/" + backend).c_str(), Issue, backend,
                                 Method::kNumber)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("getSNbatch_1000_save/" + backend).c_str(), Issue, backend,
                                 Method::kBatch)
        ->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace
}  // namespace quillet
