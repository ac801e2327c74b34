// Dispatch by name: usage errors, variant encodings, responses, and the
// reasons beside an empty answer of the issuing methods.
#include "quillet/dispatch.h"

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <tuple>

#include "component/method_table.h"
#include "quillet/recordset.h"
#include "store/policy_queries.h"
#include "tests/component/recording_login.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

using nlohmann::json;
using testing::RecordingLogin;

class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest()
      : dispatcher_(object_, std::make_shared<ConfiguredLogin>("bogus:", std::set<std::string>{})) {
    object_.objlogin = login_;
  }

  std::shared_ptr<RecordingLogin> login_ = std::make_shared<RecordingLogin>();
  clsQuillet object_;
  Dispatcher dispatcher_;
};

// Usage errors raise before anything is called.
TEST_F(DispatchTest, UsageErrorsRaiseBeforeCallingAnything) {
  const std::tuple<const char*, const char*, int32_t> cases[] = {
      {"NoSuchMethod", "{}", errc::kNoSuchMember},
      {"CheckTaskExecsrv", R"({"sTask": "T1"})", errc::kInvalidArgument},
      {"CheckTaskExecsrv", R"({"sTaskID": "a", "STASKID": "b"})", errc::kInvalidArgument},
      {"CheckTaskExecsrv", "[]", errc::kTypeMismatch},
      {"CheckTaskExecsrv", R"({"sTaskID": 1})", errc::kTypeMismatch},
      {"CheckTaskExecsrv", R"({"bTaskExec": [1]})", errc::kTypeMismatch},
      {"CheckTaskExecsrv", R"({"bTaskExec": {"type": "login"}})", errc::kTypeMismatch},
      {"CheckTaskExecsrv", R"({"bTaskExec": {"type": "empty", "x": 1}})", errc::kTypeMismatch},
      {"CheckTaskExecsrv",
       R"({"bTaskExec": {"type": "recordset", "columns": ["a"], "rows": [[1, 2]]}})",
       errc::kTypeMismatch},
      {"CheckTaskExecsrv",
       R"({"bTaskExec": {"type": "recordset", "columns": ["a"], "rows": [[true]]}})",
       errc::kTypeMismatch},
      {"CheckTaskExecsrv", R"({"bTaskExec": {"type": "document", "xml": 3}})", errc::kTypeMismatch},
      {"GetmaxGrade", R"({"maxgrade": 32768})", errc::kOverflow},
      {"GetmaxGrade", R"({"maxgrade": -32769})", errc::kOverflow},
      {"GetmaxGrade", R"({"maxgrade": 1.5})", errc::kTypeMismatch},
      {"GetmaxGrade", R"({"maxgrade": "7"})", errc::kTypeMismatch},
      {"Getprefixrssrv", R"({"maxlength": 2147483648})", errc::kOverflow},
      {"Getprefixrssrv", R"({"maxlength": 18446744073709551615})", errc::kOverflow},
      {"getSNumber", R"({"bSave": 1})", errc::kTypeMismatch},
      {"getSNumber", R"({"DomValue": {"type": "document", "xml": ""}})", errc::kTypeMismatch},
      {"init", R"({"ologin": "sqlite:x.db"})", errc::kTypeMismatch},
      {"init", R"({"ologin": {"KelDbName": 1}})", errc::kTypeMismatch},
      {"init", R"({"ologin": {"tasks": [1]}})", errc::kTypeMismatch},
      {"init", R"({"ologin": {"password": "x"}})", errc::kTypeMismatch},
      {"CheckTaskExecsrv", R"({"sTaskID": "T\u00001"})", errc::kInvalidText},
      {"init", R"({"ologin": {"KelDbName": "sqlite:a\u0000.db"}})", errc::kInvalidText},
      {"CheckTaskExecsrv",
       R"({"bTaskExec": {"type": "recordset", "columns": ["a"], "rows": [["\u0000"]]}})",
       errc::kInvalidText},
      {"getSNumber", R"({"DomValue": "<data><row value='A\u0000B'/></data>"})",
       errc::kInvalidText}};
  for (const auto& [method, args, number] : cases) {
    try {
      dispatcher_.Call(method, json::parse(args));
      ADD_FAILURE() << "no usage error: " << method << " " << args;
    } catch (const UsageError& error) {
      EXPECT_EQ(error.number(), number) << method << " " << args << ": " << error.description();
    }
  }
  EXPECT_TRUE(login_->calls.empty());
}

TEST_F(DispatchTest, MalformedRequestLinesGetAnErrorResponse) {
  for (const char* line : {"", "garbage", "[1]", R"({"method": 5})", R"({"args": {}})",
                           R"({"method": "init", "id": 1})", R"({"method": "init", "args": 3})",
                           R"({"method": "nope"})", "{\"method\": \"init\"",
                           R"({"method": "GetmaxGrade", "args": {"maxgrade": 1e400}})",
                           R"({"method": "CheckTaskExecsrv", "args": {"sTaskID": "T\u0000"}})",
                           R"({"method": "CheckTaskExecsrv", "args": {"s\u0000": "T"}})"}) {
    const json response = dispatcher_.HandleRequestLine(line);
    EXPECT_TRUE(response.at("result").is_null()) << line;
    EXPECT_EQ(response.at("out"), json::object()) << line;
    EXPECT_TRUE(response.at("error").at("number").is_number_integer()) << line;
    EXPECT_FALSE(response.at("error").at("description").get<std::string>().empty()) << line;
  }
  // Nested deeper than the stack would take to copy it.
  const std::size_t depth = 1000000;
  const json deep =
      dispatcher_.HandleRequestLine(R"({"method": "CheckTaskExecsrv", "args": {"bTaskExec": )" +
                                    std::string(depth, '[') + std::string(depth, ']') + "}}");
  EXPECT_EQ(deep.at("error").at("number"), errc::kInvalidArgument);
  EXPECT_TRUE(login_->calls.empty());
}

// Omitted parameters take the empty value of their kind.
TEST_F(DispatchTest, NamesMatchWithoutRegardToCaseAndOutUsesTableNames) {
  const json response =
      dispatcher_.HandleRequestLine(R"({"method": "checktaskexecsrv", "args": {"STASKID": "T9"}})");
  EXPECT_EQ(response, json::parse(R"({"result": {"type": "empty"}, "out": {"bTaskExec": true},
                                      "error": null})"));
  dispatcher_.Call("CheckTaskExecsrv", json());
  EXPECT_EQ(login_->calls.at(1), "TaskExec(T9,-1)");
  EXPECT_EQ(login_->calls.at(5), "TaskExec(,-1)");
}

TEST_F(DispatchTest, OutParametersShowAfterARaise) {
  const json response = dispatcher_.Call(
      "GetmaxGrade", {{"maxgrade", 7}, {"tablname", "department"}, {"sErr", "before"}});
  EXPECT_TRUE(response.at("result").is_null());
  EXPECT_EQ(response.at("out"), json::parse(R"({"maxgrade": 7, "sErr": "before"})"));
  EXPECT_EQ(response.at("error").at("number"), errc::kConnectionClosed);
}

TEST_F(DispatchTest, InitTakesTheDefaultLoginANullOrAConfiguredOne) {
  json response = dispatcher_.Call("init", json::object());
  EXPECT_EQ(response.at("error").at("number"), errc::kBadConnectionString);  // "bogus:"
  EXPECT_EQ(response.at("out"), json::parse(R"({"ologin": {"type": "login"}})"));

  response = dispatcher_.Call("init", {{"ologin", nullptr}});
  EXPECT_EQ(response.at("error").at("number"), errc::kObjectNotSet);
  EXPECT_EQ(response.at("out"), json::parse(R"({"ologin": null})"));

  clsQuillet fresh;
  Dispatcher(fresh, nullptr)
      .Call("init", json::parse(R"({"ologin": {"keldbname": "bogus:2", "Tasks": ["T3"]}})"));
  Variant answer;
  fresh.CheckTaskExecsrv("T3", answer);
  EXPECT_EQ(answer, Variant(true));
}

// Every method of the table reaches its C++ method with the right slots: none
// fails inside the dispatch layer, results have the kind of the table, and
// "out" names exactly the in/out parameters.
TEST_F(DispatchTest, EveryMethodIsCallableByName) {
  for (const service::Method& method : service::MethodTable()) {
    clsQuillet object;
    const json response = Dispatcher(object, nullptr).Call(method.name, json::object());
    const json& error = response.at("error");
    if (!error.is_null()) {
      EXPECT_TRUE(response.at("result").is_null()) << method.name;
      EXPECT_NE(error.at("number"), 51) << method.name << ": " << error;
    } else if (method.result == service::Kind::kText) {
      EXPECT_TRUE(response.at("result").is_string()) << method.name;
    } else if (method.result == service::Kind::kDocument) {
      EXPECT_EQ(response.at("result").at("type"), "document") << method.name;
    } else {
      EXPECT_EQ(response.at("result"), json::parse(R"({"type": "empty"})")) << method.name;
    }
    std::set<std::string> expected_out;
    for (const service::Parameter& p : method.parameters) {
      if (p.direction == service::Direction::kInOut) expected_out.insert(std::string(p.name));
    }
    std::set<std::string> out;
    for (const auto& [key, value] : response.at("out").items()) out.insert(key);
    EXPECT_EQ(out, expected_out) << method.name;
  }
}

// Every form decodes and encodes back to itself; numbers take the narrowest
// type, record sets keep nulls and type their columns, and a document's bad
// text leaves it empty.
TEST(VariantCoding, FormsRoundTrip) {
  for (const char* form : {R"({"type": "empty"})", "null", R"("text 'quoted' ü")", "5", "-70000",
                           "3000000000", "2.5", "true", "false",
                           R"({"type": "recordset", "columns": ["code", "n", "x"],
            "rows": [["01", 1, 1.5], [null, null, 2], ["", -3, null]]})",
                           R"({"type": "recordset", "columns": [], "rows": []})",
                           R"({"type": "document", "xml": ""})"}) {
    EXPECT_EQ(EncodeVariant(DecodeVariant(json::parse(form))), json::parse(form)) << form;
  }
  EXPECT_EQ(DecodeVariant(json(5)).type(), Variant::Type::kInt16);
  EXPECT_EQ(DecodeVariant(json(40000)).type(), Variant::Type::kInt32);
  EXPECT_EQ(DecodeVariant(json(3000000000LL)).type(), Variant::Type::kDouble);
  EXPECT_EQ(DecodeVariant(json(2.0)).type(), Variant::Type::kDouble);
  const Variant decoded = DecodeVariant(json::parse(
      R"({"type": "recordset", "columns": ["a", "b", "c"], "rows": [[1, 1, "x"], [null, 2.5, 3]]})"));
  const std::shared_ptr<RecordSet> rs = decoded.record_set();
  ASSERT_NE(rs, nullptr);
  EXPECT_EQ(rs->columns().at(0).type, FieldType::kInteger);
  EXPECT_EQ(rs->columns().at(1).type, FieldType::kDouble);
  EXPECT_EQ(rs->columns().at(2).type, FieldType::kText);
  EXPECT_TRUE(rs->rows().at(1).at(0).IsNull());
  const Variant good = DecodeVariant(json::parse(R"({"type": "document", "xml": "<a b='1'/>"})"));
  EXPECT_EQ(good.document()->documentElement()->getAttribute("b"), "1");
  const Variant bad =
      DecodeVariant(json::parse(R"({"type": "document", "xml": "<return a=''b='1' />"})"));
  ASSERT_NE(bad.document(), nullptr);
  EXPECT_EQ(EncodeVariant(bad), json::parse(R"({"type": "document", "xml": ""})"));
}

TEST(VariantEncodingTest, BooleanFieldsCrossAsMinusOneAndZero) {
  auto rs = std::make_shared<RecordSet>(
      std::vector<Column>{{"flag", FieldType::kBoolean}},
      std::vector<std::vector<Variant>>{{Variant(true)}, {Variant(false)}});
  EXPECT_EQ(EncodeVariant(Variant(rs)).at("rows"), json::parse("[[-1], [0]]"));
  EXPECT_EQ(EncodeVariant(Variant(std::shared_ptr<XmlDocument>())), json(nullptr));
}

// Reasons beside an empty answer of the issuing methods called by name: one
// row per kind of cause, on the demo company.
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
