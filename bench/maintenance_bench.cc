// Mapping fill and rule save over an archive of 100,000 values, on SQLite and,
// when QUILLET_TEST_POSTGRES is set, PostgreSQL.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "mapping/fill_contrapose.h"
#include "quillet/language.h"
#include "quillet/quillet.h"
#include "store/connection.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

constexpr int kArchiveValues = 100000;

const char* const kDepartmentKey =
    "<r cdatasrccode='2' iContentType='1' cContent='department' cArchFieldName='cDepCode'/>";

// A database whose department archive holds kArchiveValues codes, with its
// data source in the en-US locale.
std::unique_ptr<testing::TestDatabase> ArchiveDatabase(const std::string& backend) {
  auto database = std::make_unique<testing::TestDatabase>(backend);
  store::Connection& db = database->db();
  db.Execute(store::Sql{"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < "
                        "CAST(:1 AS INTEGER))"
                        " INSERT INTO department (cDepCode,cDepName,iDepGrade)"
                        " SELECT 'D' || (100000+i), 'Department ' || i, 1 FROM n"},
             {std::to_string(kArchiveValues - 1)});
  db.Execute(
      store::Sql{"insert into SNPrefabricate_lang (cdatasrccode,localid,cdatasrccaption,cContent,"
                 "iContentType,cArchFieldName,cArchclsFieldName)"
                 " values ('2','en-US','Department','department','1','cDepCode','cDepName')"});
  return database;
}

void FillArchive(benchmark::State& state, const std::string& backend) {
  auto database = ArchiveDatabase(backend);
  XmlDocument key;
  key.loadXML(kDepartmentKey);
  for (auto _ : state) {
    state.PauseTiming();
    database->db().Execute(store::Sql{"delete from SNContrapose"});
    state.ResumeTiming();
    mapping::FillContrapose(database->db(), key, 6, "0");
  }
  state.SetItemsProcessed(state.iterations() * kArchiveValues);
}

void SaveRuleRegeneratingMappings(benchmark::State& state, const std::string& backend) {
  SetLanguageComponent(BuiltinLanguage("en-US"));
  auto database = ArchiveDatabase(backend);
  auto object = database->NewObject();
  auto rule = std::make_shared<XmlDocument>();
  rule->loadXML(
      "<rule cinvname='Bolt'><row a='1' b='2' c='1' d='6' e='0' f='' g='0'/>"
      "<row a='2' b='10' c='1' d='5' e='0' f='' g='1'/></rule>");
  for (auto _ : state) {
    std::string err;
    object->SaveSNRulesrv(rule, "all", 2, "BENCH", err);
  }
  state.SetItemsProcessed(state.iterations() * kArchiveValues);
}

const bool kRegistered = [] {
  for (const std::string& backend : testing::Backends()) {
    benchmark::RegisterBenchmark(("FillContrapose_100k/" + backend).c_str(), FillArchive, backend)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark(("SaveSNRulesrv_regenerate_100k/" + backend).c_str(),
                                 SaveRuleRegeneratingMappings, backend)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
  }
  return true;
}();

}  // namespace
}  // namespace quillet
