// Turns the side-by-side benchmark's JSON output into the table that
// scripts/bench.sh prints, and the clients' throughput into a data file for
// the plot.
//
//   quillet_bench_table RESULTS.json [CLIENTS.dat]
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace {

using Json = nlohmann::json;

// Benchmark results by run name, without the suffixes the library adds.
class Results {
 public:
  explicit Results(const Json& output) {
    for (const Json& run : output.at("benchmarks")) {
      std::string name = run.at("run_name").get<std::string>();
      name = name.substr(0, name.find("/iterations:"));
      name = name.substr(0, name.find("/min_time:"));
      name = name.substr(0, name.find("/real_time"));
      name = name.substr(0, name.find("/manual_time"));
      runs_[name] = run;
    }
  }

  std::optional<double> Counter(const std::string& name, const std::string& counter) const {
    auto run = runs_.find(name);
    if (run == runs_.end() || !run->second.contains(counter)) return std::nullopt;
    return run->second.at(counter).get<double>();
  }

  // Real time per iteration in milliseconds.
  std::optional<double> Milliseconds(const std::string& name) const {
    auto run = runs_.find(name);
    if (run == runs_.end() || run->second.contains("error_occurred")) return std::nullopt;
    const double time = run->second.at("real_time").get<double>();
    const std::string unit = run->second.at("time_unit").get<std::string>();
    if (unit == "s") return time * 1000;
    if (unit == "us") return time / 1000;
    if (unit == "ns") return time / 1e6;
    return time;
  }

 private:
  std::map<std::string, Json> runs_;
};

std::string Number(std::optional<double> value, const char* unit = "") {
  if (!value) return "-";
  char text[64];
  const double v = *value;
  std::snprintf(text, sizeof text, v >= 100 ? "%.0f%s" : v >= 1 ? "%.2f%s" : "%.3f%s", v, unit);
  return text;
}

std::optional<double> Divide(std::optional<double> a, std::optional<double> b) {
  if (!a || !b || *b == 0) return std::nullopt;
  return *a / *b;
}

struct Row {
  std::string work;
  std::string quillet;
  std::string floor;
  std::optional<double> ratio;
  std::string target;
  std::optional<bool> met;
};

void Print(const std::vector<Row>& rows) {
  std::cout << "| work | Quillet | the floor / reference | ratio | target | met |\n"
               "|---|---|---|---|---|---|\n";
  for (const Row& row : rows) {
    std::cout << "| " << row.work << " | " << row.quillet << " | " << row.floor << " | "
              << Number(row.ratio, "x") << " | " << row.target << " | "
              << (row.met ? (*row.met ? "yes" : "**no**") : "-") << " |\n";
  }
}

std::optional<bool> AtLeast(std::optional<double> value, double bound) {
  if (!value) return std::nullopt;
  return *value >= bound;
}

void AddBackend(const Results& r, const std::string& backend, std::vector<Row>& rows) {
  const auto per_call = [&](const std::string& name) { return r.Counter(name, "per_call_ms"); };
  const auto rate = [&](const std::string& name) { return r.Counter(name, "calls_per_second"); };
  const auto single = per_call("issue/one_rule/" + backend + "/1");
  const auto floor = per_call("floor/one_row/" + backend + "/1");
  const auto rpc = per_call("rpc_issue/" + backend);
  const auto batch = per_call("batch_1000/" + backend);
  const std::string floor_text =
      Number(floor, " ms") + (backend == "postgresql"
                                  ? " (`update ... returning`)"
                                  : " (`begin immediate; update; select; commit`)");
  // The bare update on PostgreSQL; SQLite's floor is a whole write transaction.
  const double least = backend == "postgresql" ? 0.4 : 0.6;
  const std::string target = ">= " + Number(least, "x");
  rows.push_back({"one `getSNumber` with saving, " + backend + ", C++ API", Number(single, " ms"),
                  floor_text, Divide(floor, single), target,
                  AtLeast(Divide(floor, single), least)});
  rows.push_back({"the same through `quillet rpc`", Number(rpc, " ms"), floor_text,
                  Divide(floor, rpc), target, AtLeast(Divide(floor, rpc), least)});
  if (backend == "postgresql") {
    const auto locked = per_call("floor/locked_row/postgresql/1");
    const std::string locked_text =
        Number(locked, " ms") + " (`begin; select ... for update; update; commit`)";
    rows.push_back({"one `getSNumber` with saving, C++ API, vs the locking pattern",
                    Number(single, " ms"), locked_text, Divide(locked, single), ">= 1.0x",
                    AtLeast(Divide(locked, single), 1.0)});
    rows.push_back({"the same through `quillet rpc`", Number(rpc, " ms"), locked_text,
                    Divide(locked, rpc), ">= 1.0x", AtLeast(Divide(locked, rpc), 1.0)});
  }
  const auto statements = r.Counter("issue/one_rule/" + backend + "/1", "statements");
  rows.push_back({"statements per single issue, " + backend,
                  Number(statements),
                  "2",
                  {},
                  "2",
                  statements ? std::optional<bool>(*statements <= 2.0) : std::nullopt});
  const auto batch_statements = r.Counter("batch_1000/" + backend, "statements");
  rows.push_back({"statements per batch with saving, " + backend,
                  Number(batch_statements),
                  "2",
                  {},
                  "2",
                  batch_statements ? std::optional<bool>(*batch_statements <= 2.0) : std::nullopt});
  rows.push_back({"`getSNbatch` of 1,000, per number, " + backend, Number(batch, " ms"),
                  Number(single, " ms") + " (a single issue)", Divide(single, batch),
                  ">= 100x cheaper", AtLeast(Divide(single, batch), 100)});
  for (const char* family : {"eight_rules", "one_rule"}) {
    const std::string floor_family = family == std::string("one_rule") ? "one_row" : "eight_rows";
    const auto quillet = Divide(rate("issue/" + std::string(family) + "/" + backend + "/8"),
                                rate("issue/" + std::string(family) + "/" + backend + "/1"));
    const auto bare = Divide(rate("floor/" + floor_family + "/" + backend + "/8"),
                             rate("floor/" + floor_family + "/" + backend + "/1"));
    const bool eight = family == std::string("eight_rules");
    Row row{
        std::string("8 clients vs 1 on ") + (eight ? "eight rules" : "one rule") + ", " + backend,
        Number(quillet, "x"),
        Number(bare, "x") + " (the floor's own)",
        quillet,
        "",
        {}};
    if (eight) {
      row.target = backend == "postgresql" ? ">= 1.5x" : "(one writer at a time)";
      if (backend == "postgresql") row.met = AtLeast(quillet, 1.5);
    } else {
      row.target = ">= the floor's";
      if (quillet && bare) row.met = *quillet >= *bare * 0.95;
    }
    rows.push_back(row);
  }
  if (backend == "postgresql") {
    // Through a pooler statements go unnamed; here both ways on one direct server.
    const auto unnamed = per_call("issue/one_rule/postgresql_unnamed/1");
    rows.push_back({"one `getSNumber`, unnamed statements (as through a pooler) vs prepared",
                    Number(unnamed, " ms"),
                    Number(single, " ms") + " (prepared)",
                    Divide(single, unnamed),
                    "",
                    {}});
    const auto rate_unnamed = rate("issue/eight_rules/postgresql_unnamed/8");
    const auto rate_named = rate("issue/eight_rules/postgresql/8");
    rows.push_back({"8 clients on eight rules, unnamed vs prepared, calls/s",
                    Number(rate_unnamed),
                    Number(rate_named) + " (prepared)",
                    Divide(rate_unnamed, rate_named),
                    "",
                    {}});
  }
  const auto fill = r.Milliseconds("fill_list_100k/" + backend);
  const auto bare_fill = r.Milliseconds("floor_fill_list_100k/" + backend);
  rows.push_back({"fill + list 100,000 department values, " + backend, Number(fill, " ms"),
                  Number(bare_fill, " ms") + " (`insert ... select`, listing fetched)",
                  Divide(fill, bare_fill), "<= 2x",
                  Divide(fill, bare_fill) ? std::optional<bool>(*Divide(fill, bare_fill) <= 2)
                                          : std::nullopt});
  const auto rpc_fill = r.Milliseconds("rpc_fill_list_100k/" + backend);
  rows.push_back(
      {"the same through `quillet rpc`", Number(rpc_fill, " ms"),
       Number(bare_fill, " ms") + " (the same floor)", Divide(rpc_fill, bare_fill), "<= 2x",
       Divide(rpc_fill, bare_fill) ? std::optional<bool>(*Divide(rpc_fill, bare_fill) <= 2)
                                   : std::nullopt});
}

void WriteClients(const Results& r, const std::vector<std::string>& backends,
                  const std::string& path) {
  std::ofstream out(path);
  out << "# clients";
  for (const std::string& backend : backends) {
    for (const char* series :
         {"issue/one_rule/", "issue/eight_rules/", "floor/one_row/", "floor/eight_rows/"}) {
      out << " " << series << backend;
    }
  }
  out << "\n";
  for (int clients : {1, 2, 4, 8}) {
    out << clients;
    for (const std::string& backend : backends) {
      for (const char* series :
           {"issue/one_rule/", "issue/eight_rules/", "floor/one_row/", "floor/eight_rows/"}) {
        const auto value =
            r.Counter(series + backend + "/" + std::to_string(clients), "calls_per_second");
        out << " " << (value ? *value : 0.0);
      }
    }
    out << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: quillet_bench_table RESULTS.json [CLIENTS.dat]\n";
    return 2;
  }
  std::ifstream input(argv[1]);
  const Results results(Json::parse(input));
  std::vector<std::string> backends;
  for (const char* backend : {"postgresql", "sqlite"}) {
    if (results.Counter(std::string("issue/one_rule/") + backend + "/1", "per_call_ms")) {
      backends.push_back(backend);
    }
  }
  std::vector<Row> rows;
  for (const std::string& backend : backends) AddBackend(results, backend, rows);
  const auto growth = results.Counter("rpc_memory_200k/sqlite", "rss_growth_mb");
  rows.push_back({"`quillet rpc`, 200,000 calls: resident memory growth after the first 1,000",
                  Number(growth, " MB"),
                  "",
                  {},
                  "< 10 MB",
                  growth ? std::optional<bool>(*growth < 10) : std::nullopt});
  Print(rows);
  if (argc > 2) WriteClients(results, backends, argv[2]);
  return 0;
}
