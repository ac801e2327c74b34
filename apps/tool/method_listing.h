// The component's methods as `quillet call --help` lists them: each with its
// parameters, their kinds and directions, from the method table.
#ifndef QUILLET_APPS_TOOL_METHOD_LISTING_H_
#define QUILLET_APPS_TOOL_METHOD_LISTING_H_

#include <string>
#include <vector>

namespace quillet::tool {

// One line (or more, wrapped to 100 columns) per method, in interface order:
//   " 3  GetInvBatchRulesrv  Invccode text, RsinvRule variant in/out, ..."
// A result other than a variant follows the name ("getSNumber -> text").
// Pure.
std::string MethodListing();

// The method names, in interface order. Pure.
std::vector<std::string> MethodNames();

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_METHOD_LISTING_H_
