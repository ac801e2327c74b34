// The deployment check on every backend: a database made by init with the
// demo passes, and each thing a deployment lacks is found under its topic.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "quillet/numbering.h"
#include "store/connection.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

using Severity = CheckFinding::Severity;
using testing::TestDatabase;

class DeploymentCheckTest : public ::testing::TestWithParam<std::string> {
 protected:
  TestDatabase db{GetParam(), /*with_demo=*/true};
};

// The findings of `topic` at `severity`, their texts joined.
std::string Found(const DeploymentCheck& check, const std::string& topic, Severity severity) {
  std::string texts;
  for (const CheckFinding& finding : check.findings) {
    if (finding.topic == topic && finding.severity == severity) texts += finding.text + "\n";
  }
  return texts;
}

TEST_P(DeploymentCheckTest, ADemoDatabasePasses) {
  const DeploymentCheck check = Numbering::Check(db.connection_string());
  std::string all;
  for (const CheckFinding& finding : check.findings)
    all += finding.topic + ": " + finding.text + "\n";
  EXPECT_TRUE(check.Passed()) << all;
  for (const char* topic :
       {"tables", "indexes", "rule names", "replication", "time zone", "data sources", "rules"}) {
    EXPECT_NE(all.find(topic), std::string::npos) << topic << " not looked at:\n" << all;
  }
  EXPECT_NE(Found(check, "data sources", Severity::kNote).find("en-US: "), std::string::npos);
}

struct Fault {
  std::string what;
  std::vector<std::string> statements;
  std::string topic;
  std::string finding;  // a part of the problem's text
};

TEST_P(DeploymentCheckTest, EachFaultIsAProblemOfItsTopic) {
  const std::vector<Fault> faults = {
      {"a missing table", {"drop table SNjournal"}, "tables", "SNjournal"},
      {"a missing unique key",
       {"drop index ux_sncontrapose_content"},
       "indexes",
       "ux_sncontrapose_content"},
      {"a rule name carried twice",
       {"drop index ux_snrulemain_rulename",
        "update SNrulemain set rulename = 'General' where cinvcode = '01'"},
       "rule names",
       "\"General\" is carried by 2 owners"},
      {"a rule reading an undescribed data source",
       {"delete from SNPrefabricate_lang where cdatasrccode = '2' and localid = 'en-US'"},
       "rules",
       "rule \"Lighting\" of class:01 reads department, which en-US does not describe"},
      {"no data source described",
       {"delete from SNPrefabricate_lang"},
       "data sources",
       "no locale describes"},
  };
  for (const Fault& fault : faults) {
    TestDatabase fresh{GetParam(), /*with_demo=*/true};
    for (const std::string& statement : fault.statements) {
      fresh.db().Execute(store::Sql{statement});
    }
    const DeploymentCheck check = Numbering::Check(fresh.connection_string());
    EXPECT_FALSE(check.Passed()) << fault.what;
    EXPECT_NE(Found(check, fault.topic, Severity::kProblem).find(fault.finding), std::string::npos)
        << fault.what << ": " << Found(check, fault.topic, Severity::kProblem);
  }
}

TEST_P(DeploymentCheckTest, CommitsNotWaitedForAreAWarning) {
  const std::string direct = "options='-c ";
  const std::size_t options = db.connection_string().find(direct);
  if (GetParam() != "postgresql" || options == std::string::npos) {
    GTEST_SKIP() << "a session setting of a direct PostgreSQL connection";
  }
  std::string unsafe = db.connection_string();
  unsafe.insert(options + direct.size(), "synchronous_commit=off -c ");
  const DeploymentCheck check = Numbering::Check(unsafe);
  EXPECT_FALSE(check.Passed());
  EXPECT_NE(Found(check, "replication", Severity::kWarning).find("synchronous_commit is off"),
            std::string::npos);
}

TEST(DeploymentCheck, AMissingSqliteFileIsNotFound) {
  try {
    Numbering::Check("sqlite:" + testing::TempPath("no-such") + ".db");
    FAIL() << "a missing file was checked";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), FailureKind::kNotFound);
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, DeploymentCheckTest, ::testing::ValuesIn(testing::Backends()));

}  // namespace
}  // namespace quillet
