// Numbering: the typed C++ interface to a Quillet database. Issue serial
// numbers, preview them, maintain rules, running numbers and mappings, and
// read what a rule-setup screen shows, with plain structs in and out.
//
//   auto numbering = quillet::Numbering::Open("postgresql:host=db dbname=erp");
//   quillet::IssueResult r = numbering.Issue({.item = "LW-FL-300", .date = "2024-05-06",
//                                             .values = {{"department", "0101"}},
//                                             .count = 2, .save = true});
//   // r.serial_numbers, r.rule, r.owner, r.checked_owners, r.warnings, or r.reason
//
// Errors. Every method that can fail throws quillet::Failure
// (quillet/failure.h): a kind, a number, the message, and a database error's
// SQLSTATE or SQLite code. An issue that gives no serial number is not a
// failure: its result carries the reason. A method that throws has changed
// nothing (a change is one transaction, or a single statement).
//
// Threads. A Numbering object owns one database connection: it is
// thread-compatible, like a standard container. Its methods may be called
// from any thread, but only one at a time (give each thread its own object,
// or guard a shared one with a mutex). Objects on the same database, in one
// process or many, may be used at the same moment: two issues with saving
// never give the same running number.
//
// The old class clsQuillet (quillet/quillet.h) and this interface run the same
// engine; docs/cpp-api.md shows which call stands for which method.
#ifndef QUILLET_NUMBERING_H_
#define QUILLET_NUMBERING_H_

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quillet/export.h"
#include "quillet/failure.h"
#include "quillet/numbering_policy.h"
#include "quillet/owner.h"
#include "quillet/rule.h"
#include "quillet/verification.h"

namespace quillet {

// One document line: the item and the values its rule may read.
struct Line {
  std::string item{};
  // The document date: "YYYY-MM-DD", optionally followed by a blank or T and
  // "HH:MM" or "HH:MM:SS"; empty for today (the local date).
  std::string date{};
  // The line's values by data source name, in any case: lot, department,
  // workcenter, warehouse, clerk, supplier, free1 ... free10 (or the value
  // rows' own names: prdbatchnum, whname, businessclerk, cfree1 ...).
  std::map<std::string, std::string> values{};
};

// The line's values by data source, the date first (today's when the line
// has none), as an issue reads them. Throws Failure (kInvalidRequest) for an
// unknown value name, one that is not a value of a line, a value given
// twice, and a date that is not a calendar date written as Line::date says.
// Thread-safe.
QUILLET_EXPORT std::map<DataSource, std::string> LineValuesOf(const Line& line);

struct IssueRequest {
  std::string item{};
  std::string date{};                           // as Line::date
  std::map<std::string, std::string> values{};  // as Line::values
  // A batch of `count` consecutive serial numbers (1 to 32766) from one
  // evaluation of the rule; none for a single serial number.
  std::optional<int32_t> count{};
  // Use the numbers up: the running number advances past them. Without
  // saving the same numbers come again.
  bool save = false;
  // Who issues, for the journal of a rule that keeps one; empty takes
  // Options::user.
  std::string user{};
};

// A line given as a document's head and body, the way an entry screen holds
// it: column values of the head's row and of the line's row.
struct DocumentLineRequest {
  std::string item{};
  // "24", "0411" and "0301" read every value below; any other voucher type
  // reads the free items only.
  std::string voucher_type{};
  // ddate, cdepcode, cwhcode, cpersoncode, cvencode.
  std::map<std::string, std::string> head{};
  // cmolotcode, cmworkcentercode, cfree1 ... cfree10.
  std::map<std::string, std::string> body{};
  bool save = false;
  std::string user{};
};

// Why there is no serial number, in one sentence, with the error number of
// the layer that raised, where one did (a numbering policy's refusal:
// errc::kPastEnd, errc::kIssuedBefore, errc::kNoRestartKey; a running number
// that would pass its digits: errc::kWouldWrap).
struct Reason {
  std::string text{};
  std::optional<int32_t> number{};
};

// Which rule a line was issued from, and what the issue said besides.
struct IssueOutcome {
  std::optional<RuleOwner> owner{};         // whose rule applied; none when no rule does
  std::string rule{};                       // that rule's name
  std::vector<RuleOwner> checked_owners{};  // the owners asked, in order, the one found last
  std::vector<std::string> warnings{};      // a running number at or past the rule's warning number
  std::optional<Reason> reason{};           // set exactly when there is no serial number
};

struct IssueResult : IssueOutcome {
  std::vector<std::string> serial_numbers{};  // in order; empty when `reason` is set
  bool saved = false;                         // whether they were used up
};

// The rule evaluated for a line, split at its running number.
struct RuleParts {
  std::string prefix{};          // the text before the running number
  std::string running_number{};  // the running number, padded to its digits
  std::string suffix{};          // the text after it
  // The running number's step and digits as the rule stores them, and the
  // number the next issue with saving uses (the line's counter for a rule
  // that restarts); all "" for a rule without a running number.
  std::string step{};
  std::string stored_number{};
  std::string digits{};
  // The check characters after the suffix, computed over all of the serial
  // number before them; "" for a rule without check= in its policy.
  std::string check{};
};

struct PreviewResult : IssueOutcome {
  std::string serial_number{};  // the next serial number; "" when `reason` is set
  RuleParts parts{};            // set with the serial number
};

// The stored rules; a rule whose stored values cannot be read (a step
// outside 32 bits, say) is listed apart, so that it keeps no other from
// being read.
struct RuleList {
  std::vector<Rule> rules{};
  struct Unreadable {
    RuleOwner owner{};
    std::string name{};
    std::string reason{};
  };
  std::vector<Unreadable> unreadable{};
};

// What a save did besides storing the rule.
struct SavedRule {
  Rule rule{};                       // as stored
  bool created = false;              // the owner had no rule before
  std::vector<std::string> notes{};  // a running number kept, other rules' shared settings changed
};

struct SaveRuleRequest {
  RuleOwner owner{};
  std::string name{};
  std::vector<Segment> segments{};
  // Save a rule that would repeat serial numbers or cut its running number
  // (a step not above 0, no running number, a start wider than its digits).
  bool force = false;
};

// An owner's running number: the rule's own, or, for a rule that starts
// again every period or for each prefix, the counter a line issues from.
struct RunningNumber {
  RuleOwner owner{};
  // "" for the rule's own number; else the counter's key: the period
  // ("2024", "2024-05", "2024-05-06") or "PREFIX…SUFFIX" for a prefix.
  std::string counter{};
  std::string next_number{};  // the number the next issue uses; "" when none is stored
};

struct SetRunningNumberRequest {
  RuleOwner owner{};
  int32_t next_number = 0;
  // For a rule that restarts: the line whose counter is set (its date, or
  // for a restart per prefix its item and values). Not read otherwise.
  Line line{};
  // Set a number below the current one, so that numbers come again.
  bool force = false;
};

struct SetRunningNumberResult {
  RunningNumber number{};  // as set
  std::string previous{};  // the number before; "" when none was stored
};

// A data source as the database describes it in the object's locale.
struct DataSourceInfo {
  DataSource source = DataSource::kText;
  std::string caption{};
  std::string table{};           // the archive table of its values; "" for none
  std::string content_type{};    // iContentType
  std::string value_column{};    // the archive's value column
  std::string caption_column{};  // the archive's caption column
  // The levels of a level-coded archive (department, class); none without a
  // coding rule.
  std::optional<int32_t> levels{};
};

struct FreeItemCaption {
  DataSource source = DataSource::kFree1;
  std::string caption{};
};

struct InventoryClass {
  std::string code{};
  std::string name{};
  int32_t level = 0;
};

struct Item {
  std::string code{};
  std::string name{};  // empty for an item that is not serial-managed
  std::string class_code{};
  int32_t class_level = 0;
  bool serial_managed = false;
};

// Which owner's rule an item's serial numbers follow.
struct RuleResolution {
  std::optional<RuleOwner> owner{};         // none when no rule applies
  std::vector<RuleOwner> checked_owners{};  // in order, the one found last
  std::optional<std::string> stopped{};     // why the search ended before "all"
};

struct Mapping {
  std::string value{};    // the archive value
  std::string caption{};  // its caption in the archive
  std::string code{};     // what serial numbers show for it
  bool set_by_user = false;
};

struct MappingQuery {
  std::string search;  // value, caption or code holding this (ASCII in any case)
  int64_t offset = 0;
  std::optional<int64_t> limit{};  // none for every mapping from `offset`
};

struct MappingPage {
  DataSourceInfo source{};
  int32_t width = 0;     // the width the rules give the data source
  std::string format{};  // the format they give it
  int64_t total = 0;     // the mappings the search finds in all
  std::vector<Mapping> mappings{};
};

struct SetMappingCodeRequest {
  DataSource source = DataSource::kDepartment;
  std::string value{};
  std::string code{};
  // Refuse a code wider than the width the rules give the data source (a
  // mapped code is written whole, longer than its segment).
  bool within_width = false;
};

struct MappingChange {
  Mapping before{};                      // the mapping as it was
  std::vector<std::string> same_code{};  // the other values now written with the code
};

struct JournalEntry {
  std::string serial_number{};
  RuleOwner owner{};
  std::string item{};
  std::optional<int32_t> running_number{};  // none for a rule without one
  std::string document_date{};
  std::string issued{};  // UTC, "YYYY-MM-DDTHH:MM:SS.mmmZ"
  std::string user{};
};

struct JournalQuery {
  std::optional<RuleOwner> owner{};
  // Issued at or after this UTC time: "YYYY-MM-DD", optionally with a blank
  // or T and "HH:MM" or "HH:MM:SS"; empty for all.
  std::string since{};
};

// One change of a rule, a running number or a user's mapping code.
struct HistoryEntry {
  std::string changed{};             // UTC, "YYYY-MM-DDTHH:MM:SS.mmmZ"
  std::string user{};                // Options::user, or the old class's login user
  std::optional<RuleOwner> owner{};  // whose rule; none for a mapping code
  // "save", "delete", "number" (a running number or counter set), "code" (a
  // mapping code set by the user), "reset" (an archive's mappings deleted).
  std::string kind{};
  // The rule before and after as a rule file writes it, with its numbers
  // (docs/rule-files.md); for a code, {"archive","value","code"}; "" for none.
  std::string before{};
  std::string after{};
};

struct HistoryQuery {
  std::optional<RuleOwner> owner{};
  std::string since{};  // as JournalQuery::since
};

struct VoidRequest {
  std::string serial_number{};
  std::string reason{};  // why; required
  std::string user{};    // who voids; empty takes Options::user
};

// A serial number of the journal marked void; its journal entry stays.
struct VoidedSerial {
  std::string serial_number{};
  RuleOwner owner{};
  std::optional<int32_t> running_number{};
  std::string voided{};  // UTC, "YYYY-MM-DDTHH:MM:SS.mmmZ"
  std::string user{};
  std::string reason{};
};

struct GapQuery {
  RuleOwner owner{};
  std::string since{};  // as JournalQuery::since: only issues at or after it
};

// A running number of a journal-keeping rule's sequence that no serial
// number stands for.
struct NumberGap {
  // The counter: "" for the rule's own number, else the period ("2024-05")
  // or "PREFIX…SUFFIX" of a rule that restarts.
  std::string counter{};
  int32_t running_number = 0;
  // "voided" (issued, then voided), "set_forward" (a running number set past
  // it), "failed_save" (used up, but no issue of it was recorded).
  std::string reason{};
  std::string detail{};  // who and when; a void's reason
};

// What a rule file holds (docs/rule-files.md).
struct ExportRequest {
  std::vector<RuleOwner> owners{};  // none for every rule
  bool with_numbers = false;        // the running numbers and counters
  bool with_codes = false;          // the mapping codes users set
};

struct ImportRequest {
  std::string file{};    // the rule file's text
  bool dry_run = false;  // tell what would change, change nothing
  bool force = false;    // set running numbers back
};

// What an import does to one owner's rule.
struct RuleFileChange {
  RuleOwner owner{};
  std::string change{};  // "added", "changed", "removed" or "unchanged"
  std::string name{};    // the rule's name (the file's; a removed rule's own)
  // The difference, one line each: the name, the segments one by one
  // ("  2 text=A" kept, "- 2 text=A" and "+ 2 text=B" replaced), and the
  // numbers ("next number kept 12", "next number 5 -> 12", "counter K ...").
  std::vector<std::string> lines{};
};

struct ImportResult {
  std::vector<RuleFileChange> rules{};  // the file's owners, then the removed ones
  std::vector<std::string> codes{};     // "department 03: SL -> XY" per changed code
  bool applied = false;                 // false for a dry run and a file that changes nothing
};

// A rule being edited, evaluated for a sample line without saving anything.
struct DraftRequest {
  RuleOwner owner{};
  std::vector<Segment> segments{};
  Line line{};  // for an item's rule, the item is the owner's code
};

// Why a segment, or the whole draft, gives no text: `cause` is one of
// "missing_value", "unknown_department", "no_item", "number_not_whole",
// "second_number", "no_segments", "failed"; `reason` says it in English.
struct DraftFailure {
  std::string cause{};
  std::string reason{};
};

struct DraftSegment {
  std::optional<std::string> text{};      // none when the segment fails
  std::optional<DraftFailure> failure{};  // set exactly when `text` is not
};

struct DraftEvaluation {
  std::vector<DraftSegment> segments{};  // one per segment, in order
  // The running number the serial number would carry: the owner's stored
  // one, or the draft's start for an owner without a rule.
  std::string next_number{};
  bool number_fits = true;                // its digits fit the segment's width
  std::string serial_number{};            // "" when `failure` is set; with the check characters
  std::string check{};                    // the check characters the policy appends, or ""
  std::optional<DraftFailure> failure{};  // the first failing segment's, or the draft's
};

// One thing a deployment check looked at, and what it found.
struct CheckFinding {
  enum class Severity {
    kNote,     // as it should be, or nothing to change
    kWarning,  // works, but can repeat or lose serial numbers in a failure
    kProblem,  // something Quillet needs is missing or wrong
  };
  // "tables", "indexes", "rule names", "replication", "pooler", "time zone",
  // "data sources" or "rules".
  std::string topic{};
  Severity severity = Severity::kNote;
  std::string text{};
};

struct DeploymentCheck {
  std::vector<CheckFinding> findings{};  // in the order of the topics above
  // Whether no finding is a warning or a problem.
  bool Passed() const {
    for (const CheckFinding& finding : findings) {
      if (finding.severity != CheckFinding::Severity::kNote) return false;
    }
    return true;
  }
};

// What the process's database connections went through, over every
// Numbering object: for a service's metrics.
struct ConnectionCounters {
  uint64_t write_pool_size = 0;    // write connections lent at most at once, per database
  uint64_t write_pool_in_use = 0;  // write connections lent right now, over all databases
  uint64_t write_pool_waits = 0;   // writes that waited for a write connection
  uint64_t reconnects = 0;         // sessions opened again after one was lost
};

class QUILLET_EXPORT Numbering {
 public:
  struct Options {
    // The locale of captions and messages ("zh-CN", "en-US"); the database
    // must describe its data sources in it, when it describes any.
    std::string locale = "zh-CN";
    // Who issues, recorded in the journal of a rule that keeps one.
    std::string user{};
    // How a reason asks for a value the line lacks, given the data source's
    // name ("warehouse"); the default says "give the line a value for
    // warehouse".
    std::function<std::string(const std::string& source)> ask_for_value{};
  };

  // Opens `connection_string`: "sqlite:PATH" (the file must exist) or
  // "postgresql:CONNINFO" (a libpq key/value string or URI; several hosts
  // with target_session_attrs=read-write follow a failover). Throws Failure:
  // kInvalidRequest for another form, kNotFound for a missing SQLite file, a
  // database without Quillet's tables or one that describes its data
  // sources in other locales only (the message names them), kUnavailable
  // when the database cannot be reached.
  static Numbering Open(const std::string& connection_string, Options options);
  static Numbering Open(const std::string& connection_string) {
    return Open(connection_string, {});
  }

  // Creates every table Quillet reads or writes, in one transaction (a
  // missing SQLite file is created); tables that exist are kept. Throws
  // Failure: kConflict when a rule name is carried by more than one owner.
  static void CreateTables(const std::string& connection_string);

  // What the made-up lamp maker of the demo brings.
  enum class DemoContent {
    // Its classes, items, departments, archives, data sources (zh-CN and
    // en-US) and three rules, as stored rows written over the rows of the
    // same keys; the tables must exist.
    kRows,
    // The rows when the database does not hold them yet, in a database
    // whose tables are created first, the rules of `quillet demo` saved
    // over them and department 03 mapped to SL, in one transaction.
    kTour,
  };

  // Loads the demo company. Returns true when its rows were loaded now,
  // false when the database held them already (kTour keeps them). Throws
  // Failure: kConflict, changing nothing, when a kTour database holds
  // another company's classes.
  static bool LoadDemoCompany(const std::string& connection_string,
                              DemoContent content = DemoContent::kTour);

  // Looks at a database as a deployment needs it, changing nothing: every
  // table and index Quillet creates present; no rule name carried by two
  // owners; on PostgreSQL, whether commits wait for a standby (a warning when
  // synchronous_commit is off, or a standby streams asynchronously, since a
  // failover can then issue committed serial numbers again), whether a
  // transaction pooler is in between, and the server's time zone; the locales
  // the data sources are described in; rules whose segments read a data
  // source a locale does not describe. Throws Failure: kInvalidRequest for a
  // malformed connection string, kNotFound for a missing SQLite file,
  // kUnavailable when the database cannot be reached. Thread-safe (it opens
  // a connection of its own).
  static DeploymentCheck Check(const std::string& connection_string);

  // The process's counters so far. Thread-safe; never throws.
  static ConnectionCounters ProcessConnectionCounters();

  // The locales the demo company describes its data sources in.
  static std::vector<std::string> DemoLocales();

  Numbering(Numbering&&) noexcept;
  Numbering& operator=(Numbering&&) noexcept;
  ~Numbering();

  const std::string& connection_string() const;
  const std::string& locale() const;

  // --- Issuing ---------------------------------------------------------------

  // Serial numbers for the line from the rule that applies to its item: one,
  // or a batch of `count`; with `save` used up. No serial number is not a
  // failure: the result's reason says why (no rule applies, a value the rule
  // needs is missing, a numbering policy refused, the running number would
  // pass its digits — refused here before anything is saved, unlike the old
  // class). Throws Failure: kInvalidRequest for a malformed date, an unknown
  // value name or a count outside 1 to 32766; kDatabase, kUnavailable.
  IssueResult Issue(const IssueRequest& request);

  // Issue for a line of a document's head and body.
  IssueResult IssueForDocumentLine(const DocumentLineRequest& request);

  // The next serial number of the line and the rule's parts, using nothing
  // up. Throws as Issue does.
  PreviewResult Preview(const Line& line);

  // Which owner's rule the item follows. Throws Failure: kNotFound for an
  // item not in the inventory.
  RuleResolution ResolveRule(const std::string& item);

  // --- Rules -----------------------------------------------------------------

  // Every rule: items' first, then classes', then all's, each by owner code.
  RuleList Rules();

  // The owner's own rule; none when it has none.
  std::optional<Rule> FindRule(const RuleOwner& owner);

  // The owner's own rule. Throws Failure kNotFound: errc::kUnknownOwner for
  // an item or class that does not exist, errc::kNoOwnRule for an owner
  // without a rule (for an item, the message tells which rule it follows).
  Rule GetRule(const RuleOwner& owner);

  // Saves the owner's rule in one transaction; an owner's running number is
  // kept. Throws Failure: kInvalidRequest for segments that cannot be stored
  // (two running numbers, a value starting or ending with a blank); kNotFound
  // for an item or class that does not exist; kConflict for a name another
  // owner's rule carries; kGuarded, unless `force`, for a rule that would
  // repeat serial numbers or cut its running number.
  SavedRule SaveRule(const SaveRuleRequest& request);

  // Deletes the owner's rule and returns it. Throws Failure: kNotFound when
  // the owner has no rule of its own (the message tells which rule an item
  // follows instead).
  Rule DeleteRule(const RuleOwner& owner);

  // Evaluates segments as the owner's rule for a line, saving nothing.
  // Throws Failure: kNotFound for an unknown item or class owner.
  DraftEvaluation EvaluateDraft(const DraftRequest& request);

  // --- Running numbers -------------------------------------------------------

  // The owner's next running number: the rule's own, or for a rule that
  // restarts, the counter of `line` (the period of its date, today without
  // one; a restart per prefix needs the line's item). Throws Failure:
  // kNotFound when the owner has no rule; kInvalidRequest for a line that
  // names no counter.
  RunningNumber GetRunningNumber(const RuleOwner& owner, const Line& line = {});

  // Makes `next_number` the owner's next running number (the counter's for a
  // rule that restarts). Throws as GetRunningNumber does, and kGuarded,
  // unless `force`, for a number below the current one.
  SetRunningNumberResult SetRunningNumber(const SetRunningNumberRequest& request);

  // --- Mappings --------------------------------------------------------------

  // A page of the data source's mappings, ordered by value, after the
  // missing ones are made. Throws Failure: kInvalidRequest for a data source
  // without mappings; kNotFound when the database does not describe it in
  // the object's locale, or no rule uses it yet.
  MappingPage Mappings(DataSource source, const MappingQuery& query = {});

  // Writes a value's code, marked as the user's. Throws as Mappings does, and
  // kNotFound for a value the data source does not have, kConflict
  // (errc::kCodeTooWide) for a code wider than the width (with
  // `within_width`).
  MappingChange SetMappingCode(const SetMappingCodeRequest& request);

  // Deletes every mapping of the data source's archive, the users' codes
  // included; the next listing or issue makes them again. Returns the
  // archive table. Throws as Mappings does.
  std::string ResetMappings(DataSource source);

  // --- What a rule-setup screen shows ----------------------------------------

  std::vector<InventoryClass> Classes();  // by code
  // Serial-managed items of exactly the class `class_code`, by code. Throws
  // Failure: kNotFound for an unknown class.
  std::vector<Item> SerialItems(const std::string& class_code);
  std::optional<Item> FindItem(const std::string& code);
  // The data sources the database describes in `locale` ("" for the
  // object's).
  std::vector<DataSourceInfo> DataSources(const std::string& locale = {});
  std::vector<FreeItemCaption> FreeItemCaptions();
  // The locales the database describes its data sources in, ascending.
  std::vector<std::string> DescribedLocales();

  // The serial numbers issued with saving by rules that keep a journal,
  // oldest first. Throws Failure: kInvalidRequest for a malformed `since`;
  // kNotFound for a database without a journal table.
  std::vector<JournalEntry> Journal(const JournalQuery& query = {});

  // The rule file of the owners asked (every rule without any): JSON with
  // two-space indents ending in a line feed; the same database gives the
  // same bytes. Throws Failure: kNotFound for an owner asked that has no
  // rule.
  std::string ExportRules(const ExportRequest& request = {});

  // Reads a rule file and, unless a dry run, makes the database hold what it
  // holds, in one transaction: its rules saved (each change recorded in the
  // history), the owners it covers but does not list removed (every owner,
  // or those of its "owners"), its numbers and codes set when it has them.
  // Owners are not looked up: a file may bring rules of items the database
  // does not know yet. Throws Failure, having changed nothing:
  // kInvalidRequest (errc::kBadRuleFile) naming the place of what is not a
  // rule file's; kGuarded, unless `force`, for a running number set back;
  // kConflict for a rule name another owner's rule keeps.
  ImportResult ImportRules(const ImportRequest& request);

  // Marks a serial number of the journal void, once; nothing is deleted.
  // Throws Failure: kInvalidRequest for an empty reason or serial number;
  // kNotFound for a serial number the journal does not hold (or a database
  // without a journal); kConflict (errc::kVoidedBefore) for one voided
  // before, the message telling by whom and when.
  VoidedSerial VoidSerialNumber(const VoidRequest& request);

  // The running numbers the owner's rule skipped, counter by counter, in
  // order: from each counter's first recorded issue (a period's from the
  // rule's start, unless `since` is given) up to the number before its next
  // one, every number not issued or issued and voided, with the reason.
  // Throws Failure: kInvalidRequest for a rule that keeps no journal or has
  // no running number, and a malformed `since`; kNotFound for an owner
  // without a rule.
  std::vector<NumberGap> Gaps(const GapQuery& query);

  // Every change to rules, running numbers and users' mapping codes, oldest
  // first; each is recorded in the transaction of the change, whichever
  // interface made it. Throws Failure: kInvalidRequest for a malformed
  // `since`; kNotFound for a database without a history table.
  std::vector<HistoryEntry> History(const HistoryQuery& query = {});

  // --- Serial numbers read back ------------------------------------------------

  // Which rules could have written `serial` (quillet/verification.h), its
  // check characters by each, and, for a rule that keeps a journal, when,
  // for which item and document date and by whom it was issued. Throws
  // Failure: kInvalidRequest for an empty serial, one longer than
  // kMaxLabelTextBytes (quillet/label.h) or not UTF-8; kDatabase,
  // kUnavailable.
  SerialVerdict Verify(const std::string& serial);

 private:
  struct State;
  explicit Numbering(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace quillet

#endif  // QUILLET_NUMBERING_H_
