// The class frame: binding, the task check, and each public method handed to
// its subsystem on the object's service connection.
#include "core/mod_language.h"
#include "generation/methods.h"
#include "maintenance/methods.h"
#include "mapping/methods.h"
#include "mapping/setup_methods.h"
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
  setup::Getinitdata(ServiceConnection(), rssetupTree, RstPrefix, Rstfreename);
  return Variant();
}

Variant clsQuillet::GetInvBatchRulesrv(const std::string& Invccode, Variant& RsinvRule,
                                       int16_t invtype, std::string&) {
  maintenance::GetInvBatchRulesrv(ServiceConnection(), Invccode, RsinvRule, invtype);
  return Variant();
}

Variant clsQuillet::GetmaxGrade(int16_t& maxgrade, const std::string& tablname, std::string&) {
  setup::GetmaxGrade(ServiceConnection(), maxgrade, tablname);
  return Variant();
}

Variant clsQuillet::GetGradeRulesrv(std::string& graderule, const std::string& tablname,
                                    std::string&) {
  setup::GetGradeRulesrv(ServiceConnection(), graderule, tablname);
  return Variant();
}

Variant clsQuillet::GetInvNodesrv(const std::string& invclasscode, Variant& Rsinv, std::string&) {
  setup::GetInvNodesrv(ServiceConnection(), invclasscode, Rsinv);
  return Variant();
}

Variant clsQuillet::GetNumbertreesrv(Variant& Rsbatchrule, std::string&) {
  setup::GetNumbertreesrv(ServiceConnection(), Rsbatchrule);
  return Variant();
}

Variant clsQuillet::saveprefixcodesrv(const Variant& Domprefixcode, std::string&) {
  mapping::saveprefixcodesrv(ServiceConnection(), Domprefixcode);
  return Variant();
}

Variant clsQuillet::Resetprefixsrv(const std::string& strcontent, std::string&) {
  mapping::Resetprefixsrv(ServiceConnection(), strcontent);
  return Variant();
}

Variant clsQuillet::GetmaxNumbersrv(const std::string& inumInvcode, Variant& vMaxnumber,
                                    int16_t inumInvtype, std::string&) {
  maintenance::GetmaxNumbersrv(ServiceConnection(), inumInvcode, vMaxnumber, inumInvtype);
  return Variant();
}

Variant clsQuillet::Getprefixrssrv(const Variant& DomPrefixkey, int32_t& maxlength,
                                   Variant& RsPrefix, std::string& datasrcformat,
                                   std::string& sErr) {
  mapping::Getprefixrssrv(ServiceConnection(), DomPrefixkey, maxlength, RsPrefix, datasrcformat,
                          sErr);
  return Variant();
}

Variant clsQuillet::DelSNRulesrv(const std::string& sDelInvcode, int16_t IDelinvtype,
                                 const std::string& sDelRulename, std::string&) {
  maintenance::DelSNRulesrv(ServiceConnection(), sDelInvcode, IDelinvtype, sDelRulename);
  return Variant();
}

Variant clsQuillet::SaveSNRulesrv(const std::shared_ptr<XmlDocument>& DombatchRule,
                                  const std::string& SsaveInvcode, int16_t Isaveinvtype,
                                  const std::string& SsaveRulename, std::string& sErr) {
  maintenance::SaveSNRulesrv(ServiceConnection(), DombatchRule, SsaveInvcode, Isaveinvtype,
                             SsaveRulename, sErr);
  return Variant();
}

Variant clsQuillet::SavemaxNumbersrv(const std::string& Invccode, Variant& RstinvmaxNum,
                                     int16_t invtype, std::string&) {
  maintenance::SavemaxNumbersrv(ServiceConnection(), Invccode, RstinvmaxNum, invtype);
  return Variant();
}

std::string clsQuillet::getLineSNum(std::string& cinvcode, std::shared_ptr<XmlDocument>& DomHead,
                                    std::shared_ptr<XmlDocument>& DomBody, std::string& vchType,
                                    bool bSave) {
  issue_notes_ = {};
  generation::IssueCall call{[this] { return UserName(); }, {}};
  std::string serial = generation::getLineSNum(ServiceConnection(), cinvcode, DomHead, DomBody,
                                               vchType, bSave, call);
  issue_notes_ = std::move(call.notes);
  return serial;
}

std::string clsQuillet::getSNumber(std::string& cinvcode, std::shared_ptr<XmlDocument>& DomValue,
                                   std::string&, bool bSave) {
  generation::IssueCall call{[this] { return UserName(); }, {}};
  std::string serial = generation::getSNumber(ServiceConnection(), cinvcode, DomValue, bSave, call);
  issue_notes_ = std::move(call.notes);
  return serial;
}

std::string clsQuillet::GetContrapose(const std::string& cDataType, const std::string& cSeed) {
  return generation::GetContrapose(ServiceConnection(), cDataType, cSeed);
}

std::shared_ptr<XmlDocument> clsQuillet::getSNbatch(std::string& cinvcode,
                                                    std::shared_ptr<XmlDocument>& DomValue,
                                                    std::string& sErr, bool bSave) {
  generation::IssueCall call{[this] { return UserName(); }, {}};
  auto list = generation::getSNbatch(ServiceConnection(), cinvcode, DomValue, sErr, bSave, call);
  issue_notes_ = std::move(call.notes);
  return list;
}

std::shared_ptr<XmlDocument> clsQuillet::getSNrule(std::string& cinvcode,
                                                   std::shared_ptr<XmlDocument>& DomValue,
                                                   std::string&, bool) {
  generation::IssueCall call;
  auto parts = generation::getSNrule(ServiceConnection(), cinvcode, DomValue, call);
  issue_notes_ = std::move(call.notes);
  return parts;
}

}  // namespace quillet
