// Rows for generation tests: rule headers and segments, items, classes,
// departments, coding rules and mappings, plus value documents.
#ifndef QUILLET_TESTS_GENERATION_RULE_FIXTURE_H_
#define QUILLET_TESTS_GENERATION_RULE_FIXTURE_H_

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "quillet/quillet.h"
#include "quillet/xml_document.h"
#include "store/connection.h"
#include "tests/support/backends.h"

namespace quillet::testing {

using Text = std::optional<std::string>;  // nullopt is stored as null

// One SNrule row; numbers as their decimal text.
struct SegmentRow {
  std::string type;            // cdatasrctype
  Text format = std::nullopt;  // cdatasrcformat
  Text width = "0";            // iformatlength
  Text pad = "0";              // cpatchsign
  Text fill = std::nullopt;    // creplacesign
  Text step = std::nullopt;    // isteplength
};

// A running number segment of `width` digits, advancing by `step`.
inline SegmentRow Running(const Text& width, const Text& step = "1") {
  return {"10", std::nullopt, width, "0", std::nullopt, step};
}

// Writes rows through a test's own connection.
class RuleRows {
 public:
  explicit RuleRows(store::Connection& db) : db_(db) {}

  void Header(const std::string& owner, const std::string& type, const Text& number);
  // Segments of the owner in the order given (igrade 1, 2, ...).
  void Segments(const std::string& owner, const std::string& type,
                const std::vector<SegmentRow>& segments);
  void Item(const std::string& code, const Text& class_code);
  void Class(const std::string& code, const Text& grade);
  void CodingRule(const std::string& keyword, const Text& rule);
  void Department(const std::string& code, const std::string& grade);
  void Mapping(const std::string& source, const std::string& seed, const Text& code);
  // SNrulemain.cnumber of the owner.
  std::string StoredNumber(const std::string& owner, const std::string& type);

 private:
  store::Connection& db_;
};

// A value document: a "cinvcode" row, then `rows` as (itype, value) with
// bHave "true", and `count` on the root when given.
std::shared_ptr<XmlDocument> Values(const std::string& item_code,
                                    const std::vector<std::pair<std::string, std::string>>& rows,
                                    const Text& count = std::nullopt);

// A value document from its whole text.
std::shared_ptr<XmlDocument> Document(const std::string& xml);

// The sn attributes of a serial list document, in order.
std::vector<std::string> Serials(const XmlDocument& list);

// A database per backend with item X1 (class AABBCCC, coding rule 223) and
// an object bound to it; the issuing methods called as a caller calls them.
class IssueTest : public ::testing::TestWithParam<std::string> {
 protected:
  IssueTest();

  // Replaces the rule of an owner: its header with `number` and `segments`.
  void Rule(const std::vector<SegmentRow>& segments, const Text& number = "7",
            const std::string& owner = "X1", const std::string& type = "1");
  std::string StoredNumber(const std::string& owner = "X1", const std::string& type = "1") {
    return rows.StoredNumber(owner, type);
  }

  std::string Number(std::shared_ptr<XmlDocument> values, bool save = false);
  std::shared_ptr<XmlDocument> Parts(std::shared_ptr<XmlDocument> values);
  // getSNbatch; `error` is sErr before and after the call.
  std::shared_ptr<XmlDocument> Batch(std::shared_ptr<XmlDocument> values, bool save,
                                     std::string& error);

  TestDatabase db{GetParam()};
  RuleRows rows{db.db()};
  std::unique_ptr<clsQuillet> object;
};

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_GENERATION_RULE_FIXTURE_H_
