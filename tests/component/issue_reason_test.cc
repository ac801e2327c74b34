// Reasons beside an empty answer of the issuing methods called by name: one
// row per kind of cause, on the demo company.
#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "quillet/dispatch.h"
#include "store/policy_queries.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

using nlohmann::json;

std::string Line(const std::string& item, const std::string& more = "",
                 const std::string& root = "<data>") {
  return root + "<row name='cinvcode' value='" + item +
         "'/><row name='vchdate' value='2024-05-06' itype='0' bHave='true'/>" + more + "</data>";
}

struct ReasonCase {
  const char* method;
  json args;
  const char* reason;  // a part of it; "" when the answer is not empty
};

class IssueReasonTest : public ::testing::TestWithParam<std::string> {};

TEST_P(IssueReasonTest, EveryKindOfEmptyAnswerSaysWhy) {
  testing::TestDatabase db(GetParam(), /*with_demo=*/true);
  NumberingPolicy ended;
  ended.end = 0;
  store::policy::SavePolicy(db.db(), "LW-DL-100", "1", ended);
  const std::string department = "<row name='department' value='99' itype='2' bHave='true'/>";
  const std::string head =
      "<xml xmlns:z='#RowsetSchema'><z:row ddate='2024-05-06' cdepcode='99'/></xml>";
  const std::vector<ReasonCase> cases = {
      {"getSNumber", {{"DomValue", Line("LW-DR-012")}}, ""},
      {"getSNumber", {{"DomValue", Line("NOPE")}}, "there is no item NOPE in the inventory"},
      {"getSNumber",
       {{"DomValue", Line("LW-FL-300", department)}},
       "cuts the department to a level, but there is no department 99"},
      {"getSNrule", {{"DomValue", Line("LW-DL-100")}}, "would pass its last running number 0"},
      {"getSNbatch", {{"DomValue", Line("LW-DR-012")}}, "gives no count of serial numbers"},
      {"getSNbatch",
       {{"DomValue", Line("LW-FL-300", department, "<data count='2'>")}},
       "there is no department 99"},
      {"getLineSNum",
       {{"cinvcode", "LW-FL-300"}, {"vchType", "24"}, {"DomHead", head}, {"DomBody", head}},
       "there is no department 99"},
  };
  clsQuillet object;
  Dispatcher dispatcher(
      object, std::make_shared<ConfiguredLogin>(db.connection_string(), std::set<std::string>{}));
  ASSERT_TRUE(dispatcher.Call("init", json::object()).at("error").is_null());
  for (const ReasonCase& c : cases) {
    const json response = dispatcher.Call(c.method, c.args);
    const std::string reason = response.value("reason", "");
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.method << ": " << response.dump();
    EXPECT_EQ(response.contains("reason"), *c.reason != '\0') << response.dump();
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, IssueReasonTest, ::testing::ValuesIn(testing::Backends()));

}  // namespace
}  // namespace quillet
