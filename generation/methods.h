// The issuing methods of clsQuillet, on the object's service connection.
#ifndef QUILLET_GENERATION_METHODS_H_
#define QUILLET_GENERATION_METHODS_H_

#include <memory>
#include <string>

#include "generation/issue_call.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// These never throw (except getLineSNum for an empty head or body reference):
// a failure is the empty text, an empty document or the fallback list. Each
// fills `call.notes` afresh under the numbering policies of the item's rule.
std::string getLineSNum(store::Connection& db, std::string& cinvcode,
                        const std::shared_ptr<XmlDocument>& DomHead,
                        const std::shared_ptr<XmlDocument>& DomBody, const std::string& vchType,
                        bool bSave, IssueCall& call);
std::string getSNumber(store::Connection& db, std::string& cinvcode,
                       const std::shared_ptr<XmlDocument>& DomValue, bool bSave, IssueCall& call);
std::shared_ptr<XmlDocument> getSNbatch(store::Connection& db, std::string& cinvcode,
                                        const std::shared_ptr<XmlDocument>& DomValue,
                                        std::string& sErr, bool bSave, IssueCall& call);
std::shared_ptr<XmlDocument> getSNrule(store::Connection& db, std::string& cinvcode,
                                       const std::shared_ptr<XmlDocument>& DomValue,
                                       IssueCall& call);
// Raises the database's error.
std::string GetContrapose(store::Connection& db, const std::string& cDataType,
                          const std::string& cSeed);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_METHODS_H_
