// clsQuillet: serial-number rules for the inventory items of a host database.
#ifndef QUILLET_QUILLET_H_
#define QUILLET_QUILLET_H_

#include <cstdint>
#include <memory>
#include <string>

#include "quillet/code_page.h"
#include "quillet/error.h"
#include "quillet/export.h"
#include "quillet/issue_notes.h"
#include "quillet/login.h"
#include "quillet/recordset.h"
#include "quillet/variant.h"
#include "quillet/xml_document.h"

namespace quillet {

namespace store {
class Connection;
}
class DiagnosisAccess;

// The component's one public class. Create an object, bind it with init, then
// call the methods in any order.
//
// Results. Methods with a Variant result always return an empty Variant;
// success is the absence of an Error plus the in/out parameters. `sErr` is
// written only by Getprefixrssrv, SaveSNRulesrv (a localized message) and
// getSNbatch (the error description).
//
// Errors. getSNrule, getSNumber and getSNbatch never throw: they report a
// failure through their result. CheckTaskExecsrv turns a failing login object
// into a false answer. Every other method throws Error at the first failing
// database, document or login-object operation, with that layer's number and
// description; what it wrote before stays written.
//
// Thread safety. An object is used on one thread; objects on different threads
// are independent. The locale id and message objects are per thread, shared by
// the objects of that thread (the last init on the thread sets them).
class QUILLET_EXPORT clsQuillet {
 public:
  clsQuillet();
  ~clsQuillet();
  clsQuillet(const clsQuillet&) = delete;
  clsQuillet& operator=(const clsQuillet&) = delete;

  // The caller's login object; init stores its argument here when empty.
  std::shared_ptr<Login> objlogin;

  // 1. Binds the object: keeps `ologin` in objlogin (first time only), opens
  // the service connection with ologin->KelDbName(), sets up the thread's
  // language state. A second init raises errc::kObjectOpen.
  Variant init(std::shared_ptr<Login>& ologin);
  // 2. The class tree, the data sources and the free-item captions of the
  // user's language, as three record sets.
  Variant Getinitdata(Variant& rssetupTree, Variant& RstPrefix, Variant& Rstfreename,
                      std::string& sErr);
  // 3. One owner's rule header joined with its segments, in grade order.
  Variant GetInvBatchRulesrv(const std::string& Invccode, Variant& RsinvRule, int16_t invtype,
                             std::string& sErr);
  // 4. The number of levels of a level-coded archive.
  Variant GetmaxGrade(int16_t& maxgrade, const std::string& tablname, std::string& sErr);
  // 5. The coding rule of a level-coded archive.
  Variant GetGradeRulesrv(std::string& graderule, const std::string& tablname, std::string& sErr);
  // 6. The serial-managed items of one class.
  Variant GetInvNodesrv(const std::string& invclasscode, Variant& Rsinv, std::string& sErr);
  // 7. Every rule header.
  Variant GetNumbertreesrv(Variant& Rsbatchrule, std::string& sErr);
  // 8. Sets the code of one mapping row (marked as changed by the user).
  Variant saveprefixcodesrv(const Variant& Domprefixcode, std::string& sErr);
  // 9. Deletes every mapping row of one archive table.
  Variant Resetprefixsrv(const std::string& strcontent, std::string& sErr);
  // 10. An owner's stored running number, or the empty text.
  Variant GetmaxNumbersrv(const std::string& inumInvcode, Variant& vMaxnumber, int16_t inumInvtype,
                          std::string& sErr);
  // 11. The mapping rows of one data source, after creating the missing ones.
  Variant Getprefixrssrv(const Variant& DomPrefixkey, int32_t& maxlength, Variant& RsPrefix,
                         std::string& datasrcformat, std::string& sErr);
  // 12. Deletes an owner's rule header and the segments of a rule name.
  Variant DelSNRulesrv(const std::string& sDelInvcode, int16_t IDelinvtype,
                       const std::string& sDelRulename, std::string& sErr);
  // 13. Saves an owner's rule from a rule document, keeping its running number.
  // Refuses, before writing anything, a segment width above
  // limits::kMaxSegmentWidth (quillet/limits.h) or below 0, and a running
  // number narrower than limits::kMinRunningNumberWidth, with
  // errc::kWidthOutOfRange: a deliberate addition to the rule document's
  // checks, as such widths build texts of any size or identical numbers.
  Variant SaveSNRulesrv(const std::shared_ptr<XmlDocument>& DombatchRule,
                        const std::string& SsaveInvcode, int16_t Isaveinvtype,
                        const std::string& SsaveRulename, std::string& sErr);
  // 14. Overwrites an owner's stored running number.
  Variant SavemaxNumbersrv(const std::string& Invccode, Variant& RstinvmaxNum, int16_t invtype,
                           std::string& sErr);
  // 15. One serial number from a document's head and body; the empty text on
  // failure. `cinvcode` is left unchanged for the caller.
  std::string getLineSNum(std::string& cinvcode, std::shared_ptr<XmlDocument>& DomHead,
                          std::shared_ptr<XmlDocument>& DomBody, std::string& vchType,
                          bool bSave = false);
  // 16. One serial number for the item of the value document; the empty text
  // on failure. With bSave the stored running number advances by the step.
  std::string getSNumber(std::string& cinvcode, std::shared_ptr<XmlDocument>& DomValue,
                         std::string& sErr, bool bSave = false);
  // 17. The mapped code of an archive value, or the empty text.
  std::string GetContrapose(const std::string& cDataType, const std::string& cSeed);
  // 18. Asks the login object whether a task may run; never raises for it.
  Variant CheckTaskExecsrv(const std::string& sTaskID, Variant& bTaskExec);
  // 19. A batch of consecutive serial numbers (`count` on the value
  // document's root) as a serial list document.
  std::shared_ptr<XmlDocument> getSNbatch(std::string& cinvcode,
                                          std::shared_ptr<XmlDocument>& DomValue, std::string& sErr,
                                          bool bSave = false);
  // 20. The parts of the item's rule (prefix, running number, suffix, step,
  // stored number, digits); an empty document on failure. Reads only.
  std::shared_ptr<XmlDocument> getSNrule(std::string& cinvcode,
                                         std::shared_ptr<XmlDocument>& DomValue, std::string& sErr,
                                         bool bSave = false);

  // The notes of the last call of getLineSNum, getSNumber, getSNbatch or
  // getSNrule on this object: its warnings, and why a numbering policy of the
  // rule refused to issue. Empty for a rule without policies.
  const IssueNotes& LastIssueNotes() const { return issue_notes_; }

 private:
  // ExplainEmptyIssue reads through the object's connection.
  friend class DiagnosisAccess;

  bool CallTaskExec(const std::string& task_id, int16_t mode);
  store::Connection& ServiceConnection();

  // Who issues, for the journal: the login object's user name.
  std::string UserName();

  std::unique_ptr<store::Connection> connection_;
  IssueNotes issue_notes_;
};

}  // namespace quillet

#endif  // QUILLET_QUILLET_H_
