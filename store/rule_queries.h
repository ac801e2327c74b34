// Statements that serial-number generation sends: rule headers and segments,
// the running number, the item's class, coding rules, departments, mappings.
#ifndef QUILLET_STORE_RULE_QUERIES_H_
#define QUILLET_STORE_RULE_QUERIES_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "quillet/recordset.h"
#include "store/connection.h"
#include "store/write_pool.h"

// Every operation runs on the connection passed, binds its values as
// parameters and raises the database's error (see Connection). Owner types
// are passed as their decimal text ("0", "1", "2"). Record sets hold no row
// when nothing matched. Thread safety: that of the connection; the statement
// counter is atomic.
namespace quillet::store::generation {

// Whether a rule header exists for (owner code, owner type).
bool HeaderExists(Connection& db, const std::string& owner_code, const std::string& owner_type);

// What finding an item's rule header needs, in one query: rows of
// (kind, code, grade), by kind:
//   kOwnFact    the item's own header (owner type 1) exists
//   kClassFact  the item's inventory row: its class code and level (null
//               without a class row)
//   kRuleFact   the first coding rule of "inventoryclass" (code)
//   kAncestryFact  a class header (owner type 0) whose code is the start of
//               the item's class code, the class itself included (code)
//   kAllFact    the header of "all" (owner type 2) exists
// A kind without rows did not match.
inline constexpr int32_t kOwnFact = 1;
inline constexpr int32_t kClassFact = 2;
inline constexpr int32_t kRuleFact = 3;
inline constexpr int32_t kAncestryFact = 4;
inline constexpr int32_t kAllFact = 5;
std::shared_ptr<RecordSet> OwnerFacts(Connection& db, const std::string& item_code);

// Everything a single issue or a batch reads before its write, in one
// query, in no particular order: rows of (kind, crulename, cinvcode, cinvtype, igrade,
// cdatasrctype, cdatasrcformat, iformatlength, cpatchsign, creplacesign, isteplength) where the
// candidate owners are the item's own header, the class headers whose code starts the item's class
// code, and the header of "all". By kind:
//   kSegmentFact   every column of each candidate owner's segments
//   kHeaderFact    a candidate header: cinvcode, cinvtype, cnumber in
//                  cdatasrcformat, rulename in crulename
//   kClassFact     the item's inventory row: its class code in cinvcode, its
//                  level as text in cdatasrcformat (nulls without a class row)
//   kRuleFact      the first coding rule of "inventoryclass" in cdatasrcformat
//   kDepartmentFact  the department `department` (cDepCode in cinvcode,
//                  iDepGrade in igrade)
//   kDepartmentRuleFact  the first coding rule of "department"
//   kPolicyFact    a candidate owner's policy row (cinvcode, cinvtype,
//                  crestart in crulename, iend in igrade, iwarn in
//                  iformatlength, bjournal in cdatasrctype, bunique in
//                  isteplength, ccheck in cdatasrcformat); only `with_policies`
//   kMappedFact    a mapping row (cdatasrccode in cinvcode, cseedcode in
//                  cdatasrcformat, ccode in cpatchsign) of data source 3 to 6
//                  and 8 for the value given, and of 2 and 7 whose value
//                  starts the department code or the item's class code and
//                  is at most kLongestGradedSeed characters long
// `source_values` holds the values of data sources 3, 4, 5 and 6 (nullopt
// for none).
inline constexpr int32_t kSegmentFact = 6;
inline constexpr int32_t kHeaderFact = 7;
inline constexpr int32_t kDepartmentFact = 8;
inline constexpr int32_t kDepartmentRuleFact = 9;
inline constexpr int32_t kPolicyFact = 10;
inline constexpr int32_t kMappedFact = 11;
inline constexpr std::size_t kLongestGradedSeed = 64;
struct IssueFactsAsked {
  std::string item_code;
  std::optional<std::string> department;
  std::vector<std::optional<std::string>> source_values;  // data sources 3 to 6
  bool with_policies = true;
};
std::shared_ptr<RecordSet> IssueFacts(Connection& db, const IssueFactsAsked& asked);

// cinvccode and iinvcgrade of an item's class (the class columns are null for
// an item without a class row); no rows for an unknown item.
std::shared_ptr<RecordSet> ItemClass(Connection& db, const std::string& item_code);

// CODINGRULE of the first coding rule of a level-coded archive (`keyword` is
// GradeDef.KEYWORD, e.g. "inventoryclass").
std::shared_ptr<RecordSet> CodingRule(Connection& db, const std::string& keyword);

// iDepGrade of a department.
std::shared_ptr<RecordSet> DepartmentGrade(Connection& db, const std::string& department_code);

// Every column of an owner's segments, in ascending igrade.
std::shared_ptr<RecordSet> OwnerSegments(Connection& db, const std::string& owner_code,
                                         const std::string& owner_type);

// cnumber of an owner's header.
std::shared_ptr<RecordSet> HeaderNumber(Connection& db, const std::string& owner_code,
                                        const std::string& owner_type);

// A write connection of the service connection's string, from the shared pool.
WritePool::Lease OpenWriter(const Connection& service);

// Whether an issue that saves reads best on the write connection it then
// advances on: on SQLite, where each connection caches pages of its own and
// another connection's commit empties that cache; not on PostgreSQL, whose
// server keeps the cache.
bool ReadsBestOnWriter(const Connection& service);

// Begins a write transaction on a write connection (BEGIN IMMEDIATE on
// SQLite: no other writer until it ends), and commits it.
void BeginWrite(Connection& writer);
void CommitWrite(Connection& writer);

// cnumber of an owner's header, read inside a write transaction: on
// PostgreSQL the row stays locked until the transaction ends; SQLite's
// immediate transaction excludes other writers already.
std::shared_ptr<RecordSet> LockedHeaderNumber(Connection& writer, const std::string& owner_code,
                                              const std::string& owner_type);

// Advances the owner's running number by `step` in one statement, when it is
// plain decimal text and the sum stays within 32 bits; returns the number
// stored before. nullopt when nothing was changed: no header, another text,
// or an overflow, which the caller settles with a locked read.
std::optional<int32_t> AdvanceNumber(Connection& writer, const std::string& owner_code,
                                     const std::string& owner_type, int32_t step);

// Stores `next` as the owner's running number if it is still `expected`;
// returns whether it was.
bool ReplaceNumber(Connection& writer, const std::string& owner_code, const std::string& owner_type,
                   const std::string& expected, const std::string& next);

// Stores `number` as the owner's running number.
void SetNumber(Connection& writer, const std::string& owner_code, const std::string& owner_type,
               const std::string& number);

// ccode of the first mapping row of (data source code, archive value).
std::shared_ptr<RecordSet> MappedCode(Connection& db, const std::string& source_code,
                                      const std::string& seed);

// cdatasrccode, cseedcode and ccode of the mapping rows of every (data
// source code, archive value) pair given, in one query.
std::shared_ptr<RecordSet> MappedCodes(
    Connection& db, const std::vector<std::pair<std::string, std::string>>& pairs);

// For measurements: the statements the operations above have sent, and the
// write connections they have opened, in this process so far.
uint64_t SentStatements();
uint64_t OpenedWriters();

}  // namespace quillet::store::generation

#endif  // QUILLET_STORE_RULE_QUERIES_H_
