#include "generation/rule_evaluation.h"

#include "core/runtime_errors.h"
#include "core/utf8.h"
#include "core/value_document.h"
#include "generation/segment_text.h"
#include "store/rule_queries.h"

namespace quillet::generation {

std::string ItemCodeOf(const std::shared_ptr<XmlDocument>& values) {
  if (!values) throw Error::ObjectNotSet();
  std::optional<std::string> code = ItemCode(*values);
  if (!code) throw Error::ObjectNotSet();
  return *std::move(code);
}

int32_t RunningStep(const Variant& step) {
  if (step.IsNull()) return 1;
  if (step.type() == Variant::Type::kText ? step.text() == "0" : step.ToDouble() == 0) return 1;
  return step.ToInt32();
}

namespace {

void TellSearch(const IssueFacts& facts, RuleSearch& search, std::string* rule_name) {
  try {
    search = facts.Search();
    if (rule_name && search.found) *rule_name = facts.RuleName(*search.found);
  } catch (const std::exception&) {
    // Left untold: whoever needs the search makes it on the database.
    search = {};
  }
}

}  // namespace

std::optional<RuleSubject> ResolveSubject(store::Connection& db,
                                          const std::shared_ptr<XmlDocument>& values,
                                          std::optional<std::string>& item_code, RuleSearch* search,
                                          std::string* rule_name) {
  item_code = ItemCodeOf(values);
  auto facts = std::make_shared<const IssueFacts>(db, *item_code, *values);
  if (search) TellSearch(*facts, *search, rule_name);
  std::optional<RuleOwner> owner = facts->Owner();
  if (!owner) return std::nullopt;
  return RuleSubject{*item_code, *std::move(owner), std::move(facts)};
}

HeaderNumberReader NumberReadWithRule(const RuleSubject& subject,
                                      std::optional<std::string>& read) {
  return [&subject, &read](const RuleOwner& owner, const RecordSet&) {
    std::shared_ptr<RecordSet> header = subject.facts->HeaderNumber(owner);
    if (header->RecordCount() > 0 && !header->Field(0).IsNull()) read = header->Field(0).ToText();
    return header;
  };
}

std::optional<WalkedRule> WalkRule(store::Connection& db, const XmlDocument& values,
                                   const RuleSubject& subject, const RunningNumberHandler& running,
                                   const HeaderNumberReader& read_number) {
  const auto segments = subject.facts ? subject.facts->Segments(subject.owner)
                                      : store::generation::OwnerSegments(db, subject.owner.code,
                                                                         subject.owner.KindText());
  if (segments->Bof() || segments->Eof()) return std::nullopt;

  SegmentLookups lookups;
  lookups.facts = subject.facts.get();
  const SegmentContext context{db, values, subject.item_code, *segments, lookups};
  WalkedRule walked;
  for (segments->MoveFirst(); !segments->Eof(); segments->MoveNext()) {
    if (SourceType(*segments) != kRunningNumberType) {
      walked.text += SegmentText(context, *segments);
      continue;
    }
    // The header's record set stays open for the rest of the walk, so a rule
    // can hold one running number only.
    if (walked.has_running_number) {
      throw Error::ObjectOpen();
    }
    walked.has_running_number = true;
    walked.prefix = walked.text;
    const auto header = read_number     ? read_number(subject.owner, *segments)
                        : subject.facts ? subject.facts->HeaderNumber(subject.owner)
                                        : store::generation::HeaderNumber(db, subject.owner.code,
                                                                          subject.owner.KindText());
    walked.running_text = running(RunningNumber{*segments, header->Field("cnumber")});
    walked.text += walked.running_text;
    walked.position = utf8::Length(walked.text);
  }
  return walked;
}

}  // namespace quillet::generation
