// Placeholder until the issuing methods land.
#include "generation/methods.h"
#include "quillet/error.h"

namespace quillet::generation {
namespace {
[[noreturn]] void NotYet(const char* name) {
  throw Error(errc::kNotImplemented, std::string("Not implemented: ") + name);
}
}  // namespace
std::string getLineSNum(store::Connection&, std::string&, const std::shared_ptr<XmlDocument>&,
                        const std::shared_ptr<XmlDocument>&, const std::string&, bool) {
  NotYet("getLineSNum");
}
std::string getSNumber(store::Connection&, std::string&, const std::shared_ptr<XmlDocument>&,
                       bool) {
  NotYet("getSNumber");
}
std::shared_ptr<XmlDocument> getSNbatch(store::Connection&, std::string&,
                                        const std::shared_ptr<XmlDocument>&, std::string&, bool) {
  NotYet("getSNbatch");
}
std::shared_ptr<XmlDocument> getSNrule(store::Connection&, std::string&,
                                       const std::shared_ptr<XmlDocument>&) {
  NotYet("getSNrule");
}
std::string GetContrapose(store::Connection&, const std::string&, const std::string&) {
  NotYet("GetContrapose");
}
}  // namespace quillet::generation
