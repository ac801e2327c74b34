// Numbering: each method runs in the object's language, on its connection,
// and answers its failures as Failure (numbering/session.h).
#include "quillet/numbering.h"

#include "maintenance/company_data.h"
#include "maintenance/schema.h"
#include "numbering/catalog.h"
#include "numbering/demo_company.h"
#include "numbering/deployment_check.h"
#include "numbering/draft.h"
#include "numbering/history.h"
#include "numbering/issuing.h"
#include "numbering/journal_trail.h"
#include "numbering/mappings.h"
#include "numbering/rule_files.h"
#include "numbering/rule_records.h"
#include "numbering/rule_saving.h"
#include "numbering/running_numbers.h"
#include "numbering/session.h"
#include "numbering/setup_lookups.h"
#include "numbering/verification.h"
#include "store/connection_counters.h"
#include "store/write_pool.h"

namespace quillet {

struct Numbering::State {
  State(const std::string& connection_string, const Options& options)
      : session(connection_string, options) {}
  numbering::Session session;
};

namespace {

// Runs a set-up step that has no session yet; what it raises, as Failure.
template <typename Action>
auto Translated(Action&& action) -> decltype(action()) {
  try {
    return action();
  } catch (...) {
    throw numbering::FailureOf(std::current_exception());
  }
}

}  // namespace

Numbering::Numbering(std::unique_ptr<State> state) : state_(std::move(state)) {}
Numbering::Numbering(Numbering&&) noexcept = default;
Numbering& Numbering::operator=(Numbering&&) noexcept = default;
Numbering::~Numbering() = default;

Numbering Numbering::Open(const std::string& connection_string, Options options) {
  return Translated([&] { return Numbering(std::make_unique<State>(connection_string, options)); });
}

void Numbering::CreateTables(const std::string& connection_string) {
  Translated([&] { maintenance::CreateSchema(connection_string); });
}

bool Numbering::LoadDemoCompany(const std::string& connection_string, DemoContent content) {
  return Translated([&] {
    if (content == DemoContent::kRows) {
      maintenance::LoadRows(connection_string, numbering::DemoCompany());
      return true;
    }
    const maintenance::CompanyLoad load =
        maintenance::LoadCompany(connection_string, numbering::DemoTour());
    if (load == maintenance::CompanyLoad::kOtherData) {
      throw Failure(FailureKind::kConflict, errc::kOtherCompany,
                    "the database " + connection_string + " holds another company's data");
    }
    return load == maintenance::CompanyLoad::kLoaded;
  });
}

DeploymentCheck Numbering::Check(const std::string& connection_string) {
  return Translated([&] {
    numbering::RequireSqliteFile(connection_string);
    store::Connection db;
    db.Open(connection_string, store::Create::kNever);
    return numbering::CheckDeployment(db);
  });
}

ConnectionCounters Numbering::ProcessConnectionCounters() {
  const store::ConnectionCounts counts = store::CurrentConnectionCounts();
  return {store::WritePool::Shared().bound(), counts.write_lent, counts.write_waits,
          counts.reconnects};
}

std::vector<std::string> Numbering::DemoLocales() { return numbering::DemoLocales(); }

const std::string& Numbering::connection_string() const {
  return state_->session.connection_string();
}

const std::string& Numbering::locale() const { return state_->session.options().locale; }

IssueResult Numbering::Issue(const IssueRequest& request) {
  return numbering::Within(state_->session,
                           [&] { return numbering::Issue(state_->session, request); });
}

IssueResult Numbering::IssueForDocumentLine(const DocumentLineRequest& request) {
  return numbering::Within(
      state_->session, [&] { return numbering::IssueForDocumentLine(state_->session, request); });
}

PreviewResult Numbering::Preview(const Line& line) {
  return numbering::Within(state_->session,
                           [&] { return numbering::Preview(state_->session, line); });
}

RuleResolution Numbering::ResolveRule(const std::string& item) {
  return numbering::Within(state_->session,
                           [&] { return numbering::Resolve(state_->session, item); });
}

RuleList Numbering::Rules() {
  return numbering::Within(state_->session, [&] { return numbering::ReadRules(state_->session); });
}

std::optional<Rule> Numbering::FindRule(const RuleOwner& owner) {
  return numbering::Within(state_->session,
                           [&] { return numbering::ReadRule(state_->session, owner); });
}

Rule Numbering::GetRule(const RuleOwner& owner) {
  return numbering::Within(state_->session, [&] {
    numbering::RequireRule(state_->session, owner);
    std::optional<Rule> rule = numbering::ReadRule(state_->session, owner);
    if (!rule) numbering::RaiseNotFound(FormatOwner(owner) + " has no rule", errc::kNoOwnRule);
    return *std::move(rule);
  });
}

SavedRule Numbering::SaveRule(const SaveRuleRequest& request) {
  return numbering::Within(state_->session,
                           [&] { return numbering::SaveRule(state_->session, request); });
}

Rule Numbering::DeleteRule(const RuleOwner& owner) {
  return numbering::Within(state_->session,
                           [&] { return numbering::DeleteRule(state_->session, owner); });
}

DraftEvaluation Numbering::EvaluateDraft(const DraftRequest& request) {
  return numbering::Within(state_->session,
                           [&] { return numbering::EvaluateDraft(state_->session, request); });
}

RunningNumber Numbering::GetRunningNumber(const RuleOwner& owner, const Line& line) {
  return numbering::Within(
      state_->session, [&] { return numbering::GetRunningNumber(state_->session, owner, line); });
}

SetRunningNumberResult Numbering::SetRunningNumber(const SetRunningNumberRequest& request) {
  return numbering::Within(state_->session,
                           [&] { return numbering::SetRunningNumber(state_->session, request); });
}

MappingPage Numbering::Mappings(DataSource source, const MappingQuery& query) {
  return numbering::Within(state_->session,
                           [&] { return numbering::Mappings(state_->session, source, query); });
}

MappingChange Numbering::SetMappingCode(const SetMappingCodeRequest& request) {
  return numbering::Within(state_->session,
                           [&] { return numbering::SetMappingCode(state_->session, request); });
}

std::string Numbering::ResetMappings(DataSource source) {
  return numbering::Within(state_->session,
                           [&] { return numbering::ResetMappings(state_->session, source); });
}

std::vector<InventoryClass> Numbering::Classes() {
  return numbering::Within(state_->session, [&] { return numbering::ClassesOf(state_->session); });
}

std::vector<Item> Numbering::SerialItems(const std::string& class_code) {
  return numbering::Within(state_->session,
                           [&] { return numbering::SerialItems(state_->session, class_code); });
}

std::optional<Item> Numbering::FindItem(const std::string& code) {
  return numbering::Within(state_->session,
                           [&] { return numbering::ItemOf(state_->session, code); });
}

std::vector<DataSourceInfo> Numbering::DataSources(const std::string& locale) {
  return numbering::Within(state_->session,
                           [&] { return numbering::DataSourcesOf(state_->session, locale); });
}

std::vector<FreeItemCaption> Numbering::FreeItemCaptions() {
  return numbering::Within(state_->session,
                           [&] { return numbering::FreeItemCaptions(state_->session); });
}

std::vector<std::string> Numbering::DescribedLocales() {
  return numbering::Within(state_->session,
                           [&] { return numbering::DescribedLocales(state_->session); });
}

SerialVerdict Numbering::Verify(const std::string& serial) {
  return numbering::Within(state_->session,
                           [&] { return numbering::VerifySerial(state_->session, serial); });
}

std::vector<JournalEntry> Numbering::Journal(const JournalQuery& query) {
  return numbering::Within(state_->session,
                           [&] { return numbering::Journal(state_->session, query); });
}

std::string Numbering::ExportRules(const ExportRequest& request) {
  return numbering::Within(state_->session,
                           [&] { return numbering::ExportRules(state_->session, request); });
}

ImportResult Numbering::ImportRules(const ImportRequest& request) {
  return numbering::Within(state_->session,
                           [&] { return numbering::ImportRules(state_->session, request); });
}

VoidedSerial Numbering::VoidSerialNumber(const VoidRequest& request) {
  return numbering::Within(state_->session,
                           [&] { return numbering::VoidSerialNumber(state_->session, request); });
}

std::vector<NumberGap> Numbering::Gaps(const GapQuery& query) {
  return numbering::Within(state_->session,
                           [&] { return numbering::Gaps(state_->session, query); });
}

std::vector<HistoryEntry> Numbering::History(const HistoryQuery& query) {
  return numbering::Within(state_->session,
                           [&] { return numbering::History(state_->session, query); });
}

}  // namespace quillet
