// quillet mapping list SOURCE | set SOURCE VALUE CODE | reset SOURCE: the
// short codes that stand for archive values in serial numbers.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/tool/commands.h"
#include "apps/tool/text_table.h"
#include "core/nearest_word.h"
#include "core/segment_notation.h"

namespace quillet::tool {
namespace {

struct MappingOptions {
  DomainOptions domain;
  std::string source;
  std::string value;
  std::string code;
};

// The data source of a name that has mappings. Raises ToolUsage.
DataSource MappedSource(const std::string& name) {
  const std::optional<DataSource> source = DataSourceOf(name);
  if (source && notation::IsMappedSource(static_cast<int>(*source))) return *source;
  std::vector<std::string> mapped;
  for (const std::string_view source_name : notation::SourceNames()) {
    if (notation::IsMappedSource(*notation::SourceType(source_name)))
      mapped.emplace_back(source_name);
  }
  throw ToolUsage(
      (source ? DataSourceName(*source) + " has no mappings"
              : "unknown data source '" + name + "'" + notation::DidYouMean(name, mapped)) +
      "; data sources with mappings: department, workcenter, warehouse, clerk, supplier, class, "
      "item, free1 ... free10");
}

int RunList(const MappingOptions& options) {
  const DataSource source = MappedSource(options.source);
  Numbering numbering = OpenNumbering(options.domain);
  const MappingPage list = numbering.Mappings(source);
  const std::string name = DataSourceName(source);
  if (options.domain.json) {
    nlohmann::json mappings = nlohmann::json::array();
    for (const Mapping& m : list.mappings) {
      mappings.push_back({{"value", m.value},
                          {"name", m.caption},
                          {"code", m.code},
                          {"set_by_user", m.set_by_user}});
    }
    std::cout << nlohmann::json{{"source", name},
                                {"caption", list.source.caption},
                                {"table", list.source.table},
                                {"width", list.width},
                                {"format", list.format},
                                {"mappings", mappings}}
                     .dump()
              << '\n';
    return kExitOk;
  }
  const bool graded = source == DataSource::kDepartment || source == DataSource::kItemClass;
  std::cout << name << " (" << list.source.caption << "): table " << list.source.table << ", width "
            << list.width
            << (list.format.empty() ? "" : (graded ? ", level " : ", format ") + list.format)
            << "\n";
  TextTable table({"VALUE", "NAME", "CODE", "SET BY"});
  for (const Mapping& m : list.mappings) {
    table.AddRow({m.value, m.caption, m.code, m.set_by_user ? "user" : "generated"});
  }
  table.Print(std::cout);
  return kExitOk;
}

int RunSet(const MappingOptions& options) {
  const DataSource source = MappedSource(options.source);
  Numbering numbering = OpenNumbering(options.domain);
  const MappingChange change =
      numbering.SetMappingCode({source, options.value, options.code, /*within_width=*/true});
  const Mapping& before = change.before;
  const std::string name = DataSourceName(source);
  const std::string what =
      name + " " + options.value + (before.caption.empty() ? "" : " (" + before.caption + ")");
  for (const std::string& other : change.same_code) {
    std::cerr << "quillet: warning: " << name << " " << other << " is written " << options.code
              << " too: serial numbers cannot tell the two apart\n";
  }
  if (options.code.empty()) {
    std::cout << what << " has no code now: serial numbers show it fitted to its width.\n";
  } else {
    std::cout << what << " is now written " << options.code << ".\n";
  }
  if (notation::IsFreeItem(static_cast<int>(source))) {
    std::cout << "note: serial numbers take free items as they are; their codes are only kept.\n";
  }
  return kExitOk;
}

int RunReset(const MappingOptions& options) {
  const DataSource source = MappedSource(options.source);
  Numbering numbering = OpenNumbering(options.domain);
  bool shared = false;
  for (const DataSourceInfo& info : numbering.DataSources()) {
    if (info.source == source) shared = info.content_type == "3";
  }
  const std::string table = numbering.ResetMappings(source);
  std::cout << "Removed every mapping of table " << table
            << (shared ? " (free1 ... free10 share it)" : "")
            << "; generated codes come back when a rule is saved or the mappings are listed.\n";
  return kExitOk;
}

}  // namespace

Command AddMappingCommand(CLI::App& tool) {
  auto options = std::make_shared<MappingOptions>();
  CLI::App* mapping =
      tool.add_subcommand("mapping", "the short codes that stand for archive values");
  mapping->require_subcommand(1);
  mapping->footer(
      "A department, work center, warehouse, clerk, supplier, class or item value is written\n"
      "in a serial number as its mapped code. Codes are generated from the values (fitted to\n"
      "the width the rules give the data source) until a user sets one.");

  CLI::App* list = mapping->add_subcommand("list", "the values of SOURCE and their codes");
  list->add_option("SOURCE", options->source, "department, warehouse, class, free1, ...")
      ->required();
  AddDomainOptions(*list, options->domain, true);
  list->footer("Example:\n  quillet mapping list department");

  CLI::App* set = mapping->add_subcommand("set", "write VALUE of SOURCE as CODE");
  set->add_option("SOURCE", options->source, "department, warehouse, class, free1, ...")
      ->required();
  set->add_option("VALUE", options->value, "the archive value, e.g. a department code")->required();
  set->add_option("CODE", options->code, "the code serial numbers show for it")->required();
  AddDomainOptions(*set, options->domain, false);
  set->footer("Example:\n  quillet mapping set department 03 SL");

  CLI::App* reset =
      mapping->add_subcommand("reset", "remove every code of SOURCE's table, user codes too");
  reset->add_option("SOURCE", options->source, "department, warehouse, class, free1, ...")
      ->required();
  AddDomainOptions(*reset, options->domain, false);
  reset->footer("Example:\n  quillet mapping reset department");

  return WithSubcommands<MappingOptions>(mapping, options,
                                         {{list, RunList}, {set, RunSet}, {reset, RunReset}});
}

}  // namespace quillet::tool
