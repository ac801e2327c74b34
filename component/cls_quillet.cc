// The class frame: binding, the task check, and each public method handed to
// the engine on the object's service connection, its results written to the
// method's output parameters.
#include "core/field_text.h"
#include "core/mod_language.h"
#include "generation/batch_issue.h"
#include "generation/line_entry.h"
#include "generation/mapped_code.h"
#include "generation/rule_parts.h"
#include "generation/single_issue.h"
#include "maintenance/delete_rule.h"
#include "maintenance/rule_lookup.h"
#include "maintenance/save_rule.h"
#include "mapping/mapping_edit.h"
#include "mapping/mapping_list.h"
#include "mapping/setup_data.h"
#include "quillet/owner.h"
#include "quillet/quillet.h"
#include "store/connection.h"

namespace quillet {

clsQuillet::clsQuillet() = default;
clsQuillet::~clsQuillet() = default;

store::Connection& clsQuillet::ServiceConnection() {
  // A method that touches an absent connection creates an unopened one; its
  // queries then raise the data access layer's "closed" error.
  if (!connection_) connection_ = std::make_unique<store::Connection>();
  return *connection_;
}

namespace {

// An issue's notes become the object's, and the item code it read is written
// back to the caller's.
template <typename Value>
void TakeOver(generation::Issued<Value>& issued, std::string& item_code, IssueNotes& notes) {
  if (issued.item_code) item_code = *std::move(issued.item_code);
  notes = std::move(issued.notes);
}

}  // namespace

Variant clsQuillet::init(std::shared_ptr<Login>& ologin) {
  if (!objlogin) objlogin = ologin;
  store::Connection& connection = ServiceConnection();
  // The connection string comes from the argument, even when objlogin kept an
  // earlier login object.
  if (!ologin) throw Error::ObjectNotSet();
  connection.Open(ologin->KelDbName());
  modLanguage::InitLanguage();
  return Variant();
}

std::string clsQuillet::UserName() {
  try {
    return objlogin ? objlogin->UserName() : std::string();
  } catch (...) {
    // The login object is the host's: a name it cannot tell is no name.
    return {};
  }
}

bool clsQuillet::CallTaskExec(const std::string& task_id, int16_t mode) {
  try {
    if (!objlogin) return false;
    objlogin->ClearError();
    const Variant answer = objlogin->TaskExec(task_id, mode);
    if (!answer.IsNull() && answer.ToBool()) return true;
    objlogin->ClearError();
    return false;
  } catch (...) {
    // The login object is the host's: whatever it raises means "no".
    return false;
  }
}

Variant clsQuillet::CheckTaskExecsrv(const std::string& sTaskID, Variant& bTaskExec) {
  bTaskExec = Variant(CallTaskExec(sTaskID, -1));
  CallTaskExec(sTaskID, 0);
  return Variant();
}

Variant clsQuillet::Getinitdata(Variant& rssetupTree, Variant& RstPrefix, Variant& Rstfreename,
                                std::string&) {
  setup::SetupData data = setup::ReadSetupData(ServiceConnection());
  rssetupTree = Variant(std::move(data.classes));
  RstPrefix = Variant(std::move(data.data_sources));
  Rstfreename = Variant(std::move(data.free_item_captions));
  return Variant();
}

Variant clsQuillet::GetInvBatchRulesrv(const std::string& Invccode, Variant& RsinvRule,
                                       int16_t invtype, std::string&) {
  RsinvRule = Variant(
      maintenance::OwnerRule(ServiceConnection(), RuleOwner::FromNumber(Invccode, invtype)));
  return Variant();
}

Variant clsQuillet::GetmaxGrade(int16_t& maxgrade, const std::string& tablname, std::string&) {
  maxgrade = setup::MaxGrade(ServiceConnection(), tablname);
  return Variant();
}

Variant clsQuillet::GetGradeRulesrv(std::string& graderule, const std::string& tablname,
                                    std::string&) {
  graderule = setup::GradeRule(ServiceConnection(), tablname);
  return Variant();
}

Variant clsQuillet::GetInvNodesrv(const std::string& invclasscode, Variant& Rsinv, std::string&) {
  Rsinv = Variant(setup::SerialItemsOfClass(ServiceConnection(), invclasscode));
  return Variant();
}

Variant clsQuillet::GetNumbertreesrv(Variant& Rsbatchrule, std::string&) {
  Rsbatchrule = Variant(setup::RuleHeaders(ServiceConnection()));
  return Variant();
}

Variant clsQuillet::saveprefixcodesrv(const Variant& Domprefixcode, std::string&) {
  mapping::SetUserCode(ServiceConnection(), Domprefixcode, UserName());
  return Variant();
}

Variant clsQuillet::Resetprefixsrv(const std::string& strcontent, std::string&) {
  mapping::ResetArchive(ServiceConnection(), strcontent, UserName());
  return Variant();
}

Variant clsQuillet::GetmaxNumbersrv(const std::string& inumInvcode, Variant& vMaxnumber,
                                    int16_t inumInvtype, std::string&) {
  vMaxnumber = maintenance::StoredRunningNumber(ServiceConnection(),
                                                RuleOwner::FromNumber(inumInvcode, inumInvtype));
  return Variant();
}

Variant clsQuillet::Getprefixrssrv(const Variant& DomPrefixkey, int32_t& maxlength,
                                   Variant& RsPrefix, std::string& datasrcformat,
                                   std::string& sErr) {
  mapping::MappingList list = mapping::ListMappings(ServiceConnection(), DomPrefixkey);
  // A data source no rule uses leaves the outputs as they were.
  if (list.unused) {
    sErr = *std::move(list.unused);
    return Variant();
  }
  RsPrefix = Variant(std::move(list.rows));
  maxlength = list.width;
  datasrcformat = std::move(list.format);
  return Variant();
}

Variant clsQuillet::DelSNRulesrv(const std::string& sDelInvcode, int16_t IDelinvtype,
                                 const std::string& sDelRulename, std::string&) {
  maintenance::DeleteRule(ServiceConnection(), RuleOwner::FromNumber(sDelInvcode, IDelinvtype),
                          sDelRulename, UserName());
  return Variant();
}

Variant clsQuillet::SaveSNRulesrv(const std::shared_ptr<XmlDocument>& DombatchRule,
                                  const std::string& SsaveInvcode, int16_t Isaveinvtype,
                                  const std::string& SsaveRulename, std::string& sErr) {
  std::optional<std::string> refusal = maintenance::SaveRule(
      ServiceConnection(), DombatchRule, RuleOwner::FromNumber(SsaveInvcode, Isaveinvtype),
      SsaveRulename, UserName());
  if (refusal) sErr = *std::move(refusal);
  return Variant();
}

Variant clsQuillet::SavemaxNumbersrv(const std::string& Invccode, Variant& RstinvmaxNum,
                                     int16_t invtype, std::string&) {
  const std::string number = FieldTextOrEmpty(RstinvmaxNum);
  maintenance::SetStoredRunningNumber(ServiceConnection(), RuleOwner::FromNumber(Invccode, invtype),
                                      number, UserName());
  return Variant();
}

std::string clsQuillet::getLineSNum(std::string& cinvcode, std::shared_ptr<XmlDocument>& DomHead,
                                    std::shared_ptr<XmlDocument>& DomBody, std::string& vchType,
                                    bool bSave) {
  // The line's item code is the caller's: it is not written back.
  issue_notes_ = {};
  generation::Issued<std::string> issued =
      generation::IssueLineNumber(ServiceConnection(), cinvcode, DomHead, DomBody, vchType, bSave,
                                  [this] { return UserName(); });
  issue_notes_ = std::move(issued.notes);
  return std::move(issued.value);
}

std::string clsQuillet::getSNumber(std::string& cinvcode, std::shared_ptr<XmlDocument>& DomValue,
                                   std::string&, bool bSave) {
  generation::Issued<std::string> issued =
      generation::IssueNumber(ServiceConnection(), DomValue, bSave, [this] { return UserName(); });
  TakeOver(issued, cinvcode, issue_notes_);
  return std::move(issued.value);
}

std::string clsQuillet::GetContrapose(const std::string& cDataType, const std::string& cSeed) {
  return generation::MappedCode(ServiceConnection(), cDataType, cSeed);
}

std::shared_ptr<XmlDocument> clsQuillet::getSNbatch(std::string& cinvcode,
                                                    std::shared_ptr<XmlDocument>& DomValue,
                                                    std::string& sErr, bool bSave) {
  generation::IssuedBatch batch =
      generation::IssueBatch(ServiceConnection(), DomValue, bSave, [this] { return UserName(); });
  // The item code is written before the message, as the batch read them.
  TakeOver(batch, cinvcode, issue_notes_);
  if (batch.error) sErr = *std::move(batch.error);
  return std::move(batch.value);
}

std::shared_ptr<XmlDocument> clsQuillet::getSNrule(std::string& cinvcode,
                                                   std::shared_ptr<XmlDocument>& DomValue,
                                                   std::string&, bool) {
  generation::Issued<std::shared_ptr<XmlDocument>> parts =
      generation::ReadRuleParts(ServiceConnection(), DomValue);
  TakeOver(parts, cinvcode, issue_notes_);
  return std::move(parts.value);
}

}  // namespace quillet
