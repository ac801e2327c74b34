// Placeholder until rule maintenance lands.
#include "maintenance/methods.h"
#include "quillet/error.h"

namespace quillet::maintenance {
namespace {
[[noreturn]] void NotYet(const char* name) {
  throw Error(errc::kNotImplemented, std::string("Not implemented: ") + name);
}
}  // namespace
void SaveSNRulesrv(store::Connection&, const std::shared_ptr<XmlDocument>&, const std::string&,
                   int16_t, const std::string&, std::string&) {
  NotYet("SaveSNRulesrv");
}
void DelSNRulesrv(store::Connection&, const std::string&, int16_t, const std::string&) {
  NotYet("DelSNRulesrv");
}
void GetInvBatchRulesrv(store::Connection&, const std::string&, Variant&, int16_t) {
  NotYet("GetInvBatchRulesrv");
}
void GetmaxNumbersrv(store::Connection&, const std::string&, Variant&, int16_t) {
  NotYet("GetmaxNumbersrv");
}
void SavemaxNumbersrv(store::Connection&, const std::string&, const Variant&, int16_t) {
  NotYet("SavemaxNumbersrv");
}
}  // namespace quillet::maintenance
