// The words the tool reads and writes for people: the nearest known word, the
// --db value, and the database a message names.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "apps/connection_string.h"
#include "apps/database_message.h"
#include "apps/nearest_word.h"
#include "apps/options.h"
#include "apps/tool_error.h"

namespace quillet::apps {
namespace {

TEST(CanonicalLocale, ReadsTheLocalesPeopleWrite) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"en", "en-US"},    {"EN-us", "en-US"}, {"en_US", "en-US"}, {"zh", "zh-CN"},
      {"ZH-CN", "zh-CN"}, {"fr-FR", "fr-FR"}, {"", ""},
  };
  for (const auto& [written, meant] : cases) EXPECT_EQ(CanonicalLocale(written), meant) << written;
}

TEST(NearestWord, ClosestWordOrNone) {
  const std::vector<std::string> commands = {"list", "show", "save", "delete"};
  const std::vector<std::string> options = {"--db", "--date", "--locale", "--json"};
  struct Case {
    std::string word;
    const std::vector<std::string>& known;
    std::optional<std::string> nearest;
  };
  const Case cases[] = {
      {"lst", commands, "list"},      // one deletion
      {"SHWO", commands, "show"},     // case and a swap
      {"del", commands, "delete"},    // the only word it begins
      {"s", commands, std::nullopt},  // too short to begin one
      {"sa", commands, "save"},       // s... twice, sa... once
      {"frobnicate", commands, std::nullopt},
      {"--dbb", options, "--db"},
      {"--loc", options, "--locale"},
      {"--", options, std::nullopt},  // dashes alone begin every option
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NearestWord(c.word, c.known), c.nearest) << c.word;
  }
  EXPECT_EQ(DidYouMean("lst", commands), "; did you mean 'list'?");
  EXPECT_EQ(DidYouMean("zzz", commands), "");
}

TEST(ConnectionString, TheSchemeMayBeLeftOut) {
  struct Case {
    std::string value;
    std::string normalized;
  };
  const Case cases[] = {
      {"quillet.db", "sqlite:quillet.db"},
      {"/var/lib/erp/q.db", "sqlite:/var/lib/erp/q.db"},
      {"./mysql:erp", "sqlite:./mysql:erp"},
      {"sqlite:a b.db", "sqlite:a b.db"},
      {"postgresql:dbname=erp", "postgresql:dbname=erp"},
      {"host=/run/pg dbname=erp", "postgresql:host=/run/pg dbname=erp"},
      {"postgres://u@h/erp", "postgres://u@h/erp"},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeConnectionString(c.value), c.normalized);

  for (const std::string bad : {"mysql:erp", "sqlite:", "", "postgres:dbname=x"}) {
    EXPECT_THROW(NormalizeConnectionString(bad), ToolUsage) << bad;
  }
  try {
    NormalizeConnectionString("sqlit:q.db");
  } catch (const ToolUsage& usage) {
    EXPECT_NE(std::string(usage.what()).find("did you mean 'sqlite'?"), std::string::npos);
  }
}

TEST(ConnectionString, PlacesNameTheFileOrServerWithoutPasswords) {
  EXPECT_EQ(DatabasePlace("sqlite:q.db"), "SQLite file q.db");
  EXPECT_EQ(DatabasePlace("postgresql:host=h password='a b' dbname=erp"),
            "PostgreSQL host=h dbname=erp");
  EXPECT_EQ(DatabasePlace("postgresql://u:secret@h:5432/erp"),
            "PostgreSQL postgresql://u@h:5432/erp");
}

}  // namespace
}  // namespace quillet::apps
