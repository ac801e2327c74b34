// Statements on rule headers (SNrulemain) and segments (SNrule) that rule
// maintenance sends.
#ifndef QUILLET_STORE_MAINTENANCE_RULES_H_
#define QUILLET_STORE_MAINTENANCE_RULES_H_

#include <memory>
#include <string>

#include "quillet/owner.h"
#include "quillet/recordset.h"
#include "store/connection.h"

// Every operation runs on the connection passed, binds its values as
// parameters and raises the database's error (see Connection). Owner types
// are bound as their decimal text ("0", "1", "2"). Thread safety: that of
// the connection.
namespace quillet::store::maintenance {

// Every column of the headers that carry the rule name.
std::shared_ptr<RecordSet> HeadersNamed(Connection& db, const std::string& rule_name);

// rulename and cnumber of the owner's header. Inside a transaction the row
// stays locked until it ends, so no issue advances the running number between
// this read and the rewrite of the header.
std::shared_ptr<RecordSet> OwnerHeaderForUpdate(Connection& db, const RuleOwner& owner);

void DeleteOwnerHeader(Connection& db, const RuleOwner& owner);

// Gives the owner's header a new owner name and rule name; its running
// number stays. The row is changed in place, so that an issue waiting for its
// lock finds it again.
void RenameHeader(Connection& db, const RuleOwner& owner, const std::string& owner_name,
                  const std::string& rule_name);

void InsertHeader(Connection& db, const RuleOwner& owner, const std::string& owner_name,
                  const std::string& rule_name, const std::string& running_number);

// Deletes the owner's segments, whatever rule name they carry.
void DeleteOwnerSegments(Connection& db, const RuleOwner& owner);

// One segment as the rule document gives it; numbers stay texts and the
// database converts them to the columns' types.
struct Segment {
  std::string grade;
  std::string source_type;
  std::string format;
  std::string width;
  std::string pad_sign;
  std::string fill_sign;
  std::string step;
};

// Inserts a segment of the owner's rule. The owner type is written with one
// trailing blank, which the column's type absorbs.
void InsertSegment(Connection& db, const std::string& rule_name, const RuleOwner& owner,
                   const Segment& segment);

// Writes format, width and pad sign onto every segment of a data source type,
// in every rule.
void ShareSourceSettings(Connection& db, const Segment& segment);

// Deletes the generated mapping rows (buserchange 0) of a data source type;
// rows a user changed stay.
void DeleteGeneratedMappings(Connection& db, const std::string& source_type);

// Overwrites the owner's running number; no row changes when the owner has no
// header.
void SetRunningNumber(Connection& db, const RuleOwner& owner, const std::string& running_number);

// Deletes the segments of a rule name, whichever owner they belong to.
void DeleteSegmentsNamed(Connection& db, const std::string& rule_name);

// Every column of the owner's header followed by every column of the segments
// carrying its rule name, in grade order; one row with null segment columns
// when the rule has no segments; no rows without a header.
std::shared_ptr<RecordSet> OwnerRuleWithSegments(Connection& db, const RuleOwner& owner);

// cnumber of the owner's header; no rows without a header.
std::shared_ptr<RecordSet> OwnerRunningNumber(Connection& db, const RuleOwner& owner);

// rulename of an owner's header.
std::shared_ptr<RecordSet> OwnerRuleName(Connection& db, const RuleOwner& owner);

}  // namespace quillet::store::maintenance

#endif  // QUILLET_STORE_MAINTENANCE_RULES_H_
