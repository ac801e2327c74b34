// Placeholder until the prefix mapping methods land.
#include "mapping/methods.h"
#include "quillet/error.h"

namespace quillet::mapping {
namespace {
[[noreturn]] void NotYet(const char* name) {
  throw Error(errc::kNotImplemented, std::string("Not implemented: ") + name);
}
}  // namespace
void Getprefixrssrv(store::Connection&, const Variant&, int32_t&, Variant&, std::string&,
                    std::string&) {
  NotYet("Getprefixrssrv");
}
void saveprefixcodesrv(store::Connection&, const Variant&) { NotYet("saveprefixcodesrv"); }
void Resetprefixsrv(store::Connection&, const std::string&) { NotYet("Resetprefixsrv"); }
}  // namespace quillet::mapping
