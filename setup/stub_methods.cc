// Placeholder until the setup queries land.
#include "quillet/error.h"
#include "setup/methods.h"

namespace quillet::setup {
namespace {
[[noreturn]] void NotYet(const char* name) {
  throw Error(errc::kNotImplemented, std::string("Not implemented: ") + name);
}
}  // namespace
void Getinitdata(store::Connection&, Variant&, Variant&, Variant&) { NotYet("Getinitdata"); }
void GetInvNodesrv(store::Connection&, const std::string&, Variant&) { NotYet("GetInvNodesrv"); }
void GetNumbertreesrv(store::Connection&, Variant&) { NotYet("GetNumbertreesrv"); }
void GetmaxGrade(store::Connection&, int16_t&, const std::string&) { NotYet("GetmaxGrade"); }
void GetGradeRulesrv(store::Connection&, std::string&, const std::string&) {
  NotYet("GetGradeRulesrv");
}
}  // namespace quillet::setup
